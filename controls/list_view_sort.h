// Sort rules of the list view wrapper that need no window: the direction
// toggle of header clicks, the swapped call for descending order, and the
// comparison of file-list entries.
#pragma once

#include <cstdint>

struct DirEntry;

// Compares two item data pointers for `column`; `descending` tells the
// comparison which direction is being sorted (the items already come
// swapped for descending order).  Negative: a before b.
using ListViewCompare = int (*)(void* a, void* b, int column, int descending);

struct ListViewSortState {
  std::uint8_t sort_column = 0;
  std::uint8_t last_sort_column = 0;
  std::uint32_t descending = 0;
};

// A header click: a second click on the same column reverses the order, a
// click on another column sorts it ascending.
void ApplyColumnClick(ListViewSortState* state, int column);

// What the sort callback returns for items a and b.
int CallSortCompare(ListViewCompare compare, void* a, void* b, int column, bool descending);

// Columns of the file list.
enum FileListColumn { kFileColumnType = 0, kFileColumnName = 1, kFileColumnSize = 2, kFileColumnDate = 3 };

// The file list's comparison.  Drives and ".." entries come first in either
// direction; by type folders lead, then extensions; by size the larger first
// with files before folders of equal size; by date the date texts as text.
// Ties fall back to folders first, then the names, ignoring case.
int CompareDirEntries(const DirEntry* a, const DirEntry* b, int column, int descending);
// The same with the signature of ListViewCompare.
int CompareDirEntryItems(void* a, void* b, int column, int descending);
