// Resource ids of the dialog creation tests (kept clear of the program's own).
#pragma once

#define IDD_TEST_PLAIN 9501
#define IDD_TEST_RESIZABLE 9502
#define IDC_TEST_EDIT 9510
#define IDC_TEST_BUTTON 9511
