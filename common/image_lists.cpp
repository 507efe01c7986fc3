#include "common/image_lists.h"

#include <shellapi.h>

#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "common/common_library.h"
#include "common/icon_strip.h"
#include "common/win_owners.h"

namespace {

constexpr int kSystemIconSlots = 500;
constexpr UINT kListFlags = ILC_COLOR | ILC_MASK;  // 17
constexpr DWORD kCurrentFolderBufferSize = 1024;

struct ImageListState {
  HIMAGELIST small_list = nullptr;
  HIMAGELIST state_list = nullptr;
  HIMAGELIST large_list = nullptr;
  int last_small_index = 0;
  int last_large_index = 0;
  // Small-list index + 1 of each system icon met so far; 0: not yet added.
  // (Kept one higher so that an icon at index 0, in a list without program
  // icons, is not mistaken for a missing one.)
  int system_icon_map[kSystemIconSlots] = {};
  // Small-list index of each file-name extension met so far, keyed in lower
  // case with its dot ("" for none).  The shell judges a name by its
  // extension alone, and one question to it costs more than a whole list row.
  std::map<std::string, int> extension_icons;
  int folder_icon = -1;
};

ImageListState g_lists;

int AskShell(const char* path, DWORD attributes, HICON* icon, int* system_index) {
  SHFILEINFOA info = {};
  const DWORD_PTR found =
      SHGetFileInfoA(path, attributes, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES);
  if (found == 0 || info.hIcon == nullptr) return 0;
  *icon = info.hIcon;
  *system_index = info.iIcon;
  return 1;
}

ShellIconLookup g_lookup = AskShell;

int CountIds(const int* ids) {
  int count = 0;
  while (ids != nullptr && ids[count] != 0) ++count;
  return count;
}

HICON LoadProgramIcon(int id, int size) {
  return static_cast<HICON>(LoadImageA(LibraryInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, 0));
}

// The icons of the ids in order; the small and state lists stop at the first
// icon that does not load, the large list skips it.
std::vector<IconHandle> LoadProgramIcons(const int* ids, int size, bool stop_at_missing) {
  std::vector<IconHandle> icons;
  for (int i = 0; ids != nullptr && ids[i] != 0; ++i) {
    IconHandle icon(LoadProgramIcon(ids[i], size));
    if (!icon) {
      if (stop_at_missing) break;
      continue;
    }
    icons.push_back(std::move(icon));
  }
  return icons;
}

// Keeps a bitmap selected into a memory DC for the guard's lifetime: the list
// cannot take a bitmap that is still selected anywhere.
class Selection {
 public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~Selection() {
    if (selected()) SelectObject(dc_, previous_);
  }
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  bool selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// Draws the icons side by side into one image and one mask and hands both to
// the list in one call.  Added one at a time, each icon costs the list a
// round of bitmap work of its own: for the program's icons that was one of
// the largest steps of start-up.  False when a step fails; the list is then
// as it was.
bool AddIconStrip(HIMAGELIST list, const std::vector<IconHandle>& icons, int size) {
  const int width = size * static_cast<int>(icons.size());
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = width;
  format.bmiHeader.biHeight = size;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* pixels = nullptr;
  // A new section is all zero: black, as an icon's image is where its mask
  // lets the background through.
  GdiObject image(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0));
  GdiObject mask(CreateBitmap(width, size, 1, 1, nullptr));
  MemoryDcHandle image_dc(CreateCompatibleDC(nullptr));
  MemoryDcHandle mask_dc(CreateCompatibleDC(nullptr));
  if (!image || !mask || !image_dc || !mask_dc) return false;
  {
    Selection image_selection(image_dc.get(), image.get());
    Selection mask_selection(mask_dc.get(), mask.get());
    if (!image_selection.selected() || !mask_selection.selected()) return false;
    if (!PatBlt(mask_dc.get(), 0, 0, width, size, WHITENESS)) return false;
    for (size_t i = 0; i < icons.size(); ++i) {
      const int left = size * static_cast<int>(i);
      if (!DrawIconEx(image_dc.get(), left, 0, icons[i].get(), size, size, 0, nullptr, DI_IMAGE) ||
          !DrawIconEx(mask_dc.get(), left, 0, icons[i].get(), size, size, 0, nullptr, DI_MASK)) {
        return false;
      }
    }
  }
  return ImageList_Add(list, static_cast<HBITMAP>(image.get()), static_cast<HBITMAP>(mask.get())) >= 0;
}

// The image data of the icon `id` at `size` in the library's resources, or
// null when the library has no such icon.
const uint8_t* IconImageData(int id, int size, DWORD* data_size) {
  const HINSTANCE instance = LibraryInstance();
  HRSRC group = FindResourceA(instance, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
  HGLOBAL group_data = group ? LoadResource(instance, group) : nullptr;
  auto* directory = group_data ? static_cast<BYTE*>(LockResource(group_data)) : nullptr;
  if (!directory) return nullptr;
  const int image_id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  HRSRC image = image_id ? FindResourceA(instance, MAKEINTRESOURCEA(image_id), RT_ICON) : nullptr;
  HGLOBAL image_data = image ? LoadResource(instance, image) : nullptr;
  const void* bits = image_data ? LockResource(image_data) : nullptr;
  if (!bits) return nullptr;
  *data_size = SizeofResource(instance, image);
  return static_cast<const uint8_t*>(bits);
}

// Hands a strip put together in memory to the list in one call.
bool AddMemoryStrip(HIMAGELIST list, const IconStrip& strip) {
  struct MaskFormat {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } mask_format = {};
  BITMAPINFO image_format = {};
  for (BITMAPINFOHEADER* header : {&image_format.bmiHeader, &mask_format.header}) {
    header->biSize = sizeof *header;
    header->biWidth = strip.Width();
    header->biHeight = strip.icon_size;
    header->biPlanes = 1;
    header->biCompression = BI_RGB;
  }
  image_format.bmiHeader.biBitCount = 32;
  mask_format.header.biBitCount = 1;
  mask_format.colours[1] = {0xFF, 0xFF, 0xFF, 0};
  void* pixels = nullptr;
  GdiObject image(CreateDIBSection(nullptr, &image_format, DIB_RGB_COLORS, &pixels, nullptr, 0));
  GdiObject mask(CreateBitmap(strip.Width(), strip.icon_size, 1, 1, nullptr));
  MemoryDcHandle dc(CreateCompatibleDC(nullptr));
  if (!image || !pixels || !mask || !dc) return false;
  std::memcpy(pixels, strip.pixels.data(), strip.pixels.size() * sizeof strip.pixels[0]);
  if (SetDIBits(dc.get(), static_cast<HBITMAP>(mask.get()), 0, UINT(strip.icon_size), strip.mask.data(),
                reinterpret_cast<const BITMAPINFO*>(&mask_format), DIB_RGB_COLORS) != strip.icon_size) {
    return false;
  }
  return ImageList_Add(list, static_cast<HBITMAP>(image.get()), static_cast<HBITMAP>(mask.get())) >= 0;
}

// Appends the icons of the ids straight from their resource data (see
// icon_strip.h), with LoadProgramIcons' rule for a missing id; -1, with the
// list as it was, when an icon's data is of a kind only an icon object can draw.
int AddIconsFromResources(HIMAGELIST list, const int* ids, int size, bool stop_at_missing) {
  struct Found {
    const uint8_t* data;
    DWORD size;
  };
  std::vector<Found> found;
  for (int i = 0; ids != nullptr && ids[i] != 0; ++i) {
    DWORD data_size = 0;
    const uint8_t* data = IconImageData(ids[i], size, &data_size);
    if (!data) {
      if (stop_at_missing) break;
      continue;
    }
    found.push_back({data, data_size});
  }
  if (found.empty()) return 0;
  IconStrip strip = MakeIconStrip(size, int(found.size()));
  if (strip.icon_count != int(found.size())) return -1;
  for (size_t slot = 0; slot < found.size(); ++slot) {
    if (!PutIconIntoStrip(found[slot].data, found[slot].size, int(slot), &strip)) return -1;
  }
  return AddMemoryStrip(list, strip) ? strip.icon_count : -1;
}

// Appends the icons of the ids (see LoadProgramIcons); returns how many were
// added.
int AddIcons(HIMAGELIST list, const int* ids, int size, bool stop_at_missing) {
  const int from_resources = AddIconsFromResources(list, ids, size, stop_at_missing);
  if (from_resources >= 0) return from_resources;
  const std::vector<IconHandle> icons = LoadProgramIcons(ids, size, stop_at_missing);
  if (icons.empty()) return 0;
  if (AddIconStrip(list, icons, size)) return static_cast<int>(icons.size());
  int added = 0;
  for (const IconHandle& icon : icons) {
    if (ImageList_AddIcon(list, icon.get()) >= 0) ++added;
  }
  return added;
}

ImageListHandle MakeList(const int* ids, int size, int grow) {
  return ImageListHandle(ImageList_Create(size, size, kListFlags, CountIds(ids), grow));
}

int AddSystemIcon(const char* path, DWORD attributes) {
  if (g_lists.small_list == nullptr) return -1;
  // The shell may change the current folder while it looks; keep ours.
  char saved_folder[kCurrentFolderBufferSize];
  const DWORD saved_length = GetCurrentDirectoryA(sizeof(saved_folder), saved_folder);
  IconHandle icon;
  int system_index = -1;
  const int found = g_lookup(path, attributes, icon.receive(), &system_index);
  if (saved_length > 0 && saved_length < sizeof(saved_folder)) SetCurrentDirectoryA(saved_folder);
  if (!found || !icon) return -1;
  if (system_index < 0 || system_index >= kSystemIconSlots) return -1;
  int& slot = g_lists.system_icon_map[system_index];
  if (slot != 0) return slot - 1;
  const int index = ImageList_AddIcon(g_lists.small_list, icon.get());
  if (index < 0) return -1;
  // The map records where the icon really went, so a list that could not
  // take every program icon still answers the right index.
  g_lists.last_small_index = index;
  slot = index + 1;
  return index;
}

std::string ExtensionKey(const char* path) {
  const char* name = path;
  for (const char* at = path; *at; ++at) {
    if (*at == '\\' || *at == '/' || *at == ':') name = at + 1;
  }
  const char* dot = std::strrchr(name, '.');
  std::string key = dot ? dot : "";
  // Only a plain ASCII extension is folded: in a double-byte code page a
  // letter may be the second half of another character.
  for (const char c : key) {
    if (static_cast<unsigned char>(c) >= 0x80) return key;
  }
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return key;
}

}  // namespace

int CreateImageLists(const int* small_ids, const int* state_ids, const int* large_ids) {
  if (g_lists.small_list != nullptr) return 0;
  ImageListHandle small_list, state_list, large_list;
  if (small_ids != nullptr && !(small_list = MakeList(small_ids, 16, 5))) return 0;
  if (state_ids != nullptr && !(state_list = MakeList(state_ids, 16, 2))) return 0;
  if (large_ids != nullptr && !(large_list = MakeList(large_ids, 32, 2))) return 0;
  const int small_count = small_list ? AddIcons(small_list.get(), small_ids, 16, true) : 0;
  if (state_list) AddIcons(state_list.get(), state_ids, 16, true);
  const int large_count = large_list ? AddIcons(large_list.get(), large_ids, 32, false) : 0;
  ImageListState made;
  made.last_small_index = small_count > 0 ? small_count - 1 : 0;
  made.last_large_index = large_count > 0 ? large_count - 1 : 0;
  // The lists live in the module-wide state until DestroyImageLists.
  made.small_list = small_list.release();
  made.state_list = state_list.release();
  made.large_list = large_list.release();
  g_lists = made;
  return 1;
}

void DestroyImageLists() {
  ImageListHandle(g_lists.small_list).reset();
  ImageListHandle(g_lists.state_list).reset();
  ImageListHandle(g_lists.large_list).reset();
  g_lists = ImageListState();
}

HIMAGELIST SmallImageList() { return g_lists.small_list; }
HIMAGELIST StateImageList() { return g_lists.state_list; }
HIMAGELIST LargeImageList() { return g_lists.large_list; }

int FileIconIndex(const char* path) {
  if (path == nullptr || g_lists.small_list == nullptr) return -1;
  std::string key = ExtensionKey(path);
  const auto known = g_lists.extension_icons.find(key);
  if (known != g_lists.extension_icons.end()) return known->second;
  const int index = AddSystemIcon(path, FILE_ATTRIBUTE_NORMAL);
  // A failed lookup is asked again next time: it may have been the image
  // list that could not grow.
  if (index >= 0) g_lists.extension_icons.emplace(std::move(key), index);
  return index;
}

int FolderIconIndex() {
  if (g_lists.folder_icon < 0) g_lists.folder_icon = AddSystemIcon("folder", FILE_ATTRIBUTE_DIRECTORY);
  return g_lists.folder_icon;
}

void SetShellIconLookup(ShellIconLookup lookup) {
  g_lookup = lookup != nullptr ? lookup : AskShell;
  g_lists.extension_icons.clear();
  g_lists.folder_icon = -1;
}
