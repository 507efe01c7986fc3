// Notification dispatch, sorting, selection tracking and label editing.
#include <cstdlib>

#include "common/text_utils.h"
#include "controls/dialog_frame.h"
#include "controls/frame_help_pane.h"
#include "controls/frame_services.h"
#include "controls/list_view_internal.h"

namespace {

// Hook, else default: a hook that answers nonzero handles the notification.
template <typename Default>
int HookElse(ListViewHook hook, ListViewCtl* list, NMHDR* header, Default fallback) {
  if (hook && hook(list, header)) return 1;
  return fallback();
}

int CALLBACK SortCallback(LPARAM a, LPARAM b, LPARAM context) {
  auto* list = reinterpret_cast<ListViewCtl*>(context);
  return CallSortCompare(list->compare, reinterpret_cast<void*>(a), reinterpret_cast<void*>(b), list->sort.sort_column,
                         list->sort.descending != 0);
}

int SelectionChange(ListViewCtl* list, NMLISTVIEW* change) {
  if (!(change->uChanged & LVIF_STATE) || !(change->uNewState & LVIS_SELECTED)) return 1;
  if (change->iItem != -1) {
    void* item = reinterpret_cast<void*>(change->lParam);
    if (!item) item = ListViewItemAt(list, change->iItem);
    if (item != list->current_item) {
      list->current_item = item;
      if (list->on_selection_changed) list->on_selection_changed(list, &change->hdr);
    }
  }
  ShowContextHelp(list->frame, list->control_id);
  return 1;
}

HWND EditControl(ListViewCtl* list) {
  return reinterpret_cast<HWND>(SendMessageA(list->window, LVM_GETEDITCONTROL, 0, 0));
}

int BufferEditStart(ListViewCtl* list) {
  if (!list->edit_mode) return 0;
  HWND edit = EditControl(list);
  if (edit) SetWindowTextA(edit, list->edit_buffer && *list->edit_buffer ? *list->edit_buffer : "");
  return 0;
}

int BufferEditEnd(ListViewCtl* list, NMLVDISPINFOA* info) {
  if (!list->edit_mode) return 1;
  if (info->item.iItem == -1 || !info->item.pszText) return 0;
  if (list->edit_buffer) {
    char* copy = StrDup(info->item.pszText);
    if (!copy) return 0;
    std::free(*list->edit_buffer);
    *list->edit_buffer = copy;
  }
  return 1;
}

int FileEditStart(ListViewCtl* list, NMLVDISPINFOA* info) {
  const auto* entry = reinterpret_cast<const DirEntry*>(info->item.lParam);
  if (!entry) entry = static_cast<const DirEntry*>(ListViewItemAt(list, info->item.iItem));
  HWND edit = EditControl(list);
  if (entry && edit) SetWindowTextA(edit, entry->name.c_str());
  return 0;
}

int RenameEntry(ListViewCtl* list, NMLVDISPINFOA* info) {
  return list->rename_entry ? list->rename_entry(list, info) : 0;
}

int DispatchNotice(ListViewCtl* list, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!list || message != WM_NOTIFY || static_cast<int>(wparam) != list->control_id || !lparam) return 0;
  auto* header = reinterpret_cast<NMHDR*>(lparam);
  if (static_cast<int>(header->idFrom) != list->control_id) return 0;
  const int code = static_cast<int>(header->code);
  if (SplitterDragActive() && code != static_cast<int>(LVN_GETDISPINFOA)) return 0;
  if (list->notify_filter && list->notify_filter(list, code, header)) return 1;
  const bool files = list->file_list;
  auto* notice = reinterpret_cast<NMLISTVIEW*>(header);
  auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
  switch (header->code) {
    case LVN_KEYDOWN:
      return list->on_key_down ? (list->on_key_down(list, header) ? 1 : 0) : 0;
    case LVN_GETDISPINFOA:
      ListViewDisplayText(list, info);
      return 1;
    case LVN_BEGINDRAG:
      if (list->on_begin_drag == kListViewNoDrag) return 1;
      return HookElse(list->on_begin_drag, list, header, [&] {
        ListViewBeginDrag(list, notice);
        return 1;
      });
    case LVN_COLUMNCLICK:
      return HookElse(list->on_column_click, list, header, [&] { return ListViewColumnSort(list, notice->iSubItem); });
    case LVN_ENDLABELEDITA:
      return HookElse(list->on_end_edit, list, header,
                      [&] { return files ? RenameEntry(list, info) : BufferEditEnd(list, info); });
    case LVN_BEGINLABELEDITA:
      return HookElse(list->on_begin_edit, list, header,
                      [&] { return files ? FileEditStart(list, info) : BufferEditStart(list); });
    case LVN_DELETEALLITEMS:
      if (!files) return 0;
      // A file list keeps its entries itself: no LVN_DELETEITEM per row.
      SetWindowLongPtrA(GetParent(list->window), DWLP_MSGRESULT, TRUE);
      return 1;
    case LVN_DELETEITEM:
      if (files) return 0;
      if (list->on_item_deleted) list->on_item_deleted(list, header);
      return 1;
    case LVN_ITEMCHANGED:
      if (!files && list->selection_mute) return 1;
      return SelectionChange(list, notice);
    case NM_SETFOCUS:
      SetLastFocusedListId(list->control_id);
      ShowContextHelp(list->frame, list->control_id);
      return 0;
    case NM_RDBLCLK:
      return list->on_right_double_click && list->on_right_double_click(list, header) ? 1 : 0;
    case NM_RCLICK:
      return HookElse(list->on_right_click, list, header, [&] {
        ListViewContextMenu(list);
        return 1;
      });
    case NM_DBLCLK:
      if (!files) return list->on_double_click && list->on_double_click(list, header) ? 1 : 0;
      return HookElse(list->on_double_click, list, header,
                      [&] { return list->open_entry ? list->open_entry(list) : 1; });
    case NM_CLICK:
      if (!files) ShowContextHelp(list->frame, list->control_id);
      return list->on_click && list->on_click(list, header) ? 1 : 0;
    default:
      return 0;
  }
}

