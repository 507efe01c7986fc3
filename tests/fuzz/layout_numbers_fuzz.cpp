// Feeds arbitrary text to the reading of stored layout numbers (registry
// texts of column widths and splitter positions): nothing may crash, a text
// that reads is written back the same way, and one that does not leaves the
// list untouched.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/layout_keys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::vector<int> numbers = {12345};
  if (ParseNumberList(text.c_str(), &numbers)) {
    std::vector<int> again;
    if (!ParseNumberList(FormatNumberList(numbers).c_str(), &again) || again != numbers) std::abort();
  } else if (numbers != std::vector<int>{12345}) {
    std::abort();
  }
  int value = 0;
  int back = 0;
  if (ParseDecimal(text.c_str(), &value) && (!ParseDecimal(std::to_string(value).c_str(), &back) || back != value)) {
    std::abort();
  }
  if (!numbers.empty()) CheckColumnOrder(numbers.data(), static_cast<int>(numbers.size()));
  return 0;
}
