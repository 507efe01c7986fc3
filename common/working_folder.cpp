#include "common/working_folder.h"

namespace {
std::string g_working_folder;
}

void SetWorkingFolder(const char* folder) { g_working_folder = folder ? folder : ""; }

std::string WorkingFolderPath(const char* name) {
  const std::string relative = name ? name : "";
  if (g_working_folder.empty()) return relative;
  std::string path = g_working_folder;
  if (path.back() != '\\' && path.back() != '/') path += '\\';
  return path + relative;
}
