#include "common/message_format.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "common/owners.h"

namespace {

constexpr std::size_t kFirstScratchSize = 1024;
constexpr std::size_t kScratchGrowth = 2048;

}  // namespace

std::optional<std::string> FormatMessageTextV(const char* format, va_list args) {
  if (!format) return std::nullopt;
  std::size_t size = kFirstScratchSize;
  for (;;) {
    HeapText scratch(static_cast<char*>(std::malloc(size)));
    if (!scratch) return std::nullopt;
    va_list attempt;
    va_copy(attempt, args);
    int written = std::vsnprintf(scratch.get(), size, format, attempt);
    va_end(attempt);
    // A negative answer is a format the formatter cannot handle; a larger
    // scratch area would never help.
    if (written < 0) return std::nullopt;
    if (static_cast<std::size_t>(written) < size) {
      return std::string(scratch.get(), static_cast<std::size_t>(written));
    }
    while (size <= static_cast<std::size_t>(written)) size += kScratchGrowth;
  }
}

std::optional<std::string> FormatMessageText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::optional<std::string> text = FormatMessageTextV(format, args);
  va_end(args);
  return text;
}

std::string TextWithNumber(const char* text, int number) {
  std::string result = text ? text : "";
  const std::size_t field = result.find("%d");
  if (field != std::string::npos) result.replace(field, 2, std::to_string(number));
  return result;
}
