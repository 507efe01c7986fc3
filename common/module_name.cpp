#include "common/module_name.h"

std::string ModuleBaseNameOf(const std::string& program_path) {
  const size_t slash = program_path.find_last_of("\\/");
  std::string name = slash == std::string::npos ? program_path : program_path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  const size_t underscore = name.rfind('_');
  if (underscore != std::string::npos) name.erase(underscore);
  return name;
}
