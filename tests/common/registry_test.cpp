#include "common/registry.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {

// A key of the test's own below Software\CorvaleTests of the given root,
// removed with everything in it afterwards.
class ScratchKey {
 public:
  explicit ScratchKey(HKEY root) : root_(root) {
    static int counter = 0;
    path_ = "Software\\CorvaleTests\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()) +
            "-" + std::to_string(counter++);
  }
  ~ScratchKey() { RegDeleteTreeA(root_, path_.c_str()); }
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY root() const { return root_; }
  const char* path() const { return path_.c_str(); }
  std::string Sub(const std::string& name) const { return path_ + "\\" + name; }

  // Writes a raw value directly, bypassing the helpers under test.
  void PutRaw(const char* name, DWORD type, const void* data, DWORD size) const {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }

 private:
  HKEY root_;
  std::string path_;
};

// Lets everyone read the key and change its access list, and nothing more:
// the key as a standard user meets a machine key.  Full access comes back
// when it goes, so that the key can be removed.
class ReadOnlyAccess {
 public:
  ReadOnlyAccess(HKEY root, const char* path) : root_(root), path_(path) {
    applied_ = Apply("D:P(A;;KRWD;;;WD)");  // KEY_READ | WRITE_DAC for Everyone
  }
  ~ReadOnlyAccess() { Apply("D:P(A;;KA;;;WD)"); }
  ReadOnlyAccess(const ReadOnlyAccess&) = delete;
  ReadOnlyAccess& operator=(const ReadOnlyAccess&) = delete;
  bool applied() const { return applied_; }

 private:
  bool Apply(const char* access_list) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(access_list, SDDL_REVISION_1, &descriptor, nullptr)) {
      return false;
    }
    HKEY key;
    bool done = false;
    if (RegOpenKeyExA(root_, path_, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
      done = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
      RegCloseKey(key);
    }
    LocalFree(descriptor);
    return done;
  }

  HKEY root_;
  const char* path_;
  bool applied_ = false;
};

class RegistryRoots : public ::testing::TestWithParam<HKEY> {};

TEST_P(RegistryRoots, TextWrittenReadsBackWithItsZeroAndAsRegSz) {
  ScratchKey scratch(GetParam());
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.Sub("a\\b").c_str()), 1);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.Sub("a\\b").c_str()), 1) << "existing key opens";
  const std::string key = scratch.Sub("a\\b");

  ASSERT_EQ(WriteRegString(scratch.root(), key.c_str(), "proxy", "host.example:8080"), 1);
  char buffer[64];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_EQ(ReadRegValue(scratch.root(), key.c_str(), "proxy", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "host.example:8080");

  HKEY raw;
  ASSERT_EQ(RegOpenKeyExA(scratch.root(), key.c_str(), 0, KEY_READ, &raw), ERROR_SUCCESS);
  DWORD type = 0, size = 0;
  ASSERT_EQ(RegQueryValueExA(raw, "proxy", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  RegCloseKey(raw);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, std::strlen("host.example:8080") + 1);

  // Numbers travel as decimal text, negative ones included.
  ASSERT_EQ(WriteRegString(scratch.root(), key.c_str(), "port", "-42"), 1);
  ASSERT_EQ(ReadRegValue(scratch.root(), key.c_str(), "port", buffer, sizeof buffer), 1);
  EXPECT_EQ(std::atoi(buffer), -42);
}

INSTANTIATE_TEST_SUITE_P(CurrentUserAndLocalMachine, RegistryRoots,
                         ::testing::Values(HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE));

TEST(CreateRegKey, RefusesAMissingSubKey) { EXPECT_EQ(CreateRegKey(HKEY_CURRENT_USER, nullptr), 0); }

TEST(WriteRegString, NeverCreatesTheKeyItWritesInto) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  const std::string missing = scratch.Sub("missing");
  EXPECT_EQ(WriteRegString(scratch.root(), missing.c_str(), "v", "text"), 0);
  EXPECT_EQ(RegValueExists(scratch.root(), missing.c_str(), nullptr), 0);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), nullptr), 0) << "not even the parent appears";
}

