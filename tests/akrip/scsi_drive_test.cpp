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
  std::vector<uint8_t> answer;       // copied into the data buffer, cut to its size
  akrip::ScsiOutcome outcome{true, akrip::kScsiStatusGood, 0, {}, 0};
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
  } cases[] = {{0x2, akrip::kErrNotReady}, {0x3, akrip::kErrMediumError}, {0x4, akrip::kErrMediumError},
               {0x5, akrip::kErrIllegalRequest}, {0x6, akrip::kErrNotReady}, {0xB, akrip::kErrTransport},
               {0x1, akrip::kErrNone}};
  for (uint8_t response : {uint8_t(0x70), uint8_t(0xF0), uint8_t(0x72)}) {
    for (const auto& c : cases) {
      FakeTransport drive;
      drive.Sense(response, c.key);
      EXPECT_EQ(akrip::ErrorFromOutcome(drive.outcome), c.error) << int(response) << " key " << int(c.key);
    }
  }
  akrip::ScsiOutcome lost{false, 0, 0, {}, 0};
  EXPECT_EQ(akrip::ErrorFromOutcome(lost), akrip::kErrTransport);
  akrip::ScsiOutcome busy{true, 0x08, 0, {}, 0};
  EXPECT_EQ(akrip::ErrorFromOutcome(busy), akrip::kErrTransport);
  akrip::ScsiOutcome no_sense{true, akrip::kScsiStatusCheckCondition, 0, {}, 0};
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

}  // namespace
