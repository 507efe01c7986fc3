#include "app/main_window_layout.h"

#include "res/main_window_ids.h"
#include "res/main_window_sizes.h"

namespace {

// The divider cannot be dragged closer than this to the left edge (dialog
// units); how close it may come to the right edge follows from what the
// destination pane must hold.
constexpr int kDividerMinLeft = 133;
// Placeholders until the window's font is known (pixels at 96 dots per inch).
constexpr int kDividerMinLeftPixels = 200;
constexpr int kDividerRightMarginPixels = 350;
// The id the divider's bottom anchor names; no control has it, so the bar
// reaches down to the window's bottom edge.
constexpr int kDividerBottomReference = 1029;
// Room the lists keep between the toolbar and the status bar at the smallest
// window (dialog units).
constexpr int kMinClientHeight = 160;

// Pixel gaps of the destination row, left to right: divider to label, label
// to folder box, folder box to mask, mask to browse button, browse button to
// the button column, button column to the window's right edge.
constexpr int kLabelGap = 5;
constexpr int kLabelToBoxGap = 4;
constexpr int kBoxToMaskGap = 1;
constexpr int kMaskToBrowseGap = 3;
constexpr int kBrowseToButtonsGap = 20;
constexpr int kButtonsToEdgeGap = 10;
constexpr int kDestinationRowGaps =
    kLabelGap + kLabelToBoxGap + kBoxToMaskGap + kMaskToBrowseGap + kBrowseToButtonsGap + kButtonsToEdgeGap;
// The fixed widths of the row and the smallest folder box, in dialog units.
constexpr int kDestinationRowParts[] = {MAIN_DESTINATION_LABEL_WIDTH, kFolderBoxMinWidth, MAIN_FILE_MASK_WIDTH,
                                        MAIN_BROWSE_WIDTH, MAIN_BUTTON_WIDTH};

// Rounded as the system rounds when it creates the controls from the template.
int ScaleRounded(int units, int base, int per) {
  const long long scaled = static_cast<long long>(units) * base;
  return static_cast<int>((scaled >= 0 ? scaled + per / 2 : scaled - per / 2) / per);
}

}  // namespace

