// Feeds arbitrary text to the HTML tokenizer: nothing may crash, the tokens
// must cover the input exactly once, and the attribute lookup must end on
// every tag.
// fuzz-seeds: tests/controls/markup/good tests/controls/markup/bad
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/html_tokens.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();
  const HtmlTokenList tokens = HtmlTokenize(text.c_str());
  std::string joined;
  for (const HtmlToken& token : tokens) {
    if (token.offset != joined.size() || token.text.empty()) std::abort();
    joined += token.text;
    const std::optional<std::string> value = HtmlAttribute(token, "color");
    if (value && value->size() > token.text.size()) std::abort();
  }
  if (joined != text) std::abort();
  return 0;
}
