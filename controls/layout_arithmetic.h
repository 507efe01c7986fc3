// The arithmetic of layout tables: where each control of a dialog goes when
// the window has a given size.  A table entry says, for each edge of a
// control, to which edge of which other entry it is anchored; the window
// module (layout_engine) feeds in the sizes it measures and moves the
// controls to the rectangles computed here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// The fields of one table entry, 27 signed 32-bit integers.
enum LayoutField : int {
  kLayoutKind = 0,
  kLayoutId = 1,
  kLayoutLeftOffset = 2,
  kLayoutLeftAnchor = 3,
  kLayoutTopOffset = 4,
  kLayoutTopAnchor = 5,
  kLayoutRightOffset = 6,
  kLayoutRightAnchor = 7,
  kLayoutBottomOffset = 8,
  kLayoutBottomAnchor = 9,
  kLayoutFlags = 10,
  kLayoutMinLeft = 11,       // splitter: nonzero for a bar dragged left and right
  kLayoutMinTop = 12,        // splitter: nonzero for a bar dragged up and down
  kLayoutRightMargin = 13,   // toolbar: default width
  kLayoutBottomMargin = 14,  // toolbar: default height
  kLayoutWindowObject = 15,
  kLayoutPartner = 16,
  kLayoutInitialLeft = 17,   // 17..20: rectangle when first laid out
  kLayoutRectLeft = 21,      // 21..24: computed rectangle, client coordinates
  kLayoutPendingShift = 25,  // x then y, signed 16 bits each
  kLayoutAdjustments = 26,   // bottom then right adjustment, signed 16 bits each
  kLayoutFieldCount = 27,
};

enum LayoutKind : int {
  kLayoutControl = 1,
  kLayoutSplitter = 2,
  kLayoutWindow = 3,
  kLayoutToolbar = 4,
  kLayoutEmbedded6 = 6,
  kLayoutEmbedded7 = 7,
  kLayoutStatusParts = 9,
};

// Flag bits of kLayoutFlags besides the SetWindowPos flags they carry.
constexpr int kLayoutKeepSize = 0x1;
constexpr int kLayoutRedraw = 0x20;

using LayoutRow = std::array<int32_t, kLayoutFieldCount>;

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const LayoutRect& other) const {
    return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
  }
};

struct LayoutEntry {
  LayoutRow field{};
  // Set by the window side before each layout: a toolbar that is not shown
  // takes no room.
  bool toolbar_hidden = false;

  int Kind() const { return field[kLayoutKind] & 0xFF; }
  bool Active() const { return field[kLayoutKind] >= 0; }
  int Id() const;  // absolute value of the id field
  LayoutRect Rect() const;
  void SetRect(const LayoutRect& rect);
  LayoutRect Initial() const;
  void SetInitial(const LayoutRect& rect);
  // The four offsets are signed 16-bit values in the low half of their field.
  int Offset(LayoutField offset_field) const;
  int16_t PendingX() const;
  int16_t PendingY() const;
  void SetPending(int x, int y);
  int16_t BottomAdjustment() const;
  int16_t RightAdjustment() const;
  void SetAdjustments(int bottom, int right);
};

// Copies a table ended by an entry whose id is 0 (the end entry is not
// copied).  `limit` bounds the scan of a table that lacks its end entry.
std::vector<LayoutEntry> CopyLayoutTable(const int32_t (*table)[kLayoutFieldCount], std::size_t limit);

enum class LayoutSide { kLeft, kTop, kRight, kBottom };

// The entry an anchor refers to.  An inactive entry passes the lookup on to
// its own anchor of the same side, and its offset of that side replaces the
// asking entry's offset.
struct AnchorTarget {
  const LayoutEntry* entry = nullptr;  // null: missing (or an endless chain)
  bool far_edge = false;               // the right or bottom edge of the entry
  bool has_override = false;
  int override_offset = 0;
};
AnchorTarget FindAnchor(const std::vector<LayoutEntry>& entries, int anchor, LayoutSide side);

// The edge of the target that the anchor names.
int AnchorEdge(const AnchorTarget& target, LayoutSide side);

// What the window side measured for one layout.
struct LayoutWindowSize {
  int width = 0;  // the window's outer size
  int height = 0;
};

// The size of a toolbar as it reports it, turned into the room its entry
// takes.
struct ToolbarExtentInput {
  int max_width = 0;
  int max_height = 0;
  int dropdown_buttons = 0;
  bool no_divider = false;
  bool dialog_frame = false;
  bool border = false;
  int frame_width = 0;  // SM_CXFRAME
  int edge_height = 0;  // SM_CYEDGE
};
LayoutRect ToolbarExtent(const ToolbarExtentInput& input);
// The room of a toolbar entry without a toolbar that can report its size.
LayoutRect DefaultToolbarExtent(const LayoutEntry& entry, int window_width);

// Bottom and right adjustments of entries anchored to the window's bottom or
// right edge, so that those anchors mean the client area above the status
// bar.
struct WindowFrameMetrics {
  int status_bar_height = 0;
  int nonclient_width = 0;
  int nonclient_height = 0;
};
void CaptureAdjustments(std::vector<LayoutEntry>& entries, const WindowFrameMetrics& metrics);

// A splitter's bottom anchor that names no entry of the table (the main
// window's divider does) lets the bar reach down to the window's bottom edge
// instead, so the strip that can be grabbed follows the panes.
void AnchorLooseSplittersToWindow(std::vector<LayoutEntry>& entries);

// A drag of a splitter bar: the bar starts from `bar` and moves by the drag
// along its own direction; any pending margin shift is forgotten.
void ApplySplitterDrag(LayoutEntry& splitter, const LayoutRect& bar, int drag_x, int drag_y);

// A control's rectangle before the passes: its offsets and its size now.
void SetCurrentSize(LayoutEntry& entry, int width, int height);
// Whether the passes take the entry's rectangle from its control's size.
bool SizedFromControl(const LayoutEntry& entry, std::size_t index);

// The two passes over the table.  The window entry (the first) gets
// (0, 0, width, height); the others must already hold their current rectangle.
void RunLayoutPasses(std::vector<LayoutEntry>& entries, const LayoutWindowSize& window);

// `rect` moved (and shrunk when it is larger) so that it lies inside `area`.
LayoutRect MoveInside(const LayoutRect& rect, const LayoutRect& area);

int16_t SaturatingAdd16(int16_t total, int delta);
