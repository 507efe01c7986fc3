// A small HTML tokenizer: text, character references, tags, comments and the
// bodies of SCRIPT and STYLE, each with its place in the input.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum HtmlTokenKind : int {
  kHtmlTextToken = 0,
  // 1 .. kHtmlTagCount: a known opening tag, its negative a closing one.
  kHtmlEntityToken = 100,      // "&name;" or "&#nn;"
  kHtmlStyleBodyToken = 101,   // what a STYLE element holds
  kHtmlScriptBodyToken = 102,  // what a SCRIPT element holds
  kHtmlCommentToken = 103,     // "<!-- ... -->" and other "<!" tags
  kHtmlOtherTagToken = 127,    // an unknown tag, or "<!DOCTYPE ...>"
};

struct HtmlToken {
  std::string text;  // exactly as in the input, "<" and ">" included
  int kind;
  std::size_t offset;  // where the token starts in the input
};

using HtmlTokenList = std::vector<HtmlToken>;

// Splits `text` (may be null) into tokens.  Every scan ends at the end of
// the text: an unterminated comment, script or style body runs to the end,
// and a "<" that never meets its ">" is plain text.
HtmlTokenList HtmlTokenize(const char* text);

// The value of attribute `name` (any letter case) of a tag token: empty for
// an attribute written without a value, nullopt when the tag lacks it.
std::optional<std::string> HtmlAttribute(const HtmlToken& token, const char* name);

// The first token of that kind, or null.
const HtmlToken* HtmlFindToken(const HtmlTokenList& tokens, int kind);
