#include "controls/menu_markup.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/html_text.h"
#include "common/text_utils.h"
#include "controls/colour_names.h"
#include "controls/html_tags.h"
#include "controls/html_tokens.h"

namespace {

constexpr std::size_t kLongestItemText = 255;

std::string WithoutTags(const char* text) {
  std::string copy(text);
  HtmlStripTags(&copy[0]);
  copy.resize(std::char_traits<char>::length(copy.c_str()));
  return copy;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

}  // namespace

MenuMarkup ParseMenuMarkup(const char* text) {
  MenuMarkup markup;
  if (!text) return markup;
  markup.text = text;
  markup.bold = StrFindNoCase(text, "<b>") != nullptr;
  markup.italic = StrFindNoCase(text, "<i>") != nullptr;
  markup.underline = StrFindNoCase(text, "<u>") != nullptr;
  markup.strike_out = StrFindNoCase(text, "<s>") != nullptr || StrFindNoCase(text, "<strike>") != nullptr;
  bool found = markup.bold || markup.italic || markup.underline || markup.strike_out;
  if (std::strchr(text, '<') && StrFindNoCase(text, "font")) {
    const HtmlTokenList tokens = HtmlTokenize(text);
    if (const HtmlToken* font = HtmlFindToken(tokens, kHtmlTagFont)) {
      found = true;
      if (const std::optional<std::string> colour = HtmlAttribute(*font, "color")) {
        markup.has_colour = true;
        markup.colour = MarkupColourValue(colour->c_str());
      }
    }
  }
  if (found) markup.text = Trimmed(WithoutTags(text));
  return markup;
}

std::string MenuMeasureText(const char* text) {
  if (!text) return std::string();
  const std::string limited(text, std::min(std::char_traits<char>::length(text), kLongestItemText));
  const std::string plain = WithoutTags(limited.c_str());
  std::string out;
  for (char c : plain) {
    if (c == '&') continue;
    if (c == ' ' && !out.empty() && out.back() == ' ') continue;
    out += c;
  }
  return out;
}
