// HTML pages as rich text, and the link markup the viewer then looks for.
// fuzz-seeds: tests/controls/rich_text
#include <cstddef>
#include <cstdint>
#include <string>

#include "controls/html_rich_text.h"
#include "controls/link_markup.h"
#include "tests/support/rtf_braces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  const std::string rtf = HtmlToRichText(page.c_str());
  if (!testing_support::RtfBracesBalance(rtf)) __builtin_trap();
  const std::wstring text(page.begin(), page.end());
  std::size_t previous_end = 0;
  for (const LinkMarkup& link : FindLinkMarkup(text)) {
    if (link.start < previous_end || link.end > text.size() || link.start >= link.end) __builtin_trap();
    if (link.title.empty() || link.title.size() > 50 || link.href.size() > 1024) __builtin_trap();
    previous_end = link.end;
  }
  return 0;
}
