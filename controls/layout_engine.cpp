#include "controls/layout_engine.h"

#include <commctrl.h>

#include <algorithm>

#include "controls/frame_services.h"
#include "controls/list_view.h"
#include "common/win_params.h"
#include "controls/status_bar.h"

namespace {

constexpr int kStatusPartOffsets = 8;
int g_layout_depth = 0;

struct DepthGuard {
  DepthGuard() { ++g_layout_depth; }
  ~DepthGuard() { --g_layout_depth; }
};

LayoutRect ToLayoutRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }
RECT ToRect(const LayoutRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

HWND ControlOf(const DialogFrame* frame, const LayoutEntry& entry) { return GetDlgItem(frame->window, entry.Id()); }

// The control's rectangle relative to the top-left corner of the window.
bool WindowRelativeRect(HWND window, HWND control, LayoutRect* rect) {
  RECT outer;
  RECT inner;
  if (!GetWindowRect(window, &outer) || !GetWindowRect(control, &inner)) return false;
  *rect = {inner.left - outer.left, inner.top - outer.top, inner.right - outer.left, inner.bottom - outer.top};
  return true;
}

bool ClientRectOfChild(HWND window, HWND control, RECT* rect) {
  if (!GetWindowRect(control, rect)) return false;
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(rect), 2);
  return true;
}

LayoutRect ToolbarRoom(HWND toolbar, const LayoutEntry& entry, int window_width) {
  SIZE size = {};
  if (toolbar == nullptr || !SendMessageA(toolbar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size))) {
    return DefaultToolbarExtent(entry, window_width);
  }
  ToolbarExtentInput input;
  input.max_width = size.cx;
  input.max_height = size.cy;
  const int buttons = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < buttons; ++i) {
    TBBUTTON button = {};
    if (SendMessageA(toolbar, TB_GETBUTTON, IndexParam(i), reinterpret_cast<LPARAM>(&button)) &&
        (button.fsStyle & BTNS_DROPDOWN) != 0) {
      ++input.dropdown_buttons;
    }
  }
  const LONG style = GetWindowLongA(toolbar, GWL_STYLE);
  input.no_divider = (style & CCS_NODIVIDER) != 0;
  input.dialog_frame = (style & WS_DLGFRAME) == WS_DLGFRAME;
  input.border = (style & WS_BORDER) == WS_BORDER;
  input.frame_width = GetSystemMetrics(SM_CXFRAME);
  input.edge_height = GetSystemMetrics(SM_CYEDGE);
  return ToolbarExtent(input);
}

int StatusBarHeight(const DialogFrame* frame) {
  if (frame->status_bar == nullptr || frame->status_bar->window == nullptr) return 0;
  // The bar's own style: a window laid out before it is shown still keeps
  // room for its bar.
  if ((GetWindowLongA(frame->status_bar->window, GWL_STYLE) & WS_VISIBLE) == 0) return 0;
  RECT rect;
  return GetWindowRect(frame->status_bar->window, &rect) ? rect.bottom - rect.top : 0;
}

void AppendSplitter(DialogFrame* frame, SplitterRecord* record) {
  SplitterRecord** tail = &frame->splitters;
  while (*tail != nullptr) tail = &(*tail)->next;
  *tail = record;
}

void FreeSplitters(DialogFrame* frame) {
  SplitterRecord* record = frame->splitters;
  while (record != nullptr) {
    SplitterRecord* next = record->next;
    delete record;
    record = next;
  }
  frame->splitters = nullptr;
}

bool IsVerticalBar(const RECT& bar) { return bar.bottom - bar.top > bar.right - bar.left; }

// Where the bar would be without the push back from a margin, relative to
// where the table first put it.
SplitterDrag DragFromOrigin(const LayoutEntry& entry, const RECT& origin) {
  const LayoutRect rect = entry.Rect();
  SplitterDrag drag;
  if (IsVerticalBar(origin)) {
    drag.x = SaturatingAdd16(0, rect.left + entry.PendingX() - origin.left);
  } else {
    drag.y = SaturatingAdd16(0, rect.top + entry.PendingY() - origin.top);
  }
  return drag;
}

