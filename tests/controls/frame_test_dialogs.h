// Resource ids of the dialog frame's tests (kept clear of the program's own).
#pragma once

#define IDD_FRAME_TEST 9701
#define IDD_FRAME_RESIZABLE 9702
#define IDD_FRAME_TEXTS 9703
#define IDC_FRAME_EDIT 9710
#define IDC_FRAME_BUTTON 9711
#define IDC_TEXT_LEADING 9720
#define IDC_TEXT_TRAILING 9721
#define IDC_TEXT_OTHER_DIALOG 9722
#define IDC_TEXT_UNKNOWN 9723
#define IDC_TEXT_USER_EDIT 9724
#define IDC_TEXT_USER_COMBO 9725
