#include "files/dir_listing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <vector>
#include <regex>
#include <string>

#include "support/literal_names.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;
using testing_support::WriteWholeFile;

std::map<std::string, const DirEntry*> ByName(const DirEntryList& entries) {
  std::map<std::string, const DirEntry*> names;
  for (const auto& e : entries) names[e->name] = e.get();
  return names;
}

class DirListingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteWholeFile(dir_.File("a.wav"), "12345");
    WriteWholeFile(dir_.File("b.MP3"), "");
    WriteWholeFile(dir_.File("c.txt"), "x");
    ASSERT_TRUE(CreateDirectoryA(dir_.File("sub").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(dir_.File("secret").c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA(dir_.File("secret").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
  }
  TempDir dir_;
};

TEST_F(DirListingTest, MaskFiltersFilesButNotFolders) {
  DirEntryList entries;
  ASSERT_TRUE(ListFolder(dir_.path().c_str(), "*.wav;*.mp3", 0, &entries));
  auto names = ByName(entries);
  EXPECT_EQ(names.count("a.wav"), 1u);
  EXPECT_EQ(names.count("b.MP3"), 1u);
  EXPECT_EQ(names.count("c.txt"), 0u);
  EXPECT_EQ(names.count("."), 0u);
  ASSERT_EQ(names.count("sub"), 1u);
  EXPECT_EQ(names["sub"]->kind, kDirEntryFolder);
  ASSERT_EQ(names.count(".."), 1u);
  EXPECT_EQ(names[".."]->kind, kDirEntryParent);
  // A hidden folder counts as a file unless hidden folders are asked for.
  EXPECT_EQ(names.count("secret"), 0u);
  EXPECT_EQ(names["a.wav"]->kind, kDirEntryFile);
  EXPECT_EQ(names["a.wav"]->size_text, "5");
  EXPECT_EQ(names["a.wav"]->full_path, dir_.path() + "\\a.wav");
  EXPECT_TRUE(
      std::regex_match(names["a.wav"]->date_text, std::regex(R"([01]\d-[0-3]\d-\d{4} [0-2]\d:[0-5]\d:[0-5]\d)")))
      << names["a.wav"]->date_text;
}

TEST_F(DirListingTest, FlagsControlFoldersAndHiddenFolders) {
  DirEntryList entries;
  ASSERT_TRUE(ListFolder(dir_.path().c_str(), "", kListHiddenFolders, &entries));
  auto names = ByName(entries);
  ASSERT_EQ(names.count("secret"), 1u);
  EXPECT_EQ(names["secret"]->kind, kDirEntryFolder);
  EXPECT_EQ(names.count("c.txt"), 1u);

  ASSERT_TRUE(ListFolder(dir_.path().c_str(), nullptr, kListNoFolders | kListHiddenFolders, &entries));
  names = ByName(entries);
  EXPECT_EQ(names.size(), 3u);
  EXPECT_EQ(names.count("sub"), 0u);
  EXPECT_EQ(names.count(".."), 0u);
}

// Inside a hidden folder "." is the hidden folder itself and ".." may be
// hidden too; neither may become a file that Delete would take.
TEST_F(DirListingTest, DotEntriesOfAHiddenFolderAreNeverFiles) {
  const std::string inner = dir_.File("secret\\inner");
  ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
  ASSERT_TRUE(SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY));
  WriteWholeFile(inner + "\\x.wav", "x");
  for (const std::string& folder : {dir_.File("secret"), inner}) {
    SCOPED_TRACE(folder);
    DirEntryList entries;
    ASSERT_TRUE(ListFolder(folder.c_str(), "", 0, &entries));
    auto names = ByName(entries);
    EXPECT_EQ(names.count("."), 0u);
    ASSERT_EQ(names.count(".."), 1u);
    EXPECT_EQ(names[".."]->kind, kDirEntryParent);
    for (const auto& e : entries) {
      if (e->kind == kDirEntryFile) {
        EXPECT_NE(e->full_path, folder) << e->name;
      }
    }
  }
  DirEntryList entries;
  ASSERT_TRUE(ListFolder(inner.c_str(), "", kListNoFolders, &entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0]->name, "x.wav");
}

// Creates a file under its wide name (as a file made on the Unix side
// appears) holding `content`.
void WriteWide(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

bool SurvivesCodePage(const std::wstring& name) {
  if (GetACP() == CP_UTF8) return true;
  BOOL lost = FALSE;
  char ansi[MAX_PATH];
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, name.c_str(), -1, ansi, sizeof ansi, nullptr, &lost);
  return !lost;
}

// The content of the file an 8-bit path opens.
std::string ReadThrough(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "(cannot open)";
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A name outside the ANSI code page reads as "??.mp3" (a wildcard) or as a
// look-alike such as "a" and a sharp s (another file).  The entry's path must
// still reach its own file, and no other.
TEST_F(DirListingTest, NamesOutsideTheCodePageGetAPathToTheirOwnFile) {
  const std::wstring greek = L"\x03b1\x03b2.mp3";  // alpha beta
  const std::wstring cjk = L"\x6771\x4eac.mp3";    // two CJK ideographs
  std::vector<std::wstring> foreign;
  for (const std::wstring& name : {greek, cjk}) {
    if (!SurvivesCodePage(name)) foreign.push_back(name);
  }
  if (foreign.empty()) GTEST_SKIP() << "code page " << GetACP() << " holds every test name";
  const std::string folder = dir_.File("music");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::wstring wide_folder(folder.begin(), folder.end());
  for (std::size_t i = 0; i < foreign.size(); ++i) {
    WriteWide(wide_folder + L"\\" + foreign[i], "foreign " + std::to_string(i));
  }
  // The look-alike of the Greek name in code page 1252, and plain
  // two-character names that "??.mp3" would match.
  WriteWholeFile(folder + "\\a\xDF.mp3", "look-alike");
  WriteWholeFile(folder + "\\xy.mp3", "xy");

  DirEntryList entries;
  ASSERT_TRUE(ListFolder(folder.c_str(), "*.mp3", 0, &entries));
  std::multiset<std::string> contents;
  for (const auto& e : entries) {
    if (e->kind != kDirEntryFile) continue;
    EXPECT_EQ(e->full_path.find_first_of("*?"), std::string::npos) << e->full_path;
    contents.insert(ReadThrough(e->full_path));
  }
  std::multiset<std::string> expected = {"look-alike", "xy"};
  for (std::size_t i = 0; i < foreign.size(); ++i) expected.insert("foreign " + std::to_string(i));
  EXPECT_EQ(contents, expected);
}

// The content of the file a path opens through the 8-bit calls, as the
// commands open it.
std::string ReadThroughWin32(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot open)";
  char buffer[64];
  DWORD read = 0;
  ReadFile(file, buffer, sizeof buffer, &read, nullptr);
  CloseHandle(file);
  return std::string(buffer, read);
}

// "abc." beside "abc", "song.mp3 " beside "song.mp3" and a folder "..."
// (made where the file system keeps such names) each get a path that reaches
// them, never their namesake or the folder above.
TEST_F(DirListingTest, NamesWindowsRewritesGetAPathToTheirOwnItem) {
  const std::string folder = dir_.File("odd");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  testing_support::LiteralNames odd(folder);
  ASSERT_TRUE(odd.Make("abc.", "dot"));
  ASSERT_TRUE(odd.Make("song.mp3 ", "blank"));
  ASSERT_TRUE(odd.Make("...", nullptr));
  ASSERT_TRUE(odd.Make("...\\inside.txt", "inside"));
  WriteWholeFile(folder + "\\abc", "plain");
  WriteWholeFile(folder + "\\song.mp3", "song");

  DirEntryList entries;
  // A name that starts with a dot may come as hidden.
  ASSERT_TRUE(ListFolder(folder.c_str(), "", kListHiddenFolders, &entries));
  auto names = ByName(entries);
  const std::map<std::string, std::string> contents = {
      {"abc.", "dot"}, {"song.mp3 ", "blank"}, {"abc", "plain"}, {"song.mp3", "song"}};
  for (const auto& expected : contents) {
    ASSERT_EQ(names.count(expected.first), 1u) << "'" << expected.first << "'";
    EXPECT_EQ(ReadThroughWin32(names[expected.first]->full_path), expected.second) << names[expected.first]->full_path;
  }
  ASSERT_EQ(names.count("..."), 1u);
  const DirEntry& dots = *names["..."];
  EXPECT_EQ(dots.kind, kDirEntryFolder);
  DirEntryList inside;
  ASSERT_TRUE(ListFolder(dots.full_path.c_str(), "", kListNoFolders, &inside)) << dots.full_path;
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0]->name, "inside.txt");
  EXPECT_EQ(ReadThroughWin32(inside[0]->full_path), "inside");
}

