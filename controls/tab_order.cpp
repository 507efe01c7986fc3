#include "controls/tab_order.h"

#include <vector>

#include "controls/reading_order.h"

void OrderTabStopsByPlace(HWND dialog) {
  if (!dialog) return;
  std::vector<HWND> stops;
  std::vector<PlacedBox> boxes;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (!(style & WS_TABSTOP) || !(style & WS_VISIBLE)) continue;
    RECT rect;
    if (!GetWindowRect(child, &rect)) continue;
    stops.push_back(child);
    boxes.push_back({rect.left, rect.top, rect.right, rect.bottom});
  }
  if (stops.size() < 2) return;
  // Each stop goes right after the one before it; the first keeps its place
  // when it is already first, so the children around it do not move.
  const std::vector<std::size_t> order = ReadingOrder(boxes);
  HWND previous = nullptr;
  for (std::size_t index : order) {
    HWND stop = stops[index];
    if (previous) {
      SetWindowPos(stop, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    } else if (stop != stops.front()) {
      SetWindowPos(stop, stops.front(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
      SetWindowPos(stops.front(), stop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    previous = stop;
  }
}
