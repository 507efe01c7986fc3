// Resource ids of the toolbar tests (kept clear of the program's own).
#pragma once

#define IDB_TOOLBAR_STRIP 9740
#define IDS_TOOLBAR_TEST_FIRST 9741
#define IDS_TOOLBAR_TEST_SECOND 9742
#define IDS_TOOLBAR_TEST_THIRD 9743
#define IDS_TOOLBAR_TEST_LABEL 9744
