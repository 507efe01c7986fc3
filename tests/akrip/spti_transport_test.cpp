// The real-drive path (transport, sense handling, transfer limits, sessions)
// run against a double of Windows that refuses what Windows documents as
// wrong, with scripted drives behind it.
#include "akrip/spti_transport.h"

#include <ntddscsi.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "akrip/real_drives.h"
#include "akrip/windows_drive_double.h"
#include "akrip/cdda.h"

namespace {

using akrip_tests::kDataTrackStart;
using akrip_tests::kFirstSessionLeadOut;
using akrip_tests::kTrack2Start;
using akrip_tests::WindowsDriveDouble;

constexpr uint8_t kReadCd = 0xBE;

class RealDrive : public ::testing::Test {
 protected:
  // Opens drive E: through the scan, as GetCDHandle does.
  std::unique_ptr<akrip::Drive> OpenE() {
    std::vector<akrip::DriveEntry> drives = akrip::ScanRealDrives(windows_.Api(), akrip::kMaxDrives);
    EXPECT_EQ(drives.size(), 2u);
    if (drives.empty()) return nullptr;
    akrip::LibError error = akrip::kErrNone;
    std::unique_ptr<akrip::Drive> drive = drives[0].open(&error);
    EXPECT_EQ(error, akrip::kErrNone);
    windows_.commands.clear();
    return drive;
  }

  // Reads and checks every byte against the disc.
  akrip::LibError Read(akrip::Drive* drive, uint32_t lba, uint32_t count, uint32_t* delivered) {
    std::vector<uint8_t> out(count * cdda::kSectorBytes, 0xEE);
    akrip::LibError error = drive->ReadAudio(lba, count, out.data(), delivered);
    const std::vector<uint8_t> expected = WindowsDriveDouble::Sectors(lba, count);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + *delivered, expected.begin()))
        << "bytes differ from the disc's sectors " << lba << "..";
    return error;
  }

  size_t ReadCommands() const {
    size_t n = 0;
    for (const auto& c : windows_.commands) n += !c.cdb.empty() && c.cdb[0] == kReadCd;
    return n;
  }

  bool Reported(const std::string& text) const {
    for (const std::string& line : windows_.reports) {
      if (line.find(text) != std::string::npos) return true;
    }
    return false;
  }

  void TearDown() override {
    EXPECT_TRUE(windows_.violations.empty()) << "first rule broken: " << windows_.violations.front();
  }

  WindowsDriveDouble windows_;
};

TEST_F(RealDrive, ReadsTheTocSectorsAndSessionsOfAnEnhancedCd) {
  {
    std::unique_ptr<akrip::Drive> drive = OpenE();
    ASSERT_TRUE(drive);
    akrip::Toc toc{};
    ASSERT_EQ(drive->ReadToc(&toc), akrip::kErrNone);
    EXPECT_EQ(toc.last_track, 3);
    EXPECT_EQ(akrip::DescriptorLba(toc.descriptors[2]), kDataTrackStart);  // the disc id needs the real offsets

    akrip::SessionList sessions{};
    ASSERT_EQ(drive->ReadSessions(&sessions), akrip::kErrNone);
    ASSERT_EQ(sessions.count, 2);
    EXPECT_EQ(sessions.sessions[0].last_track, 2);
    EXPECT_EQ(sessions.sessions[0].lead_out, kFirstSessionLeadOut);
    EXPECT_EQ(sessions.sessions[1].first_track, 3);
    EXPECT_EQ(sessions.sessions[1].lead_out, akrip_tests::kDiscLeadOut);

    uint32_t delivered = 0;
    EXPECT_EQ(Read(drive.get(), kFirstSessionLeadOut - 27, 27, &delivered), akrip::kErrNone);
    EXPECT_EQ(delivered, 27u * cdda::kSectorBytes);
    EXPECT_EQ(ReadCommands(), 1u);
    // Past the first session's lead-out the drive has nothing to give.
    EXPECT_EQ(Read(drive.get(), kFirstSessionLeadOut - 1, 2, &delivered), akrip::kErrIllegalRequest);
  }
  EXPECT_EQ(windows_.open_handles(), 0u);
}

