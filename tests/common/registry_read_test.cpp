#include "common/registry_read.h"

#include <gtest/gtest.h>

#include <string>

#include "common/registry.h"

namespace {

constexpr char kKey[] = "Software\\CorvaleTests\\RegistryRead";

void PutRaw(const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  RegCloseKey(key);
}

TEST(RegistryRead, TextsOnlyAndAlwaysTerminated) {
  PutRaw("home", REG_SZ, "http://x/", 10);
  PutRaw("bare", REG_SZ, "abcd", 4);  // stored without its zero
  const DWORD number = 7;
  PutRaw("number", REG_DWORD, &number, sizeof number);
  SetProgramKey(kKey);

  char out[8] = "junk";
  EXPECT_EQ(ReadMachineText(nullptr, "home", out, sizeof out), 0);  // does not fit
  EXPECT_STREQ(out, "");
  char wide[64];
  EXPECT_EQ(ReadMachineText(nullptr, "home", wide, sizeof wide), 1);
  EXPECT_STREQ(wide, "http://x/");
  EXPECT_EQ(ReadMachineText(kKey, "bare", wide, sizeof wide), 1);
  EXPECT_STREQ(wide, "abcd");
  char exact[4];
  EXPECT_EQ(ReadMachineText(kKey, "bare", exact, sizeof exact), 0);
  EXPECT_EQ(ReadMachineText(kKey, "number", wide, sizeof wide), 0);
  EXPECT_EQ(ReadMachineText(kKey, "missing", wide, sizeof wide), 0);
  SetProgramKey(nullptr);
  EXPECT_EQ(ReadMachineText(nullptr, "home", wide, sizeof wide), 0);
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kKey);
}

}  // namespace
