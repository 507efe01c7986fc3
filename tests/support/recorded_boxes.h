// A message box function for tests: records each box instead of showing it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

struct ShownBox {
  std::string text;
  std::string caption;
};

inline std::vector<ShownBox>& RecordedBoxes() {
  static std::vector<ShownBox> boxes;
  return boxes;
}

// Install with SetMessageBoxFunction; every box is answered with OK.
inline int RecordBox(HWND, const char* text, const char* caption, UINT) {
  RecordedBoxes().push_back({text ? text : "", caption ? caption : ""});
  return IDOK;
}

}  // namespace testing_support