// A drive that refuses the full TOC still ends the audio session where the
// disc does, through either way of talking to it.
TEST_F(RealDrive, DriveWithoutTheFullTocGivesSessionsFromTheLastSessionsStart) {
  windows_.refuses_full_toc = true;
  for (bool pass_through : {true, false}) {
    SCOPED_TRACE(pass_through ? "pass-through" : "CD-ROM requests");
    windows_.deny_write_access = !pass_through;
    std::unique_ptr<akrip::Drive> drive = OpenE();
    ASSERT_TRUE(drive);
    akrip::SessionList sessions{};
    ASSERT_EQ(drive->ReadSessions(&sessions), akrip::kErrNone);
    ASSERT_EQ(sessions.count, 2);
    EXPECT_EQ(sessions.sessions[0].first_track, 1);
    EXPECT_EQ(sessions.sessions[0].last_track, 2);
    EXPECT_EQ(sessions.sessions[0].lead_out, kFirstSessionLeadOut);
    EXPECT_EQ(sessions.sessions[1].first_track, 3);
    EXPECT_EQ(sessions.sessions[1].last_track, 3);
    EXPECT_EQ(sessions.sessions[1].lead_out, akrip_tests::kDiscLeadOut);
  }
}

TEST_F(RealDrive, WaitsForADiscThatSpinsUp) {
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  windows_.script = {akrip_tests::SenseStep(0x06, 0x28, 0x00)};  // medium changed
  for (int i = 0; i < 6; ++i) windows_.script.push_back(akrip_tests::SenseStep(0x02, 0x04, 0x01));
  windows_.script.push_back(akrip_tests::SenseStep(0x02, 0x04, 0x01, true));  // descriptor format too
  akrip::Toc toc{};
  EXPECT_EQ(drive->ReadToc(&toc), akrip::kErrNone);
  EXPECT_EQ(toc.last_track, 3);
  EXPECT_EQ(windows_.sleeps, std::vector<uint32_t>(7, akrip::kReadyPollMilliseconds));
  EXPECT_EQ(windows_.commands.size(), 9u);
}

TEST_F(RealDrive, GivesUpOnADriveThatNeverBecomesReadyAndAtOnceWithoutADisc) {
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  windows_.script = {akrip_tests::SenseStep(0x02, 0x04, 0x01)};
  windows_.script_repeats_last = true;
  akrip::Toc toc{};
  EXPECT_EQ(drive->ReadToc(&toc), akrip::kErrNotReady);
  uint32_t waited = 0;
  for (uint32_t ms : windows_.sleeps) waited += ms;
  EXPECT_EQ(waited, akrip::kReadyWaitMilliseconds);

  windows_.sleeps.clear();
  windows_.commands.clear();
  windows_.script = {akrip_tests::SenseStep(0x02, 0x3A, 0x00)};
  EXPECT_EQ(drive->ReadToc(&toc), akrip::kErrNotReady);
  EXPECT_TRUE(windows_.sleeps.empty());
  EXPECT_EQ(windows_.commands.size(), 1u);

  // A unit attention is heard once; a second one in a row is an answer.
  windows_.commands.clear();
  windows_.script = {akrip_tests::SenseStep(0x06, 0x29, 0x00), akrip_tests::SenseStep(0x06, 0x29, 0x00)};
  EXPECT_EQ(drive->ReadToc(&toc), akrip::kErrNotReady);
  EXPECT_EQ(windows_.commands.size(), 2u);
}

TEST_F(RealDrive, SplitsReadsToTheAdaptersLimits) {
  windows_.max_transfer = 32 * 1024;  // a USB bridge
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), kTrack2Start, cdda::kSectorsPerRead, &delivered), akrip::kErrNone);
  EXPECT_EQ(delivered, uint32_t(cdda::kReadBlockBytes));
  EXPECT_EQ(ReadCommands(), 3u);  // 13 + 13 + 1 sectors of 2352 bytes fit 32 KiB
  for (const auto& c : windows_.commands) EXPECT_LE(c.transfer_bytes, 32u * 1024);

  // Few physical pages limit the transfer as much as the length does.
  WindowsDriveDouble paged;
  paged.max_pages = 5;
  std::vector<akrip::DriveEntry> drives = akrip::ScanRealDrives(paged.Api(), akrip::kMaxDrives);
  akrip::LibError error = akrip::kErrNone;
  std::unique_ptr<akrip::Drive> small = drives.at(0).open(&error);
  ASSERT_TRUE(small);
  std::vector<uint8_t> out(cdda::kReadBlockBytes);
  EXPECT_EQ(small->ReadAudio(0, cdda::kSectorsPerRead, out.data(), &delivered), akrip::kErrNone);
  EXPECT_EQ(out, WindowsDriveDouble::Sectors(0, cdda::kSectorsPerRead));
  EXPECT_TRUE(paged.violations.empty()) << paged.violations.front();
}

