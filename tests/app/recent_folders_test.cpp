#include "app/recent_folders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> Folders(int first, int last) {
  std::vector<std::string> folders;
  for (int i = first; i >= last; --i) folders.push_back("C:\\f" + std::to_string(i) + "\\");
  return folders;
}

TEST(AddRecentFolder, NewestFirstAtMostTheLimitAndOldestDropped) {
  std::vector<std::string> folders;
  for (int i = 1; i <= 11; ++i) AddRecentFolder(&folders, "C:\\f" + std::to_string(i) + "\\", 10);
  EXPECT_EQ(folders, Folders(11, 2));
}

TEST(AddRecentFolder, AFolderAlreadyListedMovesToTheTopWhateverItsCase) {
  std::vector<std::string> folders = Folders(5, 1);
  folders.insert(folders.begin() + 3, "c:\\F2\\");  // an older duplicate in another case
  AddRecentFolder(&folders, "C:\\F2\\", 10);
  EXPECT_EQ(folders, (std::vector<std::string>{"C:\\F2\\", "C:\\f5\\", "C:\\f4\\", "C:\\f3\\", "C:\\f1\\"}));
  AddRecentFolder(&folders, "C:\\F2\\", 10);
  EXPECT_EQ(folders.size(), 5u);
}

TEST(IsAbsoluteFolderPath, OnlyPathsThatDoNotDependOnTheCurrentFolder) {
  for (const char* absolute : {"C:\\", "C:\\Music", "d:/music/", "\\\\server\\share", "//server/share"}) {
    EXPECT_TRUE(IsAbsoluteFolderPath(absolute)) << absolute;
  }
  for (const char* relative : {"C:", "C:Music", "Music\\", "\\Music", "\\\\", "\\\\\\x", "", "1:\\x"}) {
    EXPECT_FALSE(IsAbsoluteFolderPath(relative)) << relative;
  }
  EXPECT_FALSE(IsAbsoluteFolderPath(nullptr));
}

}  // namespace
