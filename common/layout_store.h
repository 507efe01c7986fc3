// Stored layouts of dialog windows and of the list views inside them, kept
// per user below HKEY_CURRENT_USER and keyed by product name, dialog template
// id and list view control id.  Every failure is quiet: a layout that cannot
// be read leaves the defaults, one that cannot be written leaves the old one.
#pragma once

#include <vector>

struct WindowLayout {
  int left;
  int top;
  int width;  // outer size
  int height;
};

// 1 when "left", "top", "width" and "height" were all written.
int SaveWindowLayout(const char* product, int dialog_id, const WindowLayout* layout);
// Creates the dialog key when it is missing.  1 when all four values were
// read; the fields read before a missing one are already stored.
int LoadWindowLayout(const char* product, int dialog_id, WindowLayout* layout);

// Values "0" to "count-1" of the list's key (or of its "order" sub-key);
// values of an earlier, longer list are removed.  Returns count, -1 when a
// write failed, 0 for a missing product, array or count.
int SaveIntList(const char* product, int dialog_id, int control_id, int count, const int* values);
int SaveIntListOrder(const char* product, int dialog_id, int control_id, int count, const int* values);
// Reads values "0", "1", ... by name into `values` (room for count).  Returns
// how many were read in a row from "0", or -1 when the key is missing, a
// value is not a number, or the stored list is longer than count.
int LoadIntList(const char* product, int dialog_id, int control_id, int count, int* values);
int LoadIntListOrder(const char* product, int dialog_id, int control_id, int count, int* values);

// The list's view code in the default value of its "style" sub-key.
int SaveListViewStyle(const char* product, int dialog_id, int control_id, int view_code);

// How far each splitter bar of the dialog was dragged, as "x,y" pairs in the
// dialog key's "splitters" value.
int SaveSplitterPositions(const char* product, int dialog_id, const std::vector<int>& numbers);
int LoadSplitterPositions(const char* product, int dialog_id, std::vector<int>* numbers);
