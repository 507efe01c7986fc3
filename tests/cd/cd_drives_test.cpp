#include "cd/cd_drives.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/cd_test_disc.h"

namespace {

using cd_tests::SetFaults;
using cd_tests::TestDisc;
using cd_tests::TestDriveIndex;

// Reading the last audio track of an Enhanced CD up to the data track would
// run into the unreadable sectors between the sessions.
TEST(CdDrives, LastAudioTrackOfTheFirstSessionEndsAtItsLeadOut) {
  const testing_support::TestDisc& disc = cd_tests::EnhancedDisc();
  ASSERT_EQ(SelectDrive(cd_tests::EnhancedDriveIndex()), 1);
  TrackTable table{};
  ASSERT_EQ(ReadTrackTable(&table), 1);
  ASSERT_EQ(table.count, 2);
  EXPECT_EQ(table.entries[1].start, disc.starts[1]);
  EXPECT_EQ(table.entries[1].length, disc.lengths[1]);
  EXPECT_EQ(disc.starts[2], disc.starts[1] + disc.lengths[1] + cdda::kSessionGapSectors);
}

TEST(CdDrives, TableOfContentsOfTheTestDiscListsItsAudioTracks) {
  ASSERT_EQ(SelectDrive(TestDriveIndex()), 1);
  TrackTable table{};
  ASSERT_EQ(ReadTrackTable(&table), 1);
  ASSERT_EQ(table.count, 5);  // the data track is not listed
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(table.entries[i].number, i + 1);
    EXPECT_EQ(table.entries[i].start, TestDisc().starts[i]);
    EXPECT_EQ(table.entries[i].length, TestDisc().lengths[i]);
  }
}

TEST(CdDrives, NamesAreCutToTheBuffer) {
  const int index = TestDriveIndex();
  char name[100];
  GetDriveName(index, name, sizeof name);
  EXPECT_GT(std::strlen(name), 4u);
  char small[4] = "xyz";
  GetDriveName(index, small, sizeof small);
  EXPECT_EQ(std::strlen(small), 3u);
  EXPECT_EQ(std::strncmp(small, name, 3), 0);
  char one[1] = {'x'};
  GetDriveName(index, one, 1);
  EXPECT_EQ(one[0], '\0');
  char out_of_range[8] = "abc";
  GetDriveName(GetDriveCount(), out_of_range, sizeof out_of_range);
  EXPECT_STREQ(out_of_range, "");
}

TEST(CdDrives, SelectingAnIndexOutOfRangeLeavesNoDriveOpen) {
  ASSERT_EQ(SelectDrive(TestDriveIndex()), 1);
  EXPECT_NE(CurrentDriveHandle(), 0u);
  EXPECT_EQ(SelectDrive(-1), 0);
  EXPECT_EQ(CurrentDriveHandle(), 0u);
  TrackTable table{};
  EXPECT_EQ(ReadTrackTable(&table), 0);
}

TEST(CdDrives, TableOfContentsIsRetriedThreeTimes) {
  ASSERT_EQ(SelectDrive(TestDriveIndex()), 1);
  TrackTable table{};
  SetFaults("toc-fail=2");
  EXPECT_EQ(ReadTrackTable(&table), 1);
  EXPECT_EQ(table.count, 5);

  TrackTable untouched{};
  untouched.count = 77;
  SetFaults("toc-fail=3");
  EXPECT_EQ(ReadTrackTable(&untouched), 0);
  EXPECT_EQ(untouched.count, 77);
  SetFaults("");
}

}  // namespace
