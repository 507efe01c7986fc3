// Dragging list items: the merged drag image, drop-target highlighting with
// auto-scroll, and the frame's mouse handling while a drag runs.  One drag at
// a time in the whole process.
#include <utility>

#include "common/common_library.h"
#include "common/image_lists.h"
#include "common/menu_localisation.h"
#include "common/win_owners.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"
#include "controls/frame_services.h"
#include "controls/list_view_internal.h"
#include "common/win_params.h"
#include "controls/popup_menu.h"

namespace {

constexpr int kMergedImageStep = 16;

struct DragState {
  ImageListHandle image;
  int highlighted_index = -1;
  ListViewCtl* highlighted_list = nullptr;
  bool dragging = false;
  HDROP dropped_files = nullptr;
  HCURSOR saved_cursor = nullptr;
  bool cursor_saved = false;
};
DragState g_drag;

// The drop target is marked with the drop highlight alone: the selection is
// what the commands act on, and a drag that moved nothing must leave it as
// it was.
void SetDropHighlight(HWND window, int index, bool on) {
  LVITEMA item = {};
  item.stateMask = LVIS_DROPHILITED;
  item.state = on ? LVIS_DROPHILITED : 0;
  SendMessageA(window, LVM_SETITEMSTATE, IndexParam(index), reinterpret_cast<LPARAM>(&item));
}

void ClearDropHighlight() {
  if (g_drag.highlighted_list && g_drag.highlighted_index >= 0) {
    HWND window = g_drag.highlighted_list->window;
    SetDropHighlight(window, g_drag.highlighted_index, false);
    RECT bounds = {LVIR_BOUNDS, 0, 0, 0};
    if (SendMessageA(window, LVM_GETITEMRECT, IndexParam(g_drag.highlighted_index),
                     reinterpret_cast<LPARAM>(&bounds))) {
      InvalidateRect(window, &bounds, TRUE);
    }
  }
  g_drag.highlighted_index = -1;
  g_drag.highlighted_list = nullptr;
}

POINT CursorIn(HWND window) {
  POINT point;
  GetCursorPos(&point);
  ScreenToClient(window, &point);
  return point;
}

// Scrolls the hover index one item up (-1) or down (+1).
void ScrollStep(ListViewCtl* list, int direction) {
  const int count = static_cast<int>(SendMessageA(list->window, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  if (g_drag.highlighted_list == list) ClearDropHighlight();
  int index = list->drag_hover_index + direction;
  if (index < -1) index = -1;
  if (index >= count) index = count - 1;
  list->drag_hover_index = index;
  if (index >= 0) SendMessageA(list->window, LVM_ENSUREVISIBLE, IndexParam(index), FALSE);
}

// Highlights the item under the cursor as drop target, or scrolls when the
// cursor is above or below the list.
void DragOver(ListViewCtl* list) {
  LVHITTESTINFO hit = {};
  hit.pt = CursorIn(list->window);
  const int index = static_cast<int>(SendMessageA(list->window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!(hit.flags & (LVHT_ONITEM | LVHT_TOLEFT | LVHT_TORIGHT))) {
    if (hit.flags & LVHT_ABOVE)
      ScrollStep(list, -1);
    else if (hit.flags & LVHT_BELOW)
      ScrollStep(list, +1);
    return;
  }
  if (index < 0 || !(hit.flags & LVHT_ONITEM)) {
    if (g_drag.highlighted_list == list) ClearDropHighlight();
    return;
  }
  SetFocus(list->window);
  if (g_drag.highlighted_list == list && g_drag.highlighted_index == index) return;
  ClearDropHighlight();
  SetDropHighlight(list->window, index, true);
  g_drag.highlighted_list = list;
  g_drag.highlighted_index = index;
  list->drag_hover_index = index;
}

// The item under the cursor, the background marker inside the list, or null.
void* DropTargetOf(ListViewCtl* list) {
  POINT point = CursorIn(list->window);
  RECT client;
  GetClientRect(list->window, &client);
  if (!PtInRect(&client, point)) return nullptr;
  LVHITTESTINFO hit = {};
  hit.pt = point;
  const int index = static_cast<int>(SendMessageA(list->window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (index >= 0 && (hit.flags & LVHT_ONITEM)) return ListViewItemAt(list, index);
  return kListViewBackground;
}

template <typename Visit>
void ForEachList(DialogFrame* frame, Visit visit) {
  for (FrameControl* entry = frame->controls; entry; entry = entry->next) {
    if (entry->kind == kFrameListView && entry->object) visit(static_cast<ListViewCtl*>(entry->object));
  }
}

void FindDropTarget(DialogFrame* frame) {
  bool found = false;
  ForEachList(frame, [&](ListViewCtl* list) {
    if (found) return;
    list->drop_target_item = DropTargetOf(list);
    found = list->drop_target_item != nullptr;
  });
}

void EndDrag(DialogFrame* frame) {
  ClearDropHighlight();
  if (g_drag.dragging) {
    ReleaseCapture();
    ImageList_DragLeave(nullptr);
    ImageList_EndDrag();
    g_drag.image.reset();
    g_drag.dragging = false;
  }
  HDROP drop = g_drag.dropped_files;
  g_drag.dropped_files = nullptr;
  bool drop_taken = false;
  ForEachList(frame, [&](ListViewCtl* list) {
    if (!list->drag_source_item && !(drop && list->drop_target_item && !drop_taken)) return;
    if (g_drag.cursor_saved) {
      SetCursor(g_drag.saved_cursor);
      g_drag.cursor_saved = false;
    }
    // Only a handler takes over the shell's drop (and finishes it).
    if (list->drop_handler) {
      drop_taken = drop_taken || drop != nullptr;
      list->drop_handler(list, drop);
    }
    list->drag_source_item = nullptr;
  });
  // A shell drop that no handler took is still finished.
  if (drop && !drop_taken) DragFinish(drop);
}

void ListDragMouse(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM) {
  if (!frame) return;
  switch (message) {
    case WM_MOUSEMOVE: {
      if (!g_drag.dragging) return;
      ImageList_DragShowNolock(FALSE);
      ForEachList(frame, [](ListViewCtl* list) {
        DragOver(list);
        list->drop_target_item = nullptr;
        UpdateWindow(list->window);
      });
      ImageList_DragShowNolock(TRUE);
      POINT cursor;
      GetCursorPos(&cursor);
      ImageList_DragMove(cursor.x, cursor.y);
      FindDropTarget(frame);
      if (DropQuery query = GetDropQuery()) {
        if (!query()) {
          if (!g_drag.cursor_saved) {
            g_drag.saved_cursor = GetCursor();
            g_drag.cursor_saved = true;
          }
          SetCursor(LoadCursor(nullptr, IDC_NO));
        } else if (g_drag.cursor_saved) {
          SetCursor(g_drag.saved_cursor);
        }
      }
      break;
    }
    case WM_DROPFILES:
      g_drag.dropped_files = reinterpret_cast<HDROP>(wparam);
      FindDropTarget(frame);
      EndDrag(frame);
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (g_drag.dragging || g_drag.dropped_files) EndDrag(frame);
      break;
    default:
      break;
  }
}

}  // namespace

void InstallListDragService() {
  FrameServices& services = FrameServicesTable();
  if (!services.list_drag_mouse) services.list_drag_mouse = ListDragMouse;
}

void ForgetDragState(ListViewCtl* list) {
  if (g_drag.highlighted_list == list) {
    g_drag.highlighted_list = nullptr;
    g_drag.highlighted_index = -1;
  }
}

void ListViewBeginDrag(ListViewCtl* list, NMLISTVIEW* notice) {
  if (notice->iItem == -1) return;
  g_drag.image.reset();
  ClearDropHighlight();
  list->dragged_items.clear();
  ImageListHandle drag_image;
  int first = -1;
  for (int index =
           static_cast<int>(SendMessageA(list->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
       index >= 0;
       index = static_cast<int>(SendMessageA(list->window, LVM_GETNEXTITEM, IndexParam(index), LVNI_SELECTED))) {
    list->dragged_items.push_back(ListViewItemAt(list, index));
    POINT origin = {0, 0};
    ImageListHandle part(reinterpret_cast<HIMAGELIST>(
        SendMessageA(list->window, LVM_CREATEDRAGIMAGE, IndexParam(index), reinterpret_cast<LPARAM>(&origin))));
    if (first < 0) {
      first = index;
      drag_image = std::move(part);
    } else if (part && drag_image) {
      ImageListHandle merged(
          ImageList_Merge(drag_image.get(), 0, part.get(), 0, 0, kMergedImageStep * (index - first)));
      if (merged) drag_image = std::move(merged);
    }
  }
  g_drag.image = std::move(drag_image);
  if (list->dragged_items.empty()) return;
  SetCapture(list->frame->window);
  POINT cursor;
  GetCursorPos(&cursor);
  POINT in_list = cursor;
  ScreenToClient(list->window, &in_list);
  RECT bounds = {LVIR_SELECTBOUNDS, 0, 0, 0};
  SendMessageA(list->window, LVM_GETITEMRECT, IndexParam(notice->iItem), reinterpret_cast<LPARAM>(&bounds));
  if (g_drag.image) {
    ImageList_BeginDrag(g_drag.image.get(), 0, in_list.x - bounds.left, in_list.y - bounds.top);
    ImageList_DragEnter(GetDesktopWindow(), cursor.x, cursor.y);
  }
  list->drag_source_item = list->dragged_items.front();
  list->drag_hover_index = notice->iItem;
  g_drag.dragging = true;
}

namespace {

// Where a menu opened from the keyboard goes: below the focused item's label
// while it is in view, else the list's top left corner.
POINT KeyboardMenuPoint(ListViewCtl* list, int* focused) {
  *focused = static_cast<int>(SendMessageA(list->window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  POINT point = {0, 0};
  RECT label = {LVIR_LABEL, 0, 0, 0};
  RECT client;
  GetClientRect(list->window, &client);
  if (*focused >= 0 &&
      SendMessageA(list->window, LVM_GETITEMRECT, IndexParam(*focused), reinterpret_cast<LPARAM>(&label)) &&
      label.bottom > client.top && label.top < client.bottom) {
    point = {label.left, label.bottom};
  }
  ClientToScreen(list->window, &point);
  return point;
}

}  // namespace

void ListViewContextMenu(ListViewCtl* list, ContextMenuFrom from) {
  POINT at;
  if (from == ContextMenuFrom::kKeyboard) {
    int focused = -1;
    at = KeyboardMenuPoint(list, &focused);
    list->clicked_on_item = focused >= 0 ? 1 : 0;
  } else {
    LVHITTESTINFO hit = {};
    hit.pt = CursorIn(list->window);
    list->clicked_on_item = SendMessageA(list->window, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) >= 0 ? 1 : 0;
    GetCursorPos(&at);
  }
  if (!list->context_menu) return;
  HINSTANCE instance = LibraryInstance() ? LibraryInstance() : GetModuleHandleA(nullptr);
  MenuHandle menu(LoadMenuA(instance, list->context_menu));
  if (!menu) return;
  LocaliseMenu(menu.get());
  list->menu_from_keyboard = from == ContextMenuFrom::kKeyboard;
  if (list->menu_prepare) list->menu_prepare(list, menu.get());
  list->menu_from_keyboard = false;
  const char* name = list->context_menu;
  const int menu_id = IS_INTRESOURCE(name) ? int(reinterpret_cast<UINT_PTR>(name)) : 0;
  MenuData* data = ConvertMenu(list->frame->window, menu.get(), SmallImageList(), menu_id);
  if (!data) return;
  TrackOwnerPopup(list->frame->window, data, at.x, at.y, nullptr);
  menu.release();
}
