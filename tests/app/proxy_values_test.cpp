// The proxy values a run reads from the maker's shared key and writes back at
// its end, in scratch keys removed again after each test.
#include "app/proxy_values.h"

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/proxy_settings.h"

namespace {

constexpr char kScratch[] = "Software\\VELMARON\\CorvaleProxyValuesTest";
constexpr char kShared[] = "Software\\VELMARON\\CorvaleProxyValuesTest\\Shared";
constexpr char kSystem[] = "Software\\VELMARON\\CorvaleProxyValuesTest\\System";

void Store(const char* name, const char* text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kShared, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(std::strlen(text) + 1));
  RegCloseKey(key);
}

std::string Stored(const char* name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, kShared, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return "(none)";
  }
  return buffer;
}

// Leaves the shared key readable and nothing more, as HKEY_LOCAL_MACHINE is
// for a standard user.
void MakeSharedKeyReadOnly() {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kShared, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
  const LONG rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
  LocalFree(descriptor);
  RegCloseKey(key);
  ASSERT_EQ(rc, ERROR_SUCCESS);
  HKEY writable = nullptr;
  ASSERT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kShared, 0, KEY_SET_VALUE, &writable), ERROR_SUCCESS)
      << "the system lets a read-only key be written";
}

void SetHost(const char* host) { g_proxy.host.reset(host ? _strdup(host) : nullptr); }

class ProxyValuesTest : public testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    ProxyRegistryKeys keys;
    keys.shared_root = HKEY_CURRENT_USER;
    keys.shared_key = kShared;
    keys.system_root = HKEY_CURRENT_USER;
    keys.system_key = kSystem;
    SetProxyRegistryKeys(keys);
  }
  void TearDown() override {
    // A key made read-only is opened for what deleting it needs first.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShared, 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
      PSECURITY_DESCRIPTOR descriptor = nullptr;
      if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;WD)", SDDL_REVISION_1, &descriptor,
                                                               nullptr)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
      }
      RegCloseKey(key);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    SetProxyRegistryKeys(ProxyRegistryKeys());
    g_proxy = ProxyValues();
  }
};

// Another of the maker's programs may set the shared proxy while this one
// runs: a run that changed nothing must not put back what it read.
TEST_F(ProxyValuesTest, ValuesTheRunDidNotChangeAreNotWrittenBack) {
  Store("proxy", "first.example");
  Store("port", "8080");
  LoadProxyValues();
  Store("proxy", "other.example");
  Store("port", "3128");
  SaveProxyValues();
  EXPECT_EQ(Stored("proxy"), "other.example");
  EXPECT_EQ(Stored("port"), "3128");

  SetHost("mine.example");
  g_proxy.port = 81;
  SaveProxyValues();
  EXPECT_EQ(Stored("proxy"), "mine.example");
  EXPECT_EQ(Stored("port"), "81");
}

TEST_F(ProxyValuesTest, AKeyTheUserMayNotWriteKeepsItsValuesAndTheRunKeepsItsOwn) {
  Store("proxy", "first.example");
  Store("port", "8080");
  MakeSharedKeyReadOnly();
  LoadProxyValues();
  ASSERT_TRUE(g_proxy.host);
  EXPECT_STREQ(g_proxy.host.get(), "first.example");
  SaveProxyValues();

  SetHost("mine.example");
  g_proxy.port = 81;
  SaveProxyValues();
  EXPECT_EQ(Stored("proxy"), "first.example");
  EXPECT_EQ(Stored("port"), "8080");
  ASSERT_TRUE(g_proxy.host);
  EXPECT_STREQ(g_proxy.host.get(), "mine.example");
  EXPECT_EQ(g_proxy.port, 81);
}

}  // namespace
