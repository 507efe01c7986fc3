// Command blocks and answers of real drives, through a fake transport that
// plays a drive: it checks each command and answers from a script.
#include "akrip/scsi_drive.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "akrip/cdda.h"

namespace {

struct FakeTransport : akrip::ScsiTransport {
  std::vector<akrip::ScsiCommand> commands;
  std::vector<uint8_t> answer;  // copied into the data buffer, cut to its size
  akrip::ScsiOutcome outcome{true, akrip::kScsiStatusGood, 0, {}, 0, 0};
  bool transfer_all = true;

  akrip::ScsiOutcome Execute(const akrip::ScsiCommand& command, uint8_t* data, uint32_t size) override {
    commands.push_back(command);
    akrip::ScsiOutcome result = outcome;
    uint32_t n = std::min<uint32_t>(size, static_cast<uint32_t>(answer.size()));
    if (n) std::memcpy(data, answer.data(), n);
    if (transfer_all) result.bytes_transferred = n;
    return result;
  }

  void Sense(uint8_t response, uint8_t key) {
    outcome.status = akrip::kScsiStatusCheckCondition;
    std::memset(outcome.sense, 0, sizeof outcome.sense);
    outcome.sense[0] = response;
    if ((response & 0x7F) >= 0x72) {
      outcome.sense[1] = key;
    } else {
      outcome.sense[2] = key;
    }
    outcome.sense_length = 18;
  }
};

std::vector<uint8_t> TocAnswer(int first, int last, uint8_t lead_out_number = 0xAA) {
  std::vector<uint8_t> a = {0, 0, uint8_t(first), uint8_t(last)};
  for (int t = first; t <= last + 1; ++t) {
    uint32_t lba = 1000u * uint32_t(t - first) + 0x10000u;
    uint8_t number = t <= last ? uint8_t(t) : lead_out_number;
    a.insert(a.end(), {0, 0x10, number, 0, uint8_t(lba >> 24), uint8_t(lba >> 16), uint8_t(lba >> 8), uint8_t(lba)});
  }
  a[1] = uint8_t(a.size() - 2);
  return a;
}

TEST(ScsiCommands, BlocksAsTheDriveExpectsThem) {
  akrip::ScsiCommand inquiry = akrip::InquiryCommand(96);
  EXPECT_EQ(inquiry.length, 6);
  EXPECT_EQ(inquiry.cdb[0], 0x12);
  EXPECT_EQ(inquiry.cdb[4], 96);

  akrip::ScsiCommand toc = akrip::ReadTocCommand(804);
  EXPECT_EQ(toc.length, 10);
  const uint8_t toc_cdb[10] = {0x43, 0x00, 0x00, 0, 0, 0, 1, 0x03, 0x24, 0};
  EXPECT_EQ(0, std::memcmp(toc.cdb, toc_cdb, 10));

  akrip::ScsiCommand read = akrip::ReadCdAudioCommand(0x01020304, 27);
  EXPECT_EQ(read.length, 12);
  EXPECT_EQ(read.direction, akrip::DataDirection::kIn);
  const uint8_t read_cdb[12] = {0xBE, 0x04, 0x01, 0x02, 0x03, 0x04, 0, 0, 27, 0x10, 0, 0};
  EXPECT_EQ(0, std::memcmp(read.cdb, read_cdb, 12));
}

TEST(ScsiAnswers, InquiryTextJoinsTheTrimmedFields) {
  uint8_t data[36] = {5, 0x80, 0, 0, 31};
  std::memcpy(data + 8, "ACMEDISC", 8);
  std::memcpy(data + 16, "CD-RW DRIVE 52X ", 16);
  std::memcpy(data + 32, "LW01", 4);
  EXPECT_EQ(akrip::InquiryText(data, sizeof data), "ACMEDISC CD-RW DRIVE 52X LW01");
  std::memcpy(data + 8, "  ACME\t\x01 ", 8);  // blanks and control bytes around the name
  EXPECT_EQ(akrip::InquiryText(data, sizeof data), "ACME CD-RW DRIVE 52X LW01");
  EXPECT_EQ(akrip::InquiryText(data, 20), "ACME CD-R");  // a short answer keeps what came
}

TEST(ScsiAnswers, TocResponseIsCheckedAndCopied) {
  akrip::Toc toc;
  std::vector<uint8_t> answer = TocAnswer(1, 3);
  ASSERT_EQ(akrip::TocFromResponse(answer.data(), uint32_t(answer.size()), &toc), akrip::kErrNone);
  EXPECT_EQ(toc.first_track, 1);
  EXPECT_EQ(toc.last_track, 3);
  EXPECT_EQ(toc.descriptors[3].track_number, 0xAA);
  EXPECT_EQ(toc.descriptors[2].address_be[1], 0x01);
  EXPECT_EQ(toc.descriptors[2].address_be[2], 0x07);
  EXPECT_EQ(toc.descriptors[2].address_be[3], 0xD0);
  EXPECT_EQ(toc.data_length_be[1], 2 + 4 * 8);

  answer = TocAnswer(1, 3);
  EXPECT_EQ(akrip::TocFromResponse(answer.data(), uint32_t(answer.size() - 8), &toc), akrip::kErrMediumError)
      << "lead-out cut off";
  answer = TocAnswer(1, 3, 4);
  EXPECT_EQ(akrip::TocFromResponse(answer.data(), uint32_t(answer.size()), &toc), akrip::kErrMediumError)
      << "no lead-out";
  answer = TocAnswer(3, 2);
  EXPECT_EQ(akrip::TocFromResponse(answer.data(), uint32_t(answer.size()), &toc), akrip::kErrMediumError);
  EXPECT_EQ(akrip::TocFromResponse(answer.data(), 3, &toc), akrip::kErrMediumError);
}

TEST(ScsiAnswers, SenseKeysBecomeLibraryErrors) {
  const struct {
    uint8_t key;
    akrip::LibError error;
  } cases[] = {{0x2, akrip::kErrNotReady},    {0x3, akrip::kErrMediumError},
               {0x4, akrip::kErrMediumError}, {0x5, akrip::kErrIllegalRequest},
               {0x6, akrip::kErrNotReady},    {0xB, akrip::kErrTransport},
               {0x1, akrip::kErrNone}};
  for (uint8_t response : {uint8_t(0x70), uint8_t(0xF0), uint8_t(0x72)}) {
    for (const auto& c : cases) {
      FakeTransport drive;
      drive.Sense(response, c.key);
      EXPECT_EQ(akrip::ErrorFromOutcome(drive.outcome), c.error) << int(response) << " key " << int(c.key);
    }
  }
  akrip::ScsiOutcome lost{false, 0, 0, {}, 0, 0};
  EXPECT_EQ(akrip::ErrorFromOutcome(lost), akrip::kErrTransport);
  akrip::ScsiOutcome busy{true, 0x08, 0, {}, 0, 0};
  EXPECT_EQ(akrip::ErrorFromOutcome(busy), akrip::kErrTransport);
  akrip::ScsiOutcome no_sense{true, akrip::kScsiStatusCheckCondition, 0, {}, 0, 0};
  EXPECT_EQ(akrip::ErrorFromOutcome(no_sense), akrip::kErrMediumError);
}

TEST(ScsiDrive, ReadsTocAndSectorsThroughTheTransport) {
  FakeTransport transport;
  akrip::ScsiDrive drive(&transport);
  transport.answer = TocAnswer(1, 2);
  akrip::Toc toc;
  ASSERT_EQ(drive.ReadToc(&toc), akrip::kErrNone);
  EXPECT_EQ(toc.last_track, 2);
  EXPECT_EQ(transport.commands.back().cdb[0], 0x43);

  std::vector<uint8_t> out(3 * cdda::kSectorBytes);
  transport.answer.assign(out.size(), 0x5A);
  uint32_t delivered = 0;
  ASSERT_EQ(drive.ReadAudio(150, 3, out.data(), &delivered), akrip::kErrNone);
  EXPECT_EQ(delivered, out.size());
  EXPECT_EQ(out[out.size() - 1], 0x5A);
  EXPECT_EQ(transport.commands.back().cdb[5], 150);
  EXPECT_EQ(transport.commands.back().cdb[8], 3);
}

TEST(ScsiDrive, ShortTransferAndCheckConditionAreFailures) {
  FakeTransport transport;
  akrip::ScsiDrive drive(&transport);
  std::vector<uint8_t> out(3 * cdda::kSectorBytes);
  transport.answer.assign(2 * cdda::kSectorBytes + 100, 1);  // two whole sectors and a scrap
  uint32_t delivered = 0;
  EXPECT_EQ(drive.ReadAudio(0, 3, out.data(), &delivered), akrip::kErrShortRead);
  EXPECT_EQ(delivered, 2u * cdda::kSectorBytes);

  transport.Sense(0x70, 0x5);
  EXPECT_EQ(drive.ReadAudio(0, 3, out.data(), &delivered), akrip::kErrIllegalRequest);
  EXPECT_EQ(delivered, 0u);
  akrip::Toc toc;
  transport.Sense(0x70, 0x2);
  EXPECT_EQ(drive.ReadToc(&toc), akrip::kErrNotReady);
}

// An Enhanced CD: tracks 1-2 audio in session 1 (lead-out 3000), track 3
// data in session 2 at 14400.
std::vector<uint8_t> EnhancedToc() {
  std::vector<uint8_t> a = {0, 0, 1, 3};
  const uint32_t rows[][3] = {{1, 0x10, 0}, {2, 0x10, 1000}, {3, 0x14, 14400}, {0xAA, 0x14, 15000}};
  for (const auto& r : rows) {
    a.insert(a.end(), {0, uint8_t(r[1]), uint8_t(r[0]), 0, uint8_t(r[2] >> 24), uint8_t(r[2] >> 16), uint8_t(r[2] >> 8),
                       uint8_t(r[2])});
  }
  a[1] = uint8_t(a.size() - 2);
  return a;
}

void FullTocEntry(std::vector<uint8_t>* a, uint8_t session, uint8_t point, uint32_t pmsf_or_track, bool as_msf = true) {
  const uint32_t f = as_msf ? pmsf_or_track + 150 : 0;
  a->insert(a->end(), {session, 0x10, 0, point, 0, 0, 0, 0, as_msf ? uint8_t(f / 4500) : uint8_t(pmsf_or_track),
                       uint8_t(f / 75 % 60), uint8_t(f % 75)});
}

std::vector<uint8_t> EnhancedFullToc(bool with_first_lead_out = true) {
  std::vector<uint8_t> a = {0, 0, 1, 2};
  FullTocEntry(&a, 1, 0xA0, 1, false);
  FullTocEntry(&a, 1, 0xA1, 2, false);
  if (with_first_lead_out) FullTocEntry(&a, 1, 0xA2, 3000);
  FullTocEntry(&a, 1, 1, 0);
  FullTocEntry(&a, 2, 0xA0, 3, false);
  FullTocEntry(&a, 2, 0xA1, 3, false);
  FullTocEntry(&a, 2, 0xA2, 15000);
  a[0] = uint8_t((a.size() - 2) >> 8);
  a[1] = uint8_t(a.size() - 2);
  return a;
}

TEST(ScsiAnswers, FullTocGivesEachSessionsLeadOut) {
  akrip::Toc toc;
  const std::vector<uint8_t> format0 = EnhancedToc();
  ASSERT_EQ(akrip::TocFromResponse(format0.data(), uint32_t(format0.size()), &toc), akrip::kErrNone);
  const std::vector<uint8_t> full = EnhancedFullToc();
  akrip::SessionList sessions;
  ASSERT_TRUE(akrip::SessionsFromFullToc(full.data(), uint32_t(full.size()), toc, &sessions));
  ASSERT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].first_track, 1);
  EXPECT_EQ(sessions.sessions[0].last_track, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, 3000u);
  EXPECT_EQ(sessions.sessions[1].first_track, 3);
  EXPECT_EQ(sessions.sessions[1].lead_out, 15000u);

  // A session without its lead-out, a cut answer, or sessions that leave a
  // track out are not believed.
  const std::vector<uint8_t> no_lead_out = EnhancedFullToc(false);
  EXPECT_FALSE(akrip::SessionsFromFullToc(no_lead_out.data(), uint32_t(no_lead_out.size()), toc, &sessions));
  EXPECT_EQ(sessions.count, 0);
  EXPECT_FALSE(akrip::SessionsFromFullToc(full.data(), 4 + 11 * 4, toc, &sessions));
  EXPECT_FALSE(akrip::SessionsFromFullToc(full.data(), 3, toc, &sessions));
  toc.last_track = 4;
  EXPECT_FALSE(akrip::SessionsFromFullToc(full.data(), uint32_t(full.size()), toc, &sessions));
}

