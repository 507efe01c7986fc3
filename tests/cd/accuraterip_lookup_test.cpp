// The AccurateRip lookup of the disc in the drive against a database server in
// this process: the file it asks for, and what each kind of answer becomes.
#include "cd/accuraterip_lookup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "cd/cd_drives.h"
#include "support/cd_test_disc.h"
#include "support/cddb_test_server.h"

namespace {

using testing_support::CddbTestServer;
using testing_support::ServerAnswer;

void PutLittleEndian(std::string* bytes, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) bytes->push_back(char(value >> shift & 0xFF));
}

// One response for `disc`, every track with confidence 3 and checksum 7.
std::string Response(const akrip::AccurateRipDiscId& disc) {
  std::string bytes(1, char(disc.audio_tracks));
  PutLittleEndian(&bytes, disc.id1);
  PutLittleEndian(&bytes, disc.id2);
  PutLittleEndian(&bytes, disc.cddb_id);
  for (int i = 0; i < disc.audio_tracks; ++i) {
    bytes.push_back(3);
    PutLittleEndian(&bytes, 7);
    PutLittleEndian(&bytes, 0);
  }
  return bytes;
}

ServerAnswer Ok(const std::string& body) {
  return {ServerAnswer::kSend, "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body};
}

class AccurateRipLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", "400"));
    ASSERT_EQ(SelectDrive(cd_tests::TwelveTrackDriveIndex()), 1);
    akrip::Toc toc{};
    ASSERT_EQ(ReadTOC(CurrentDriveHandle(), &toc), akrip::kSuccess);
    ASSERT_TRUE(akrip::ComputeAccurateRipDiscId(toc, &disc_).ok);
  }
  void TearDown() override {
    SetEnvironmentVariableA("AKRIP_CDDB_TIMEOUT_MS", nullptr);
    SetEnvironmentVariableA("CORVALE_ACCURATERIP_SERVER", nullptr);
  }
  void Point(const std::string& server) {
    ASSERT_TRUE(SetEnvironmentVariableA("CORVALE_ACCURATERIP_SERVER", server.c_str()));
  }

  akrip::AccurateRipDiscId disc_;
};

TEST_F(AccurateRipLookupTest, EachKindOfAnswer) {
  const std::string good = Response(disc_);
  akrip::AccurateRipDiscId other = disc_;
  other.id1 ^= 1;
  const struct {
    const char* name;
    ServerAnswer answer;
    AccurateRipLookupState state;
    const char* failure;
    size_t responses;
  } cases[] = {
      {"the disc's checksums", Ok(good + good), AccurateRipLookupState::kAnswered, "", 2},
      {"a response for another pressing's ids is left out", Ok(Response(other) + good),
       AccurateRipLookupState::kAnswered, "", 1},
      {"404", {ServerAnswer::kSend, "HTTP/1.0 404 Not Found\r\n\r\n"}, AccurateRipLookupState::kNotInDatabase, "", 0},
      {"a server error",
       {ServerAnswer::kSend, "HTTP/1.0 500 Oops\r\n\r\n"},
       AccurateRipLookupState::kFailed,
       "HTTP status 500",
       0},
      {"a reply cut inside a response", Ok(good.substr(0, good.size() - 4)), AccurateRipLookupState::kFailed,
       "bad reply", 0},
      {"garbage", {ServerAnswer::kSend, "garbage\r\n\r\n"}, AccurateRipLookupState::kFailed, "bad reply", 0},
      {"a stall", {ServerAnswer::kStall, "HTTP/1.0 200 OK\r\n"}, AccurateRipLookupState::kFailed, "timeout", 0},
      {"a hang-up", {ServerAnswer::kCloseAtOnce, ""}, AccurateRipLookupState::kFailed, "bad reply", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CddbTestServer server([&](const std::string&) { return c.answer; });
    ASSERT_TRUE(server.ok());
    Point("127.0.0.1:" + std::to_string(server.port()));
    const std::shared_ptr<AccurateRipLookup> lookup = StartAccurateRipLookupOfCurrentDisc();
    ASSERT_TRUE(lookup);
    ASSERT_TRUE(lookup->Wait(10000));
    EXPECT_EQ(lookup->answer().state, c.state);
    EXPECT_EQ(lookup->answer().failure, c.failure);
    EXPECT_EQ(lookup->answer().reply.responses.size(), c.responses);
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].find("GET /" + akrip::AccurateRipPath(disc_) + " HTTP/1."), 0u)
        << server.Requests()[0];
  }
}

TEST_F(AccurateRipLookupTest, NoServerListeningIsNoNetwork) {
  Point("127.0.0.1:9");
  const std::shared_ptr<AccurateRipLookup> lookup = StartAccurateRipLookupOfCurrentDisc();
  ASSERT_TRUE(lookup);
  ASSERT_TRUE(lookup->Wait(10000));
  EXPECT_EQ(lookup->answer().state, AccurateRipLookupState::kFailed);
  EXPECT_EQ(lookup->answer().failure, "no network");
  // Audio tracks are numbered from 1 in the table of contents of this disc.
  EXPECT_EQ(lookup->AudioIndexOf(1), 0);
  EXPECT_EQ(lookup->AudioIndexOf(99), -1);
}

}  // namespace