void CaptureFirstLayout(DialogFrame* frame, LayoutHeader* layout) {
  HWND window = frame->window;
  RECT outer;
  RECT client;
  if (!GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return;
  const int width = outer.right - outer.left;
  for (std::size_t i = 0; i < layout->entries.size(); ++i) {
    LayoutEntry& entry = layout->entries[i];
    if (i == 0 && entry.Kind() == kLayoutWindow) {
      entry.SetInitial({0, 0, width, outer.bottom - outer.top});
      continue;
    }
    HWND control = ControlOf(frame, entry);
    if (entry.Kind() == kLayoutToolbar) {
      entry.SetInitial(ToolbarRoom(control, entry, width));
      continue;
    }
    LayoutRect rect;
    if (control != nullptr && WindowRelativeRect(window, control, &rect)) entry.SetInitial(rect);
    RECT bar;
    if (entry.Kind() == kLayoutSplitter && control != nullptr && ClientRectOfChild(window, control, &bar)) {
      entry.SetRect(ToLayoutRect(bar));
    }
  }
  WindowFrameMetrics metrics;
  metrics.status_bar_height = StatusBarHeight(frame);
  metrics.nonclient_width = width - client.right;
  metrics.nonclient_height = (outer.bottom - outer.top) - client.bottom;
  CaptureAdjustments(layout->entries, metrics);

  FreeSplitters(frame);
  std::size_t restored = 0;
  for (std::size_t i = 0; i < layout->entries.size(); ++i) {
    LayoutEntry& entry = layout->entries[i];
    if (!entry.Active() || entry.Kind() != kLayoutSplitter) continue;
    auto* record = new SplitterRecord{};
    record->entry = i;
    record->bar = ToRect(entry.Rect());
    record->origin = record->bar;
    AppendSplitter(frame, record);
    if (restored < layout->restored_drags.size()) {
      const SplitterDrag drag = layout->restored_drags[restored++];
      ApplySplitterDrag(entry, entry.Rect(), drag.x, drag.y);
    }
  }
  layout->restored_drags.clear();
  layout->initialised = true;
}

// A group box paints only its frame and caption and leaves its inside to
// the dialog, so a moved frame would leave its old lines behind.
bool IsGroupBox(HWND control) {
  char class_name[16] = "";
  if (!GetClassNameA(control, class_name, sizeof class_name) || lstrcmpiA(class_name, "Button") != 0) return false;
  return (static_cast<UINT>(GetWindowLongA(control, GWL_STYLE)) & BS_TYPEMASK) == BS_GROUPBOX;
}

// Moves every control to its computed place, in one batch while the system
// takes the moves, one by one after it refuses one.
void PlaceControls(DialogFrame* frame, LayoutHeader* layout) {
  HWND window = frame->window;
  RECT client;
  GetClientRect(window, &client);
  HDWP batch = BeginDeferWindowPos(static_cast<int>(layout->entries.size()));
  struct Redraw {
    HWND control;
    UINT flags;
  };
  std::vector<Redraw> redraws;
  std::vector<RECT> group_areas;  // where moved group boxes were and are now
  for (std::size_t i = 1; i < layout->entries.size(); ++i) {
    const LayoutEntry& entry = layout->entries[i];
    const int kind = entry.Kind();
    if (!entry.Active() || kind == kLayoutWindow || kind == kLayoutEmbedded6 || kind == kLayoutEmbedded7 || kind == 8) {
      continue;
    }
    if (kind == kLayoutStatusParts) {
      if (frame->status_bar == nullptr || frame->status_bar->window == nullptr) continue;
      int edges[kStatusPartOffsets];
      for (int part = 0; part < kStatusPartOffsets; ++part) {
        const int offset = entry.Offset(static_cast<LayoutField>(kLayoutLeftOffset + part));
        edges[part] = offset == 0 ? -1 : client.right - offset;
      }
      SendMessageA(frame->status_bar->window, SB_SETPARTS, kStatusPartOffsets, reinterpret_cast<LPARAM>(edges));
      continue;
    }
    HWND control = ControlOf(frame, entry);
    if (control == nullptr) continue;
    const LayoutRect rect = entry.Rect();
    RECT before;
    if (kind == kLayoutControl && IsGroupBox(control) && ClientRectOfChild(window, control, &before)) {
      const RECT after = ToRect(rect);
      RECT both;
      if (!EqualRect(&before, &after) && UnionRect(&both, &before, &after)) group_areas.push_back(both);
    }
    int height = rect.Height();
    UINT flags = static_cast<UINT>(entry.field[kLayoutFlags]) | SWP_NOZORDER | SWP_NOACTIVATE;
    if (kind == kLayoutToolbar) {
      if (entry.toolbar_hidden) continue;
      height = entry.Initial().Height();
      flags = SWP_NOZORDER | SWP_NOACTIVATE;
    }
    if (batch != nullptr) {
      batch = DeferWindowPos(batch, control, nullptr, rect.left, rect.top, rect.Width(), height, flags);
    }
    // A refused deferral has already freed the batch.
    if (batch == nullptr) SetWindowPos(control, nullptr, rect.left, rect.top, rect.Width(), height, flags);
    if (entry.field[kLayoutFlags] & kLayoutKeepSize) {
      redraws.push_back({control, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW});
    } else if (kind == kLayoutSplitter) {
      redraws.push_back({control, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASENOW});
    } else if (entry.field[kLayoutFlags] & kLayoutRedraw) {
      redraws.push_back({control, RDW_INVALIDATE | RDW_INTERNALPAINT});
    }
  }
  if (batch != nullptr) EndDeferWindowPos(batch);
  for (const Redraw& redraw : redraws) RedrawWindow(redraw.control, nullptr, nullptr, redraw.flags);
  for (const RECT& area : group_areas)
    RedrawWindow(window, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

}  // namespace

void SetFrameLayout(DialogFrame* frame, const int32_t (*table)[kLayoutFieldCount], std::size_t limit) {
  if (frame == nullptr) return;
  ReleaseFrameLayout(frame);
  if (table == nullptr) return;
  auto* layout = new LayoutHeader{};
  layout->entries = CopyLayoutTable(table, limit);
  AnchorLooseSplittersToWindow(layout->entries);
  frame->layout = layout;
  if (frame->size_hook == nullptr) frame->size_hook = RunLayoutEngine;
}

int RunLayoutEngine(DialogFrame* frame, SplitterRecord* splitter, int /*size_type*/) {
  if (frame == nullptr || frame->layout == nullptr || frame->window == nullptr) return 0;
  if (frame->show_state == kShowMinimised || IsIconic(frame->window)) return 0;
  LayoutHeader* layout = frame->layout;
  if (layout->entries.empty()) return 0;
  DepthGuard depth;
  if (frame->status_bar != nullptr && frame->status_bar->sizing != nullptr) frame->status_bar->sizing(frame, 0);

  RECT outer;
  if (!GetWindowRect(frame->window, &outer)) return 0;
  const LayoutWindowSize window = {outer.right - outer.left, outer.bottom - outer.top};
  for (std::size_t i = 0; i < layout->entries.size(); ++i) {
    LayoutEntry& entry = layout->entries[i];
    HWND control = ControlOf(frame, entry);
    if (entry.Kind() == kLayoutToolbar) {
      entry.toolbar_hidden = control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) == 0;
    }
    RECT rect;
    if (SizedFromControl(entry, i) && control != nullptr && GetWindowRect(control, &rect)) {
      SetCurrentSize(entry, rect.right - rect.left, rect.bottom - rect.top);
    }
  }
  if (!layout->initialised) CaptureFirstLayout(frame, layout);

  LayoutEntry* dragged = nullptr;
  if (splitter != nullptr && splitter->entry < layout->entries.size()) {
    dragged = &layout->entries[splitter->entry];
    ApplySplitterDrag(*dragged, ToLayoutRect(splitter->bar), splitter->drag_x, splitter->drag_y);
    splitter->drag_x = 0;
    splitter->drag_y = 0;
  }
  RunLayoutPasses(layout->entries, window);
  // A bar dragged past its limit stays at the limit: the overshoot is not a
  // place to return to when the window grows.
  if (dragged != nullptr) dragged->SetPending(0, 0);
  PlaceControls(frame, layout);
  for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    if (record->entry < layout->entries.size()) record->bar = ToRect(layout->entries[record->entry].Rect());
  }
  return 1;
}

