// The CDDB client over a scripted transport: what it sends for a table of
// contents, how it fills the caller's match records and disc record, and how
// failures of the exchange come back.
#include "akrip/cddb_client.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "akrip/cddb_disc_id.h"
#include "akrip/cdda.h"

namespace {

struct Script {
  std::vector<std::string> replies;
  akrip::LibError error = akrip::kErrNone;
  std::vector<std::string> requests;
  std::vector<akrip::HttpTarget> targets;
};

class ScriptedTransport : public akrip::CddbTransport {
 public:
  explicit ScriptedTransport(Script* script) : script_(script) {}
  akrip::LibError Exchange(const akrip::HttpTarget& target, const std::string& request, const akrip::CddbLimits&,
                           akrip::CddbClock::time_point, std::string* reply) override {
    script_->requests.push_back(request);
    script_->targets.push_back(target);
    if (script_->error != akrip::kErrNone) return script_->error;
    if (script_->replies.empty()) return akrip::kErrCddbNetwork;
    *reply = script_->replies.front();
    script_->replies.erase(script_->replies.begin());
    return akrip::kErrNone;
  }

 private:
  Script* script_;
};

akrip::Toc ThreeTrackToc() {
  akrip::Toc toc{};
  toc.first_track = 1;
  toc.last_track = 3;
  const uint32_t starts[] = {0, 15000, 30000, 45000};
  for (int i = 0; i < 4; ++i) {
    toc.descriptors[i].track_number = uint8_t(i < 3 ? i + 1 : cdda::kLeadOutTrackNumber);
    toc.descriptors[i].address_be[2] = uint8_t(starts[i] >> 8);
    toc.descriptors[i].address_be[3] = uint8_t(starts[i]);
  }
  return toc;
}

std::string Http(const std::string& body) { return "HTTP/1.0 200 OK\r\n\r\n" + body; }

class CddbClientTest : public testing::Test {
 protected:
  CddbClientTest() : client_(std::make_unique<ScriptedTransport>(&script_), akrip::Utf8Codec()) {
    client_.SetOption(akrip::kCddbServer, "cddb.example.org", 0);
    client_.SetOption(akrip::kCddbUserEmail, "me@example.org", 0);
    client_.SetOption(akrip::kCddbClientName, "audiocd v1.0", 0);
  }
  akrip::LibError Query(int capacity) {
    matches_.assign(20, akrip::CddbMatch{});
    request_ = {capacity, matches_.data()};
    return client_.Query(ThreeTrackToc(), &request_);
  }

