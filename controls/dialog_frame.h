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
using FrameControlHandler = int (*)(void* object, UINT message, WPARAM wparam, LPARAM lparam);
using FrameControlDestroy = void (*)(void* object);

enum FrameControlKind : uint8_t {
  kFrameListView = 0,
  // Message hooks: they see every message first; a nonzero answer ends it.
  kFrameMessageHookFirst = 2,
  kFrameMessageHook = 3,
  kFrameCommandHook = 6,
};

enum FrameShowState : uint8_t {
  kShowNormal = 0,
  kShowMaximised = 1,
  kShowMinimised = 2,
};

struct FrameControl {
  uint8_t kind;
  void* object;  // the wrapper that added the entry
  FrameControlHandler handler;
  HWND window;
  int control_id;
  FrameControl* next;
  FrameControl* previous;
  FrameControlDestroy destroy;  // called with object when the list is freed; may be null
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

// Appends an entry to the frame's control list; null when the frame has no
// window or memory runs out.
FrameControl* AddFrameControl(DialogFrame* frame, void* object, int control_id, HWND window, FrameControlKind kind,
                              FrameControlHandler handler, FrameControlDestroy destroy);
// Frees the control list, calling each entry's destroy function.
void FreeFrameControls(DialogFrame* frame);

// Context help for a control, command or dialog id (shown in the help pane).
void ShowContextHelp(DialogFrame* frame, int id);

// Opens the help pane over `help_file` for the frame and stores the help
// command and the topic function.  Returns 1 when a pane is open.
int SetFrameHelp(DialogFrame* frame, const char* help_file, int help_command, HelpTopicFunc topic_of);

// Help panes are shared between a frame and the frames opened from it.
void RetainHelpPane(void* pane);
void ReleaseHelpPane(void* pane);  // closes the pane when the last reference goes
int HelpPaneReferences(void* pane);
// Takes over a freshly opened pane with one reference.
void AdoptHelpPane(void* pane);

// Destroys the old menu and loads the named menu resource, or creates an
// empty menu when `menu_name` is null.
void SetFrameMenu(DialogFrame* frame, const char* menu_name);
void SetFrameIcon(DialogFrame* frame, int icon_id);

// Reads the text of a dialog item into *text, a malloc'd heap text that is
// replaced (the old one is freed); returns the text's length.
int ReadItemText(DialogFrame* frame, int control_id, char** text);
void SetItemText(DialogFrame* frame, int control_id, const char* text);
void PostFrameMessage(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);
void RedrawFrame(DialogFrame* frame);

// The placement text of the frame (valid until the next call).
const char* FormatFramePlacement(const DialogFrame* frame);
void ParseFramePlacement(DialogFrame* frame, const char* text);
