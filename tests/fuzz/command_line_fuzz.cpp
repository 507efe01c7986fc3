// Feeds arbitrary command lines to the reading of a cue sheet argument:
// nothing may crash, and a sheet taken is a cue sheet's name without quotes,
// found in the line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const std::string text = line.c_str();  // the command line ends at its first NUL
  const std::string sheet = CueSheetArgument(text.c_str());
  if (sheet.empty()) return 0;
  if (!IsCueSheetPath(sheet) || sheet.find('"') != std::string::npos) std::abort();
  if (text.find(sheet) == std::string::npos) std::abort();
  return 0;
}
