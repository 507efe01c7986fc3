#include "files/file_choosers.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/temp_dir.h"

namespace {

// A drop handle as the shell makes it: a DROPFILES header and the ANSI paths.
HDROP MakeDrop(const std::string& paths_with_nuls) {
  const std::size_t size = sizeof(DROPFILES) + paths_with_nuls.size() + 1;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), paths_with_nuls.data(), paths_with_nuls.size());
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST(DroppedFiles, PathsComeInDropOrderAsNames) {
  const std::string paths("C:\\music\\b.wav\0C:\\music\\a.wav\0D:\\x\0", 35);
  const DirEntryList entries = DroppedFiles(MakeDrop(paths));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0]->name, "C:\\music\\b.wav");
  EXPECT_EQ(entries[1]->name, "C:\\music\\a.wav");
  EXPECT_EQ(entries[2]->name, "D:\\x");
  EXPECT_TRUE(entries[0]->full_path.empty());
  EXPECT_TRUE(DroppedFiles(nullptr).empty());
}

TEST(LaunchFile, MissingFileOrNoFileFails) {
  testing_support::TempDir dir;
  EXPECT_FALSE(LaunchFile(nullptr, dir.File("missing.exe").c_str(), dir.path().c_str(), nullptr));
  EXPECT_FALSE(LaunchFile(nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
