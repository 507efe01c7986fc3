#include "common/upgrade_plan.h"

#include <cctype>
#include <cstdint>
#include <cstring>

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::uint32_t ReadLittleEndian32(const unsigned char* at) {
  return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 | std::uint32_t(at[3]) << 24;
}

// Extensions of documents a shell "open" shows rather than runs.
constexpr const char* kDocumentExtensions[] = {".pdf", ".htm",  ".html", ".chm", ".txt", ".rtf",
                                               ".doc", ".docx", ".odt",  ".hlp", ".xps"};

}  // namespace

std::string UpgradeCommandLine(const char* component, const char* product_code, const char* product_name, int mode) {
  const char* argument = component ? component : product_code;
  if (!argument) return std::string();
  std::string command = "Upgrade.exe ";
  if (mode == kUpgradeProduct) command += "-p ";
  if (mode == kUpgradeManual) command += "-m ";
  command += argument;
  if (product_name) {
    command += " \"";
    command += product_name;
    command += "\"";
  }
  return command;
}

std::string UpgradeSiblingPath(const std::string& program_path, const char* extension) {
  const std::size_t at = Lower(program_path).rfind(".exe");
  if (at == std::string::npos) return std::string();
  std::string sibling = program_path;
  sibling.replace(at, 4, extension);
  return sibling;
}

bool IsWindowsExecutableImage(const unsigned char* data, std::size_t size) {
  constexpr std::size_t kNewHeaderOffsetField = 0x3C;
  if (!data || size < kNewHeaderOffsetField + 4) return false;
  if (data[0] != 'M' || data[1] != 'Z') return false;
  const std::uint32_t new_header = ReadLittleEndian32(data + kNewHeaderOffsetField);
  if (new_header < kNewHeaderOffsetField + 4 || new_header > size - 4) return false;
  return std::memcmp(data + new_header, "PE\0\0", 4) == 0;
}

bool IsManualDocument(const char* path) {
  if (!path) return false;
  const char* name = path;
  for (const char* at = path; *at; ++at) {
    if (*at == '\\' || *at == '/') name = at + 1;
  }
  // A colon in the name addresses a stream of some other file.
  if (std::strchr(name, ':')) return false;
  const char* dot = std::strrchr(name, '.');
  if (!dot) return false;
  const std::string extension = Lower(dot);
  for (const char* document : kDocumentExtensions) {
    if (extension == document) return true;
  }
  return false;
}
