#include "controls/list_view.h"

#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "common/common_library.h"
#include "common/image_lists.h"
#include "common/strings.h"
#include "common/text_utils.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"
#include "controls/frame_services.h"
#include "controls/list_view_internal.h"
#include "common/win_params.h"

const ListViewHook kListViewNoDrag = reinterpret_cast<ListViewHook>(static_cast<std::intptr_t>(-1));
void* const kListViewBackground = reinterpret_cast<void*>(static_cast<std::intptr_t>(-1));

namespace {

constexpr int kItemTextSize = 20;
constexpr char kNoDisplayHook[] = "Use LVN_GETDISPINFO callback";

ColumnLayoutStore g_store = {};
int (*g_splitter_dragging)() = nullptr;

struct SubclassRecord {
  WNDPROC previous;
  int dialog_id;
  int control_id;
  ListViewCtl* list;  // the wrapper over the window now; null between wrappers
};

// The subclassed list views of this process.  Kept here rather than in a
// window property: the procedure looks its record up for every message, and
// a property lookup costs a round trip to the window server under Wine,
// which made filling a large list several times slower.
std::unordered_map<HWND, SubclassRecord*> g_subclassed;

SubclassRecord* SubclassOf(HWND window) {
  const auto found = g_subclassed.find(window);
  return found != g_subclassed.end() ? found->second : nullptr;
}

int ColumnCount(HWND window) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(window, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void SaveColumnLayout(HWND window, const SubclassRecord& record) {
  std::vector<int> widths;
  for (;;) {
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    if (!SendMessageA(window, LVM_GETCOLUMNA, widths.size(), reinterpret_cast<LPARAM>(&column))) break;
    widths.push_back(column.cx);
  }
  const int count = static_cast<int>(widths.size());
  if (count > 0) {
    if (g_store.save_widths) g_store.save_widths(record.dialog_id, record.control_id, count, widths.data());
    std::vector<int> order(widths.size());
    if (SendMessageA(window, LVM_GETCOLUMNORDERARRAY, IndexParam(count), reinterpret_cast<LPARAM>(order.data())) &&
        g_store.save_order) {
      g_store.save_order(record.dialog_id, record.control_id, count, order.data());
    }
  }
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  const int view = (style & 2) ? 2 : (style & 1) ? 3 : static_cast<int>(style);
  if (g_store.save_view) g_store.save_view(record.dialog_id, record.control_id, view);
}

LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  SubclassRecord* record = SubclassOf(window);
  if (!record) return DefWindowProcA(window, message, wparam, lparam);
  WNDPROC previous = record->previous;
  // Shift+F10 and the Menu key come as (-1,-1); the mouse's menu comes with
  // its click (NM_RCLICK).
  if (message == WM_CONTEXTMENU && record->list && lparam == LPARAM(-1)) {
    ListViewContextMenu(record->list, ContextMenuFrom::kKeyboard);
    return 0;
  }
  if (message == WM_DESTROY) {
    SaveColumnLayout(window, *record);
    g_subclassed.erase(window);
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    delete record;
  }
  return CallWindowProcA(previous, window, message, wparam, lparam);
}

void Subclass(ListViewCtl* list) {
  if (SubclassRecord* record = SubclassOf(list->window)) {
    record->list = list;
    return;
  }
  auto* record = new SubclassRecord{nullptr, list->frame->dialog_id, list->control_id, list};
  g_subclassed[list->window] = record;
  record->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(list->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
}

void RestoreColumnLayout(ListViewCtl* list, int columns) {
  std::vector<int> values(static_cast<std::size_t>(columns) + 1);
  const int dialog_id = list->frame->dialog_id;
  if (g_store.load_widths && g_store.load_widths(dialog_id, list->control_id, columns, values.data()) == columns) {
    for (int i = 0; i < columns; ++i)
      SendMessageA(list->window, LVM_SETCOLUMNWIDTH, IndexParam(i), values[static_cast<std::size_t>(i)]);
  }
  if (g_store.load_order && g_store.load_order(dialog_id, list->control_id, columns, values.data()) == columns) {
    SendMessageA(list->window, LVM_SETCOLUMNORDERARRAY, IndexParam(columns), reinterpret_cast<LPARAM>(values.data()));
  }
}

void RemoveFrameEntry(ListViewCtl* list) {
  if (!list->frame) return;
  FrameControl* entry = list->frame->controls;
  while (entry) {
    FrameControl* next = entry->next;
    if (entry->kind == kFrameListView && entry->object == list) {
      if (entry->previous)
        entry->previous->next = entry->next;
      else
        list->frame->controls = entry->next;
      if (entry->next) entry->next->previous = entry->previous;
      std::free(entry);
    }
    entry = next;
  }
}

ListViewCtl* Create(ListViewCtl* existing, const ListViewParams& params, bool file_list) {
  DestroyListView(existing);
  if (!params.frame || !params.frame->window) return nullptr;
  HWND window = GetDlgItem(params.frame->window, params.control_id);
  if (!window) return nullptr;
  auto* list = new ListViewCtl{};
  list->window = window;
  list->control_id = params.control_id;
  list->frame = params.frame;
  list->notify_filter = params.notify_filter;
  list->extended_style = params.extended_style;
  list->column_widths = params.column_widths;
  list->image_of_item = params.image_of_item;
  list->state_image_of_item = params.state_image_of_item;
  list->compare = params.compare;
  list->context_menu = params.context_menu;
  list->menu_icon = params.menu_icon;
  list->menu_prepare = params.menu_prepare;
  list->drag_hover_index = -1;
  list->file_list = file_list;

  if (list->image_of_item && SmallImageList()) {
    SendMessageA(window, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(SmallImageList()));
  }
  if (list->state_image_of_item && StateImageList()) {
    SendMessageA(window, LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(StateImageList()));
  }
  // A wrapper made again for the same control replaces the columns the
  // earlier one inserted instead of adding a second set.  Column 0 cannot
  // always be deleted, so it is set anew instead.
  for (int last = ColumnCount(window) - 1; last >= 1; --last)
    SendMessageA(window, LVM_DELETECOLUMN, IndexParam(last), 0);
  bool reuse_first = ColumnCount(window) > 0;
  if (reuse_first && !(params.column_titles && params.column_titles[0])) {
    SendMessageA(window, LVM_DELETECOLUMN, 0, 0);
    reuse_first = false;
  }
  int columns = 0;
  if (params.column_titles) {
    for (; params.column_titles[columns]; ++columns) {
      LVCOLUMNA column = {};
      column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
      column.fmt = LVCFMT_LEFT;
      column.cx = params.column_widths ? params.column_widths[columns] : 100;
      column.pszText = const_cast<char*>(LoadStringText(static_cast<UINT>(params.column_titles[columns])));
      column.iSubItem = columns;
      const UINT message = columns == 0 && reuse_first ? LVM_SETCOLUMNA : LVM_INSERTCOLUMNA;
      SendMessageA(window, message, IndexParam(columns), reinterpret_cast<LPARAM>(&column));
    }
    list->column_titles.assign(params.column_titles, params.column_titles + columns + 1);
  } else {
    list->column_titles.assign(1, 0);
  }
  if (params.extended_style) {
    SendMessageA(window, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(params.extended_style));
  }
  FrameControlHandler handler = file_list ? ListViewNotifyFileList : ListViewNotifyPlain;
  AddFrameControl(params.frame, list, params.control_id, window, kFrameListView, handler, nullptr);
  InstallListDragService();
  if (columns > 0) RestoreColumnLayout(list, columns);
  Subclass(list);
  return list;
}

void CopyText(NMLVDISPINFOA* info, const char* text) {
  if (info->item.pszText && info->item.cchTextMax > 0) StrCopyN(info->item.pszText, text, info->item.cchTextMax - 1);
}

}  // namespace

void SetColumnLayoutStore(const ColumnLayoutStore& store) { g_store = store; }
void SetSplitterDragQuery(int (*dragging)()) { g_splitter_dragging = dragging; }
bool SplitterDragActive() { return g_splitter_dragging && g_splitter_dragging(); }

ListViewCtl* CreateListView(ListViewCtl* existing, const ListViewParams& params) {
  return Create(existing, params, false);
}

ListViewCtl* CreateFileModeListView(ListViewCtl* existing, const ListViewParams& params) {
  return Create(existing, params, true);
}

void DestroyListView(ListViewCtl* list) {
  if (!list) return;
  RemoveFrameEntry(list);
  ForgetDragState(list);
  if (SubclassRecord* record = list->window ? SubclassOf(list->window) : nullptr) {
    if (record->list == list) record->list = nullptr;
  }
  delete list;
}

int ListViewInsert(ListViewCtl* list, void* item) {
  if (!list || !list->window) return 0;
  LVITEMA row = {};
  row.mask = LVIF_TEXT | LVIF_PARAM;
  row.iItem = list->item_count;
  row.pszText = LPSTR_TEXTCALLBACKA;
  row.cchTextMax = kItemTextSize;
  row.lParam = reinterpret_cast<LPARAM>(item);
  if (list->image_of_item) {
    row.mask |= LVIF_IMAGE;
    row.iImage = list->image_of_item(item);
  }
  if (list->state_image_of_item) {
    row.mask |= LVIF_STATE;
    row.stateMask = LVIS_STATEIMAGEMASK;
    row.state = static_cast<UINT>(list->state_image_of_item(item));
  }
  if (SendMessageA(list->window, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)) < 0) return 0;
  ++list->item_count;
  return 1;
}

