#include "app/list_type_ahead.h"

#include <windows.h>
#include <commctrl.h>

#include <cctype>

#include "controls/list_view.h"

bool ListTypeAhead(ListViewCtl* list, char c, const char* (*text_of)(const void* item)) {
  if (!list || !list->window || !text_of) return false;
  const int rows = int(SendMessageA(list->window, LVM_GETITEMCOUNT, 0, 0));
  if (rows <= 0) return false;
  void* current = list->current_item;
  const int start = current ? ListViewIndexOf(list, current) : -1;
  const int wanted = std::tolower(static_cast<unsigned char>(c));
  for (int step = 1; step <= rows; ++step) {
    const int row = (start + step) % rows;
    void* item = ListViewItemAt(list, row < 0 ? 0 : row);
    const char* text = item ? text_of(item) : nullptr;
    if (!text || std::tolower(static_cast<unsigned char>(text[0])) != wanted) continue;
    if (current) {
      const int old_row = ListViewIndexOf(list, current);
      ListView_SetItemState(list->window, old_row, 0, LVIS_SELECTED);
      ListView_RedrawItems(list->window, old_row, old_row);
    }
    ListViewSelect(list, item);
    return true;
  }
  return false;
}
