#include "controls/list_view_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/dir_entry.h"

namespace {

DirEntry Entry(const char* name, int kind, const char* size = "", const char* date = "") {
  DirEntry e;
  e.name = name;
  e.kind = static_cast<signed char>(kind);
  e.size_text = size;
  e.date_text = date;
  return e;
}

// Sorts the way the list view does: descending calls the comparison with the
// items swapped and the direction flag set.
std::vector<std::string> SortedNames(std::vector<DirEntry>& entries, int column, bool descending) {
  std::vector<DirEntry*> items;
  for (DirEntry& e : entries) items.push_back(&e);
  std::stable_sort(items.begin(), items.end(), [&](DirEntry* a, DirEntry* b) {
    return CallSortCompare(CompareDirEntryItems, a, b, column, descending) < 0;
  });
  std::vector<std::string> names;
  for (DirEntry* e : items) names.push_back(e->name);
  return names;
}

using Names = std::vector<std::string>;

class FileCompareTest : public ::testing::Test {
 protected:
  std::vector<DirEntry> entries_ = {
      Entry("b.wav", kDirEntryFile, "100", "02-01-2004 10:00:00"),
      Entry("Music", kDirEntryFolder, "", "01-05-2005 10:00:00"),
      Entry("..", kDirEntryParent),
      Entry("a.ogg", kDirEntryFile, "3000000000", "12-31-2001 10:00:00"),
      Entry("c.WAV", kDirEntryFile, "5000000000", "01-01-2010 10:00:00"),
      Entry("Albums", kDirEntryFolder, "", "03-01-2003 10:00:00"),
      Entry("zero", kDirEntryFile, "0", "01-01-2004 10:00:00"),
  };
};

TEST_F(FileCompareTest, NameColumnBothDirectionsKeepsParentFirst) {
  EXPECT_EQ(SortedNames(entries_, kFileColumnName, false),
            (Names{"..", "Albums", "Music", "a.ogg", "b.wav", "c.WAV", "zero"}));
  EXPECT_EQ(SortedNames(entries_, kFileColumnName, true),
            (Names{"..", "zero", "c.WAV", "b.wav", "a.ogg", "Music", "Albums"}));
}

TEST_F(FileCompareTest, TypeColumnPutsFoldersFirstThenExtensionsIgnoringCase) {
  EXPECT_EQ(SortedNames(entries_, kFileColumnType, false),
            (Names{"..", "Albums", "Music", "zero", "a.ogg", "b.wav", "c.WAV"}));
  EXPECT_EQ(SortedNames(entries_, kFileColumnType, true),
            (Names{"..", "c.WAV", "b.wav", "a.ogg", "zero", "Music", "Albums"}));
}

// Sizes past 2 GiB and 4 GiB must order as the numbers they are.
TEST_F(FileCompareTest, SizeColumnAscendingPutsLargestFirstAndFilesBeforeEmptyFolders) {
  EXPECT_EQ(SortedNames(entries_, kFileColumnSize, false),
            (Names{"..", "c.WAV", "a.ogg", "b.wav", "zero", "Albums", "Music"}));
  EXPECT_EQ(SortedNames(entries_, kFileColumnSize, true),
            (Names{"..", "Music", "Albums", "zero", "b.wav", "a.ogg", "c.WAV"}));
}

TEST_F(FileCompareTest, DateColumnOrdersByTextSoMonthComesBeforeYear) {
  EXPECT_EQ(SortedNames(entries_, kFileColumnDate, false),
            (Names{"..", "zero", "c.WAV", "Music", "b.wav", "Albums", "a.ogg"}));
}

TEST_F(FileCompareTest, DrivesAndDriveRootParentStayFirstInBothDirections) {
  std::vector<DirEntry> drives = {Entry("Z drive", kDirEntryDrive), Entry("A drive", kDirEntryDrive),
                                  Entry("..", kDirEntryDriveRootUp), Entry("file", kDirEntryFile)};
  for (bool descending : {false, true}) {
    const Names names = SortedNames(drives, kFileColumnName, descending);
    EXPECT_EQ(names.back(), "file");
  }
}

TEST_F(FileCompareTest, UnknownColumnComparesEqual) {
  EXPECT_EQ(CompareDirEntries(&entries_[0], &entries_[1], 7, 0), 0);
}

TEST(ColumnClick, SecondClickReversesAndOtherColumnSortsAscending) {
  ListViewSortState state;
  ApplyColumnClick(&state, 1);
  EXPECT_EQ(state.descending, 0u);
  ApplyColumnClick(&state, 2);
  EXPECT_EQ(state.descending, 0u);
  EXPECT_EQ(state.sort_column, 2);
  ApplyColumnClick(&state, 2);
  EXPECT_EQ(state.descending, 1u);
  ApplyColumnClick(&state, 2);
  EXPECT_EQ(state.descending, 0u);
  ApplyColumnClick(&state, 2);
  ApplyColumnClick(&state, 3);
  EXPECT_EQ(state.descending, 0u);
  EXPECT_EQ(state.last_sort_column, 3);
}

}  // namespace
