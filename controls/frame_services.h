// What the frame procedure asks of the modules built on top of it (menus and
// bars, the layout engine, list dragging, the help viewer, stored window
// layouts), and the library-wide hooks and state that all frames share.
//
// Each module installs its entries into FrameServicesTable() when it starts;
// an entry left null means the module is not present and the frame does
// without it.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/dialog_frame.h"
#include "controls/window_placement.h"

struct StoredWindowLayout {
  int left;
  int top;
  int width;
  int height;
  // How far the window's splitter bars were dragged, in splitter list order.
  std::vector<SplitterDrag> splitter_drags;
};

struct FrameServices {
  // Menus, toolbars and the status bar.
  void (*create_bars_and_menu)(DialogFrame* frame);  // at WM_INITDIALOG
  // WM_DRAWITEM of a menu item, WM_MEASUREITEM, WM_MENUCHAR and
  // WM_MENUGETOBJECT; nonzero when answered, with the answer in *result.
  int (*menu_message)(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam, INT_PTR* result);
  // WM_DRAWITEM of a control window; nonzero when drawn.
  int (*draw_control_item)(DialogFrame* frame, const DRAWITEMSTRUCT* item);
  // Offers a WM_NOTIFY to the frame's toolbars; nonzero when one claims it.
  int (*toolbar_notify)(DialogFrame* frame, NMHDR* header);
  // Frees the menu data, the status bar and the toolbar records.
  void (*release_bars)(DialogFrame* frame);

  // Layout engine and splitters.
  FrameSizeHook layout_engine;
  void (*splitter_mouse)(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);
  void (*release_layout)(DialogFrame* frame);  // layout entries and splitter records
  void (*read_splitter_drags)(const DialogFrame* frame, std::vector<SplitterDrag>* drags);
  void (*write_splitter_drags)(DialogFrame* frame, const std::vector<SplitterDrag>& drags);

  // The mouse side of list drag-and-drop: WM_MOUSEMOVE, WM_DROPFILES,
  // WM_LBUTTONUP and WM_CAPTURECHANGED.
  void (*list_drag_mouse)(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);

  // Help viewer.
  void* (*open_help_pane)(DialogFrame* owner, const char* help_file);
  void (*show_help_topic)(void* pane, int topic);
  void (*open_help_window)(DialogFrame* frame, int id);
  void (*close_help_pane)(void* pane);

  // Stored window layouts, keyed by product name and dialog id.
  int (*load_window_layout)(const char* product, int dialog_id, StoredWindowLayout* layout);
  int (*save_window_layout)(const char* product, int dialog_id, const StoredWindowLayout* layout);
};

FrameServices& FrameServicesTable();

// Offered every localised text (control texts, menu items, help topics): a
// non-null answer replaces the text.
using TranslationHook = const char* (*)(const char* text);
void SetTranslationHook(TranslationHook hook);
TranslationHook GetTranslationHook();

// Run over every child of a dialog and the dialog itself when it opens.
using ChildWindowHook = void (*)(HWND window);
void SetChildWindowHook(ChildWindowHook hook);
ChildWindowHook GetChildWindowHook();

// Asked during a list drag whether the cursor is over a place that accepts
// the drop.
using DropQuery = int (*)();
void SetDropQuery(DropQuery query);
DropQuery GetDropQuery();

// While set, no frame shows context help.
void SetGlobalHelpMute(bool muted);
bool GlobalHelpMute();

// The control id of the list that last took the focus; 0 none.
void SetLastFocusedListId(int control_id);
int LastFocusedListId();
