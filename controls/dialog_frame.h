// DialogFrame: the object behind every dialog window of the library.  One
// frame procedure serves all of them: it keeps the frame's placement and show
// state, hands notifications to the controls registered with the frame,
// routes context help, localises control texts when a dialog opens and only
// then calls the owner's own procedure.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct DialogFrame;
struct FrameControl;
// Records of the menu, toolbar, status bar and layout modules; the frame only
// holds them.
struct StatusBarRecord;
struct ToolbarRecord;
struct LayoutHeader;
struct SplitterRecord;

// The owner's dialog procedure: its result is the frame procedure's result.
using FrameProc = int (*)(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);
// Optional set-up run at WM_INITDIALOG just before the owner procedure.
using FrameInitFunc = void (*)(DialogFrame* frame);
// Called on every WM_SIZE with the WM_SIZE wParam (-1: layout again).
using FrameSizeHook = int (*)(DialogFrame* frame, SplitterRecord* splitter, int size_type);
// Maps a control, command or dialog id to a help topic; 0 is no topic.
using HelpTopicFunc = int (*)(int id);

enum FrameShowState : uint8_t {
  kShowNormal = 0,
  kShowMaximised = 1,
  kShowMinimised = 2,
};

struct DialogFrame {
  HWND window;  // null until WM_INITDIALOG and after destruction
  FrameControl* controls;
  int dialog_id;  // template id; key of the dialog's stored state
  HMENU menu;
  void* menu_data;        // owner-drawn menu data
  const char* menu_name;  // menu resource name or MAKEINTRESOURCE id; null: none
  StatusBarRecord* status_bar;
  ToolbarRecord* toolbars;
  int help_command;             // command that opens the help window; 0 none
  HelpTopicFunc help_topic_of;  // null: no context help
  void* help_pane;              // the help viewer document, shared with child frames
  int normal_left, normal_top, normal_right, normal_bottom;
  int16_t min_width, min_height;  // minimum tracking size; width 0: none
  FrameProc owner_proc;
  FrameSizeHook size_hook;
  LayoutHeader* layout;
  void* owner_param;  // the creator's user data; lParam of WM_INITDIALOG
  uint8_t modal;      // closed with EndDialog, else DestroyWindow
  uint8_t auto_free;  // freed when its window is destroyed
  uint8_t help_muted;
  uint8_t show_state;        // FrameShowState
  int32_t commands_blocked;  // nonzero: WM_COMMAND is not processed at all
  SplitterRecord* splitters;
  FrameInitFunc init_func;
  int last_help_id;  // the dialog or control whose topic was asked for last; 0 none
};

// The dialog procedure of every frame dialog; the frame is the creation
// parameter of the dialog.
INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// The frame attached to a window, or null.
DialogFrame* FrameFromWindow(HWND window);
// How many windows carry the frame property now.
int FramePropertyUseCount();
