// Resource ids of the layout engine's tests (kept clear of the program's own).
#pragma once

#define IDD_LAYOUT_TEST 9740
#define IDC_LAYOUT_DIVIDER 9741
#define IDC_LAYOUT_LEFT_PANE 9742
#define IDC_LAYOUT_RIGHT_PANE 9743
#define IDC_LAYOUT_TOOLBAR 9744
#define IDC_LAYOUT_GROUP 9745
