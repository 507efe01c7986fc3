// Resource ids of the page viewer tests (kept clear of the program's own).
#pragma once

#define IDD_PAGE_RICH 9731
#define IDD_PAGE_PLACEHOLDER 9732
#define IDD_PAGE_BROWSER 9733
#define IDC_PAGE_VIEWER 1000
#define IDC_PAGE_OTHER 1001
