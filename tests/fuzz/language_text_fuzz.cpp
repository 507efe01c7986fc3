// Feeds arbitrary bytes to the language-text parser as the text of a
// language file, then checks what any table it builds must satisfy.
// fuzz-seeds: tests/common/language_texts lang/src
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/language_text.h"

namespace {

std::size_t CountTranslationLines(const std::string& text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; (pos = text.find("T=", pos)) != std::string::npos; pos += 2) ++count;
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The parser reads a NUL-terminated text: a NUL in the input ends it.
  std::string text(reinterpret_cast<const char*>(data), size);
  text.resize(std::strlen(text.c_str()));
  LanguageText parsed = ParseLanguageText(text.c_str(), "Corvale Rip");

  // Each T= line enters at most two keys (the dialog's and the plain one).
  if (parsed.translations.size() > 2 * CountTranslationLines(text)) std::abort();
  if (parsed.code) {
    for (char c : *parsed.code) {
      if (c >= 'A' && c <= 'Z') std::abort();
    }
  }
  // A dropped translation is one T= line that entered nothing.
  if (parsed.rejected.size() + parsed.translations.size() / 2 > CountTranslationLines(text)) std::abort();
  // Parsing is a function of the text alone.
  LanguageText again = ParseLanguageText(text.c_str(), "Corvale Rip");
  if (again.translations.size() != parsed.translations.size()) std::abort();
  return 0;
}
