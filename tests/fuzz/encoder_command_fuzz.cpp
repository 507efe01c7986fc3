// Fills arbitrary parameter templates with two paths and checks that every
// path lands inside double quotes as the command line is read from the left,
// so no path is ever split or exposed, and that a template without
// placeholders passes unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "rip/encoder_command.h"

namespace {

// Stand for paths; neither holds a quote or a percent sign.
const std::string kWav = "<wav path>";
const std::string kOutput = "<mp3 path>";

void CheckPathsQuoted(const std::string& filled) {
  bool inside = false;
  for (size_t i = 0; i < filled.size(); ++i) {
    if (filled[i] == '"') {
      inside = !inside;
    } else if (filled.compare(i, kWav.size(), kWav) == 0 || filled.compare(i, kOutput.size(), kOutput) == 0) {
      if (!inside) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string parameter_template(reinterpret_cast<const char*>(data), size);
  // The texts standing for the paths must come only from the placeholders.
  if (parameter_template.find('<') != std::string::npos) return 0;
  parameter_template = parameter_template.c_str();  // as a C string, up to a NUL
  const std::string filled = FillEncoderParameters(parameter_template.c_str(), kWav, kOutput);
  CheckPathsQuoted(filled);
  if (!parameter_template.empty() && parameter_template.find("%IN%") == std::string::npos &&
      parameter_template.find("%OUT%") == std::string::npos && filled != parameter_template) {
    std::abort();
  }
  return 0;
}
