// Resource ids of the common library's tests (kept clear of the program's own).
#pragma once

// Six program icons, then one id that has no icon.
#define IDI_TEST_FIRST 9601
#define IDI_TEST_LAST 9606
#define IDI_TEST_MISSING 9699
