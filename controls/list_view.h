// ListViewCtl: the wrapper behind every report-style list view of the
// program.  Items carry a pointer to their owner's record as item data; every
// text, icon and comparison is asked of the owner through the hooks below.
// In file-list mode (files/file_list.h) the list holds DirEntry rows of a
// folder listing and asks the file list to rename and open them.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/dir_entry.h"
#include "controls/list_view_sort.h"

struct DialogFrame;
struct ListViewCtl;

using ListViewItemImage = int (*)(void* item);
using ListViewNotifyFilter = int (*)(ListViewCtl* list, int code, NMHDR* header);
using ListViewHook = int (*)(ListViewCtl* list, NMHDR* header);
using ListViewNotice = void (*)(ListViewCtl* list, NMHDR* header);
using ListViewDropHandler = void (*)(ListViewCtl* list, HDROP drop);
using ListViewMenuIcon = int (*)(void* menu_item);
using ListViewMenuPrepare = void (*)(ListViewCtl* list, HMENU menu);

// The begin-drag hook value that turns dragging off for a list.
extern const ListViewHook kListViewNoDrag;
// The drop target value that stands for the list background.
extern void* const kListViewBackground;

struct ListViewCtl {
  HWND window;
  int control_id;
  DialogFrame* frame;
  ListViewNotifyFilter notify_filter;
  void* current_item;
  DWORD extended_style;
  std::vector<int> column_titles;  // string ids, ending with 0
  const int* column_widths;        // the caller's defaults; read at creation only
  int item_count;
  ListViewItemImage image_of_item;
  ListViewItemImage state_image_of_item;
  ListViewDropHandler drop_handler;
  void* drag_source_item;
  void* drop_target_item;  // kListViewBackground: over the list but no item
  std::vector<void*> dragged_items;
  ListViewCompare compare;
  ListViewSortState sort;
  std::uint32_t selection_mute;
  const char* context_menu;  // resource name or MAKEINTRESOURCE id
  ListViewMenuIcon menu_icon;
  ListViewMenuPrepare menu_prepare;
  std::uint32_t clicked_on_item;
  bool menu_from_keyboard;  // while menu_prepare runs: the menu is for the focused item, not the cursor's
  int drag_hover_index;
  char** edit_buffer;  // malloc'd text that an edit started by ListViewEditCurrent replaces
  std::uint32_t edit_mode;
  ListViewNotice on_item_deleted;
  ListViewHook on_display_info;
  ListViewNotice on_selection_changed;  // header is null after ListViewSelect
  ListViewHook on_key_down;
  ListViewHook on_begin_edit;
  ListViewHook on_end_edit;
  ListViewHook on_begin_drag;
  ListViewHook on_column_click;
  ListViewHook on_click;
  ListViewHook on_right_click;
  ListViewHook on_double_click;
  ListViewHook on_right_double_click;
  // File-list mode.
  bool file_list;
  std::string file_pattern;  // empty: all files
  std::string directory;     // empty: the drive list
  unsigned listing_flags;
  DirEntryList entries;
  int (*rename_entry)(ListViewCtl* list, NMLVDISPINFOA* info);  // end of a label edit
  int (*open_entry)(ListViewCtl* list);                         // double click
};

struct ListViewParams {
  DialogFrame* frame = nullptr;
  int control_id = 0;
  ListViewItemImage image_of_item = nullptr;
  ListViewItemImage state_image_of_item = nullptr;
  DWORD extended_style = 0;
  ListViewCompare compare = nullptr;  // file list: null picks the file comparison
  const char* context_menu = nullptr;
  ListViewMenuIcon menu_icon = nullptr;
  ListViewMenuPrepare menu_prepare = nullptr;
  const int* column_titles = nullptr;  // string ids ending with 0
  const int* column_widths = nullptr;
  ListViewNotifyFilter notify_filter = nullptr;
};

// Both destroy `existing` first (and its entry in the frame's control list).
// Null when the frame has no window or the dialog has no such control.
ListViewCtl* CreateListView(ListViewCtl* existing, const ListViewParams& params);
// An empty list in file-list mode, for the file list to fill.
ListViewCtl* CreateFileModeListView(ListViewCtl* existing, const ListViewParams& params);
// Frees the wrapper and what it owns and takes it off the frame's list; the
// window is left alone.
void DestroyListView(ListViewCtl* list);

int ListViewInsert(ListViewCtl* list, void* item);
void* ListViewItemAt(ListViewCtl* list, int index);
int ListViewIndexOf(ListViewCtl* list, void* item);
int ListViewDelete(ListViewCtl* list, void* item);
int ListViewDeleteAll(ListViewCtl* list);
int ListViewFill(ListViewCtl* list, const std::vector<void*>& items);
int ListViewUpdate(ListViewCtl* list, void* item);
int ListViewRefreshImages(ListViewCtl* list);
int ListViewResort(ListViewCtl* list);
int ListViewSelectAll(ListViewCtl* list);
int ListViewSelect(ListViewCtl* list, void* item);
int ListViewEditCurrent(ListViewCtl* list, std::uint32_t edit_mode, char** buffer);
int ListViewEditItem(ListViewCtl* list, void* item);
int ListViewRetitleColumns(ListViewCtl* list);

// Notification handlers given to the frame (plain and file-list mode).
int ListViewNotifyPlain(void* object, UINT message, WPARAM wparam, LPARAM lparam);
int ListViewNotifyFileList(void* object, UINT message, WPARAM wparam, LPARAM lparam);

// Column layouts are kept by the layout store; until one is installed
// nothing is read or written.  Loads return the number of values read or -1.
struct ColumnLayoutStore {
  int (*load_widths)(int dialog_id, int control_id, int count, int* values);
  int (*load_order)(int dialog_id, int control_id, int count, int* values);
  void (*save_widths)(int dialog_id, int control_id, int count, const int* values);
  void (*save_order)(int dialog_id, int control_id, int count, const int* values);
  void (*save_view)(int dialog_id, int control_id, int view_code);
};
void SetColumnLayoutStore(const ColumnLayoutStore& store);

// Asked whether a splitter of a frame is being dragged; while it is, lists
// answer nothing but display requests.
void SetSplitterDragQuery(int (*dragging)());
