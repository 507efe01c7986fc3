#include "common/working_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FolderCase {
  const char* what;
  const char* started_in;
  bool takes_files;
  const char* app_data;
  const char* expected;
};

TEST(WorkingFolder, AFolderThatTakesNoFilesGivesWayToTheUsersApplicationData) {
  const FolderCase cases[] = {
      {"writable start folder stays", "D:\\Stick\\Corvale", true, "C:\\Users\\ann\\AppData\\Roaming",
       "D:\\Stick\\Corvale"},
      {"read-only program folder", "C:\\Program Files\\Corvale", false, "C:\\Users\\ann\\AppData\\Roaming",
       "C:\\Users\\ann\\AppData\\Roaming\\Corvale"},
      {"application data with its separator", "C:\\Program Files\\Corvale", false, "C:\\Users\\ann\\",
       "C:\\Users\\ann\\Corvale"},
      {"unreadable current directory", "", false, "C:\\Users\\ann\\AppData\\Roaming",
       "C:\\Users\\ann\\AppData\\Roaming\\Corvale"},
      {"unreadable but said to take files", "", true, "C:\\AppData", "C:\\AppData\\Corvale"},
      {"no application data: nothing better", "C:\\Program Files\\Corvale", false, "", "C:\\Program Files\\Corvale"},
      {"neither known", "", false, "", ""},
  };
  for (const FolderCase& c : cases) {
    EXPECT_EQ(ChooseWorkingFolder(c.started_in, c.takes_files, c.app_data, "Corvale"), c.expected) << c.what;
  }
  EXPECT_EQ(ChooseWorkingFolder("C:\\ro", false, "C:\\AppData", nullptr), "C:\\ro");
  EXPECT_EQ(ChooseWorkingFolder("C:\\ro", false, "C:\\AppData", ""), "C:\\ro");
}

TEST(WorkingFolder, PathsAreNamedBelowTheWorkingFolder) {
  SetWorkingFolder("C:\\Users\\ann\\AppData\\Roaming\\Corvale");
  EXPECT_EQ(WorkingFolderPath("config.ini"), "C:\\Users\\ann\\AppData\\Roaming\\Corvale\\config.ini");
  SetWorkingFolder("C:\\");
  EXPECT_EQ(WorkingFolderPath("temp"), "C:\\temp");
  SetWorkingFolder(nullptr);
  EXPECT_EQ(WorkingFolderPath("config.ini"), "config.ini");
}

}  // namespace