void ReadSplitterDrags(const DialogFrame* frame, std::vector<SplitterDrag>* drags) {
  if (drags == nullptr) return;
  drags->clear();
  if (frame == nullptr || frame->layout == nullptr) return;
  for (const SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    if (record->entry >= frame->layout->entries.size()) continue;
    drags->push_back(DragFromOrigin(frame->layout->entries[record->entry], record->origin));
  }
}

void WriteSplitterDrags(DialogFrame* frame, const std::vector<SplitterDrag>& drags) {
  if (frame == nullptr || frame->layout == nullptr) return;
  LayoutHeader* layout = frame->layout;
  if (!layout->initialised) {
    layout->restored_drags = drags;
    return;
  }
  std::size_t index = 0;
  for (SplitterRecord* record = frame->splitters; record != nullptr && index < drags.size();
       record = record->next, ++index) {
    if (record->entry >= layout->entries.size()) continue;
    const SplitterDrag now = DragFromOrigin(layout->entries[record->entry], record->origin);
    record->drag_x = SaturatingAdd16(0, drags[index].x - now.x);
    record->drag_y = SaturatingAdd16(0, drags[index].y - now.y);
    RunLayoutEngine(frame, record, 0);
  }
}

void ReleaseFrameLayout(DialogFrame* frame) {
  if (frame == nullptr) return;
  FreeSplitters(frame);
  delete frame->layout;
  frame->layout = nullptr;
}

void InstallLayoutEngine() {
  FrameServices& services = FrameServicesTable();
  services.layout_engine = RunLayoutEngine;
  services.splitter_mouse = SplitterMouse;
  services.release_layout = ReleaseFrameLayout;
  services.read_splitter_drags = ReadSplitterDrags;
  services.write_splitter_drags = WriteSplitterDrags;
  SetSplitterDragQuery(SplitterDragInProgress);
}