TEST_F(DirListingTest, ParentEntryPathIsResolvedAndSlashesAreNormalised) {
  std::string forward = dir_.path();
  for (char& c : forward) {
    if (c == '\\') c = '/';
  }
  DirEntryList entries;
  ASSERT_TRUE(ListFolder((forward + "//sub").c_str(), nullptr, 0, &entries));
  auto names = ByName(entries);
  ASSERT_EQ(names.count(".."), 1u);
  EXPECT_EQ(names[".."]->full_path, dir_.path());
}

TEST_F(DirListingTest, MissingFolderGivesNoList) {
  DirEntryList entries;
  EXPECT_FALSE(ListFolder(dir_.File("nope").c_str(), nullptr, 0, &entries));
  EXPECT_TRUE(entries.empty());
}

// A file past 2 GiB and 4 GiB keeps its real size in the list.
TEST_F(DirListingTest, SizeTextOfLargeFilesIsTheRealSize) {
  for (unsigned long long size : {3000000000ull, 5000000000ull}) {
    const std::string path = dir_.File("big.bin");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool sized = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!sized) GTEST_SKIP() << "no room for a sparse file of " << size << " bytes";
    DirEntryList entries;
    ASSERT_TRUE(ListFolder(dir_.path().c_str(), "*.bin", kListNoFolders, &entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->size_text, std::to_string(size));
    DeleteFileA(path.c_str());
  }
}

TEST(DriveList, OneEntryPerDriveInLetterOrder) {
  const DirEntryList drives = ListDrives();
  const DWORD mask = GetLogicalDrives();
  ASSERT_FALSE(drives.empty());
  std::string letters;
  for (const auto& d : drives) {
    EXPECT_EQ(d->kind, kDirEntryDrive);
    EXPECT_FALSE(d->name.empty());
    ASSERT_EQ(d->full_path.size(), 4u);
    EXPECT_EQ(d->full_path.front(), '(');
    EXPECT_EQ(d->full_path.substr(2), ":)");
    letters.push_back(DriveLetterOfEntry(*d));
  }
  std::string expected;
  for (int bit = 0; bit < 26; ++bit) {
    if (mask & (1u << bit)) expected.push_back(static_cast<char>('A' + bit));
  }
  EXPECT_EQ(letters, expected);
}

}  // namespace