TEST_F(RealDrive, MediumErrorMidTrackKeepsTheSectorsBeforeIt) {
  windows_.max_transfer = 32 * 1024;
  windows_.medium_error_lba = kTrack2Start + 20;
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), kTrack2Start, 27, &delivered), akrip::kErrMediumError);
  EXPECT_EQ(delivered, 13u * cdda::kSectorBytes);  // the first request of 13 sectors came through
}

TEST_F(RealDrive, ShortTransferGivesTheWholeSectorsDelivered) {
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  windows_.script = {akrip_tests::ShortStep(cdda::kSectorBytes + 10)};
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), 100, 27, &delivered), akrip::kErrShortRead);
  EXPECT_EQ(delivered, 25u * cdda::kSectorBytes);
}

TEST_F(RealDrive, DriveThatRefusesTheCdDaTypeIsAskedForAnyType) {
  windows_.refuses_cdda_type = true;
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), 0, 10, &delivered), akrip::kErrNone);
  EXPECT_EQ(Read(drive.get(), 10, 10, &delivered), akrip::kErrNone);
  ASSERT_EQ(ReadCommands(), 3u);  // refused once, then any type from there on
  EXPECT_EQ(windows_.commands[0].cdb[1], 0x04);
  EXPECT_EQ(windows_.commands[1].cdb[1], 0x00);
  EXPECT_EQ(windows_.commands[2].cdb[1], 0x00);
}

TEST_F(RealDrive, WindowsErrorsAreReportedAndMapped) {
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  const struct {
    DWORD error;
    akrip::LibError expected;
  } cases[] = {{ERROR_DEVICE_NOT_CONNECTED, akrip::kErrNotReady},
               {ERROR_NOT_READY, akrip::kErrNotReady},
               {ERROR_SEM_TIMEOUT, akrip::kErrTransport},
               {ERROR_INVALID_PARAMETER, akrip::kErrTransport}};
  for (const auto& c : cases) {
    windows_.script = {akrip_tests::SystemErrorStep(c.error)};
    uint32_t delivered = 0;
    EXPECT_EQ(Read(drive.get(), 0, 5, &delivered), c.expected) << c.error;
    EXPECT_TRUE(Reported("error " + std::to_string(c.error))) << c.error;
  }
}

TEST_F(RealDrive, WithoutWriteAccessReadsThroughTheCdRomRequests) {
  windows_.deny_write_access = true;
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  EXPECT_TRUE(Reported("error 5"));
  akrip::Toc toc{};
  ASSERT_EQ(drive->ReadToc(&toc), akrip::kErrNone);
  EXPECT_EQ(toc.last_track, 3);
  akrip::SessionList sessions{};
  ASSERT_EQ(drive->ReadSessions(&sessions), akrip::kErrNone);
  EXPECT_EQ(sessions.count, 2);
  EXPECT_EQ(sessions.sessions[0].lead_out, kFirstSessionLeadOut);
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), 500, 27, &delivered), akrip::kErrNone);
  for (const auto& c : windows_.commands) EXPECT_NE(c.code, DWORD(IOCTL_SCSI_PASS_THROUGH_DIRECT));
}

TEST_F(RealDrive, UnknownAdapterLimitsKeepReadsWithin64KiB) {
  windows_.adapter_query_fails = true;
  std::unique_ptr<akrip::Drive> drive = OpenE();
  ASSERT_TRUE(drive);
  EXPECT_TRUE(Reported("adapter limits unknown (error 50)"));
  uint32_t delivered = 0;
  EXPECT_EQ(Read(drive.get(), 0, 27, &delivered), akrip::kErrNone);
  EXPECT_EQ(ReadCommands(), 1u);
}

}  // namespace
