// Resource ids of the dialog layer's tests (kept clear of the program's own).
#pragma once

#define IDD_TEST_PLAIN 9501
#define IDD_TEST_RESIZABLE 9502
#define IDC_TEST_EDIT 9510
#define IDC_TEST_BUTTON 9511

// Six program icons, then one id that has no icon.
#define IDI_TEST_FIRST 9601
#define IDI_TEST_LAST 9606
#define IDI_TEST_MISSING 9699
