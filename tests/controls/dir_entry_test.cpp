#include "controls/dir_entry.h"

#include <gtest/gtest.h>

namespace {

TEST(FileSizeText, KeepsSizesPastTwoAndFourGigabytes) {
  EXPECT_EQ(FormatFileSizeText(0), "0");
  EXPECT_EQ(FormatFileSizeText(2147483647ull), "2147483647");
  EXPECT_EQ(FormatFileSizeText(3000000000ull), "3000000000");
  EXPECT_EQ(FormatFileSizeText(5000000000ull), "5000000000");
  for (unsigned long long size : {0ull, 1ull, 4294967295ull, 4294967296ull, 5000000000ull, 18446744073709551615ull}) {
    EXPECT_EQ(ParseFileSizeText(FormatFileSizeText(size)), size);
  }
}

TEST(FileSizeText, EmptyOrMalformedTextCountsAsZero) {
  EXPECT_EQ(ParseFileSizeText(""), 0u);
  EXPECT_EQ(ParseFileSizeText("abc"), 0u);
  EXPECT_EQ(ParseFileSizeText("12x"), 12u);
  EXPECT_EQ(ParseFileSizeText("99999999999999999999999"), UINT64_MAX);
}

TEST(FileDateText, MonthComesFirstWithPaddedFields) {
  FileDateParts date;
  date.year = 2003;
  date.month = 7;
  date.day = 4;
  date.hour = 9;
  date.minute = 5;
  date.second = 0;
  EXPECT_EQ(FormatFileDateText(date), "07-04-2003 09:05:00");
}

TEST(DirEntryKinds, SpecialKindsAreDrivesAndParents) {
  EXPECT_TRUE(IsSpecialDirEntryKind(kDirEntryDrive));
  EXPECT_TRUE(IsSpecialDirEntryKind(kDirEntryParent));
  EXPECT_TRUE(IsSpecialDirEntryKind(kDirEntryDriveRootUp));
  EXPECT_FALSE(IsSpecialDirEntryKind(kDirEntryFile));
  EXPECT_FALSE(IsSpecialDirEntryKind(kDirEntryFolder));
  DirEntry drive;
  drive.full_path = "(D:)";
  EXPECT_EQ(DriveLetterOfEntry(drive), 'D');
  drive.full_path = "D:\\";
  EXPECT_EQ(DriveLetterOfEntry(drive), 0);
}

}  // namespace