TEST(WriteRegString, NoTextDeletesTheValueAndFailsWhenItWasAbsent) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  ASSERT_EQ(WriteRegString(scratch.root(), scratch.path(), "v", "text"), 1);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), "v"), 1);
  EXPECT_EQ(WriteRegString(scratch.root(), scratch.path(), "v", nullptr), 1);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), "v"), 0);
  EXPECT_EQ(WriteRegString(scratch.root(), scratch.path(), "v", nullptr), 0);
  EXPECT_EQ(DeleteRegValue(scratch.root(), scratch.path(), "v"), 0);
}

TEST(WriteRegString, NoValueNameWritesTheDefaultValue) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  ASSERT_EQ(WriteRegString(scratch.root(), scratch.path(), nullptr, "default text"), 1);
  char buffer[32] = {};
  LONG size = sizeof buffer;
  ASSERT_EQ(RegQueryValueA(scratch.root(), scratch.path(), buffer, &size), ERROR_SUCCESS);
  EXPECT_STREQ(buffer, "default text");
}

TEST(RegValueExists, WithoutValueNameAnswersWhetherTheKeyOpens) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), nullptr), 0);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), nullptr), 1);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), "absent"), 0);
}

TEST(ReadRegValue, FailsForMissingValuesAndValuesLargerThanTheBuffer) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  ASSERT_EQ(WriteRegString(scratch.root(), scratch.path(), "v", "12345678"), 1);
  char buffer[16];
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.path(), "absent", buffer, sizeof buffer), 0);
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.Sub("nokey").c_str(), "v", buffer, sizeof buffer), 0);
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.path(), "v", buffer, 8), 0) << "no room for zero";
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.path(), "v", buffer, 9), 1);
  EXPECT_STREQ(buffer, "12345678");
}

TEST(ReadRegValue, HandsOutTextsTerminatedEvenWhenStoredWithoutZero) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  scratch.PutRaw("bare", REG_SZ, "abcd", 4);
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  ASSERT_EQ(ReadRegValue(scratch.root(), scratch.path(), "bare", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "abcd");

  char exact[4];
  std::memset(exact, 'x', sizeof exact);
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.path(), "bare", exact, sizeof exact), 0)
      << "four text bytes without their zero must not fill a four-byte buffer";

  const DWORD enabled = 1;
  scratch.PutRaw("ProxyEnable", REG_DWORD, &enabled, sizeof enabled);
  DWORD read_back = 0;
  ASSERT_EQ(ReadRegValue(scratch.root(), scratch.path(), "ProxyEnable", &read_back, sizeof read_back), 1)
      << "binary values may fill the buffer exactly";
  EXPECT_EQ(read_back, 1u);
}

TEST(ReadRegValue, NoSubKeyMeansTheProgramKey) {
  ScratchKey scratch(HKEY_CURRENT_USER);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  ASSERT_EQ(WriteRegString(scratch.root(), scratch.path(), "home", "http://home"), 1);
  char buffer[32] = {};

  SetProgramKey(nullptr);
  EXPECT_EQ(ProgramKey(), nullptr);
  EXPECT_EQ(ReadRegValue(scratch.root(), nullptr, "home", buffer, sizeof buffer), 0);

  SetProgramKey("Software\\CorvaleTests\\elsewhere");
  SetProgramKey(scratch.path());
  EXPECT_STREQ(ProgramKey(), scratch.path());
  ASSERT_EQ(ReadRegValue(scratch.root(), nullptr, "home", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "http://home");

  SetProgramKey(nullptr);
  EXPECT_EQ(ReadRegValue(scratch.root(), nullptr, "home", buffer, sizeof buffer), 0);
}

// A standard user may read the shared machine keys (the proxy, the program's
// addresses) but not write them: the reads must not ask for write access.
TEST(ReadRegValue, ReadsAKeyThatMayNotBeWritten) {
  ScratchKey scratch(HKEY_LOCAL_MACHINE);
  ASSERT_EQ(CreateRegKey(scratch.root(), scratch.path()), 1);
  ASSERT_EQ(WriteRegString(scratch.root(), scratch.path(), "proxy", "proxy.example"), 1);
  ReadOnlyAccess read_only(scratch.root(), scratch.path());
  ASSERT_TRUE(read_only.applied());
  HKEY writable;
  ASSERT_EQ(RegOpenKeyExA(scratch.root(), scratch.path(), 0, KEY_SET_VALUE, &writable), ERROR_ACCESS_DENIED)
      << "the key's access list must refuse writing for this test to mean anything";

  char buffer[32] = {};
  EXPECT_EQ(ReadRegValue(scratch.root(), scratch.path(), "proxy", buffer, sizeof buffer), 1);
  EXPECT_STREQ(buffer, "proxy.example");
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), "proxy"), 1);
  EXPECT_EQ(RegValueExists(scratch.root(), scratch.path(), nullptr), 1);
  EXPECT_EQ(WriteRegString(scratch.root(), scratch.path(), "proxy", "other"), 0);
  EXPECT_EQ(DeleteRegValue(scratch.root(), scratch.path(), "proxy"), 0);
}