// READ TOC format 1 of the Enhanced CD above: sessions 1 to 2, the last
// starting with track 3 at 14400.
std::vector<uint8_t> EnhancedSessionInfo(uint8_t last_session = 2, uint8_t track = 3, uint32_t start = 14400) {
  return {0,
          10,
          1,
          last_session,
          0,
          0x14,
          track,
          0,
          uint8_t(start >> 24),
          uint8_t(start >> 16),
          uint8_t(start >> 8),
          uint8_t(start)};
}

TEST(ScsiAnswers, SessionInfoEndsTheEarlierSessionsTheGapBeforeTheLast) {
  akrip::Toc toc;
  const std::vector<uint8_t> format0 = EnhancedToc();
  ASSERT_EQ(akrip::TocFromResponse(format0.data(), uint32_t(format0.size()), &toc), akrip::kErrNone);
  akrip::SessionList sessions;
  const std::vector<uint8_t> good = EnhancedSessionInfo();
  ASSERT_TRUE(akrip::SessionsFromSessionInfo(good.data(), uint32_t(good.size()), toc, &sessions));
  ASSERT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].first_track, 1);
  EXPECT_EQ(sessions.sessions[0].last_track, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, 3000u);
  EXPECT_EQ(sessions.sessions[1].first_track, 3);
  EXPECT_EQ(sessions.sessions[1].last_track, 3);
  EXPECT_EQ(sessions.sessions[1].lead_out, 15000u);

  const struct {
    const char* name;
    std::vector<uint8_t> answer;
  } refused[] = {
      {"one session", EnhancedSessionInfo(1, 1, 0)},
      {"last session starts with the first track", EnhancedSessionInfo(2, 1, 0)},
      {"track beyond the TOC", EnhancedSessionInfo(2, 4, 14400)},
      {"start differs from the TOC", EnhancedSessionInfo(2, 3, 14500)},
      {"no room for the gap after the track before", EnhancedSessionInfo(2, 2, 1000)},
      {"cut answer", std::vector<uint8_t>(good.begin(), good.begin() + 10)},
      {"length field too small", {0, 2, 1, 2, 0, 0x14, 3, 0, 0, 0, 0x38, 0x40}},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(akrip::SessionsFromSessionInfo(c.answer.data(), uint32_t(c.answer.size()), toc, &sessions)) << c.name;
    EXPECT_EQ(sessions.count, 0) << c.name;
  }
}

