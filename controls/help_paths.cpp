#include "controls/help_paths.h"

#include <cstring>

#include "common/wildcard.h"

bool IsSafeLanguageCode(const char* code) {
  if (code == nullptr) return false;
  const std::size_t length = std::strlen(code);
  if (length < 1 || length > 8) return false;
  for (std::size_t i = 0; i < length; ++i) {
    const char c = code[i];
    const bool letter_or_digit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!letter_or_digit) return false;
  }
  return true;
}

bool IsHtmlDocumentName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  const std::string extension = "x" + name.substr(dot);
  return WildcardMatchList(extension.c_str(), "*.htm;*.html") != 0;
}

std::string TopicIndexPath(const std::string& document_path) {
  const std::size_t dot = document_path.rfind('.');
  const std::size_t separator = document_path.find_last_of("\\/");
  const bool has_extension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
  return (has_extension ? document_path.substr(0, dot) : document_path) + ".idx";
}

std::string PlacedIndexPath(const std::string& index_path, const std::string& program_folder,
                            const std::string& index_folder) {
  if (index_folder.empty() || program_folder.empty()) return index_path;
  // A document of the program folder is named from that very text (see
  // ChooseHelpDocumentPaths), so the bytes match exactly when it is one.
  if (index_path.size() <= program_folder.size() || index_path.compare(0, program_folder.size(), program_folder) != 0) {
    return index_path;
  }
  return index_folder + index_path.substr(program_folder.size());
}

HelpDocumentPaths ChooseHelpDocumentPaths(const std::string& folder, const std::string& name, const char* language_code,
                                          bool (*exists)(const std::string& path)) {
  HelpDocumentPaths paths;
  const bool absolute = (name.size() >= 2 && name[1] == ':') || (!name.empty() && name[0] == '\\');
  const std::string base_folder = absolute ? std::string() : folder;
  paths.document = base_folder + name;
  if (absolute) return paths;
  if (!IsSafeLanguageCode(language_code)) return paths;
  const std::size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  const std::string variant = base_folder + "lang\\" + stem + "_" + language_code + extension;
  if (exists != nullptr && exists(variant)) {
    paths.document = variant;
    paths.stale_index = TopicIndexPath(variant);
  }
  return paths;
}
