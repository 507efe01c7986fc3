#include "rip/encoder_command.h"

#include <cstring>

namespace {

constexpr char kInputPlaceholder[] = "%IN%";
constexpr char kOutputPlaceholder[] = "%OUT%";

bool StartsWith(const char* text, const char* prefix) { return std::strncmp(text, prefix, std::strlen(prefix)) == 0; }

}  // namespace

std::string FillEncoderParameters(const char* parameter_template, const std::string& wav_path,
                                  const std::string& output_path) {
  const char* text =
      parameter_template != nullptr && *parameter_template != '\0' ? parameter_template : kDefaultEncoderTemplate;
  std::string filled;
  bool inside_quotes = false;  // judged by the template's own quotes only
  while (*text != '\0') {
    const std::string* path = nullptr;
    size_t placeholder_length = 0;
    if (StartsWith(text, kInputPlaceholder)) {
      path = &wav_path;
      placeholder_length = sizeof kInputPlaceholder - 1;
    } else if (StartsWith(text, kOutputPlaceholder)) {
      path = &output_path;
      placeholder_length = sizeof kOutputPlaceholder - 1;
    }
    if (path == nullptr) {
      if (*text == '"') inside_quotes = !inside_quotes;
      filled += *text++;
      continue;
    }
    if (inside_quotes) {
      filled += *path;
    } else {
      filled += '"';
      filled += *path;
      filled += '"';
    }
    text += placeholder_length;
  }
  return filled;
}
