// akrip.dll's CDDB client against a server in this process on 127.0.0.1,
// reached directly and as an HTTP proxy: matches, records, server errors, and
// servers that stall, hang up, babble or flood.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "akrip/cddb_disc_id.h"
#include "support/akrip_exports.h"
#include "support/cddb_test_server.h"
#include "support/disc_image.h"
#include "support/temp_dir.h"

namespace {

using testing_support::CddbTestServer;
using CddbExports = testing_support::AkripExports;
using testing_support::HttpAnswer;
using testing_support::ServerAnswer;

std::string Ansi(const wchar_t* text) {
  char buffer[64] = "";
  WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
  return buffer;
}

class CddbLoopback : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.module, nullptr);
    ASSERT_NE(dll_.get_disk_info, nullptr);
    disc_ = testing_support::WriteTestDisc(dir_.path(), "lookup disc", {{4000}, {5000}, {3000, true}});
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_IMAGES", disc_.cue_path.c_str()));
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "400"));
    akrip::DriveList list;
    std::memset(&list, 0, sizeof list);
    list.capacity = 8;
    ASSERT_EQ(dll_.get_cd_list(&list), 1);
    ASSERT_GE(list.count, 1);
    const akrip::DriveRecord& drive = list.drives[list.count - 1];
    akrip::OpenRequest request{12, 1, drive.host_adapter, 0, 0, 0, 0, 2, 4};
    handle_ = dll_.get_cd_handle(&request);
    ASSERT_NE(handle_, 0u);
    akrip::Toc toc;
    std::memset(&toc, 0, sizeof toc);
    ASSERT_EQ(dll_.read_toc(handle_, &toc), 1u);
    akrip::CddbDiscId disc;
    ASSERT_TRUE(akrip::ComputeCddbDiscId(toc, &disc).ok);
    query_arguments_ = akrip::CddbQueryArguments(disc);
  }
  void TearDown() override {
    if (handle_) dll_.close_cd_handle(handle_);
    SetEnvironmentVariableA("AKRIP_IMAGES", nullptr);
    SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);
  }

  void Direct(const CddbTestServer& server) {
    ASSERT_TRUE(server.ok());
    dll_.set_option(akrip::kCddbUseProxy, nullptr, 0);
    ASSERT_EQ(dll_.set_option(akrip::kCddbServer, "127.0.0.1", 0), 1);
    ASSERT_EQ(dll_.set_option(akrip::kCddbHttpPort, nullptr, server.port()), 1);
    dll_.set_option(akrip::kCddbCgiPath, "/~cddb/cddb.cgi", 0);
    dll_.set_option(akrip::kCddbUserEmail, "tester@corvale.invalid", 0);
    dll_.set_option(akrip::kCddbClientName, "audiocd v1.0", 0);
  }

  // Runs a query; its result, with the matches in matches_ and their count.
  int Query(int* count) {
    matches_.assign(20, akrip::CddbMatch{});
    akrip::CddbQueryRequest request{20, matches_.data()};
    const int result = dll_.query(handle_, &request);
    *count = request.capacity;
    return result;
  }

  // A query that must fail: its last error, and how long it took.
  int FailedQuery(std::chrono::milliseconds* took) {
    const auto start = std::chrono::steady_clock::now();
    int count = 0;
    EXPECT_EQ(Query(&count), 0);
    *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return dll_.last_error();
  }

  CddbExports dll_;
  testing_support::TempDir dir_;
  testing_support::TestDisc disc_;
  akrip::Handle handle_ = 0;
  std::string query_arguments_;
  std::vector<akrip::CddbMatch> matches_;
};

TEST_F(CddbLoopback, OneMatchAndItsRecord) {
  CddbTestServer server([](const std::string& request) {
    if (request.find("cmd=cddb+query+") != std::string::npos) {
      return HttpAnswer("200 rock 0a0b0c0d Bj\xc3\xb6rk / Caf\xc3\xa9 Songs\r\n");
    }
    return HttpAnswer(
        "210 rock 0a0b0c0d\r\n# xmcd\r\nDTITLE=Bj\xc3\xb6rk / Caf\xc3\xa9 Songs\r\nTTITLE0=One\r\n"
        "TTITLE1=Tw\r\nTTITLE1=o\r\nTTITLE2=Data\r\n.\r\n");
  });
  Direct(server);
  int count = 0;
  ASSERT_EQ(Query(&count), 1);
  ASSERT_EQ(count, 1);
  EXPECT_STREQ(matches_[0].category, "rock");
  EXPECT_EQ(matches_[0].exact, 1);
  EXPECT_EQ(std::string(matches_[0].artist), Ansi(L"Bj\x00f6rk"));
  EXPECT_EQ(std::string(matches_[0].title), Ansi(L"Caf\x00e9 Songs"));

  std::vector<char> text(10000, 'x');
  ASSERT_EQ(dll_.get_disk_info(&matches_[0], text.data(), int(text.size())), 1);
  EXPECT_EQ(std::string(text.data()),
            "# xmcd\nDTITLE=" + Ansi(L"Bj\x00f6rk / Caf\x00e9 Songs") + "\nTTITLE0=One\nTTITLE1=Two\nTTITLE2=Data\n");

  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  std::string expected_query = "cddb " + query_arguments_;
  for (char& c : expected_query)
    if (c == ' ') c = '+';
  EXPECT_EQ(requests[0].rfind("GET /~cddb/cddb.cgi?cmd=cddb+query+" + expected_query.substr(5) +
                                  "&hello=tester+corvale.invalid+audiocd+v1.0&proto=6 HTTP/1.0\r\n",
                              0),
            0u)
      << requests[0];
  EXPECT_NE(requests[0].find("\r\nHost: 127.0.0.1:" + std::to_string(server.port()) + "\r\n"), std::string::npos);
  EXPECT_NE(requests[1].find("cmd=cddb+read+rock+0a0b0c0d&"), std::string::npos);
}

