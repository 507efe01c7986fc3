#include "support/cd_test_disc.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "cd/cd_drives.h"

namespace cd_tests {

namespace {

std::string DiscFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + "corvale-cd-tests-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

struct TestDiscs {
  testing_support::TestDisc five;
  testing_support::TestDisc twelve;
  testing_support::TestDisc enhanced;
};

const TestDiscs& Discs();

void RemoveDiscs() {
  const TestDiscs& discs = Discs();
  for (const auto* disc : {&discs.five, &discs.twelve, &discs.enhanced}) {
    DeleteFileA(disc->cue_path.c_str());
    DeleteFileA(disc->bin_path.c_str());
  }
  RemoveDirectoryA(DiscFolder().c_str());
}

// Both discs are named in AKRIP_IMAGES before anything lists the drives.
const TestDiscs& Discs() {
  static const TestDiscs discs = [] {
    const std::string folder = DiscFolder();
    TestDiscs made;
    made.five = testing_support::WriteTestDisc(folder, "cdtest", {{1}, {28}, {60}, {200}, {15000}, {40, true}});
    std::vector<testing_support::TestDiscTrack> twelve(12, testing_support::TestDiscTrack{40});
    twelve[4].sectors = 16000;
    made.twelve = testing_support::WriteTestDisc(folder, "twelve", twelve);
    made.enhanced = testing_support::WriteTestDisc(folder, "enhanced", {{50}, {60}, {40, true, true}});
    const std::string images = made.five.cue_path + ";" + made.twelve.cue_path + ";" + made.enhanced.cue_path;
    SetEnvironmentVariableA("AKRIP_IMAGES", images.c_str());
    return made;
  }();
  // Registered after the discs are complete, so it runs before they are destroyed.
  static const bool removal_registered = std::atexit(RemoveDiscs) == 0;
  (void)removal_registered;
  return discs;
}

int DriveIndexNamed(const char* image_name) {
  Discs();
  for (int i = 0; i < GetDriveCount(); ++i) {
    char name[100];
    GetDriveName(i, name, sizeof name);
    if (std::string(name).find(image_name) != std::string::npos) return i;
  }
  ADD_FAILURE() << "no drive holds " << image_name;
  return -1;
}

}  // namespace

const testing_support::TestDisc& TestDisc() { return Discs().five; }
int TestDriveIndex() { return DriveIndexNamed("cdtest"); }
const testing_support::TestDisc& TwelveTrackDisc() { return Discs().twelve; }
int TwelveTrackDriveIndex() { return DriveIndexNamed("twelve"); }
const testing_support::TestDisc& EnhancedDisc() { return Discs().enhanced; }
int EnhancedDriveIndex() { return DriveIndexNamed("enhanced"); }

void SetFaults(const char* faults) {
  using SetFaultsFn = int(__cdecl*)(const char*);
  static const auto set_faults = reinterpret_cast<SetFaultsFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("akrip.dll"), "AkripSetFaults")));
  ASSERT_NE(set_faults, nullptr);
  set_faults(faults);
}

}  // namespace cd_tests
