#include "app/command_line.h"

#include <cctype>
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool IsCueSheetPath(const std::string& path) {
  if (path.size() < 5) return false;  // a name before the extension
  const char* extension = path.c_str() + path.size() - 4;
  const char* last_separator = std::strrchr(path.c_str(), '\\');
  if (last_separator && last_separator + 1 >= extension) return false;
  return extension[0] == '.' && std::tolower(static_cast<unsigned char>(extension[1])) == 'c' &&
         std::tolower(static_cast<unsigned char>(extension[2])) == 'u' &&
         std::tolower(static_cast<unsigned char>(extension[3])) == 'e';
}

std::string CueSheetArgument(const char* command_line) {
  if (!command_line) return std::string();
  const char* at = command_line;
  // The program's name: quoted, or up to the first blank.
  if (*at == '"') {
    const char* closing = std::strchr(at + 1, '"');
    at = closing ? closing + 1 : at + std::strlen(at);
  } else {
    while (*at && !IsBlank(*at)) ++at;
  }
  while (IsBlank(*at)) ++at;
  std::string argument;
  if (*at == '"') {
    const char* closing = std::strchr(at + 1, '"');
    if (!closing) return std::string();
    argument.assign(at + 1, closing);
    for (const char* rest = closing + 1; *rest; ++rest) {
      if (!IsBlank(*rest)) return std::string();  // more than one argument
    }
  } else {
    argument = at;
    while (!argument.empty() && IsBlank(argument.back())) argument.pop_back();
    // No Windows name holds a quote: this is several arguments, or a stray one.
    if (argument.find('"') != std::string::npos) return std::string();
  }
  return IsCueSheetPath(argument) ? argument : std::string();
}
