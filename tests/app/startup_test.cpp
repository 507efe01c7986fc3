#include "app/startup.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_dir.h"

namespace {

using testing_support::FileExists;
using testing_support::TempDir;
using testing_support::WriteWholeFile;

TEST(Startup, LeftoverWavsInTempGoOtherFilesStay) {
  TempDir work;
  char previous[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(work.path().c_str()));
  CreateDirectoryA("temp", nullptr);
  WriteWholeFile("temp\\corvale.wav", "x");
  WriteWholeFile("temp\\corvale(1).WAV", "x");
  WriteWholeFile("temp\\notes.txt", "keep");
  WriteWholeFile("temp\\corvale.wav.txt", "keep");
  WriteWholeFile("kept.wav", "not in temp");

  DeleteLeftoverTempWavs();

  EXPECT_FALSE(FileExists(work.File("temp/corvale.wav")));
  EXPECT_FALSE(FileExists(work.File("temp/corvale(1).WAV")));
  EXPECT_TRUE(FileExists(work.File("temp/notes.txt")));
  EXPECT_TRUE(FileExists(work.File("temp/corvale.wav.txt")));
  EXPECT_TRUE(FileExists(work.File("kept.wav")));
  SetCurrentDirectoryA(previous);
}

TEST(Startup, VersionTextComesFromTheVersionResource) {
  // The program's version is 1.0.0.1: major, middle as two digits, minor as three.
  EXPECT_STREQ(ProgramVersionText(), "1.00.000");
  EXPECT_STREQ(ProgramBuildText(), "0001");
}

}  // namespace
