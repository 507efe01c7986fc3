// The layout table of the main window: where each of its controls goes as
// the window is sized and the divider between the panes is dragged, and the
// limits that keep the destination pane's boxes usable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "controls/layout_arithmetic.h"

extern const int32_t kMainWindowLayout[][kLayoutFieldCount];
// Entries including the end entry.
extern const std::size_t kMainWindowLayoutRows;

// What 4 horizontal and 8 vertical dialog units come to in pixels with the
// window's font (MapDialogRect of {0, 0, 4, 8}).
struct DialogBaseUnits {
  int x = 0;
  int y = 0;
};
int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base);
int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base);

// The smallest width of the output folder and format boxes, in dialog units.
constexpr int kFolderBoxMinWidth = 60;

// The divider's limits and the window's minimum tracking size, in pixels.
// They follow the template's dialog units, so they hold at any font size and
// resolution.
struct MainWindowLimits {
  int divider_min_left = 0;
  int divider_right_margin = 0;  // from the window's outer right edge
  int min_width = 0;             // outer size
  int min_height = 0;
};
// `divider_width`: the bar as the window made it (an etched line takes the
// width of its edge, whatever the template says).
MainWindowLimits MainWindowLimitsFor(const DialogBaseUnits& base, const WindowFrameMetrics& frame, int divider_width);

// Writes the divider's limits into a copy of the table.
void ApplyDividerLimits(std::vector<LayoutEntry>& entries, const MainWindowLimits& limits);
