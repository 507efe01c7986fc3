#include "app/main_window_layout.h"

#include "res/main_window_ids.h"

namespace {

// The divider cannot be dragged closer than this to either side.
constexpr int kDividerMinLeft = 200;
constexpr int kDividerRightMargin = 350;
// The id the divider's bottom anchor names; no control has it, so the bar
// reaches down to the window's bottom edge.
constexpr int kDividerBottomReference = 1029;

}  // namespace

// Each row: kind, id, then (offset, anchor) for left, top, right and bottom,
// flags, minimum left, minimum top, right margin; the rest is filled in by
// the layout engine.
const int32_t kMainWindowLayout[][kLayoutFieldCount] = {
    {kLayoutWindow, IDD_MAIN_WINDOW},
    {kLayoutToolbar, IDC_TOOLBAR, 5, IDD_MAIN_WINDOW, 0, IDD_MAIN_WINDOW, 0, -IDD_MAIN_WINDOW},
    {kLayoutSplitter, IDC_PANE_DIVIDER, 0, 0, 5, -IDC_TOOLBAR, 0, 0, 1, kDividerBottomReference, 0, kDividerMinLeft, 0,
     kDividerRightMargin},
    {kLayoutControl, IDC_SOURCE_GROUP, 5, IDD_MAIN_WINDOW, 5, -IDC_TOOLBAR, 0, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_DESTINATION_GROUP, 0, -IDC_PANE_DIVIDER, 5, -IDC_TOOLBAR, 10, IDC_RIP},
    {kLayoutControl, IDC_RIP, 0, 0, 10, -IDC_TOOLBAR, 10, -IDD_MAIN_WINDOW, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_HELP_BUTTON, 0, 0, 0, -IDC_RIP, 10, -IDD_MAIN_WINDOW, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_REFRESH_CD, 0, 0, 0, IDC_FILE_LIST, 10, -IDD_MAIN_WINDOW, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_CD_LABEL, 10, IDD_MAIN_WINDOW, 25, -IDC_TOOLBAR, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_DRIVE_COMBO, 4, -IDC_CD_LABEL, 25, -IDC_TOOLBAR, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_TITLE_LABEL, 10, IDD_MAIN_WINDOW, 1, -IDC_CD_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_ALBUM_TITLE, 4, -IDC_TITLE_LABEL, 1, -IDC_CD_LABEL, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_ARTIST_LABEL, 10, IDD_MAIN_WINDOW, 1, -IDC_TITLE_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_ARTIST, 4, -IDC_ARTIST_LABEL, 1, -IDC_TITLE_LABEL, 10, IDC_PANE_DIVIDER},
    {kLayoutControl, IDC_TRACK_LIST, 5, IDD_MAIN_WINDOW, 4, -IDC_SOURCE_GROUP, 0, IDC_PANE_DIVIDER, 5,
     -IDD_MAIN_WINDOW},
    {kLayoutControl, IDC_OUTPUT_LABEL, 5, -IDC_PANE_DIVIDER, 25, -IDC_TOOLBAR, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FILE_MASK, 0, 0, 25, -IDC_TOOLBAR, 3, IDC_BROWSE_FOLDER, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_BROWSE_FOLDER, 0, 0, 25, -IDC_TOOLBAR, 20, IDC_RIP, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_OUTPUT_FOLDER, 4, -IDC_OUTPUT_LABEL, 25, -IDC_TOOLBAR, 1, IDC_FILE_MASK},
    {kLayoutControl, IDC_FORMAT_LABEL, 5, -IDC_PANE_DIVIDER, 1, -IDC_OUTPUT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FORMAT_COMBO, 4, -IDC_FORMAT_LABEL, 1, -IDC_OUTPUT_LABEL, 0, -IDC_OUTPUT_FOLDER},
    {kLayoutControl, IDC_RATE_LABEL, 5, -IDC_PANE_DIVIDER, 1, -IDC_FORMAT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_RATE_COMBO, 4, -IDC_RATE_LABEL, 1, -IDC_FORMAT_LABEL, 0, -IDC_OUTPUT_FOLDER},
    {kLayoutControl, IDC_RATE_UNIT, 4, -IDC_RATE_COMBO, 1, -IDC_FORMAT_LABEL, 0, 0, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_FILE_LIST, 0, -IDC_PANE_DIVIDER, 4, -IDC_DESTINATION_GROUP, 10, IDC_RIP, 5, -IDD_MAIN_WINDOW},
    {0, 0},
};

const std::size_t kMainWindowLayoutRows = sizeof(kMainWindowLayout) / sizeof(kMainWindowLayout[0]);
