#include "common/image_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/win_owners.h"

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

// The pixels of one image of a list drawn in the given style over a
// background no icon uses, so that what the mask lets through shows.
std::vector<DWORD> DrawnImage(HIMAGELIST list, int index, int size, UINT style) {
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = size;
  format.bmiHeader.biHeight = -size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject canvas(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  if (!canvas || !dc) return {};
  const HGDIOBJ previous = SelectObject(dc.get(), canvas.get());
  auto* pixels = static_cast<DWORD*>(bits);
  const size_t count = static_cast<size_t>(size) * static_cast<size_t>(size);
  for (size_t i = 0; i < count; ++i) pixels[i] = 0x00FF00FF;
  ImageList_Draw(list, index, dc.get(), 0, 0, style);
  GdiFlush();
  std::vector<DWORD> drawn(pixels, pixels + count);
  SelectObject(dc.get(), previous);
  return drawn;
}

// Each list holds the same pictures as one filled icon by icon: image, mask
// and the two drawn together, at both sizes, with a missing id in between.
TEST_F(ImageLists, ListsHoldTheIconsAsAddedOneByOne) {
  const int with_gap[] = {IDI_TEST_FIRST,  IDI_TEST_SECOND, IDI_TEST_THIRD, IDI_TEST_MISSING,
                          IDI_TEST_FOURTH, IDI_TEST_FIFTH,  IDI_TEST_LAST,  0};
  ASSERT_EQ(CreateImageLists(kSixIcons, kSixIcons, with_gap), 1);
  struct Case {
    HIMAGELIST list;
    const int* ids;
    int size;
  };
  const Case cases[] = {
      {SmallImageList(), kSixIcons, 16}, {StateImageList(), kSixIcons, 16}, {LargeImageList(), with_gap, 32}};
  for (const Case& c : cases) {
    ImageListHandle one_by_one(ImageList_Create(c.size, c.size, ILC_COLOR | ILC_MASK, 6, 2));
    ASSERT_TRUE(one_by_one);
    for (int i = 0; c.ids[i] != 0; ++i) {
      IconHandle icon(static_cast<HICON>(
          LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(c.ids[i]), IMAGE_ICON, c.size, c.size, 0)));
      if (icon) ImageList_AddIcon(one_by_one.get(), icon.get());
    }
    ASSERT_EQ(ImageList_GetImageCount(c.list), 6) << c.size;
    ASSERT_EQ(ImageList_GetImageCount(one_by_one.get()), 6) << c.size;
    for (int index = 0; index < 6; ++index) {
      for (const UINT style : {UINT(ILD_NORMAL), UINT(ILD_IMAGE), UINT(ILD_MASK)}) {
        const std::vector<DWORD> expected = DrawnImage(one_by_one.get(), index, c.size, style);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(DrawnImage(c.list, index, c.size, style), expected)
            << "size " << c.size << ", image " << index << ", style " << style;
      }
    }
  }
}

}  // namespace
