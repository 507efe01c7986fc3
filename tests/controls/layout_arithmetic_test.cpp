#include "controls/layout_arithmetic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kWindow = 100;
// Window frame used by every case: 8 pixels of border left and right, 50 of
// caption, menu and border above and below, a 20-pixel status bar.
constexpr WindowFrameMetrics kMetrics = {20, 16, 50};

struct Control {
  LayoutRow row;
  int width;
  int height;
  bool hidden_toolbar = false;
};

// Lays out a table whose controls currently have the given sizes (which are
// also their sizes when first laid out), the way the engine does it.
std::vector<LayoutEntry> LayOut(const std::vector<Control>& controls, LayoutWindowSize window) {
  std::vector<LayoutEntry> entries(1);
  entries[0].field[kLayoutKind] = kLayoutWindow;
  entries[0].field[kLayoutId] = kWindow;
  for (const Control& control : controls) {
    LayoutEntry entry;
    entry.field = control.row;
    entry.toolbar_hidden = control.hidden_toolbar;
    entry.SetInitial({0, 0, control.width, control.height});
    SetCurrentSize(entry, control.width, control.height);
    entries.push_back(entry);
  }
  AnchorLooseSplittersToWindow(entries);
  CaptureAdjustments(entries, kMetrics);
  RunLayoutPasses(entries, window);
  return entries;
}

LayoutRect RectOf(const std::vector<LayoutEntry>& entries, int id) {
  for (const LayoutEntry& entry : entries) {
    if (entry.Id() == id && entry.Kind() != kLayoutWindow) return entry.Rect();
  }
  ADD_FAILURE() << "no entry " << id;
  return {};
}

std::string Show(const LayoutRect& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right) + "," +
         std::to_string(rect.bottom);
}

struct LayoutCase {
  const char* name;
  std::vector<Control> controls;
  LayoutWindowSize window;
  int id;
  LayoutRect expected;
};

// Client area of a 416 x 400 window: 400 x 350, of which the status bar takes
// the last 20 rows, so anchors to the window's far edges mean x 400, y 330.
TEST(LayoutPasses, EachLayoutGivesItsExpectedRectangle) {
  const LayoutWindowSize window = {416, 400};
  const std::vector<LayoutCase> cases = {
      {"stretched between the window's edges keeps its margins inside the client area",
       {{{kLayoutControl, 1, 5, kWindow, 6, kWindow, 7, -kWindow, 8, -kWindow}, 50, 50}},
       window,
       1,
       {5, 6, 393, 322}},
      {"only a left and top anchor keeps the size it started with",
       {{{kLayoutControl, 1, 10, kWindow, 20, kWindow}, 60, 30}},
       window,
       1,
       {10, 20, 70, 50}},
      {"a kept size anchored right and bottom moves with the far edges",
       {{{kLayoutControl, 1, 0, 0, 0, 0, 10, -kWindow, 10, -kWindow, kLayoutKeepSize}, 60, 30}},
       window,
       1,
       {330, 290, 390, 320}},
      {"the keep flag wins over a left anchor",
       {{{kLayoutControl, 1, 10, kWindow, 0, 0, 10, -kWindow, 0, 0, kLayoutKeepSize}, 60, 30}},
       window,
       1,
       {330, 0, 390, 30}},
      {"an anchor to an entry further down is settled by the second pass",
       {{{kLayoutControl, 1, 4, -2, 0, kWindow}, 40, 20}, {{kLayoutControl, 2, 30, kWindow, 0, kWindow}, 50, 20}},
       window,
       1,
       {84, 0, 124, 20}},
      {"anchors that cross leave an empty control, not a negative one",
       {{{kLayoutControl, 1, 300, kWindow, 300, kWindow, 200, -kWindow, 300, -kWindow}, 50, 50}},
       window,
       1,
       {300, 300, 300, 300}},
      {"an inactive reference passes the anchor on with its own offset",
       {{{-kLayoutControl, 2, 40, kWindow}, 10, 10}, {{kLayoutControl, 1, 3, -2, 0, kWindow}, 20, 20}},
       window,
       1,
       {40, 0, 60, 20}},
      {"a hidden toolbar takes no room, so what hangs below it moves up",
       {{{kLayoutToolbar, 403, 0, kWindow, 0, kWindow, 0, -kWindow}, 400, 26, true},
        {{kLayoutControl, 1, 5, kWindow, 5, -403}, 20, 20}},
       window,
       1,
       {5, 5, 25, 25}},
      {"a shown toolbar pushes what hangs below it down by its height",
       {{{kLayoutToolbar, 403, 0, kWindow, 0, kWindow, 0, -kWindow}, 400, 26},
        {{kLayoutControl, 1, 5, kWindow, 5, -403}, 20, 20}},
       window,
       1,
       {5, 31, 25, 51}},
  };
  for (const LayoutCase& test : cases) {
    const std::vector<LayoutEntry> entries = LayOut(test.controls, test.window);
    EXPECT_EQ(Show(RectOf(entries, test.id)), Show(test.expected)) << test.name;
  }
}

