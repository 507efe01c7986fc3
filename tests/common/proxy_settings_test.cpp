// The shared proxy settings and the system proxy, read and written in scratch
// keys that are removed again after each test.
#include "common/proxy_settings.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

constexpr char kScratch[] = "Software\\VELMARON\\CorvaleProxyTest";
constexpr char kShared[] = "Software\\VELMARON\\CorvaleProxyTest\\Shared";
constexpr char kSystem[] = "Software\\VELMARON\\CorvaleProxyTest\\System";

void SetText(const char* key, const char* name, const char* text) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(std::strlen(text) + 1));
  RegCloseKey(handle);
}

void SetEnable(DWORD enable) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kSystem, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(handle, "ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&enable), sizeof enable);
  RegCloseKey(handle);
}

// The stored text, or "(none)".
std::string Stored(const char* name) {
  char buffer[256];
  DWORD size = sizeof buffer;
  if (RegGetValueA(HKEY_CURRENT_USER, kShared, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return "(none)";
  }
  return buffer;
}

std::string Text(const HeapText& text) { return text ? text.get() : "(none)"; }

class ProxySettingsTest : public testing::Test {
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
    SetProxyRegistryKeys(ProxyRegistryKeys());
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
  }
  void System(const char* servers) {
    SetEnable(1);
    SetText(kSystem, "ProxyServer", servers);
  }
  // ReadProxySettings for http; "result host port".
  std::string Read(int scheme = kProxySchemeHttp, int32_t port = 1234) {
    HeapText host;
    const int found = ReadProxySettings(&host, &port, scheme, nullptr, nullptr, nullptr);
    return std::to_string(found) + " " + Text(host) + " " + std::to_string(port);
  }
};

TEST_F(ProxySettingsTest, SharedSettingsComeFirstAndKeepMissingValuesAsTheCallerHadThem) {
  System("http=system:8080");
  SetText(kShared, "proxy", "proxyhost");
  EXPECT_EQ(Read(), "1 proxyhost 1234");
  SetText(kShared, "port", "3128");
  SetText(kShared, "type", "2");
  SetText(kShared, "username", "user");
  SetText(kShared, "password", "secret");
  HeapText host, user, password;
  int32_t port = 0, type = 0;
  ASSERT_EQ(ReadProxySettings(&host, &port, kProxySchemeHttp, &type, &user, &password), 1);
  EXPECT_EQ(Text(host), "proxyhost");
  EXPECT_EQ(port, 3128);
  EXPECT_EQ(type, 2);
  EXPECT_EQ(Text(user), "user");
  EXPECT_EQ(Text(password), "secret");
  EXPECT_EQ(ReadProxySettings(nullptr, &port, kProxySchemeHttp, nullptr, nullptr, nullptr), 0);
}

TEST_F(ProxySettingsTest, SystemProxyEntriesBySchemes) {
  System("ftp=f:21;http=h:8080");
  EXPECT_EQ(Read(), "1 h 8080");
  EXPECT_EQ(Read(kProxySchemeFtp), "1 f 21");
  EXPECT_EQ(Read(kProxySchemeAll), "1 f 21");
  EXPECT_EQ(Read(kProxySchemeUnknown), "1 (none) 0");
  // An entry without a port has none of its own.
  System("ftp=f:21;http=h");
  EXPECT_EQ(Read(), "1 h 0");
  System("proxy1:3128");
  EXPECT_EQ(Read(), "1 proxy1 3128");
  EXPECT_EQ(Read(kProxySchemeGopher), "1 proxy1 3128");
  // An unknown scheme ends the search.
  System("socks=s:1080;http=h:80");
  EXPECT_EQ(Read(), "0 (none) 0");
  // No entry for the scheme: the search ends at the last entry without a host.
  System("ftp=f:21;gopher=g:70");
  EXPECT_EQ(Read(), "0 (none) 0");
  EXPECT_EQ(Read(kProxySchemeHttps), "0 (none) 0");
}

TEST_F(ProxySettingsTest, TheSystemProxyCountsOnlyWhenEnabled) {
  SetText(kSystem, "ProxyServer", "h:80");
  EXPECT_EQ(Read(), "0 (none) 1234");
  SetEnable(0);
  EXPECT_EQ(Read(), "0 (none) 1234");
  SetEnable(1);
  SetText(kSystem, "ProxyServer", "");
  EXPECT_EQ(Read(), "0 (none) 0");
}

TEST_F(ProxySettingsTest, SavingCreatesTheSharedKeyAndReadsBack) {
  ASSERT_EQ(SaveProxySettings(0, "proxy.lan", 8080, nullptr, nullptr), 1);
  EXPECT_EQ(Stored("proxy"), "proxy.lan");
  EXPECT_EQ(Stored("port"), "8080");
  EXPECT_EQ(Stored("type"), "0");
  EXPECT_EQ(Read(), "1 proxy.lan 8080");
}

TEST_F(ProxySettingsTest, SavingLeavesCredentialsItWasNotGiven) {
  SetText(kShared, "username", "user");
  SetText(kShared, "password", "secret");
  ASSERT_EQ(SaveProxySettings(1, "proxy.lan", 80, nullptr, nullptr), 1);
  EXPECT_EQ(Stored("username"), "user");
  EXPECT_EQ(Stored("password"), "secret");
  ASSERT_EQ(SaveProxySettings(1, "proxy.lan", 80, "other", "new"), 1);
  EXPECT_EQ(Stored("username"), "other");
  EXPECT_EQ(Stored("password"), "new");
}

TEST_F(ProxySettingsTest, TheSystemsOwnProxyIsNotCopiedIntoTheSharedSettings) {
  System("http=h:8080");
  SetText(kShared, "proxy", "old");
  ASSERT_EQ(SaveProxySettings(3, "h", 8080, nullptr, nullptr), 1);
  EXPECT_EQ(Stored("proxy"), "(none)");
  EXPECT_EQ(Stored("port"), "8080");
  EXPECT_EQ(Stored("type"), "3");
  // With a user name, or another port, it is stored.
  ASSERT_EQ(SaveProxySettings(3, "h", 8081, nullptr, nullptr), 1);
  EXPECT_EQ(Stored("proxy"), "h");
  ASSERT_EQ(SaveProxySettings(3, "h", 8080, "user", nullptr), 1);
  EXPECT_EQ(Stored("proxy"), "h");
}

// An emptied field must not leave a "" that hides the system proxy, and what
// earlier versions stored ("", "host:port", a pasted address) reads sensibly.
TEST_F(ProxySettingsTest, EmptyHostsMeanNoSharedProxyAndStoredAddressesAreSplit) {
  System("http=http://system:8080");
  SetText(kShared, "proxy", "old");
  for (const char* empty : {"", "  "}) {
    ASSERT_EQ(SaveProxySettings(0, empty, 0, nullptr, nullptr), 1);
    EXPECT_EQ(Stored("proxy"), "(none)") << "[" << empty << "]";
    EXPECT_EQ(Read(), "1 system 8080");
  }

  const struct {
    const char* stored;
    const char* port;
    const char* read;
  } cases[] = {
      {"", "3128", "1 system 8080"},       {" \t", "3128", "1 system 8080"},
      {"proxy:3128", "0", "1 proxy 3128"}, {"http://user@proxy:8080/", "3128", "1 proxy 8080"},
      {" proxy ", "3128", "1 proxy 3128"},
  };
  for (const auto& c : cases) {
    SetText(kShared, "proxy", c.stored);
    SetText(kShared, "port", c.port);
    EXPECT_EQ(Read(), c.read) << "[" << c.stored << "]";
  }
}

}  // namespace
