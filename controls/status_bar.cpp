#include "controls/status_bar.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>

#include "common/win_owners.h"
#include "controls/dialog_frame.h"
#include "controls/frame_control_list.h"

namespace {

constexpr int kMaxParts = 64;
constexpr int kFirstPartSpacing = 10;
constexpr int kBaseLightening = 40;

GdiObject g_status_font;

BandColour ToBand(COLORREF colour) { return {GetRValue(colour), GetGValue(colour), GetBValue(colour)}; }
COLORREF ToColour(BandColour colour) { return RGB(colour.red, colour.green, colour.blue); }

void Fill(HDC dc, const RECT& area, COLORREF colour) {
  GdiObject brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &area, static_cast<HBRUSH>(brush.get()));
}

void SendParts(StatusBarRecord* bar) {
  if (!bar->window) return;
  SendMessageA(bar->window, SB_SETPARTS, WPARAM(bar->part_count), reinterpret_cast<LPARAM>(bar->right_edges.data()));
}

// Keeps the bar at the bottom of the frame as the frame is sized.
int FollowFrameSize(void* object, UINT message, WPARAM, LPARAM) {
  auto* frame = static_cast<DialogFrame*>(object);
  if (message != WM_SIZE || !frame->status_bar || !frame->status_bar->window) return 0;
  if (frame->status_bar->sizing) frame->status_bar->sizing(frame, 0);
  SendMessageA(frame->status_bar->window, WM_SIZE, 0, 0);
  return 0;
}

// A horizontal gradient, one vertical line per pixel.
void Gradient(HDC dc, int left, int right, int top, int bottom, BandColour from, BandColour to) {
  const int steps = right - left;
  for (int x = left; x < right; ++x) {
    GdiObject pen(CreatePen(PS_SOLID, 1, ToColour(Interpolate(from, to, x - left, steps))));
    if (!pen) continue;
    HGDIOBJ old = SelectObject(dc, pen.get());
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
    SelectObject(dc, old);
  }
}

void DrawBusy(HDC target, const RECT& area, StatusProgressItem* item) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  HDC dc = CreateCompatibleDC(target);
  if (!dc) return;
  GdiObject bitmap(CreateCompatibleBitmap(target, width, height));
  if (!bitmap) {
    DeleteDC(dc);
    return;
  }
  HGDIOBJ old_bitmap = SelectObject(dc, bitmap.get());
  const BandColour face = ToBand(GetSysColor(COLOR_BTNFACE));
  const BandColour base = Lighten(ToBand(GetSysColor(COLOR_BTNSHADOW)), kBaseLightening);
  RECT inner = {0, 0, width, height};
  Fill(dc, inner, ToColour(face));
  InflateRect(&inner, -2, -2);
  Fill(dc, inner, ToColour(base));
  const int centre = inner.left + BusyBandCentre(item->band, inner.right - inner.left);
  const int half = std::max(1, std::abs(face.red - base.red) / 2);
  Gradient(dc, std::max(int(inner.left), centre - half), std::min(centre, int(inner.right)), inner.top, inner.bottom,
           base, face);
  Gradient(dc, std::max(centre, int(inner.left)), std::min(centre + half, int(inner.right)), inner.top, inner.bottom,
           face, base);
  BitBlt(target, area.left, area.top, width, height, dc, 0, 0, SRCCOPY);
  SelectObject(dc, old_bitmap);
  DeleteDC(dc);
  AdvanceBusyBand(&item->band, inner.right - inner.left);
}

void DrawProgress(HDC dc, const RECT& area, const StatusProgressItem& item) {
  RECT filled = area;
  filled.right = area.left + FilledWidth(item.percentage, area.right - area.left);
  const COLORREF caption = GetSysColor(COLOR_ACTIVECAPTION);
  if (filled.right > filled.left) Fill(dc, filled, caption);
  HGDIOBJ old_font = SelectObject(dc, StatusFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255 - GetRValue(caption), 255 - GetGValue(caption), 255 - GetBValue(caption)));
  TextOutA(dc, area.left + 4, area.top + 4, item.text.c_str(), int(item.text.size()));
  SelectObject(dc, old_font);
}

}  // namespace

