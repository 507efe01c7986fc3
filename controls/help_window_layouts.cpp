#include "controls/help_window_layouts.h"

#include "dialogs/dialog_ids.h"

namespace {

// Both variants of a window (plain and HTML documents) share its table; the
// anchors name the window by the plain template's id.
constexpr int kHelpWindow = IDD_HELP_PLAIN;
constexpr int kTipsWindow = IDD_TIPS_PLAIN;
constexpr int kTipsClose = 2;  // IDCANCEL

}  // namespace

// Each row: kind, id, then (offset, anchor) for left, top, right and bottom,
// and the flags; the rest is filled in by the layout engine.
const int32_t kHelpWindowLayout[][kLayoutFieldCount] = {
    {kLayoutWindow, kHelpWindow},
    {kLayoutControl, IDC_HELP_TITLE, 10, kHelpWindow, 10, kHelpWindow, 0, IDC_HELP_BACK},
    {kLayoutControl, IDC_HELP_FORWARD, 0, 0, 10, kHelpWindow, 10, -kHelpWindow, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_HELP_BACK, 0, 0, 10, kHelpWindow, 0, IDC_HELP_FORWARD, 0, 0, kLayoutKeepSize},
    {kLayoutControl, IDC_VIEWER_AREA, 10, kHelpWindow, 5, -IDC_HELP_BACK, 10, -kHelpWindow, 0, -kHelpWindow},
    {0, 0},
};

const int32_t kTipsWindowLayout[][kLayoutFieldCount] = {
    {kLayoutWindow, kTipsWindow},
    {kLayoutControl, IDC_VIEWER_AREA, 0, -IDC_TIPS_PICTURE, 10, kTipsWindow, 10, -kTipsWindow, 10, IDC_TIPS_NEXT},
    {kLayoutControl, IDC_TIPS_PICTURE, 10, kTipsWindow, 10, kTipsWindow, 0, 0, 0, -IDC_VIEWER_AREA},
    {kLayoutControl, IDC_TIPS_NEXT, 0, 0, 0, 0, 10, kTipsClose, 0, -kTipsWindow, kLayoutKeepSize},
    {kLayoutControl, IDC_TIPS_PREVIOUS, 0, 0, 0, 0, 0, IDC_TIPS_NEXT, 0, -kTipsWindow, kLayoutKeepSize},
    {kLayoutControl, kTipsClose, 0, 0, 0, 0, 10, -kTipsWindow, 0, -kTipsWindow, kLayoutKeepSize},
    {kLayoutControl, IDC_TIPS_AT_STARTUP, 10, kTipsWindow, 0, 0, 0, IDC_TIPS_PREVIOUS, 0, -kTipsWindow},
    {0, 0},
};

const std::size_t kHelpWindowLayoutRows = sizeof(kHelpWindowLayout) / sizeof(kHelpWindowLayout[0]);
const std::size_t kTipsWindowLayoutRows = sizeof(kTipsWindowLayout) / sizeof(kTipsWindowLayout[0]);