TEST(OpenRegSubkeyAt, VisitsEverySubKeyOnceThenStops) {
  ScratchKey scratch(HKEY_LOCAL_MACHINE);
  const std::set<std::string> names = {"Alpha", "beta", "Gamma"};
  for (const auto& name : names) ASSERT_EQ(CreateRegKey(scratch.root(), scratch.Sub(name).c_str()), 1);
  HKEY parent;
  ASSERT_EQ(RegOpenKeyExA(scratch.root(), scratch.path(), 0, KEY_READ, &parent), ERROR_SUCCESS);

  std::set<std::string> seen;
  char name[64];
  for (DWORD index = 0; index < names.size(); ++index) {
    HKEY child = OpenRegSubkeyAt(parent, index, name, sizeof name);
    ASSERT_NE(child, nullptr) << index;
    seen.insert(name);
    // Opened for reading only.
    EXPECT_EQ(RegSetValueExA(child, "CODE", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2), ERROR_ACCESS_DENIED);
    RegCloseKey(child);
  }
  EXPECT_EQ(seen, names);
  EXPECT_EQ(OpenRegSubkeyAt(parent, static_cast<DWORD>(names.size()), name, sizeof name), nullptr);
  EXPECT_EQ(OpenRegSubkeyAt(parent, 0, name, 3), nullptr) << "name does not fit";
  RegCloseKey(parent);
}

TEST(FindRegValue, MatchesNamesIgnoringCaseAndSkipsOversizedEntries) {
  ScratchKey scratch(HKEY_LOCAL_MACHINE);
  const std::string long_data(300, 'd');
  const std::string long_name(300, 'a');
  // Enumeration order is the system's: the oversized entries sort first under
  // Wine, so the scan must go on past them.
  scratch.PutRaw("aaa", REG_SZ, long_data.c_str(), static_cast<DWORD>(long_data.size() + 1));
  scratch.PutRaw(long_name.c_str(), REG_SZ, "x", 2);
  scratch.PutRaw("MANUAL", REG_SZ, "manual.htm", 11);
  scratch.PutRaw("zlong", REG_SZ, long_data.c_str(), static_cast<DWORD>(long_data.size() + 1));

  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(scratch.root(), scratch.path(), 0, KEY_READ, &key), ERROR_SUCCESS);
  char out[32];
  ASSERT_EQ(FindRegValue(key, "manual", out, sizeof out), 1);
  EXPECT_STREQ(out, "manual.htm");
  ASSERT_EQ(FindRegValue(key, "Manual", out, 5), 1);
  EXPECT_STREQ(out, "manu") << "truncated to the buffer, terminator included";
  EXPECT_EQ(FindRegValue(key, "zlong", out, sizeof out), 0) << "data over 256 bytes is skipped";
  EXPECT_EQ(FindRegValue(key, "absent", out, sizeof out), 0);
  RegCloseKey(key);

  EXPECT_EQ(FindRegValue(key, "manual", out, sizeof out), 0) << "a closed key ends the scan";
}

}  // namespace
