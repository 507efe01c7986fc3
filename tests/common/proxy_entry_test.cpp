// Walking the system's "ProxyServer" list entry by entry.
#include "common/proxy_entry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <string>
#include <vector>

namespace {

struct Entry {
  int code;
  std::string host;  // "(none)" when no host was given back
  int32_t port;
  bool operator==(const Entry& other) const { return code == other.code && host == other.host && port == other.port; }
};

std::ostream& operator<<(std::ostream& out, const Entry& entry) {
  return out << "{" << entry.code << ", " << entry.host << ", " << entry.port << "}";
}

std::vector<Entry> Walk(const char* text) {
  std::string copy = text;
  char* cursor = &copy[0];
  std::vector<Entry> entries;
  while (cursor && entries.size() < 20) {
    HeapText host;
    int32_t port = -5;
    const int code = NextProxyEntry(&cursor, &host, &port);
    entries.push_back({code, host ? host.get() : "(none)", port});
  }
  return entries;
}

TEST(NextProxyEntry, SchemesHostsAndPorts) {
  EXPECT_EQ(Walk("ftp=f:21;http=h:8080"),
            (std::vector<Entry>{{kProxySchemeFtp, "f", 21}, {kProxySchemeHttp, "h", 8080}}));
  EXPECT_EQ(Walk("proxy1:3128"), (std::vector<Entry>{{kProxySchemeAll, "proxy1", 3128}}));
  EXPECT_EQ(Walk("HTTPS=s:443; Gopher = g ;socks=k:1080"),
            (std::vector<Entry>{
                {kProxySchemeHttps, "s", 443}, {kProxySchemeGopher, "g", 0}, {kProxySchemeUnknown, "k", 1080}}));
}

// Entries as the system's settings dialog and other programs write them.
TEST(NextProxyEntry, AddressesWithSchemesAndUserNames) {
  EXPECT_EQ(Walk("http=http://proxy:3128"), (std::vector<Entry>{{kProxySchemeHttp, "proxy", 3128}}));
  EXPECT_EQ(Walk("http=http://u:p@proxy:8080/;https=https://s:443"),
            (std::vector<Entry>{{kProxySchemeHttp, "proxy", 8080}, {kProxySchemeHttps, "s", 443}}));
  EXPECT_EQ(Walk("http://proxy:3128"), (std::vector<Entry>{{kProxySchemeAll, "proxy", 3128}}));
  EXPECT_EQ(Walk("http=[::1]:3128"), (std::vector<Entry>{{kProxySchemeHttp, "::1", 3128}}));
}

TEST(NextProxyEntry, AnEntryWithoutPortHasPortZeroNotAnEarlierOne) {
  EXPECT_EQ(Walk("ftp=f:21;http=h"), (std::vector<Entry>{{kProxySchemeFtp, "f", 21}, {kProxySchemeHttp, "h", 0}}));
}

TEST(NextProxyEntry, OddTextIsReadSafely) {
  EXPECT_EQ(Walk(""), (std::vector<Entry>{{kProxySchemeAll, "", 0}}));
  EXPECT_EQ(Walk(";"), (std::vector<Entry>{{kProxySchemeAll, "", 0}, {kProxySchemeAll, "", 0}}));
  EXPECT_EQ(Walk("h:99999"), (std::vector<Entry>{{kProxySchemeAll, "h", 0}}));
  EXPECT_EQ(Walk("h:80x"), (std::vector<Entry>{{kProxySchemeAll, "h", 0}}));
  EXPECT_EQ(Walk("=h:1"), (std::vector<Entry>{{kProxySchemeUnknown, "h", 1}}));
  EXPECT_EQ(Walk("http=a=b:2"), (std::vector<Entry>{{kProxySchemeHttp, "a=b", 2}}));

  HeapText host;
  int32_t port = 7;
  char* exhausted = nullptr;
  EXPECT_EQ(NextProxyEntry(&exhausted, &host, &port), kProxySchemeUnknown);
  EXPECT_EQ(host, nullptr);
  EXPECT_EQ(port, 0);
  EXPECT_EQ(NextProxyEntry(nullptr, &host, &port), kProxySchemeUnknown);
}

// proxy_addresses/: each .txt holds one address as typed (its line end is
// not part of it), the .expected beside it the host and port read from it.
TEST(SplitProxyAddress, Corpus) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (const auto& entry : fs::directory_iterator(CORVALE_PROXY_ADDRESSES_DIR)) {
    if (entry.path().extension() == ".txt") inputs.push_back(entry.path());
  }
  std::sort(inputs.begin(), inputs.end());
  ASSERT_GE(inputs.size(), 10u);
  auto read = [](const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  };
  for (const fs::path& input : inputs) {
    SCOPED_TRACE(input.filename().string());
    std::string typed = read(input);
    if (!typed.empty() && typed.back() == '\n') typed.pop_back();
    const ProxyAddress address = SplitProxyAddress(typed);
    fs::path expected = input;
    expected.replace_extension(".expected");
    EXPECT_EQ(read(expected), "host=[" + address.host + "] port=" + std::to_string(address.port) + "\n");
  }
}

}  // namespace
