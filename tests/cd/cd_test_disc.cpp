#include "cd/cd_test_disc.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

}  // namespace

const testing_support::TestDisc& TestDisc() {
  static const testing_support::TestDisc disc = [] {
    auto made = testing_support::WriteTestDisc(DiscFolder(), "cdtest",
                                               {{1}, {28}, {60}, {200}, {15000}, {40, true}});
    SetEnvironmentVariableA("AKRIP_IMAGES", made.cue_path.c_str());
    return made;
  }();
  return disc;
}

int TestDriveIndex() {
  TestDisc();
  for (int i = 0; i < GetDriveCount(); ++i) {
    char name[100];
    GetDriveName(i, name, sizeof name);
    if (std::string(name).find("cdtest") != std::string::npos) return i;
  }
  ADD_FAILURE() << "the test disc is not among the drives";
  return -1;
}

void SetFaults(const char* faults) {
  using SetFaultsFn = int(__cdecl*)(const char*);
  static const auto set_faults = reinterpret_cast<SetFaultsFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("akrip.dll"), "AkripSetFaults")));
  ASSERT_NE(set_faults, nullptr);
  set_faults(faults);
}

}  // namespace cd_tests
