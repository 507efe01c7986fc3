// The text of a version number, from a template such as "Major.Middle.Minor".
#pragma once

#include <string>

struct VersionNumbers {
  unsigned major = 0;   // high word of the most significant part
  unsigned middle = 0;  // its low word
  unsigned minor = 0;   // high word of the least significant part
  unsigned build = 0;   // its low word
};

// Replaces every "Major" with the first number in plain decimal, "Middle"
// with the second in two digits, "Minor" with the third in three and
// "Build" with the fourth in four: "Major.Middle.Minor" of 2.1.1.501 gives
// "2.01.001".  A null template gives the empty text.
std::string FormatVersionText(const char* version_template, const VersionNumbers& version);
