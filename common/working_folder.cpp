#include "common/working_folder.h"

namespace {

std::string g_working_folder;

bool EndsWithSeparator(const std::string& path) { return !path.empty() && (path.back() == '\\' || path.back() == '/'); }

}  // namespace

void SetWorkingFolder(const char* folder) { g_working_folder = folder ? folder : ""; }

std::string WorkingFolderPath(const char* name) {
  const std::string relative = name ? name : "";
  if (g_working_folder.empty()) return relative;
  std::string path = g_working_folder;
  if (!EndsWithSeparator(path)) path += '\\';
  return path + relative;
}

std::string ChooseWorkingFolder(const std::string& started_in, bool started_in_takes_files, const std::string& app_data,
                                const char* name) {
  if (!started_in.empty() && started_in_takes_files) return started_in;
  if (app_data.empty() || name == nullptr || *name == '\0') return started_in;
  return app_data + (EndsWithSeparator(app_data) ? "" : "\\") + name;
}