// Answers the full TOC with a script of its own, the rest from `answer`.
struct SessionTransport : FakeTransport {
  std::vector<uint8_t> full_toc;
  std::vector<uint8_t> session_info;
  bool refuse_full_toc = false;
  bool refuse_session_info = false;
  akrip::ScsiOutcome Execute(const akrip::ScsiCommand& command, uint8_t* data, uint32_t size) override {
    if (command.cdb[0] != 0x43 || command.cdb[2] == 0) return FakeTransport::Execute(command, data, size);
    commands.push_back(command);
    akrip::ScsiOutcome result{true, akrip::kScsiStatusGood, 0, {}, 0, 0};
    const bool session_query = command.cdb[2] == 1;
    if (session_query ? refuse_session_info : refuse_full_toc) {
      result.status = akrip::kScsiStatusCheckCondition;
      result.sense[0] = 0x70;
      result.sense[2] = 0x05;
      result.sense_length = 18;
      return result;
    }
    const std::vector<uint8_t>& answer_data = session_query ? session_info : full_toc;
    result.bytes_transferred = std::min<uint32_t>(size, uint32_t(answer_data.size()));
    std::memcpy(data, answer_data.data(), result.bytes_transferred);
    return result;
  }
};

TEST(ScsiDrive, SessionsComeFromTheFullTocOrCoverTheWholeDisc) {
  SessionTransport transport;
  transport.answer = EnhancedToc();
  transport.full_toc = EnhancedFullToc();
  akrip::ScsiDrive drive(&transport);
  akrip::SessionList sessions;
  ASSERT_EQ(drive.ReadSessions(&sessions), akrip::kErrNone);
  EXPECT_EQ(sessions.count, 2);
  EXPECT_EQ(transport.commands.back().cdb[1], 0x02);  // the full TOC is asked in MSF

  // Without the full TOC the session information says where the last
  // session starts; without either the disc is one session.
  transport.refuse_full_toc = true;
  transport.session_info = EnhancedSessionInfo();
  ASSERT_EQ(drive.ReadSessions(&sessions), akrip::kErrNone);
  ASSERT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, 3000u);
  EXPECT_EQ(transport.commands.back().cdb[2], 1);
  EXPECT_EQ(transport.commands.back().cdb[1], 0);  // as LBA
  EXPECT_EQ(transport.commands.back().cdb[6], 0);  // no starting track in this format

  transport.refuse_session_info = true;
  ASSERT_EQ(drive.ReadSessions(&sessions), akrip::kErrNone);
  ASSERT_EQ(sessions.count, 1);
  EXPECT_EQ(sessions.sessions[0].last_track, 3);
  EXPECT_EQ(sessions.sessions[0].lead_out, 15000u);
}

