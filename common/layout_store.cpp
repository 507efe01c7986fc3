#include "common/layout_store.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "common/layout_keys.h"
#include "common/registry.h"
#include "common/win_owners.h"

namespace {

constexpr DWORD kValueBufferSize = 256;
constexpr char kOrderKey[] = "order";
constexpr char kStyleKey[] = "style";
constexpr char kSplittersValue[] = "splitters";
const char* const kWindowValues[] = {"left", "top", "width", "height"};

bool WriteNumber(const char* key, const char* name, int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  return WriteRegString(HKEY_CURRENT_USER, key, name, text) != 0;
}

// 1 read, 0 missing, -1 present but not a number.
int ReadNumber(const char* key, const char* name, int* value) {
  char text[kValueBufferSize] = {};
  if (!ReadRegValue(HKEY_CURRENT_USER, key, name, text, sizeof text)) return 0;
  return ParseDecimal(text, value) ? 1 : -1;
}

// Values named by a number at or above `count`: what is left of a longer
// list saved before.
std::vector<std::string> StaleValueNames(const char* key, int count) {
  std::vector<std::string> names;
  HKEY opened = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return names;
  RegistryKey owner(opened);
  for (DWORD index = 0;; ++index) {
    char name[kValueBufferSize];
    DWORD name_size = sizeof name;
    const LONG result = RegEnumValueA(opened, index, name, &name_size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) continue;
    int number = 0;
    if (ParseDecimal(name, &number) && number >= count) names.push_back(name);
  }
  return names;
}

int SaveList(const char* key, int count, const int* values) {
  if (!CreateRegKey(HKEY_CURRENT_USER, key)) return -1;
  for (int i = 0; i < count; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%d", i);
    if (!WriteNumber(key, name, values[i])) return -1;
  }
  for (const std::string& name : StaleValueNames(key, count)) DeleteRegValue(HKEY_CURRENT_USER, key, name.c_str());
  return count;
}

int LoadList(const char* key, int count, int* values) {
  if (!RegValueExists(HKEY_CURRENT_USER, key, nullptr)) return -1;
  int read = 0;
  for (; read < count; ++read) {
    char name[16];
    std::snprintf(name, sizeof name, "%d", read);
    const int result = ReadNumber(key, name, &values[read]);
    if (result < 0) return -1;
    if (result == 0) return read;
  }
  char past_end[16];
  std::snprintf(past_end, sizeof past_end, "%d", count);
  return RegValueExists(HKEY_CURRENT_USER, key, past_end) ? -1 : read;
}

int SaveListUnder(const char* product, int dialog_id, int control_id, const char* sub_key, int count,
                  const int* values) {
  if (product == nullptr || values == nullptr || count <= 0) return 0;
  char key[kLayoutKeySize];
  if (!FormatListKey(key, sizeof key, product, dialog_id, control_id, sub_key)) return -1;
  return SaveList(key, count, values);
}

int LoadListUnder(const char* product, int dialog_id, int control_id, const char* sub_key, int count, int* values) {
  if (product == nullptr || values == nullptr || count <= 0) return -1;
  char key[kLayoutKeySize];
  if (!FormatListKey(key, sizeof key, product, dialog_id, control_id, sub_key)) return -1;
  return LoadList(key, count, values);
}

}  // namespace

int SaveWindowLayout(const char* product, int dialog_id, const WindowLayout* layout) {
  char key[kLayoutKeySize];
  if (layout == nullptr || !FormatDialogKey(key, sizeof key, product, dialog_id)) return 0;
  if (!CreateRegKey(HKEY_CURRENT_USER, key)) return 0;
  const int values[] = {layout->left, layout->top, layout->width, layout->height};
  for (int i = 0; i < 4; ++i) {
    if (!WriteNumber(key, kWindowValues[i], values[i])) return 0;
  }
  return 1;
}

int LoadWindowLayout(const char* product, int dialog_id, WindowLayout* layout) {
  char key[kLayoutKeySize];
  if (layout == nullptr || !FormatDialogKey(key, sizeof key, product, dialog_id)) return 0;
  CreateRegKey(HKEY_CURRENT_USER, key);
  int* fields[] = {&layout->left, &layout->top, &layout->width, &layout->height};
  for (int i = 0; i < 4; ++i) {
    if (ReadNumber(key, kWindowValues[i], fields[i]) != 1) return 0;
  }
  return 1;
}

int SaveIntList(const char* product, int dialog_id, int control_id, int count, const int* values) {
  return SaveListUnder(product, dialog_id, control_id, nullptr, count, values);
}

int SaveIntListOrder(const char* product, int dialog_id, int control_id, int count, const int* values) {
  return SaveListUnder(product, dialog_id, control_id, kOrderKey, count, values);
}

int LoadIntList(const char* product, int dialog_id, int control_id, int count, int* values) {
  return LoadListUnder(product, dialog_id, control_id, nullptr, count, values);
}

int LoadIntListOrder(const char* product, int dialog_id, int control_id, int count, int* values) {
  return LoadListUnder(product, dialog_id, control_id, kOrderKey, count, values);
}

int SaveListViewStyle(const char* product, int dialog_id, int control_id, int view_code) {
  char key[kLayoutKeySize];
  if (!FormatListKey(key, sizeof key, product, dialog_id, control_id, kStyleKey)) return 0;
  if (!CreateRegKey(HKEY_CURRENT_USER, key)) return 0;
  return WriteNumber(key, nullptr, view_code) ? 1 : 0;
}

int SaveSplitterPositions(const char* product, int dialog_id, const std::vector<int>& numbers) {
  char key[kLayoutKeySize];
  if (!FormatDialogKey(key, sizeof key, product, dialog_id)) return 0;
  if (!CreateRegKey(HKEY_CURRENT_USER, key)) return 0;
  return WriteRegString(HKEY_CURRENT_USER, key, kSplittersValue, FormatNumberList(numbers).c_str());
}

int LoadSplitterPositions(const char* product, int dialog_id, std::vector<int>* numbers) {
  char key[kLayoutKeySize];
  if (numbers == nullptr || !FormatDialogKey(key, sizeof key, product, dialog_id)) return 0;
  char text[kValueBufferSize] = {};
  if (!ReadRegValue(HKEY_CURRENT_USER, key, kSplittersValue, text, sizeof text)) return 0;
  return ParseNumberList(text, numbers) ? 1 : 0;
}
