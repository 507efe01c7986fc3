// The edit commands of an editable viewer and the context menu that offers
// them.
#pragma once

#include <windows.h>

struct RichEditViewer;

enum ViewerEditCommand : int {
  kViewerEditUndo = 1,
  kViewerEditRedo,
  kViewerEditCut,
  kViewerEditCopy,
  kViewerEditPaste,
  kViewerEditDelete,
  kViewerEditSelectAll,
};

struct ViewerEditState {
  bool can_undo = false;
  bool can_redo = false;
  bool has_selection = false;
  bool can_paste = false;  // the clipboard holds text
  bool has_text = false;
};

// False for a read-only viewer, which keeps the control's own behaviour.
bool ViewerIsEditable(const RichEditViewer* viewer);
ViewerEditState ViewerEditStateOf(const RichEditViewer* viewer);
// Runs the command on an editable viewer; nothing on a read-only one.
void RunViewerEditCommand(RichEditViewer* viewer, ViewerEditCommand command);

// The context menu for `state`: its items are the commands above, enabled
// where they can do something.  The caller destroys it.
HMENU CreateViewerEditMenu(const ViewerEditState& state);
// Shows the menu at screen position (x, y) and runs the chosen command.
void ShowViewerEditMenu(RichEditViewer* viewer, int x, int y);

// Tracks the menu, destroys it and returns the chosen command (0: none).
// The default draws it like the other context menus; tests replace it.
using ViewerMenuTracker = int (*)(HWND owner, HMENU menu, int x, int y);
void SetViewerMenuTracker(ViewerMenuTracker tracker);  // null: the default
