// Link checks and resolution on arbitrary bases and links.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/html_charset.h"
#include "common/url_links.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  // The first NUL splits the base from the link.
  const std::size_t split = input.find('\0');
  const std::string base = input.substr(0, split);
  const std::string link = split == std::string::npos ? input : input.substr(split + 1);
  const std::string link_text = link.c_str();
  const LinkVerdict verdict = CheckLink(link_text.c_str());
  if (verdict.allowed() != (verdict.reason[0] == '\0')) __builtin_trap();
  if (verdict.kind == LinkKind::kTopic && LinkTopicNumber(link_text.c_str()) < 0) __builtin_trap();
  ResolveLink(base.c_str(), link_text.c_str());
  ResolveLink(nullptr, link_text.c_str());
  const auto target = BrowserTarget(link_text.c_str(), base.c_str());
  if (target && target->size() > static_cast<std::size_t>(kMaxBrowserAddress)) __builtin_trap();
  BrowserServiceName(base.c_str());
  QuoteCommandArgument(link);
  HtmlCharsetCodePage(input.c_str());
  return 0;
}
