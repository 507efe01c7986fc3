// Template and control ids of the dialog-resource library.  The code that
// loads these templates finds its controls by these numbers.
#pragma once

// Help window: plain documents and HTML documents.
#define IDD_HELP_PLAIN 6000
#define IDD_HELP_HTML 6010
// Tips window: plain documents and HTML documents.
#define IDD_TIPS_PLAIN 6001
#define IDD_TIPS_HTML 6011
// About box.
#define IDD_ABOUT 7300

// Help and tips windows.
#define IDC_VIEWER_AREA 1000
#define IDC_HELP_BACK 1001
#define IDC_HELP_FORWARD 1002
#define IDC_HELP_TITLE 1003
#define IDC_TIPS_PREVIOUS 1001
#define IDC_TIPS_NEXT 1002
#define IDC_TIPS_AT_STARTUP 1003
#define IDC_TIPS_PICTURE 1004

// About box.
#define IDC_ABOUT_PICTURE 7014
#define IDC_ABOUT_BROWSER 7101
#define IDB_ABOUT_PICTURE 7014
