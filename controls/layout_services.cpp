#include "controls/layout_services.h"

#include <vector>

#include "common/common_library.h"
#include "common/layout_keys.h"
#include "common/layout_store.h"
#include "controls/frame_services.h"
#include "controls/layout_arithmetic.h"
#include "controls/list_view.h"

namespace {

int LoadFrameLayout(const char* product, int dialog_id, StoredWindowLayout* stored) {
  WindowLayout layout = {stored->left, stored->top, stored->width, stored->height};
  const int loaded = LoadWindowLayout(product, dialog_id, &layout);
  stored->left = layout.left;
  stored->top = layout.top;
  stored->width = layout.width;
  stored->height = layout.height;
  std::vector<int> numbers;
  stored->splitter_drags.clear();
  if (loaded && LoadSplitterPositions(product, dialog_id, &numbers)) {
    for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
      SplitterDrag drag;
      drag.x = SaturatingAdd16(0, numbers[i]);
      drag.y = SaturatingAdd16(0, numbers[i + 1]);
      stored->splitter_drags.push_back(drag);
    }
  }
  return loaded;
}

int SaveFrameLayout(const char* product, int dialog_id, const StoredWindowLayout* stored) {
  const WindowLayout layout = {stored->left, stored->top, stored->width, stored->height};
  const int saved = SaveWindowLayout(product, dialog_id, &layout);
  if (saved && !stored->splitter_drags.empty()) {
    std::vector<int> numbers;
    for (const SplitterDrag& drag : stored->splitter_drags) {
      numbers.push_back(drag.x);
      numbers.push_back(drag.y);
    }
    SaveSplitterPositions(product, dialog_id, numbers);
  }
  return saved;
}

int LoadColumnWidths(int dialog_id, int control_id, int count, int* values) {
  const int read = LoadIntList(LibraryProductName(), dialog_id, control_id, count, values);
  for (int i = 0; i < read; ++i) values[i] = ClampColumnWidth(values[i]);
  return read;
}

// An order that does not name every column once would leave the list with
// columns shown twice or not at all: it counts as not stored.
int LoadColumnOrder(int dialog_id, int control_id, int count, int* values) {
  const int read = LoadIntListOrder(LibraryProductName(), dialog_id, control_id, count, values);
  if (read != count) return read;
  return CheckColumnOrder(values, count).ok ? read : -1;
}

void SaveColumnWidths(int dialog_id, int control_id, int count, const int* values) {
  SaveIntList(LibraryProductName(), dialog_id, control_id, count, values);
}

void SaveColumnOrder(int dialog_id, int control_id, int count, const int* values) {
  SaveIntListOrder(LibraryProductName(), dialog_id, control_id, count, values);
}

void SaveColumnView(int dialog_id, int control_id, int view_code) {
  SaveListViewStyle(LibraryProductName(), dialog_id, control_id, view_code);
}

}  // namespace

void InstallLayoutPersistence() {
  FrameServices& services = FrameServicesTable();
  services.load_window_layout = LoadFrameLayout;
  services.save_window_layout = SaveFrameLayout;
  ColumnLayoutStore store;
  store.load_widths = LoadColumnWidths;
  store.load_order = LoadColumnOrder;
  store.save_widths = SaveColumnWidths;
  store.save_order = SaveColumnOrder;
  store.save_view = SaveColumnView;
  SetColumnLayoutStore(store);
}
