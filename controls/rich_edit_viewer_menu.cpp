#include "controls/rich_edit_viewer_menu.h"

#include "common/image_lists.h"
#include "common/strings.h"
#include "controls/owner_menus.h"
#include "controls/popup_menu.h"
#include "controls/rich_edit_viewer.h"
#include "res/string_ids.h"

namespace {

int TrackLikeOtherMenus(HWND owner, HMENU menu, int x, int y) {
  MenuData* data = ConvertMenu(owner, menu, SmallImageList(), 0);
  if (data == nullptr) {
    DestroyMenu(menu);
    return 0;
  }
  // No owner: the command comes back here instead of reaching the dialog,
  // whose own commands may use the same numbers.
  return TrackOwnerPopup(nullptr, data, x, y, nullptr);
}

ViewerMenuTracker g_tracker = nullptr;

void AddItem(HMENU menu, UINT text_id, ViewerEditCommand command, bool enabled) {
  const UINT state = enabled ? UINT{MF_ENABLED} : UINT{MF_GRAYED};
  AppendMenuA(menu, MF_STRING | state, static_cast<UINT_PTR>(command), LoadStringText(text_id));
}

}  // namespace

HMENU CreateViewerEditMenu(const ViewerEditState& state) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  AddItem(menu, IDS_VIEWER_UNDO, kViewerEditUndo, state.can_undo);
  AddItem(menu, IDS_VIEWER_REDO, kViewerEditRedo, state.can_redo);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AddItem(menu, IDS_VIEWER_CUT, kViewerEditCut, state.has_selection);
  AddItem(menu, IDS_VIEWER_COPY, kViewerEditCopy, state.has_selection);
  AddItem(menu, IDS_VIEWER_PASTE, kViewerEditPaste, state.can_paste);
  AddItem(menu, IDS_VIEWER_DELETE, kViewerEditDelete, state.has_selection);
  AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
  AddItem(menu, IDS_VIEWER_SELECT_ALL, kViewerEditSelectAll, state.has_text);
  return menu;
}

void ShowViewerEditMenu(RichEditViewer* viewer, int x, int y) {
  if (!ViewerIsEditable(viewer)) return;
  const ViewerEditState state = ViewerEditStateOf(viewer);
  HMENU menu = CreateViewerEditMenu(state);
  if (menu == nullptr) return;
  const HWND owner = GetParent(RichViewerWindow(viewer));
  const int command = (g_tracker != nullptr ? g_tracker : TrackLikeOtherMenus)(owner, menu, x, y);
  // Each command checks for itself whether it can act, so a greyed item
  // reported through its mnemonic does nothing.
  if (command >= kViewerEditUndo && command <= kViewerEditSelectAll) {
    RunViewerEditCommand(viewer, static_cast<ViewerEditCommand>(command));
  }
}

void SetViewerMenuTracker(ViewerMenuTracker tracker) { g_tracker = tracker; }
