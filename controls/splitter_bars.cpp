// Splitter bars: strips of a frame's client area that the user drags to move
// the edge between two panes.
#include <windowsx.h>

#include "controls/layout_engine.h"

namespace {

bool g_dragging = false;
HCURSOR g_saved_cursor = nullptr;
bool g_cursor_saved = false;

bool WiderThanTall(const RECT& bar) { return bar.right - bar.left > bar.bottom - bar.top; }

void SetSizingCursor(const SplitterRecord& record) {
  HCURSOR cursor = LoadCursor(nullptr, WiderThanTall(record.bar) ? IDC_SIZENS : IDC_SIZEWE);
  HCURSOR previous = SetCursor(cursor);
  if (!g_cursor_saved) {
    g_saved_cursor = previous;
    g_cursor_saved = true;
  }
}

void RestoreCursor() {
  if (!g_cursor_saved) return;
  SetCursor(g_saved_cursor);
  g_saved_cursor = nullptr;
  g_cursor_saved = false;
}

// Mouse positions come from the message, not the live cursor, so that a
// drag follows exactly the points the window was told about.
POINT ScreenPointOf(HWND window, LPARAM lparam) {
  POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  ClientToScreen(window, &point);
  return point;
}

void Hover(DialogFrame* frame, LPARAM lparam) {
  const POINT point = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
  SplitterRecord* under = nullptr;
  for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    if (PtInRect(&record->bar, point)) {
      under = record;
      break;
    }
  }
  for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    if (record != under && record->hover) {
      record->hover = 0;
      RestoreCursor();
    }
  }
  if (under != nullptr) {
    SetSizingCursor(*under);
    under->hover = 1;
  }
}

void Drag(DialogFrame* frame, SplitterRecord* record, LPARAM lparam) {
  const POINT screen = ScreenPointOf(frame->window, lparam);
  record->drag_x = SaturatingAdd16(record->drag_x, screen.x - record->last_cursor.x);
  record->drag_y = SaturatingAdd16(record->drag_y, screen.y - record->last_cursor.y);
  record->last_cursor = screen;
  const int client_sum = GET_X_LPARAM(lparam) + GET_Y_LPARAM(lparam);
  if (client_sum == record->last_client_sum) return;
  record->last_client_sum = client_sum;
  if (frame->size_hook != nullptr) frame->size_hook(frame, record, 0);
}

void EndDrag(DialogFrame* frame) {
  bool had_drag = false;
  for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    had_drag = had_drag || record->dragging;
    record->dragging = 0;
    record->hover = 0;
  }
  if (!had_drag) return;
  g_dragging = false;
  // Cleared first: releasing the capture sends WM_CAPTURECHANGED back here.
  if (GetCapture() == frame->window) ReleaseCapture();
  RestoreCursor();
}

}  // namespace

void SplitterMouse(DialogFrame* frame, UINT message, WPARAM /*wparam*/, LPARAM lparam) {
  if (frame == nullptr || frame->window == nullptr || frame->splitters == nullptr) return;
  SplitterRecord* dragging = nullptr;
  for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
    if (record->dragging) dragging = record;
  }
  switch (message) {
    case WM_MOUSEMOVE:
      if (dragging != nullptr) {
        Drag(frame, dragging, lparam);
      } else {
        Hover(frame, lparam);
      }
      break;
    case WM_LBUTTONDOWN:
      for (SplitterRecord* record = frame->splitters; record != nullptr; record = record->next) {
        if (!record->hover) continue;
        record->dragging = 1;
        g_dragging = true;
        SetCapture(frame->window);
        SetSizingCursor(*record);
        record->last_cursor = ScreenPointOf(frame->window, lparam);
        record->last_client_sum = GET_X_LPARAM(lparam) + GET_Y_LPARAM(lparam);
        break;
      }
      break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      EndDrag(frame);
      break;
    default:
      break;
  }
}

int SplitterDragInProgress() { return g_dragging ? 1 : 0; }
