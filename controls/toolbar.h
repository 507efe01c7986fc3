// Toolbars of a frame: built from a button table before the frame's window
// exists, made into windows when it opens, with tooltips from the string
// table, user customisation, and the customised state kept per user.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

struct DialogFrame;

// Text of a button (visible text or tooltip) for a command; null: take it
// from the string table.
using ToolbarTextFunc = const char* (*)(int command, void* user_data);
// Drop-down, drag and drag-out hooks: the command or control id.
using ToolbarHook = void (*)(int id, void* user_data);

// Style -1: flat and transparent; style 0: plain.  Both are adjustable and
// show tooltips.
constexpr int kToolbarFlatStyle = -1;
constexpr int kToolbarPlainStyle = 0;

struct ToolbarRecord {
  ToolbarRecord* next = nullptr;
  DialogFrame* frame = nullptr;
  HWND window = nullptr;
  int id = 0;         // the window's control id, also its layout id
  int bitmap_id = 0;  // 0: the shared small image list
  // iString of each entry: a string-table id of a visible text, or negative
  // for none; dwData: the string-table id of the tooltip.
  std::vector<TBBUTTON> buttons;
  DWORD style = 0;
  bool visible = true;
  bool restoring = false;  // the control rebuilds a saved order: nothing to save
  ToolbarTextFunc text_of = nullptr;
  ToolbarTextFunc tooltip_of = nullptr;
  ToolbarHook drop_down = nullptr;
  ToolbarHook end_drag = nullptr;
  ToolbarHook begin_drag = nullptr;
  ToolbarHook drag_out = nullptr;
  void* user_data = nullptr;
  int button_width = 0;
  int button_height = 0;
  int image_count = 0;

  // Storage that must outlive the messages that hand it out.
  std::vector<std::string> button_texts;
  std::vector<std::wstring> wide_texts;
  std::string tooltip;
};

// Appends a toolbar to the frame.  The table is copied whole: a button whose
// state and style bytes are both 0 does not end it.  Null when the bitmap
// cannot be loaded or cannot be cut into buttons of the given width.
ToolbarRecord* AddToolbar(DialogFrame* frame, int toolbar_id, int style, const TBBUTTON* buttons, int button_count,
                          int bitmap_id, int button_width, int button_height);
// Makes the window of every toolbar of the frame (at WM_INITDIALOG) and
// restores each one's saved customisation.
void CreateToolbars(DialogFrame* frame);
void ReleaseToolbars(DialogFrame* frame);

ToolbarRecord* FindToolbar(DialogFrame* frame, int toolbar_id);
// Shows or hides the toolbar and lays the frame out again.
void SetToolbarVisible(ToolbarRecord* toolbar, bool visible);
void MoveToolbar(ToolbarRecord* toolbar, int x, int y, int width, int height);
void EnableToolbarButton(ToolbarRecord* toolbar, int command, bool enable);
// Makes the visible button texts again, in the current language.
void RelabelToolbar(ToolbarRecord* toolbar);

// The customised button order, kept under the user's registry hive.  Saved
// when the user ends customising and when a button is dragged off or moved.
std::string ToolbarStateKey(int toolbar_id);
bool SaveToolbarState(const ToolbarRecord* toolbar);
bool RestoreToolbarState(ToolbarRecord* toolbar);

// WM_NOTIFY offered to the frame's toolbars; nonzero when one claims it.
int ToolbarNotify(DialogFrame* frame, NMHDR* header);
