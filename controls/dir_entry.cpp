#include "controls/dir_entry.h"

#include <cstdio>

bool IsSpecialDirEntryKind(int kind) {
  return kind == kDirEntryDrive || kind == kDirEntryParent || kind == kDirEntryDriveRootUp;
}

bool IsFolderKind(int kind) { return kind == kDirEntryFolder; }

std::string FormatFileSizeText(std::uint64_t size) {
  char text[24];
  std::snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(size));
  return text;
}

std::uint64_t ParseFileSizeText(const std::string& text) {
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return UINT64_MAX;
    value = value * 10 + digit;
  }
  return value;
}

std::string FormatFileDateText(const FileDateParts& date) {
  char text[64];
  std::snprintf(text, sizeof text, "%02i-%02i-%i %02i:%02i:%02i", date.month, date.day, date.year, date.hour,
                date.minute, date.second);
  return text;
}

char DriveLetterOfEntry(const DirEntry& entry) {
  const std::string& text = entry.full_path;
  if (text.size() >= 3 && text[0] == '(' && text[2] == ':') return text[1];
  return 0;
}
