#include "controls/list_view_sort.h"

#include <cstring>
#include <string>

#include "controls/dir_entry.h"

namespace {

int CompareNoCase(const std::string& a, const std::string& b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    int ca = static_cast<unsigned char>(a[i]);
    int cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
    if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::string ExtensionOf(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace

void ApplyColumnClick(ListViewSortState* state, int column) {
  state->descending = (column == state->last_sort_column) && !state->descending;
  state->sort_column = static_cast<std::uint8_t>(column);
  state->last_sort_column = static_cast<std::uint8_t>(column);
}

int CallSortCompare(ListViewCompare compare, void* a, void* b, int column, bool descending) {
  return descending ? compare(b, a, column, 1) : compare(a, b, column, 0);
}

int CompareDirEntries(const DirEntry* a, const DirEntry* b, int column, int descending) {
  // Called with the items swapped for descending order, so the special
  // entry answers "after" there to end up first.
  if (IsSpecialDirEntryKind(a->kind)) return descending ? 1 : -1;
  if (IsSpecialDirEntryKind(b->kind)) return descending ? -1 : 1;
  const bool a_folder = IsFolderKind(a->kind);
  const bool b_folder = IsFolderKind(b->kind);
  switch (column) {
    case kFileColumnType: {
      if (a_folder != b_folder) return a_folder ? -1 : 1;
      const int by_extension = CompareNoCase(ExtensionOf(a->name), ExtensionOf(b->name));
      if (by_extension) return by_extension;
      break;
    }
    case kFileColumnName:
      break;
    case kFileColumnSize: {
      const std::uint64_t size_a = ParseFileSizeText(a->size_text);
      const std::uint64_t size_b = ParseFileSizeText(b->size_text);
      if (size_a != size_b) return size_a > size_b ? -1 : 1;
      if (a_folder != b_folder) return a_folder ? 1 : -1;
      break;
    }
    case kFileColumnDate: {
      const int by_date = CompareNoCase(a->date_text, b->date_text);
      if (by_date) return by_date;
      break;
    }
    default:
      return 0;
  }
  if (a_folder != b_folder) return a_folder ? -1 : 1;
  return CompareNoCase(a->name, b->name);
}

int CompareDirEntryItems(void* a, void* b, int column, int descending) {
  return CompareDirEntries(static_cast<const DirEntry*>(a), static_cast<const DirEntry*>(b), column, descending);
}
