// Feeds arbitrary text to the printf directive reader and checks what its
// answer must satisfy whatever the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/format_directives.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> directives = FormatDirectives(text);

  // Each directive starts at a "%" of its own.
  std::size_t percents = 0;
  for (char c : text) percents += c == '%';
  if (directives.size() > percents) std::abort();
  for (const std::string& directive : directives) {
    if (directive.empty()) std::abort();
  }
  // Plain text in front takes no argument, nor does a doubled "%%".
  if (FormatDirectives("Track " + std::string(text)) != directives) std::abort();
  if (FormatDirectives("%%" + std::string(text)) != directives) std::abort();
  return 0;
}