struct LimitedTransport : FakeTransport {
  uint32_t limit = 0;
  uint32_t MaxTransferBytes() const override { return limit; }
};

TEST(ScsiDrive, ReadsAreSplitToTheTransportsLimit) {
  LimitedTransport transport;
  transport.limit = 5 * cdda::kSectorBytes + 100;
  transport.answer.assign(cdda::kReadBlockBytes, 7);
  akrip::ScsiDrive drive(&transport);
  std::vector<uint8_t> out(cdda::kReadBlockBytes);
  uint32_t delivered = 0;
  ASSERT_EQ(drive.ReadAudio(1000, 27, out.data(), &delivered), akrip::kErrNone);
  EXPECT_EQ(delivered, uint32_t(cdda::kReadBlockBytes));
  ASSERT_EQ(transport.commands.size(), 6u);  // 5 x 5 + 2
  EXPECT_EQ(transport.commands[1].cdb[4] << 8 | transport.commands[1].cdb[5], 1005);
  EXPECT_EQ(transport.commands[5].cdb[8], 2);
}

TEST(ScsiAnswers, SystemErrorsOfALostRequest) {
  akrip::ScsiOutcome lost{false, 0, 0, {}, 0, akrip::kSystemErrorDeviceRemoved};
  EXPECT_EQ(akrip::ErrorFromOutcome(lost), akrip::kErrNotReady);
  lost.system_error = akrip::kSystemErrorNotReady;
  EXPECT_EQ(akrip::ErrorFromOutcome(lost), akrip::kErrNotReady);
  lost.system_error = 121;  // semaphore timeout
  EXPECT_EQ(akrip::ErrorFromOutcome(lost), akrip::kErrTransport);
}

}  // namespace
