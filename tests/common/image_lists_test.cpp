#include "common/image_lists.h"

#include <gtest/gtest.h>

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

TEST_F(ImageLists, NoListsNoIcons) {
  EXPECT_EQ(FileIconIndex("a.mp3"), -1);
  EXPECT_EQ(FolderIconIndex(), -1);
}

}  // namespace
