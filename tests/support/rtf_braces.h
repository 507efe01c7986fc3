// A check shared by the rich-text tests and their fuzz harness.
#pragma once

#include <cstddef>
#include <string>

namespace testing_support {

// Whether every "{" has its "}" outside escapes, so a rich edit control
// reads the whole text as one group.
inline bool RtfBracesBalance(const std::string& rtf) {
  int depth = 0;
  for (std::size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}' && --depth < 0) {
      return false;
    }
  }
  return depth == 0;
}

}  // namespace testing_support