TEST_F(CddbLoopback, SeveralMatchesAndNone) {
  bool none = false;
  CddbTestServer server([&none](const std::string&) {
    if (none) return HttpAnswer("202 No match found.\r\n");
    return HttpAnswer(
        "211 close matches\r\nrock 11111111 A / One\r\njazz 22222222 B / Two\r\n"
        "misc 33333333 C / Three\r\n.\r\n");
  });
  Direct(server);
  int count = 0;
  ASSERT_EQ(Query(&count), 1);
  ASSERT_EQ(count, 3);
  EXPECT_STREQ(matches_[2].title, "Three");
  EXPECT_EQ(matches_[1].exact, 0);
  none = true;
  ASSERT_EQ(Query(&count), 1);
  EXPECT_EQ(count, 0);
}

TEST_F(CddbLoopback, ServerErrorsFail) {
  std::string reply;
  CddbTestServer server([&reply](const std::string&) { return ServerAnswer{ServerAnswer::kSend, reply}; });
  Direct(server);
  std::chrono::milliseconds took{};
  for (const char* code :
       {"403 Database entry is corrupt.", "409 No handshake.", "500 Syntax error.", "530 Server busy."}) {
    reply = "HTTP/1.0 200 OK\r\n\r\n" + std::string(code) + "\r\n";
    EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbReply) << code;
  }
  reply = "HTTP/1.0 500 Internal Server Error\r\n\r\n200 rock 11111111 A / B\r\n";
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbReply);
  std::vector<char> text(100, 'x');
  akrip::CddbMatch match{};
  std::strcpy(match.category, "rock");
  std::strcpy(match.disc_id, "11111111");
  reply = "HTTP/1.0 200 OK\r\n\r\n401 No such entry.\r\n";
  EXPECT_EQ(dll_.get_disk_info(&match, text.data(), int(text.size())), 0);
  EXPECT_STREQ(text.data(), "");
}

TEST_F(CddbLoopback, StallsHangUpsGarbageAndFloodsEndInBoundedTime) {
  ServerAnswer answer;
  CddbTestServer server([&answer](const std::string&) { return answer; });
  Direct(server);
  std::chrono::milliseconds took{};

  answer = {ServerAnswer::kStall, ""};
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbTimeout);
  EXPECT_LT(took.count(), 3000);
  answer = {ServerAnswer::kStall, "HTTP/1.0 200 OK\r\n\r\n211 close\r\nrock 11111111 A / B\r\n"};
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbTimeout);
  EXPECT_LT(took.count(), 3000);

  answer = {ServerAnswer::kCloseAtOnce, ""};
  EXPECT_NE(FailedQuery(&took), akrip::kErrNone);
  answer = {ServerAnswer::kSend, "HTTP/1.0 200 OK\r\n\r\n211 close\r\nrock 11111111 A / B\r\n"};
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbReply);  // closed before the "." line

  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage += char((i * 7919) % 251);
  answer = {ServerAnswer::kSend, garbage};
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbReply);

  answer = HttpAnswer("211 close\r\n" + std::string(10 * 1024 * 1024, 'a') + "\r\n.\r\n");
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbReply);
  EXPECT_LT(took.count(), 5000);
}

TEST_F(CddbLoopback, AServerThatIsGoneIsRefusedAtOnce) {
  uint16_t gone_port = 0;
  {
    CddbTestServer gone([](const std::string&) { return HttpAnswer("202 none\r\n"); });
    Direct(gone);
    gone_port = gone.port();
  }
  dll_.set_option(akrip::kCddbHttpPort, nullptr, gone_port);
  std::chrono::milliseconds took{};
  EXPECT_EQ(FailedQuery(&took), akrip::kErrCddbNetwork);
}