// Each row: kind, id, then (offset, anchor) for left, top, right and bottom,
// flags, minimum left, minimum top, right margin; the rest is filled in by
// the layout engine.
const int32_t kMainWindowLayout[][kLayoutFieldCount] = {
    {kLayoutWindow, IDD_MAIN_WINDOW},
    {kLayoutToolbar, IDC_TOOLBAR, 5, IDD_MAIN_WINDOW, 0, IDD_MAIN_WINDOW, 0, -IDD_MAIN_WINDOW},
    {kLayoutSplitter, IDC_PANE_DIVIDER, 0, 0, 5, -IDC_TOOLBAR, 0, 0, 1, kDividerBottomReference, 0,
     kDividerMinLeftPixels, 0, kDividerRightMarginPixels},
    {kLayoutControl, IDC_SOURCE_GROUP, 5, IDD_MAIN_WINDOW, 5, -IDC_TOOLBAR, 0, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_DESTINATION_GROUP, 0, -IDC_PANE_DIVIDER, 5, -IDC_TOOLBAR, 10, IDC_RIP},
    {kLayoutControl, IDC_RIP, 0, 0, 10, -IDC_TOOLBAR, kButtonsToEdgeGap, -IDD_MAIN_WINDOW, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_HELP_BUTTON, 0, 0, 0, -IDC_RIP, kButtonsToEdgeGap, -IDD_MAIN_WINDOW, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_REFRESH_CD, 0, 0, 0, IDC_FILE_LIST, kButtonsToEdgeGap, -IDD_MAIN_WINDOW, 0, 0,
     kLayoutKeepSize},
    {kLayoutControl, IDC_CD_LABEL, 10, IDD_MAIN_WINDOW, 25, -IDC_TOOLBAR, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_DRIVE_COMBO, 4, -IDC_CD_LABEL, 25, -IDC_TOOLBAR, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_TITLE_LABEL, 10, IDD_MAIN_WINDOW, 1, -IDC_CD_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_ALBUM_TITLE, 4, -IDC_TITLE_LABEL, 1, -IDC_CD_LABEL, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_ARTIST_LABEL, 10, IDD_MAIN_WINDOW, 1, -IDC_TITLE_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_ARTIST, 4, -IDC_ARTIST_LABEL, 1, -IDC_TITLE_LABEL, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_TRACK_LIST, 5, IDD_MAIN_WINDOW, 4, -IDC_SOURCE_GROUP, 0, IDC_PANE_DIVIDER, 5,
     -IDD_MAIN_WINDOW},
    {kLayoutControl, IDC_OUTPUT_LABEL, kLabelGap, -IDC_PANE_DIVIDER, 25, -IDC_TOOLBAR, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FILE_MASK, 0, 0, 25, -IDC_TOOLBAR, kMaskToBrowseGap, IDC_BROWSE_FOLDER, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_BROWSE_FOLDER, 0, 0, 25, -IDC_TOOLBAR, kBrowseToButtonsGap, IDC_RIP, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_OUTPUT_FOLDER, kLabelToBoxGap, -IDC_OUTPUT_LABEL, 25, -IDC_TOOLBAR, kBoxToMaskGap,
     IDC_FILE_MASK},
    {kLayoutControl, IDC_FORMAT_LABEL, 5, -IDC_PANE_DIVIDER, 1, -IDC_OUTPUT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FORMAT_COMBO, kLabelToBoxGap, -IDC_FORMAT_LABEL, 1, -IDC_OUTPUT_LABEL, 0, -IDC_OUTPUT_FOLDER},
    {kLayoutControl, IDC_RATE_LABEL, 5, -IDC_PANE_DIVIDER, 1, -IDC_FORMAT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_RATE_COMBO, 4, -IDC_RATE_LABEL, 1, -IDC_FORMAT_LABEL, 0, -IDC_OUTPUT_FOLDER},
    {kLayoutControl, IDC_RATE_UNIT, 4, -IDC_RATE_COMBO, 1, -IDC_FORMAT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FILE_LIST, 0, -IDC_PANE_DIVIDER, 4, -IDC_DESTINATION_GROUP, 10, IDC_RIP, 5, -IDD_MAIN_WINDOW},
    {0, 0},
};

const std::size_t kMainWindowLayoutRows = sizeof(kMainWindowLayout) / sizeof(kMainWindowLayout[0]);

int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) { return ScaleRounded(units, base.x, 4); }

int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) { return ScaleRounded(units, base.y, 8); }

MainWindowLimits MainWindowLimitsFor(const DialogBaseUnits& base, const WindowFrameMetrics& frame, int divider_width) {
  MainWindowLimits limits;
  limits.divider_min_left = DialogUnitsToPixelsX(kDividerMinLeft, base);
  // Each control is rounded to pixels on its own.  The margin counts from
  // the outer edge while the row ends inside the window frame.
  limits.divider_right_margin = kDestinationRowGaps + frame.nonclient_width;
  for (const int part : kDestinationRowParts) limits.divider_right_margin += DialogUnitsToPixelsX(part, base);
  limits.min_width = limits.divider_min_left + divider_width + limits.divider_right_margin;
  limits.min_height = DialogUnitsToPixelsY(kMinClientHeight, base) + frame.nonclient_height + frame.status_bar_height;
  return limits;
}

void ApplyDividerLimits(std::vector<LayoutEntry>& entries, const MainWindowLimits& limits) {
  for (LayoutEntry& entry : entries) {
    if (entry.Kind() != kLayoutSplitter || entry.Id() != IDC_PANE_DIVIDER) continue;
    entry.field[kLayoutMinLeft] = limits.divider_min_left;
    entry.field[kLayoutRightMargin] = limits.divider_right_margin;
  }
}