TEST(LayoutPasses, AChainOfInactiveAnchorsThatLoopsCountsAsMissing) {
  // 2 and 3 are inactive and name each other: the lookup must give up, and
  // control 1 keeps the rectangle it had.
  const std::vector<Control> controls = {{{-kLayoutControl, 2, 0, 3}, 10, 10},
                                         {{-kLayoutControl, 3, 0, -2}, 10, 10},
                                         {{kLayoutControl, 1, 7, 2, 9, kWindow}, 20, 20}};
  std::vector<LayoutEntry> entries = LayOut(controls, {416, 400});
  EXPECT_EQ(FindAnchor(entries, 2, LayoutSide::kLeft).entry, nullptr);
  EXPECT_EQ(Show(RectOf(entries, 1)), Show({7, 9, 27, 29}));
}

TEST(LayoutPasses, AMissingReferenceKeepsThePreviousRectangle) {
  std::vector<LayoutEntry> entries = LayOut({{{kLayoutControl, 1, 7, 55, 9, kWindow}, 20, 20}}, {416, 400});
  EXPECT_EQ(Show(RectOf(entries, 1)), Show({7, 9, 27, 29}));
}

TEST(LayoutAnchors, EdgesFollowTheSignOfTheAnchor) {
  std::vector<LayoutEntry> entries = LayOut({{{kLayoutControl, 1, 10, kWindow, 20, kWindow}, 60, 30}}, {416, 400});
  EXPECT_EQ(AnchorEdge(FindAnchor(entries, 1, LayoutSide::kLeft), LayoutSide::kLeft), 10);
  EXPECT_EQ(AnchorEdge(FindAnchor(entries, -1, LayoutSide::kRight), LayoutSide::kRight), 70);
  EXPECT_EQ(AnchorEdge(FindAnchor(entries, 1, LayoutSide::kTop), LayoutSide::kTop), 20);
  EXPECT_EQ(AnchorEdge(FindAnchor(entries, -1, LayoutSide::kBottom), LayoutSide::kBottom), 50);
  EXPECT_EQ(FindAnchor(entries, 0, LayoutSide::kLeft).entry, nullptr);
}

TEST(LayoutTable, CopyStopsAtTheEndEntryOrTheLimit) {
  const int32_t table[][kLayoutFieldCount] = {{kLayoutWindow, 5}, {kLayoutControl, 6, -3}, {0, 0}, {kLayoutControl, 7}};
  const std::vector<LayoutEntry> entries = CopyLayoutTable(table, 4);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].Offset(kLayoutLeftOffset), -3);
  EXPECT_EQ(CopyLayoutTable(table, 1).size(), 1u);
  EXPECT_TRUE(CopyLayoutTable(nullptr, 4).empty());
}

TEST(LayoutTable, OffsetsUseTheLowHalfOfTheirField) {
  LayoutEntry entry;
  entry.field[kLayoutTopOffset] = 0x7FFF0000 | 0xFFFE;  // high half ignored: -2
  EXPECT_EQ(entry.Offset(kLayoutTopOffset), -2);
  entry.SetPending(-5, 40000);
  EXPECT_EQ(entry.PendingX(), -5);
  EXPECT_EQ(entry.PendingY(), 32767);
}

TEST(ToolbarRoom, ReportedSizeGrowsByArrowsDividerAndFrames) {
  ToolbarExtentInput input;
  input.max_width = 200;
  input.max_height = 22;
  input.dropdown_buttons = 2;
  input.frame_width = 4;
  input.edge_height = 2;
  EXPECT_EQ(Show(ToolbarExtent(input)), Show({0, 0, 228, 24}));
  input.no_divider = true;
  input.dialog_frame = true;
  input.border = true;
  EXPECT_EQ(Show(ToolbarExtent(input)), Show({0, 0, 228, 34}));

  LayoutEntry entry;
  EXPECT_EQ(Show(DefaultToolbarExtent(entry, 640)), Show({0, 0, 640, 26}));
  entry.field[kLayoutRightMargin] = 300;
  entry.field[kLayoutBottomMargin] = 40;
  EXPECT_EQ(Show(DefaultToolbarExtent(entry, 640)), Show({0, 0, 300, 40}));
}

TEST(SplitterDrag, MovesABarAlongItsOwnDirectionAndForgetsThePendingShift) {
  LayoutEntry bar;
  bar.SetPending(30, 0);
  ApplySplitterDrag(bar, {100, 10, 104, 300}, 25, 99);
  EXPECT_EQ(Show(bar.Rect()), Show({125, 10, 129, 300}));
  EXPECT_EQ(bar.PendingX(), 0);
  ApplySplitterDrag(bar, {10, 100, 300, 104}, 99, -20);
  EXPECT_EQ(Show(bar.Rect()), Show({10, 80, 300, 84}));
}

TEST(SplitterDrag, TotalsSaturateInsteadOfWrapping) {
  EXPECT_EQ(SaturatingAdd16(32000, 1000), 32767);
  EXPECT_EQ(SaturatingAdd16(-32000, -1000), -32768);
  EXPECT_EQ(SaturatingAdd16(100, -30), 70);
}

}  // namespace