TEST_F(CddbLoopback, ThroughAProxyTheServerNameGoesUnresolved) {
  CddbTestServer proxy([](const std::string&) { return HttpAnswer("202 No match.\r\n"); });
  ASSERT_TRUE(proxy.ok());
  Direct(proxy);
  ASSERT_EQ(dll_.set_option(akrip::kCddbServer, "cddb.server.invalid", 0), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbHttpPort, nullptr, 80), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbUseProxy, nullptr, 1), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbProxyHost, "127.0.0.1", 0), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbProxyPort, nullptr, proxy.port()), 1);
  int count = -1;
  ASSERT_EQ(Query(&count), 1) << dll_.last_error();
  EXPECT_EQ(count, 0);
  const std::vector<std::string> requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET http://cddb.server.invalid/~cddb/cddb.cgi?cmd=cddb+query+", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nHost: cddb.server.invalid\r\n"), std::string::npos);
  dll_.set_option(akrip::kCddbUseProxy, nullptr, 0);
}

TEST_F(CddbLoopback, HttpGetTellsStatusesApartAndRefusesBadReplies) {
  ASSERT_NE(dll_.http_get, nullptr);
  const std::string binary("\x03\x00\x00\x00\xff\r\n\r\n", 9);
  struct Case {
    const char* name;
    ServerAnswer answer;
    int result;
    int error;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"a binary body",
       {ServerAnswer::kSend, "HTTP/1.0 200 OK\r\nContent-Length: 9\r\n\r\n" + binary},
       1,
       0,
       200,
       binary},
      {"not in the database", {ServerAnswer::kSend, "HTTP/1.1 404 Not Found\r\n\r\n<html>gone</html>"}, 1, 0, 404, ""},
      {"cut short",
       {ServerAnswer::kSend, "HTTP/1.0 200 OK\r\nContent-Length: 90\r\n\r\n" + binary},
       0,
       akrip::kErrCddbReply,
       0,
       ""},
      {"larger than the buffer", HttpAnswer(std::string(5000, 'x')), 0, akrip::kErrCddbReply, 0, ""},
      {"garbage", {ServerAnswer::kSend, "\x01\x02 nothing like HTTP\r\n\r\n"}, 0, akrip::kErrCddbReply, 0, ""},
      {"a stall", {ServerAnswer::kStall, "HTTP/1.0 200 OK\r\n"}, 0, akrip::kErrCddbTimeout, 0, ""},
  };
  const Case* current = nullptr;
  CddbTestServer server([&current](const std::string&) { return current->answer; });
  ASSERT_TRUE(server.ok());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    current = &c;
    uint8_t buffer[4096];
    int32_t size = -1;
    int32_t status = -1;
    EXPECT_EQ(dll_.http_get("127.0.0.1", server.port(), "/accuraterip/a/b/c/dBAR-003.bin", buffer, sizeof buffer, &size,
                            &status),
              c.result);
    if (c.result == 1) {
      EXPECT_EQ(status, c.status);
      EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size_t(size)), c.body);
    } else {
      EXPECT_EQ(dll_.last_error(), c.error);
    }
  }
  EXPECT_EQ(server.Requests().back().rfind("GET /accuraterip/a/b/c/dBAR-003.bin HTTP/1.0\r\n", 0), 0u);

  // Through the proxy of the CDDB options, the host goes unresolved.
  Direct(server);
  ASSERT_EQ(dll_.set_option(akrip::kCddbProxyHost, "127.0.0.1", 0), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbProxyPort, nullptr, server.port()), 1);
  ASSERT_EQ(dll_.set_option(akrip::kCddbUseProxy, nullptr, 1), 1);
  current = &cases[1];
  uint8_t buffer[16];
  int32_t size = 0;
  int32_t status = 0;
  EXPECT_EQ(dll_.http_get("db.server.invalid", 80, "/x.bin", buffer, sizeof buffer, &size, &status), 1);
  EXPECT_EQ(status, 404);
  EXPECT_EQ(server.Requests().back().rfind("GET http://db.server.invalid/x.bin HTTP/1.0\r\n", 0), 0u);
  dll_.set_option(akrip::kCddbUseProxy, nullptr, 0);
}

// The modules a program image imports, from its import table.  The image is
// only mapped: nothing it imports is loaded for the question.
std::vector<std::string> ImportedModules(const char* file) {
  std::vector<std::string> modules;
  HMODULE image = LoadLibraryExA(file, nullptr, DONT_RESOLVE_DLL_REFERENCES);
  if (image == nullptr) return modules;
  const auto* base = reinterpret_cast<const unsigned char*>(image);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress != 0) {
    for (const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name != 0; ++entry) {
      modules.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    }
  }
  FreeLibrary(image);
  return modules;
}

// A program loads the library at start-up to list its drives; the network
// stack comes with the first lookup (the tests above), not with the library.
TEST(CddbWinsock, TheLibraryDoesNotImportWinsock) {
  const std::vector<std::string> modules = ImportedModules("akrip.dll");
  ASSERT_FALSE(modules.empty());
  for (const std::string& module : modules) EXPECT_NE(_stricmp(module.c_str(), "ws2_32.dll"), 0) << module;
}

}  // namespace