StatusBarRecord* AddStatusBar(DialogFrame* frame, int part_count, StatusSizingFunc sizing) {
  if (!frame || part_count < 1 || part_count > kMaxParts) return nullptr;
  ReleaseStatusBar(frame);
  auto* bar = new StatusBarRecord;
  bar->part_count = part_count;
  bar->sizing = sizing;
  for (int i = 0; i < part_count; ++i) bar->right_edges.push_back(i * kFirstPartSpacing);
  bar->right_edges.push_back(-1);
  frame->status_bar = bar;
  if (frame->window) CreateStatusBarWindow(frame);
  return bar;
}

int CreateStatusBarWindow(DialogFrame* frame) {
  if (!frame || !frame->window || !frame->status_bar) return 0;
  StatusBarRecord* bar = frame->status_bar;
  if (bar->window) return 1;
  bar->window = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, frame->window, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  if (!bar->window) return 0;
  SendParts(bar);
  AddFrameControl(frame, frame, 0, bar->window, kFrameMessageHook, FollowFrameSize, nullptr);
  return 1;
}

void ReleaseStatusBar(DialogFrame* frame) {
  if (!frame || !frame->status_bar) return;
  delete frame->status_bar;
  frame->status_bar = nullptr;
}

void SetStatusParts(DialogFrame* frame, std::initializer_list<int> right_edges) {
  if (!frame || !frame->status_bar) return;
  StatusBarRecord* bar = frame->status_bar;
  int count = 0;
  for (int edge : right_edges) {
    if (edge == -1 || count >= bar->part_count) break;
    bar->right_edges[std::size_t(count++)] = edge;
  }
  if (count < bar->part_count) bar->right_edges[std::size_t(count)] = -1;
  SendParts(bar);
  if (bar->window) SendMessageA(bar->window, WM_SIZE, 0, 0);
}

void SetStatusText(DialogFrame* frame, const char* text, int part_and_flags) {
  if (!frame || !frame->status_bar || !frame->status_bar->window) return;
  SendMessageA(frame->status_bar->window, SB_SETTEXTA, WPARAM(part_and_flags),
               reinterpret_cast<LPARAM>(text ? text : ""));
}

void SetStatusProgress(DialogFrame* frame, int part, const char* text, int percentage, bool busy) {
  if (!frame || !frame->status_bar || !frame->status_bar->window) return;
  StatusProgressItem& item = frame->status_bar->progress;
  item.text = text ? text : "";
  item.busy = busy;
  if (busy) {
    if (!item.band.position) item.band.position = ClampPercentage(percentage);
  } else {
    item.percentage = ClampPercentage(percentage);
  }
  SendMessageA(frame->status_bar->window, SB_SETTEXTA, WPARAM(part | SBT_OWNERDRAW), reinterpret_cast<LPARAM>(&item));
  InvalidateRect(frame->status_bar->window, nullptr, FALSE);
}

int DrawStatusItem(DialogFrame* frame, const DRAWITEMSTRUCT* item) {
  if (!frame || !frame->status_bar || !item) return 0;
  StatusBarRecord* bar = frame->status_bar;
  if (!bar->window || item->hwndItem != bar->window || item->itemData != reinterpret_cast<ULONG_PTR>(&bar->progress)) {
    return 0;
  }
  if (bar->progress.busy) {
    DrawBusy(item->hDC, item->rcItem, &bar->progress);
  } else {
    DrawProgress(item->hDC, item->rcItem, bar->progress);
  }
  return 1;
}

HFONT StatusFont() {
  if (!g_status_font) {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
      g_status_font.reset(CreateFontIndirectA(&metrics.lfStatusFont));
    }
  }
  return g_status_font ? static_cast<HFONT>(g_status_font.get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void ReleaseStatusFont() { g_status_font.reset(); }