  Script script_;
  akrip::CddbClient client_;
  std::vector<akrip::CddbMatch> matches_;
  akrip::CddbQueryRequest request_{};
};

TEST_F(CddbClientTest, QuerySendsTheDiscAndFillsTheMatchRecords) {
  script_.replies = {Http("211 close\r\nrock 1a2b3c4d AC/DC / Back in Black\r\nmisc 0badf00d " + std::string(100, 'A') +
                          " / " + std::string(100, 'T') + "\r\n.\r\n")};
  ASSERT_EQ(Query(20), akrip::kErrNone);
  akrip::CddbDiscId disc;
  ASSERT_TRUE(akrip::ComputeCddbDiscId(ThreeTrackToc(), &disc).ok);
  ASSERT_EQ(script_.requests.size(), 1u);
  EXPECT_NE(script_.requests[0].find("cmd=cddb+query+" + akrip::DiscIdText(disc.id) + "+3+150+15150+30150+602&"),
            std::string::npos)
      << script_.requests[0];
  EXPECT_EQ(script_.targets[0].host, "cddb.example.org");
  ASSERT_EQ(request_.capacity, 2);
  EXPECT_STREQ(matches_[0].category, "rock");
  EXPECT_STREQ(matches_[0].disc_id, "1a2b3c4d");
  EXPECT_EQ(matches_[0].exact, 0);
  EXPECT_STREQ(matches_[0].artist, "AC/DC");
  EXPECT_STREQ(matches_[0].title, "Back in Black");
  EXPECT_EQ(std::string(matches_[1].artist), std::string(80, 'A'));
  EXPECT_EQ(std::string(matches_[1].title), std::string(80, 'T'));
}

TEST_F(CddbClientTest, MatchesBeyondTheCapacityAreLeftOut) {
  std::string list = "210 exact\r\n";
  for (int i = 0; i < 25; ++i) list += "rock 0000000" + std::to_string(i % 10) + " A / B\r\n";
  script_.replies = {Http(list + ".\r\n")};
  ASSERT_EQ(Query(20), akrip::kErrNone);
  EXPECT_EQ(request_.capacity, 20);
  script_.replies = {Http("202 no match\r\n")};
  ASSERT_EQ(Query(20), akrip::kErrNone);
  EXPECT_EQ(request_.capacity, 0);
}

TEST_F(CddbClientTest, ReadFetchesTheMatchAndHandsOutItsRecord) {
  script_.replies = {Http("200 rock 1a2b3c4d A / B\r\n"),
                     Http("210 rock 1a2b3c4d\r\nDTITLE=A / B\r\nTTITLE0=x\r\nTTITLE0=y\r\n.\r\n")};
  ASSERT_EQ(Query(20), akrip::kErrNone);
  char text[10000];
  ASSERT_EQ(client_.GetDiskInfo(&matches_[0], text, sizeof text), akrip::kErrNone);
  EXPECT_STREQ(text, "DTITLE=A / B\nTTITLE0=xy\n");
  EXPECT_NE(script_.requests[1].find("cmd=cddb+read+rock+1a2b3c4d&"), std::string::npos);
}

TEST_F(CddbClientTest, MatchRecordsThatCannotNameAnEntryAreRefused) {
  char text[100] = "old";
  akrip::CddbMatch match{};
  EXPECT_EQ(client_.GetDiskInfo(&match, text, sizeof text), akrip::kErrBadArgument);
  EXPECT_STREQ(text, "");
  std::strcpy(match.category, "rock");
  std::memset(match.disc_id, '1', sizeof match.disc_id);  // no NUL in the field
  EXPECT_EQ(client_.GetDiskInfo(&match, text, sizeof text), akrip::kErrBadArgument);
  std::strcpy(match.disc_id, "1a2b3c4d");
  std::strcpy(match.category, "ro ck");
  EXPECT_EQ(client_.GetDiskInfo(&match, text, sizeof text), akrip::kErrBadArgument);
  EXPECT_EQ(client_.GetDiskInfo(nullptr, text, sizeof text), akrip::kErrBadArgument);
  EXPECT_EQ(client_.GetDiskInfo(&match, text, 0), akrip::kErrBadArgument);
  EXPECT_TRUE(script_.requests.empty());
}

TEST_F(CddbClientTest, FailuresComeBackAsTheirCodes) {
  script_.error = akrip::kErrCddbTimeout;
  EXPECT_EQ(Query(20), akrip::kErrCddbTimeout);
  script_.error = akrip::kErrNone;
  script_.replies = {"HTTP/1.0 503 Busy\r\n\r\n"};
  EXPECT_EQ(Query(20), akrip::kErrCddbReply);
  script_.replies = {Http("530 busy\r\n")};
  EXPECT_EQ(Query(20), akrip::kErrCddbReply);
  EXPECT_EQ(client_.Query(ThreeTrackToc(), nullptr), akrip::kErrBadArgument);
  akrip::Toc empty{};
  EXPECT_EQ(client_.Query(empty, &request_), akrip::kErrNotReady);
}

TEST_F(CddbClientTest, OptionsRefuseLineBreaksAndBadPortsAndKeepTheirValue) {
  EXPECT_EQ(client_.SetOption(akrip::kCddbServer, "evil\r\nHost: x", 0), 0);
  EXPECT_EQ(client_.Options().server, "cddb.example.org");
  EXPECT_EQ(client_.SetOption(akrip::kCddbHttpPort, nullptr, 0), 0);
  EXPECT_EQ(client_.SetOption(akrip::kCddbProxyPort, nullptr, 70000), 0);
  EXPECT_EQ(client_.SetOption(99, "x", 0), 0);
  EXPECT_EQ(client_.Options().http_port, 80);

  ASSERT_EQ(client_.SetOption(akrip::kCddbUseProxy, nullptr, 1), 1);
  ASSERT_EQ(client_.SetOption(akrip::kCddbProxyHost, "proxy.lan", 0), 1);
  ASSERT_EQ(client_.SetOption(akrip::kCddbProxyPort, nullptr, 8080), 1);
  script_.replies = {Http("202 none\r\n")};
  ASSERT_EQ(Query(20), akrip::kErrNone);
  EXPECT_EQ(script_.targets.back().host, "proxy.lan");
  EXPECT_EQ(script_.targets.back().port, 8080);
  EXPECT_EQ(script_.requests.back().compare(0, 34, "GET http://cddb.example.org/~cddb/"), 0);

  // A cleared proxy host with the proxy still on sends nothing.
  ASSERT_EQ(client_.SetOption(akrip::kCddbProxyHost, nullptr, 0), 1);
  const size_t sent = script_.requests.size();
  EXPECT_EQ(Query(20), akrip::kErrBadArgument);
  EXPECT_EQ(script_.requests.size(), sent);
}

}  // namespace
