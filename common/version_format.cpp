#include "common/version_format.h"

#include <cstdio>

namespace {

void ReplaceAll(std::string* text, const std::string& search, const std::string& replacement) {
  std::size_t pos = 0;
  while ((pos = text->find(search, pos)) != std::string::npos) {
    text->replace(pos, search.size(), replacement);
    pos += replacement.size();
  }
}

std::string Padded(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*u", digits, value);
  return buffer;
}

}  // namespace

std::string FormatVersionText(const char* version_template, const VersionNumbers& version) {
  if (!version_template) return std::string();
  std::string text(version_template);
  ReplaceAll(&text, "Major", std::to_string(version.major));
  ReplaceAll(&text, "Middle", Padded(version.middle, 2));
  ReplaceAll(&text, "Minor", Padded(version.minor, 3));
  ReplaceAll(&text, "Build", Padded(version.build, 4));
  return text;
}
