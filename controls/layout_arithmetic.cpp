#include "controls/layout_arithmetic.h"

#include <algorithm>
#include <cstdlib>

namespace {

int16_t Low16(int32_t value) { return static_cast<int16_t>(static_cast<uint32_t>(value) & 0xFFFFu); }
int16_t High16(int32_t value) { return static_cast<int16_t>((static_cast<uint32_t>(value) >> 16) & 0xFFFFu); }
int32_t Pack16(int low, int high) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(low))) |
                              (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
int16_t Clamp16(int value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

LayoutField OffsetFieldOf(LayoutSide side) {
  switch (side) {
    case LayoutSide::kLeft:
      return kLayoutLeftOffset;
    case LayoutSide::kTop:
      return kLayoutTopOffset;
    case LayoutSide::kRight:
      return kLayoutRightOffset;
    case LayoutSide::kBottom:
      return kLayoutBottomOffset;
  }
  return kLayoutLeftOffset;
}

LayoutField AnchorFieldOf(LayoutSide side) { return static_cast<LayoutField>(OffsetFieldOf(side) + 1); }

const LayoutEntry* EntryWithId(const std::vector<LayoutEntry>& entries, int id) {
  for (const LayoutEntry& entry : entries) {
    if (entry.Id() == id) return &entry;
  }
  return nullptr;
}

int WindowId(const std::vector<LayoutEntry>& entries) {
  return !entries.empty() && entries[0].Kind() == kLayoutWindow ? entries[0].Id() : 0;
}

// Kinds whose fields 2 to 9 are not anchors, or whose place the table does
// not compute.
bool ComputedByPasses(const LayoutEntry& entry, std::size_t index) {
  if (!entry.Active()) return false;
  if (index == 0 && entry.Kind() == kLayoutWindow) return false;
  const int kind = entry.Kind();
  return kind != kLayoutStatusParts && kind != kLayoutEmbedded6 && kind != kLayoutEmbedded7;
}

// Margins push the bar back inside the window and remember by how much, so
// the bar returns when the window grows again; minimums win over margins.
void LimitSplitter(LayoutEntry& entry, LayoutRect& rect, const LayoutWindowSize& window) {
  rect.left += entry.PendingX();
  rect.right += entry.PendingX();
  rect.top += entry.PendingY();
  rect.bottom += entry.PendingY();
  const LayoutRect wanted = rect;
  const int right_margin = entry.field[kLayoutRightMargin];
  const int bottom_margin = entry.field[kLayoutBottomMargin];
  if (right_margin != 0 && rect.right > window.width - right_margin) {
    const int excess = rect.right - (window.width - right_margin);
    rect.left -= excess;
    rect.right -= excess;
  }
  if (bottom_margin != 0 && rect.bottom > window.height - bottom_margin) {
    const int excess = rect.bottom - (window.height - bottom_margin);
    rect.top -= excess;
    rect.bottom -= excess;
  }
  const int min_left = entry.field[kLayoutMinLeft];
  const int min_top = entry.field[kLayoutMinTop];
  if (min_left != 0 && rect.left < min_left) {
    rect.right += min_left - rect.left;
    rect.left = min_left;
  }
  if (min_top != 0 && rect.top < min_top) {
    rect.bottom += min_top - rect.top;
    rect.top = min_top;
  }
  entry.SetPending(std::max(0, wanted.left - rect.left), std::max(0, wanted.top - rect.top));
}

// One entry of one pass; false when an anchor names no entry, and the entry
// then keeps the rectangle it had.
bool ComputeEntry(const std::vector<LayoutEntry>& entries, LayoutEntry& entry, const LayoutWindowSize& window) {
  LayoutRect rect = entry.Rect();
  const LayoutRect initial = entry.Initial();
  const bool splitter = entry.Kind() == kLayoutSplitter;
  const bool keep = (entry.field[kLayoutFlags] & kLayoutKeepSize) != 0;
  const int pending_before = entry.field[kLayoutPendingShift];
  if (splitter) LimitSplitter(entry, rect, window);
  // A bar is placed by its anchors only across its own direction: a
  // vertical bar (minimum left) by its top and bottom anchors.
  const bool use_horizontal = !splitter || entry.field[kLayoutMinTop] != 0;
  const bool use_vertical = !splitter || entry.field[kLayoutMinLeft] != 0;
  const int left_anchor = use_horizontal ? entry.field[kLayoutLeftAnchor] : 0;
  const int right_anchor = use_horizontal ? entry.field[kLayoutRightAnchor] : 0;
  const int top_anchor = use_vertical ? entry.field[kLayoutTopAnchor] : 0;
  const int bottom_anchor = use_vertical ? entry.field[kLayoutBottomAnchor] : 0;
  bool complete = true;

  if (left_anchor != 0) {
    const AnchorTarget target = FindAnchor(entries, left_anchor, LayoutSide::kLeft);
    if (target.entry == nullptr) {
      complete = false;
    } else {
      const int offset = target.has_override ? target.override_offset : entry.Offset(kLayoutLeftOffset);
      const int left = AnchorEdge(target, LayoutSide::kLeft) + offset;
      rect.right += left - rect.left;
      rect.left = left;
      if (keep || right_anchor == 0) rect.right = rect.left + initial.Width();
    }
  }
  if (complete && right_anchor != 0) {
    const AnchorTarget target = FindAnchor(entries, right_anchor, LayoutSide::kRight);
    if (target.entry == nullptr) {
      complete = false;
    } else {
      const int inset =
          target.has_override ? target.override_offset : entry.Offset(kLayoutRightOffset) + entry.RightAdjustment();
      rect.right = AnchorEdge(target, LayoutSide::kRight) - inset;
      if (keep || left_anchor == 0) rect.left = rect.right - initial.Width();
    }
  }
  if (complete && top_anchor != 0) {
    const AnchorTarget target = FindAnchor(entries, top_anchor, LayoutSide::kTop);
    if (target.entry == nullptr) {
      complete = false;
    } else {
      const int offset = target.has_override ? target.override_offset : entry.Offset(kLayoutTopOffset);
      const int top = AnchorEdge(target, LayoutSide::kTop) + offset;
      rect.bottom += top - rect.top;
      rect.top = top;
      if (keep || bottom_anchor == 0) rect.bottom = rect.top + initial.Height();
    }
  }
  if (complete && bottom_anchor != 0) {
    const AnchorTarget target = FindAnchor(entries, bottom_anchor, LayoutSide::kBottom);
    if (target.entry == nullptr) {
      complete = false;
    } else {
      const int inset =
          target.has_override ? target.override_offset : entry.Offset(kLayoutBottomOffset) + entry.BottomAdjustment();
      rect.bottom = AnchorEdge(target, LayoutSide::kBottom) - inset;
      if (keep || top_anchor == 0) rect.top = rect.bottom - initial.Height();
    }
  }
  if (!complete) {
    entry.field[kLayoutPendingShift] = pending_before;
    return false;
  }
  if (entry.Kind() == kLayoutToolbar && entry.toolbar_hidden) {
    rect.right = rect.left;
    rect.bottom = rect.top;
  }
  // Anchors that pull the edges across each other leave an empty control,
  // never a negative size.
  rect.right = std::max(rect.right, rect.left);
  rect.bottom = std::max(rect.bottom, rect.top);
  entry.SetRect(rect);
  return true;
}

}  // namespace

int LayoutEntry::Id() const { return std::abs(field[kLayoutId]); }

LayoutRect LayoutEntry::Rect() const {
  return {field[kLayoutRectLeft], field[kLayoutRectLeft + 1], field[kLayoutRectLeft + 2], field[kLayoutRectLeft + 3]};
}

void LayoutEntry::SetRect(const LayoutRect& rect) {
  field[kLayoutRectLeft] = rect.left;
  field[kLayoutRectLeft + 1] = rect.top;
  field[kLayoutRectLeft + 2] = rect.right;
  field[kLayoutRectLeft + 3] = rect.bottom;
}

LayoutRect LayoutEntry::Initial() const {
  return {field[kLayoutInitialLeft], field[kLayoutInitialLeft + 1], field[kLayoutInitialLeft + 2],
          field[kLayoutInitialLeft + 3]};
}

void LayoutEntry::SetInitial(const LayoutRect& rect) {
  field[kLayoutInitialLeft] = rect.left;
  field[kLayoutInitialLeft + 1] = rect.top;
  field[kLayoutInitialLeft + 2] = rect.right;
  field[kLayoutInitialLeft + 3] = rect.bottom;
}

int LayoutEntry::Offset(LayoutField offset_field) const { return Low16(field[offset_field]); }
int16_t LayoutEntry::PendingX() const { return Low16(field[kLayoutPendingShift]); }
int16_t LayoutEntry::PendingY() const { return High16(field[kLayoutPendingShift]); }
void LayoutEntry::SetPending(int x, int y) { field[kLayoutPendingShift] = Pack16(Clamp16(x), Clamp16(y)); }
int16_t LayoutEntry::BottomAdjustment() const { return Low16(field[kLayoutAdjustments]); }
int16_t LayoutEntry::RightAdjustment() const { return High16(field[kLayoutAdjustments]); }
void LayoutEntry::SetAdjustments(int bottom, int right) {
  field[kLayoutAdjustments] = Pack16(Clamp16(bottom), Clamp16(right));
}

std::vector<LayoutEntry> CopyLayoutTable(const int32_t (*table)[kLayoutFieldCount], std::size_t limit) {
  std::vector<LayoutEntry> entries;
  if (table == nullptr) return entries;
  for (std::size_t i = 0; i < limit && table[i][kLayoutId] != 0; ++i) {
    LayoutEntry entry;
    std::copy(table[i], table[i] + kLayoutFieldCount, entry.field.begin());
    entries.push_back(entry);
  }
  return entries;
}

AnchorTarget FindAnchor(const std::vector<LayoutEntry>& entries, int anchor, LayoutSide side) {
  AnchorTarget target;
  // Each step passes through a different inactive entry, so a chain longer
  // than the table runs in a circle: it is treated as a missing anchor.
  for (std::size_t step = 0; step <= entries.size() && anchor != 0; ++step) {
    const LayoutEntry* found = EntryWithId(entries, std::abs(anchor));
    if (found == nullptr) break;
    if (found->Active()) {
      target.entry = found;
      target.far_edge = anchor < 0;
      return target;
    }
    target.has_override = true;
    target.override_offset = found->Offset(OffsetFieldOf(side));
    anchor = found->field[AnchorFieldOf(side)];
  }
  return AnchorTarget{};
}

int AnchorEdge(const AnchorTarget& target, LayoutSide side) {
  const LayoutRect rect = target.entry->Rect();
  if (side == LayoutSide::kLeft || side == LayoutSide::kRight) return target.far_edge ? rect.right : rect.left;
  return target.far_edge ? rect.bottom : rect.top;
}

LayoutRect ToolbarExtent(const ToolbarExtentInput& input) {
  constexpr int kDropDownArrowWidth = 14;
  constexpr int kDividerHeight = 2;
  int width = input.max_width + kDropDownArrowWidth * input.dropdown_buttons;
  int height = input.max_height;
  if (!input.no_divider) height += kDividerHeight;
  if (input.dialog_frame) height += 2 * input.frame_width;
  if (input.border) height += 2 * input.edge_height;
  return {0, 0, width, height};
}

LayoutRect DefaultToolbarExtent(const LayoutEntry& entry, int window_width) {
  constexpr int kDefaultToolbarHeight = 26;
  const int width = entry.field[kLayoutRightMargin] != 0 ? entry.field[kLayoutRightMargin] : window_width;
  const int height = entry.field[kLayoutBottomMargin] != 0 ? entry.field[kLayoutBottomMargin] : kDefaultToolbarHeight;
  return {0, 0, width, height};
}

void CaptureAdjustments(std::vector<LayoutEntry>& entries, const WindowFrameMetrics& metrics) {
  const int window_id = WindowId(entries);
  if (window_id == 0) return;
  for (LayoutEntry& entry : entries) {
    const int bottom =
        entry.field[kLayoutBottomAnchor] == -window_id ? metrics.status_bar_height + metrics.nonclient_height : 0;
    const int right = entry.field[kLayoutRightAnchor] == -window_id ? metrics.nonclient_width : 0;
    entry.SetAdjustments(bottom, right);
  }
}

void AnchorLooseSplittersToWindow(std::vector<LayoutEntry>& entries) {
  const int window_id = WindowId(entries);
  if (window_id == 0) return;
  for (LayoutEntry& entry : entries) {
    const int anchor = entry.field[kLayoutBottomAnchor];
    if (entry.Kind() != kLayoutSplitter || anchor == 0) continue;
    if (EntryWithId(entries, std::abs(anchor)) == nullptr) entry.field[kLayoutBottomAnchor] = -window_id;
  }
}

void ApplySplitterDrag(LayoutEntry& splitter, const LayoutRect& bar, int drag_x, int drag_y) {
  LayoutRect rect = bar;
  splitter.SetPending(0, 0);
  if (bar.Height() > bar.Width()) {
    rect.left += drag_x;
    rect.right += drag_x;
  } else {
    rect.top += drag_y;
    rect.bottom += drag_y;
  }
  splitter.SetRect(rect);
}

void RunLayoutPasses(std::vector<LayoutEntry>& entries, const LayoutWindowSize& window) {
  if (entries.empty()) return;
  entries[0].SetRect({0, 0, window.width, window.height});
  // Twice, so that an anchor may name an entry further down the table.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (ComputedByPasses(entries[i], i)) ComputeEntry(entries, entries[i], window);
    }
  }
}

void SetCurrentSize(LayoutEntry& entry, int width, int height) {
  const int left = entry.Offset(kLayoutLeftOffset);
  const int top = entry.Offset(kLayoutTopOffset);
  entry.SetRect({left, top, left + width, top + height});
}

bool SizedFromControl(const LayoutEntry& entry, std::size_t index) {
  return ComputedByPasses(entry, index) && entry.Kind() != kLayoutSplitter && entry.Kind() != kLayoutToolbar;
}

LayoutRect MoveInside(const LayoutRect& rect, const LayoutRect& area) {
  const int width = std::min(rect.Width(), area.Width());
  const int height = std::min(rect.Height(), area.Height());
  const int left = std::clamp(rect.left, area.left, area.right - width);
  const int top = std::clamp(rect.top, area.top, area.bottom - height);
  return {left, top, left + width, top + height};
}

int16_t SaturatingAdd16(int16_t total, int delta) { return Clamp16(static_cast<int>(total) + delta); }