void* ListViewItemAt(ListViewCtl* list, int index) {
  if (!list || !list->window || index < 0) return nullptr;
  LVITEMA row = {};
  row.mask = LVIF_PARAM;
  row.iItem = index;
  if (!SendMessageA(list->window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&row))) return nullptr;
  return reinterpret_cast<void*>(row.lParam);
}

int ListViewIndexOf(ListViewCtl* list, void* item) {
  if (!list || !list->window) return -1;
  LVFINDINFOA find = {};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(item);
  return static_cast<int>(
      SendMessageA(list->window, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void ClearEditState(ListViewCtl* list) {
  list->edit_mode = 0;
  list->edit_buffer = nullptr;
}

int ListViewDelete(ListViewCtl* list, void* item) {
  const int index = ListViewIndexOf(list, item);
  if (index < 0) return 0;
  // An edit of the current item writes into that item's text.
  if (list->current_item == item) ClearEditState(list);
  if (!SendMessageA(list->window, LVM_DELETEITEM, IndexParam(index), 0)) return 0;
  if (list->current_item == item) list->current_item = nullptr;
  if (list->item_count > 0) --list->item_count;
  return 1;
}

int ListViewDeleteAll(ListViewCtl* list) {
  if (!list || !list->window) return 0;
  ClearEditState(list);
  SendMessageA(list->window, LVM_DELETEALLITEMS, 0, 0);
  list->item_count = 0;
  list->current_item = nullptr;
  return 1;
}

int ListViewFill(ListViewCtl* list, const std::vector<void*>& items) {
  if (!list || !list->window) return 0;
  ListViewDeleteAll(list);
  SendMessageA(list->window, WM_SETREDRAW, FALSE, 0);
  // Room for every row at once instead of growing row by row.
  SendMessageA(list->window, LVM_SETITEMCOUNT, items.size(), 0);
  for (void* item : items) ListViewInsert(list, item);
  SendMessageA(list->window, WM_SETREDRAW, TRUE, 0);
  return list->item_count;
}

int ListViewUpdate(ListViewCtl* list, void* item) {
  const int index = ListViewIndexOf(list, item);
  if (index < 0) return 0;
  return SendMessageA(list->window, LVM_UPDATE, IndexParam(index), 0) ? 1 : 0;
}

int ListViewRefreshImages(ListViewCtl* list) {
  if (!list || !list->window) return 0;
  const int count = static_cast<int>(SendMessageA(list->window, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    void* item = ListViewItemAt(list, i);
    LVITEMA row = {};
    row.mask = LVIF_IMAGE;
    row.iItem = i;
    row.iImage = list->image_of_item ? list->image_of_item(item) : -1;
    if (list->state_image_of_item) {
      row.mask |= LVIF_STATE;
      row.stateMask = LVIS_STATEIMAGEMASK;
      row.state = static_cast<UINT>(list->state_image_of_item(item));
    }
    SendMessageA(list->window, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&row));
  }
  return count;
}

int ListViewSelectAll(ListViewCtl* list) {
  if (!list || !list->window) return 0;
  ++list->selection_mute;
  LVITEMA state = {};
  state.stateMask = 0xFF;
  state.state = LVIS_SELECTED;
  SendMessageA(list->window, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  --list->selection_mute;
  return 1;
}

int ListViewSelect(ListViewCtl* list, void* item) {
  if (!list || !list->window) return 0;
  const int index = item ? ListViewIndexOf(list, item) : 0;
  if (index < 0) return 0;
  LVITEMA state = {};
  state.stateMask = 0xFF;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list->window, LVM_SETITEMSTATE, IndexParam(index), reinterpret_cast<LPARAM>(&state));
  SendMessageA(list->window, LVM_ENSUREVISIBLE, IndexParam(index), FALSE);
  void* chosen = item ? item : ListViewItemAt(list, 0);
  if (chosen != list->current_item) {
    list->current_item = chosen;
    if (list->on_selection_changed) list->on_selection_changed(list, nullptr);
  }
  return 1;
}

int ListViewEditCurrent(ListViewCtl* list, std::uint32_t edit_mode, char** buffer) {
  if (!list || !list->window) return 0;
  list->edit_mode = edit_mode;
  list->edit_buffer = buffer;
  SetFocus(list->window);
  const int index = ListViewIndexOf(list, list->current_item);
  if (index >= 0 && SendMessageA(list->window, LVM_EDITLABELA, IndexParam(index), 0)) return 1;
  ClearEditState(list);
  return 0;
}

int ListViewEditItem(ListViewCtl* list, void* item) {
  if (!list || !list->window) return 0;
  ClearEditState(list);
  const int index = ListViewIndexOf(list, item);
  if (index < 0) return 0;
  SetFocus(list->window);
  return SendMessageA(list->window, LVM_EDITLABELA, IndexParam(index), 0) ? 1 : 0;
}

int ListViewRetitleColumns(ListViewCtl* list) {
  if (!list || !list->window) return 0;
  int i = 0;
  for (; i < static_cast<int>(list->column_titles.size()) && list->column_titles[static_cast<std::size_t>(i)]; ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT;
    column.pszText =
        const_cast<char*>(LoadStringText(static_cast<UINT>(list->column_titles[static_cast<std::size_t>(i)])));
    SendMessageA(list->window, LVM_SETCOLUMNA, IndexParam(i), reinterpret_cast<LPARAM>(&column));
  }
  return i;
}

void ListViewDisplayText(ListViewCtl* list, NMLVDISPINFOA* info) {
  if (!(info->item.mask & LVIF_TEXT)) return;
  if (!list->file_list) {
    if (list->on_display_info && list->on_display_info(list, &info->hdr)) return;
    CopyText(info, kNoDisplayHook);
    return;
  }
  const auto* entry = reinterpret_cast<const DirEntry*>(info->item.lParam);
  if (!entry) return;
  switch (info->item.iSubItem) {
    case kFileColumnType:
      CopyText(info, "");
      break;
    case kFileColumnName:
      CopyText(info, entry->name.c_str());
      break;
    case kFileColumnSize:
      CopyText(info, entry->kind == kDirEntryFile ? entry->size_text.c_str() : "");
      break;
    case kFileColumnDate:
      CopyText(info, entry->date_text.c_str());
      break;
    default:
      break;
  }
}
