#include "app/main_window_fit.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "controls/dialog_frame.h"
#include "controls/layout_engine.h"
#include "controls/status_bar.h"
#include "res/main_window_ids.h"

namespace {

int VisibleStatusBarHeight(const DialogFrame* frame) {
  if (frame->status_bar == nullptr || frame->status_bar->window == nullptr) return 0;
  if ((GetWindowLongA(frame->status_bar->window, GWL_STYLE) & WS_VISIBLE) == 0) return 0;
  RECT rect;
  return GetWindowRect(frame->status_bar->window, &rect) ? rect.bottom - rect.top : 0;
}

int16_t ToTrackingSize(int pixels) { return static_cast<int16_t>(std::clamp(pixels, 1, 32767)); }

std::string EntryText(HWND combo, int index) {
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  if (SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data())) == CB_ERR) {
    return std::string();
  }
  return std::string(text.data());
}

}  // namespace

void FitMainWindowLimits(DialogFrame* frame) {
  if (frame == nullptr || frame->window == nullptr) return;
  RECT units = {0, 0, 4, 8};
  RECT outer;
  RECT client;
  if (!MapDialogRect(frame->window, &units) || !GetWindowRect(frame->window, &outer) ||
      !GetClientRect(frame->window, &client)) {
    return;
  }
  WindowFrameMetrics metrics;
  metrics.status_bar_height = VisibleStatusBarHeight(frame);
  metrics.nonclient_width = (outer.right - outer.left) - client.right;
  metrics.nonclient_height = (outer.bottom - outer.top) - client.bottom;
  RECT divider;
  HWND divider_window = GetDlgItem(frame->window, IDC_PANE_DIVIDER);
  const int divider_width =
      divider_window != nullptr && GetWindowRect(divider_window, &divider) ? divider.right - divider.left : 0;
  const MainWindowLimits limits = MainWindowLimitsFor({units.right, units.bottom}, metrics, divider_width);
  frame->min_width = ToTrackingSize(limits.min_width);
  frame->min_height = ToTrackingSize(limits.min_height);
  if (frame->layout != nullptr) ApplyDividerLimits(frame->layout->entries, limits);

  const int width = std::max(int(outer.right - outer.left), limits.min_width);
  const int height = std::max(int(outer.bottom - outer.top), limits.min_height);
  if (width != outer.right - outer.left || height != outer.bottom - outer.top) {
    SetWindowPos(frame->window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

int DropDownWidthForEntries(HWND combo) {
  const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
  if (count == CB_ERR || count <= 0) return 0;
  HDC dc = GetDC(combo);
  if (dc == nullptr) return 0;
  const auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(combo, WM_GETFONT, 0, 0));
  const HGDIOBJ old_font = font != nullptr ? SelectObject(dc, font) : nullptr;
  int widest = 0;
  for (int index = 0; index < int(count); ++index) {
    const std::string text = EntryText(combo, index);
    SIZE size = {};
    if (GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size)) widest = std::max(widest, int(size.cx));
  }
  if (old_font != nullptr) SelectObject(dc, old_font);
  ReleaseDC(combo, dc);
  // The list's own border and the item's inner margin on both sides, and a
  // scroll bar once the list holds more entries than it shows.
  constexpr int kItemMargin = 3;
  int needed = widest + 2 * (GetSystemMetrics(SM_CXEDGE) + kItemMargin);
  const LRESULT shown = SendMessageA(combo, CB_GETMINVISIBLE, 0, 0);
  if (shown > 0 && count > shown) needed += GetSystemMetrics(SM_CXVSCROLL);
  return needed;
}

void WidenDropDownToEntries(HWND combo) {
  const int needed = DropDownWidthForEntries(combo);
  RECT box;
  if (needed <= 0 || !GetWindowRect(combo, &box)) return;
  SendMessageA(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(std::max(needed, int(box.right - box.left))), 0);
}