int Dispatch(ListViewCtl* list, UINT message, WPARAM wparam, LPARAM lparam) {
  const int handled = DispatchNotice(list, message, wparam, lparam);
  // Accepted, cancelled or taken by a hook, the edit is over: an edit the
  // user starts later with the mouse must not write into this one's buffer.
  if (list && message == WM_NOTIFY && lparam &&
      reinterpret_cast<NMHDR*>(lparam)->code == static_cast<UINT>(LVN_ENDLABELEDITA) &&
      static_cast<int>(reinterpret_cast<NMHDR*>(lparam)->idFrom) == list->control_id) {
    ClearEditState(list);
  }
  return handled;
}

}  // namespace

int ListViewColumnSort(ListViewCtl* list, int column) {
  if (!list->compare) return 0;
  ApplyColumnClick(&list->sort, column);
  SendMessageA(list->window, LVM_SORTITEMS, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(SortCallback));
  return 1;
}

int ListViewResort(ListViewCtl* list) {
  if (!list || !list->window || !list->compare) return 0;
  list->sort.sort_column = list->sort.last_sort_column;
  SendMessageA(list->window, LVM_SORTITEMS, reinterpret_cast<WPARAM>(list), reinterpret_cast<LPARAM>(SortCallback));
  return 1;
}

int ListViewNotifyPlain(void* object, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* list = static_cast<ListViewCtl*>(object);
  return list && !list->file_list ? Dispatch(list, message, wparam, lparam) : 0;
}

int ListViewNotifyFileList(void* object, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* list = static_cast<ListViewCtl*>(object);
  return list && list->file_list ? Dispatch(list, message, wparam, lparam) : 0;
}
