// The rip progress dialog.
#pragma once

#define IDD_RIP_PROGRESS 481
#define IDC_RIP_PROGRESS_BAR 1029
#define IDC_RIP_PROGRESS_STATUS 1132
