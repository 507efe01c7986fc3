#include "rip/tag_layout.h"

#include <cctype>

namespace {

std::string LowerExtension(const std::string& name) {
  const size_t dot = name.find_last_of(".\\/:");
  if (dot == std::string::npos || name[dot] != '.') return "";
  std::string extension = name.substr(dot);
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

TagLayout TagLayoutForFileName(const std::string& name) {
  const std::string extension = LowerExtension(name);
  if (extension == ".mp3") return TagLayout::kId3;
  if (extension == ".ogg") return TagLayout::kOggVorbis;
  if (extension == ".flac") return TagLayout::kFlac;
  if (extension == ".opus") return TagLayout::kOpus;
  if (extension == ".wma") return TagLayout::kAsf;
  return TagLayout::kNone;
}

std::optional<int> ParseTagYear(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return 0;
  const size_t last = text.find_last_not_of(" \t");
  const std::string digits = text.substr(first, last - first + 1);
  if (digits.size() > 4 || digits.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  int year = 0;
  for (char digit : digits) year = year * 10 + (digit - '0');
  return year;
}

std::string TagFieldValue(const TagFields& fields, const char* name) {
  for (const TagField& field : fields) {
    if (field.name == name) return field.value;
  }
  return "";
}

std::string Id3TrackText(const TagFields& fields) {
  const std::string number = TagFieldValue(fields, "TRACKNUMBER");
  if (number.empty()) return "";
  const std::string total = TagFieldValue(fields, "TRACKTOTAL");
  return total.empty() ? number : number + "/" + total;
}
