#include "rip/output_names.h"

#include <cstring>

#include "common/working_folder.h"

namespace {

bool IsForbiddenInFileName(char c) {
  // Control characters arrive from pasted text and CDDB records; Windows
  // refuses them in file names.
  if (static_cast<unsigned char>(c) < 0x20) return true;
  return c == '"' || c == '*' || c == '/' || c == ':' || c == '<' || c == '>' || c == '?' || c == '\\' || c == '|';
}

// Every double-byte code page Windows offers has its trail bytes from 0x40 up.
constexpr unsigned char kLowestTrailByte = 0x40;

// The bytes of the character at `text[at]`, of the `length` bytes of `text`:
// 2 for a lead byte with its trail byte, else 1 (0 for a lead byte whose trail
// byte is missing or not one).
size_t CharacterBytes(const char* text, size_t at, size_t length, LeadBytePredicate is_lead) {
  if (!is_lead || !is_lead(static_cast<unsigned char>(text[at]))) return 1;
  if (at + 1 < length && static_cast<unsigned char>(text[at + 1]) >= kLowestTrailByte) return 2;
  return 0;
}

// The longest start of text[from, end) made of whole characters that is at
// most `room` bytes long, as an end offset.
size_t CutAtCharacter(const std::string& text, size_t from, size_t end, size_t room, LeadBytePredicate is_lead) {
  size_t at = from;
  while (at < end) {
    const size_t step = CharacterBytes(text.data(), at, end, is_lead);
    const size_t bytes = step == 0 ? 1 : step;
    if (at + bytes - from > room) break;
    at += bytes;
  }
  return at;
}

struct PathParts {
  size_t name_start;       // after the last backslash
  size_t extension_start;  // the last dot of the file name, or the path's end
};

PathParts SplitPath(const std::string& path, LeadBytePredicate is_lead) {
  PathParts parts{0, std::string::npos};
  for (size_t at = 0; at < path.size();) {
    const size_t step = CharacterBytes(path.data(), at, path.size(), is_lead);
    if (step == 1 && path[at] == '\\') {
      parts.name_start = at + 1;
      parts.extension_start = std::string::npos;
    } else if (step == 1 && path[at] == '.') {
      parts.extension_start = at;
    }
    at += step == 0 ? 1 : step;
  }
  if (parts.extension_start == std::string::npos) parts.extension_start = path.size();
  return parts;
}

// The folder part of `path`, `prefix`, the file name's stem (shortened),
// "(n)" when n > 0, and the extension.
std::string ComposePath(const std::string& path, const PathParts& parts, const char* prefix, int n,
                        LeadBytePredicate is_lead) {
  const std::string head = path.substr(0, parts.name_start) + prefix;
  const std::string counter = n > 0 ? "(" + std::to_string(n) + ")" : std::string();
  const std::string extension = path.substr(parts.extension_start);
  const size_t limit = kRipPathSize - 1;
  const size_t fixed = head.size() + counter.size() + extension.size();
  const size_t room = fixed < limit ? limit - fixed : 0;
  const size_t stem_end = CutAtCharacter(path, parts.name_start, parts.extension_start, room, is_lead);
  return head + path.substr(parts.name_start, stem_end - parts.name_start) + counter + extension;
}

const char kTempFolderName[] = "temp";
const char kTempWavName[] = "corvale.wav";
// A folder with this many leftovers is not worth searching further.
constexpr int kMaxNumber = 99999;

}  // namespace

void AppendFileNamePart(char* path, int size, const char* text, int count, LeadBytePredicate is_lead) {
  if (!path || size < 1) return;
  const size_t limit = size_t(size - 1);
  size_t at = strnlen(path, limit);
  const size_t length = text && count > 0 ? strnlen(text, size_t(count)) : 0;
  for (size_t i = 0; i < length;) {
    const size_t step = CharacterBytes(text, i, length, is_lead);
    if (step == 2) {
      if (at + 2 > limit) break;
      path[at++] = text[i];
      path[at++] = text[i + 1];
      i += 2;
      continue;
    }
    // A lone lead byte at the end was cut from its trail byte: no character.
    if (step == 0 && i + 1 == length) break;
    if (at + 1 > limit) break;
    path[at++] = step == 0 || IsForbiddenInFileName(text[i]) ? ' ' : text[i];
    ++i;
  }
  path[at] = '\0';
}

void BuildOutputBasePath(const char* folder, const char* artist, const char* title, char path[kRipPathSize],
                         LeadBytePredicate is_lead) {
  size_t at = 0;
  if (folder) {
    at = strnlen(folder, kRipPathSize - 1);
    std::memcpy(path, folder, at);
  }
  // The folder's last character is a backslash only when it is not the trail
  // byte of a double-byte character.
  path[at] = '\0';
  const std::string folder_text(path, at);
  const bool ends_in_separator = at > 0 && SplitPath(folder_text, is_lead).name_start == at;
  if (at > 0 && !ends_in_separator && at < kRipPathSize - 1) path[at++] = '\\';
  path[at] = '\0';
  const char separator[] = " - ";
  AppendFileNamePart(path, kRipPathSize, artist, artist ? int(std::strlen(artist)) : 0, is_lead);
  AppendFileNamePart(path, kRipPathSize, separator, int(sizeof separator - 1), is_lead);
  AppendFileNamePart(path, kRipPathSize, title, title ? int(std::strlen(title)) : 0, is_lead);
}

std::string OutputFilePath(const std::string& base, int n, const std::string& extension, LeadBytePredicate is_lead) {
  const PathParts parts{SplitPath(base, is_lead).name_start, base.size()};
  return ComposePath(base + extension, parts, "", n, is_lead);
}

std::string NumberedPath(const std::string& path, int n, LeadBytePredicate is_lead) {
  return ComposePath(path, SplitPath(path, is_lead), "", n, is_lead);
}

std::string SidePath(const std::string& path, int n, LeadBytePredicate is_lead) {
  return ComposePath(path, SplitPath(path, is_lead), "~", n, is_lead);
}

bool JobOutputNames::Taken(const std::string& key) const {
  for (const std::string& taken : taken_) {
    if (taken == key) return true;
  }
  return false;
}

std::string JobOutputNames::Claim(const std::string& base, const std::string& extension) {
  std::string name = OutputFilePath(base, 0, extension, is_lead_);
  for (int n = 1; n <= kMaxNumber && Taken(fold_case_(name)); ++n) name = OutputFilePath(base, n, extension, is_lead_);
  taken_.push_back(fold_case_(name));
  return name;
}

std::string TempFolderPath() { return WorkingFolderPath(kTempFolderName); }

std::string ClaimFreePath(const std::string& first, const std::function<NameClaim(const std::string&)>& create,
                          LeadBytePredicate is_lead) {
  std::string name = first;
  for (int n = 1; n <= kMaxNumber; ++n) {
    switch (create(name)) {
      case NameClaim::kCreated:
        return name;
      case NameClaim::kFailed:
        return std::string();
      case NameClaim::kTaken:
        break;
    }
    name = NumberedPath(first, n, is_lead);
  }
  return std::string();
}

std::string ClaimTempWavPath(const std::string& temp_folder, const std::function<NameClaim(const std::string&)>& create,
                             LeadBytePredicate is_lead) {
  std::string first = temp_folder;
  if (!first.empty() && SplitPath(first, is_lead).name_start != first.size()) first += '\\';
  first += kTempWavName;
  return ClaimFreePath(first, create, is_lead);
}
