// The Edit Tag dialog of the destination pane.
#pragma once

#define IDD_EDIT_TAG 485
#define IDC_TAG_TITLE 1133
#define IDC_TAG_ARTIST 1134
#define IDC_TAG_ALBUM 1135
#define IDC_TAG_YEAR 1137
#define IDC_EDIT_TAG_OK 1025
#define IDC_EDIT_TAG_CANCEL 1009
#define IDC_EDIT_TAG_HELP 7888
