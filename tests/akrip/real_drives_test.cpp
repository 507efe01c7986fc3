// The scan for real drives over the Windows double: which letters are CD
// drives, how they are named, and that nothing stays open.
#include "akrip/real_drives.h"

#include <gtest/gtest.h>

#include "akrip/windows_drive_double.h"

namespace {

TEST(RealDriveScan, ListsTheCdLettersNamedByInquiryAndClosesWhatItOpened) {
  akrip_tests::WindowsDriveDouble windows;
  std::vector<akrip::DriveEntry> drives = akrip::ScanRealDrives(windows.Api(), akrip::kMaxDrives);
  ASSERT_EQ(drives.size(), 2u);  // C: is a fixed disk
  EXPECT_EQ(drives[0].id, "E: TESTCO EMULATED DRIVE 1.00");
  EXPECT_EQ(drives[0].inquiry[0], 0x05);
  // F: could not be opened (device removed): still listed, under a plain name.
  EXPECT_EQ(drives[1].id, "F: CD drive");
  EXPECT_EQ(windows.open_handles(), 0u);
  bool reported = false;
  for (const std::string& line : windows.reports)
    reported |= line.find("F: cannot be opened: error 1167") != std::string::npos;
  EXPECT_TRUE(reported);

  akrip::LibError error = akrip::kErrNone;
  EXPECT_EQ(drives[1].open(&error), nullptr);
  EXPECT_EQ(error, akrip::kErrNotReady);

  EXPECT_EQ(akrip::ScanRealDrives(windows.Api(), 1).size(), 1u);
  EXPECT_TRUE(windows.violations.empty());
}

}  // namespace
