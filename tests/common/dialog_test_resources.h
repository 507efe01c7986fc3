// Icons the common library's tests load.  They are six of the program's own,
// whose resources are linked into every test program: icons of the tests'
// own would clash with them, as each resource script numbers its icon
// images from 1 and the linker keeps only one image of each number.
#pragma once

#define IDI_TEST_FIRST 100  // the program
#define IDI_TEST_SECOND 1047
#define IDI_TEST_THIRD 155
#define IDI_TEST_FOURTH 1053
#define IDI_TEST_FIFTH 1046
#define IDI_TEST_LAST 1066
// An id with no icon.
#define IDI_TEST_MISSING 9699
