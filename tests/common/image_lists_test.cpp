#include "common/image_lists.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/dialog_test_resources.h"

namespace {

const int kSixIcons[] = {
    IDI_TEST_FIRST, IDI_TEST_SECOND, IDI_TEST_THIRD, IDI_TEST_FOURTH, IDI_TEST_FIFTH, IDI_TEST_LAST, 0};
const int kNoIcons[] = {0};

class ImageLists : public testing::Test {
 protected:
  void TearDown() override {
    DestroyImageLists();
    SetShellIconLookup(nullptr);
  }
};

TEST_F(ImageLists, ProgramIconsComeFirstAndEachFileTypeIsAddedOnce) {
  ASSERT_EQ(CreateImageLists(kSixIcons, kSixIcons, kSixIcons), 1);
  EXPECT_EQ(ImageList_GetImageCount(SmallImageList()), 6);
  const int mp3 = FileIconIndex("C:\\music\\song1.mp3");
  EXPECT_EQ(mp3, 6);
  EXPECT_EQ(FileIconIndex("D:\\elsewhere\\song2.mp3"), mp3);
  EXPECT_EQ(ImageList_GetImageCount(SmallImageList()), 7);
  const int folder = FolderIconIndex();
  EXPECT_GE(folder, 0);
  EXPECT_NE(folder, mp3);
  EXPECT_EQ(FolderIconIndex(), folder);
}

TEST_F(ImageLists, SecondCreationLeavesTheFirstLists) {
  ASSERT_EQ(CreateImageLists(kSixIcons, nullptr, nullptr), 1);
  HIMAGELIST first = SmallImageList();
  EXPECT_EQ(CreateImageLists(kNoIcons, nullptr, nullptr), 0);
  EXPECT_EQ(SmallImageList(), first);
  EXPECT_EQ(StateImageList(), nullptr);
}

TEST_F(ImageLists, SmallListStopsAtTheFirstMissingIconLargeListSkipsIt) {
  const int with_gap[] = {IDI_TEST_FIRST, IDI_TEST_MISSING, IDI_TEST_SECOND, 0};
  ASSERT_EQ(CreateImageLists(with_gap, nullptr, with_gap), 1);
  EXPECT_EQ(ImageList_GetImageCount(SmallImageList()), 1);
  EXPECT_EQ(ImageList_GetImageCount(LargeImageList()), 2);
}

// Hands out the system index named by the path's first character.
int IndexFromName(const char* path, DWORD, HICON* icon, int* system_index) {
  *icon = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  *system_index = path[0] == 'b' ? 500 : path[0] == 'c' ? 499 : 3;
  return *icon != nullptr;
}

TEST_F(ImageLists, SystemIndexesBeyondTheMapGiveNoIcon) {
  ASSERT_EQ(CreateImageLists(kSixIcons, nullptr, nullptr), 1);
  SetShellIconLookup(IndexFromName);
  EXPECT_EQ(FileIconIndex("big.x"), -1);
  EXPECT_EQ(ImageList_GetImageCount(SmallImageList()), 6);
  EXPECT_EQ(FileIconIndex("corner.x"), 6);
}

TEST_F(ImageLists, WithoutProgramIconsTheFirstFileTypeIsFoundAgain) {
  ASSERT_EQ(CreateImageLists(kNoIcons, nullptr, nullptr), 1);
  SetShellIconLookup(IndexFromName);
  EXPECT_EQ(FileIconIndex("a.mp3"), 0);
  EXPECT_EQ(FileIconIndex("a.mp3"), 0);
  EXPECT_EQ(ImageList_GetImageCount(SmallImageList()), 1);
}

int g_lookups = 0;

// Counts the questions; every file type gets its own system index.
int CountingLookup(const char* path, DWORD attributes, HICON* icon, int* system_index) {
  ++g_lookups;
  *icon = CopyIcon(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION)));
  const char* folder_end = std::strrchr(path, '\\');
  const char* dot = std::strrchr(folder_end ? folder_end : path, '.');
  *system_index = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : dot ? 10 + (dot[1] | 0x20) - 'a' : 2;
  return *icon != nullptr;
}

TEST_F(ImageLists, TheShellIsAskedOncePerExtensionInAnyCase) {
  ASSERT_EQ(CreateImageLists(kNoIcons, nullptr, nullptr), 1);
  SetShellIconLookup(CountingLookup);
  g_lookups = 0;
  const int mp3 = FileIconIndex("C:\\music\\one.mp3");
  const int ogg = FileIconIndex("C:\\music\\one.ogg");
  ASSERT_EQ(g_lookups, 2);
  EXPECT_NE(mp3, ogg);
  EXPECT_EQ(FileIconIndex("D:\\two.MP3"), mp3);
  EXPECT_EQ(FileIconIndex("d:/other/three.Mp3"), mp3);
  EXPECT_EQ(FileIconIndex("C:\\music\\four.ogg"), ogg);
  EXPECT_EQ(g_lookups, 2);
  // The extension is the name's, not a dotted folder's above it.
  const int bare = FileIconIndex("C:\\x.mp3\\readme");
  EXPECT_EQ(g_lookups, 3);
  EXPECT_NE(bare, mp3);
  EXPECT_EQ(FileIconIndex("C:\\y.ogg\\notes"), bare);
  const int folder = FolderIconIndex();
  EXPECT_EQ(FolderIconIndex(), folder);
  EXPECT_EQ(g_lookups, 4);
}

TEST_F(ImageLists, NewListsOrANewLookupAskTheShellAgain) {
  ASSERT_EQ(CreateImageLists(kSixIcons, nullptr, nullptr), 1);
  SetShellIconLookup(CountingLookup);
  g_lookups = 0;
  EXPECT_EQ(FileIconIndex("a.wav"), 6);
  EXPECT_EQ(FolderIconIndex(), 7);
  // Lists made again without the program icons put the icons elsewhere.
  DestroyImageLists();
  ASSERT_EQ(CreateImageLists(kNoIcons, nullptr, nullptr), 1);
  EXPECT_EQ(FileIconIndex("a.wav"), 0);
  EXPECT_EQ(FolderIconIndex(), 1);
  EXPECT_EQ(g_lookups, 4);
  SetShellIconLookup(IndexFromName);
  EXPECT_EQ(FileIconIndex("c.wav"), 2);
  EXPECT_EQ(g_lookups, 4);
}

TEST_F(ImageLists, NoListsNoIcons) {
  EXPECT_EQ(FileIconIndex("a.mp3"), -1);
  EXPECT_EQ(FolderIconIndex(), -1);
}

}  // namespace
