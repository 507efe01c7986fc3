// The lookup thread against a CDDB server in this process, set as the HTTP
// proxy so that the built-in server's name is never resolved: the match it
// takes, the record it parses, its message, and its end when the server stalls.
#include "cd/cddb_lookup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <string>

#include "cd/cd_drives.h"
#include "support/cd_test_disc.h"
#include "support/cddb_test_server.h"
#include "support/job_window.h"

namespace {

using testing_support::CddbTestServer;
using testing_support::HttpAnswer;
using testing_support::ServerAnswer;

class CddbLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "400"));
    ASSERT_EQ(SelectDrive(cd_tests::TwelveTrackDriveIndex()), 1);
  }
  void TearDown() override {
    WaitForEnd();
    SetCddbProxyHost(1, nullptr);
    SetCddbProxyPort(2, 0);
    SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);
  }
  void UseProxy(const CddbTestServer& server) {
    ASSERT_TRUE(server.ok());
    SetCddbProxyHost(1, "127.0.0.1");
    SetCddbProxyPort(2, server.port());
  }
  // Pumps messages until the lookup's WM_USER 1000 arrives.
  bool WaitForEnd(DWORD timeout_ms = 20000) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout_ms) {
      for (const testing_support::PostedMessage& posted : window_.posted()) {
        if (posted.code == kCddbLookupEnded && posted.param == 0) return true;
      }
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      Sleep(5);
    }
    return false;
  }

  testing_support::JobWindow window_;
};

TEST_F(CddbLookupTest, AmongCloseMatchesTheFirstIsRead) {
  CddbTestServer server([](const std::string& request) {
    if (request.find("cmd=cddb+query") != std::string::npos) {
      return HttpAnswer(
          "211 close matches\r\nrock 11111111 Near / Miss\r\nmisc 22222222 Band / Album\r\n"
          "jazz 33333333 Other / Exact\r\n.\r\n");
    }
    return HttpAnswer("210 rock 11111111\r\nDTITLE=Near / Miss\r\n.\r\n");
  });
  UseProxy(server);
  ASSERT_EQ(StartCddbLookup(window_.handle()), 1);
  // One at a time; nothing to take while it runs.
  EXPECT_EQ(StartCddbLookup(window_.handle()), 0);
  CddbLookup result{};
  EXPECT_EQ(TakeCddbLookupResult(&result), 0);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(IsCddbLookupRunning(), 0);
  ASSERT_EQ(TakeCddbLookupResult(&result), 1);
  EXPECT_EQ(TakeCddbLookupResult(&result), 0) << "a result is taken once";
  EXPECT_EQ(result.found, 1);
  EXPECT_STREQ(result.artist, "Near");
  EXPECT_STREQ(result.title, "Miss");
  EXPECT_STREQ(result.disc.disc_title, "Near / Miss");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].rfind("GET http://gnudb.gnudb.org/~cddb/cddb.cgi?cmd=cddb+query+", 0), 0u);
  EXPECT_NE(requests[0].find("&hello=lookup+corvale.invalid+audiocd+v1.0&proto=6 "), std::string::npos);
  EXPECT_NE(requests[1].find("cmd=cddb+read+rock+11111111"), std::string::npos);
}

TEST_F(CddbLookupTest, TheRecordOfTheMatchIsParsed) {
  CddbTestServer server([](const std::string& request) {
    if (request.find("cmd=cddb+query") != std::string::npos) {
      return HttpAnswer("210 exact and close\r\nrock 11111111 Near / Miss\r\nmisc 22222222 Band / Album\r\n.\r\n");
    }
    return HttpAnswer("210 misc 22222222\r\nDTITLE=Band / Album\r\nTTITLE0=First=Song\r\nTTITLE11=Last\r\n.\r\n");
  });
  UseProxy(server);
  ASSERT_EQ(StartCddbLookup(window_.handle()), 1);
  ASSERT_TRUE(WaitForEnd());
  CddbLookup result{};
  ASSERT_EQ(TakeCddbLookupResult(&result), 1);
  EXPECT_EQ(result.found, 1);
  EXPECT_STREQ(result.artist, "Near");
  EXPECT_STREQ(result.disc.disc_title, "Band / Album");
  EXPECT_EQ(result.disc.title_count, 12);
  EXPECT_STREQ(result.disc.track_titles[0], "First=Song");
  EXPECT_STREQ(result.disc.track_titles[11], "Last");
}

TEST_F(CddbLookupTest, ProxyChangedDuringALookupReachesOnlyTheNext) {
  CddbTestServer server([](const std::string&) { return HttpAnswer("202 no match\r\n"); });
  UseProxy(server);
  ASSERT_EQ(StartCddbLookup(window_.handle()), 1);
  SetCddbProxyHost(1, "proxy.elsewhere.invalid");
  SetCddbProxyPort(2, 1);
  ASSERT_TRUE(WaitForEnd());
  CddbLookup result{};
  ASSERT_EQ(TakeCddbLookupResult(&result), 1);
  EXPECT_EQ(result.found, 0);
  EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(CddbLookupTest, AStalledServerEndsTheLookupWithItsMessage) {
  CddbTestServer server([](const std::string&) { return ServerAnswer{ServerAnswer::kStall, ""}; });
  UseProxy(server);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(StartCddbLookup(window_.handle()), 1);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  CddbLookup result{};
  ASSERT_EQ(TakeCddbLookupResult(&result), 1);
  EXPECT_EQ(result.found, 0);
  EXPECT_STREQ(result.title, "");
}

TEST_F(CddbLookupTest, WithoutADriveTheLookupEndsAtOnce) {
  SelectDrive(-1);
  ASSERT_EQ(StartCddbLookup(window_.handle()), 1);
  ASSERT_TRUE(WaitForEnd(5000));
  CddbLookup result{};
  ASSERT_EQ(TakeCddbLookupResult(&result), 1);
  EXPECT_EQ(result.found, 0);
}

}  // namespace

namespace {

TEST(CddbProxyPort, OnlyARealPortIsUsedAndAnyOtherStoredValueMeansTheHttpPort) {
  for (int32_t port : {1, 80, 3128, 65535}) EXPECT_EQ(CddbProxyPortInUse(port), port);
  for (int32_t port : {0, -1, -3128, 65536, 70000, INT32_MIN, INT32_MAX}) {
    EXPECT_EQ(CddbProxyPortInUse(port), 80) << port;
  }
}

}  // namespace
