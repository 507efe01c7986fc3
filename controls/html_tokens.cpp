#include "controls/html_tokens.h"

#include <cstring>

#include "common/text_utils.h"
#include "controls/html_tags.h"

namespace {

constexpr std::size_t kLongestEntity = 10;  // characters between '&' and ';'

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix) {
    if (AsciiUpper(*text) != AsciiUpper(*prefix)) return false;
  }
  return true;
}

// Length of the entity starting at text[0] == '&', or 0 when it is not one.
std::size_t EntityLength(const char* text) {
  for (std::size_t i = 1; i <= kLongestEntity + 1; ++i) {
    const char c = text[i];
    if (c == ';') return i > 1 ? i + 1 : 0;
    if (c == '\0' || IsBlank(c) || c == '&' || c == '<') return 0;
  }
  return 0;
}

// Position just past the first '>' at or after `from` that is outside
// double quotes (where \" does not end the quote, as in attribute values);
// failing that (an unbalanced quote), past `first_close`, the first '>' at
// all.  `first_close` is npos when there is none: the result is then 0.
std::size_t TagEnd(const char* text, std::size_t from, std::size_t first_close) {
  if (first_close == std::string::npos) return 0;
  bool quoted = false;
  for (std::size_t i = from; text[i]; ++i) {
    if (quoted && text[i] == '\\' && text[i + 1] == '"')
      ++i;
    else if (text[i] == '"')
      quoted = !quoted;
    else if (text[i] == '>' && !quoted)
      return i + 1;
  }
  return first_close + 1;
}

// Where a comment opened at text[start] ends: through "-->" or "-!>", else
// through the next '>', else at the end of the text.
std::size_t CommentEnd(const char* text, std::size_t start) {
  const char* body = text + start + 4;
  if (const char* end = std::strstr(body, "-->")) return static_cast<std::size_t>(end - text) + 3;
  if (const char* end = std::strstr(body, "-!>")) return static_cast<std::size_t>(end - text) + 3;
  if (const char* end = std::strchr(body, '>')) return static_cast<std::size_t>(end - text) + 1;
  return std::strlen(text);
}

// The tag name after '<' (and a '/' for a closing tag); *closing tells which
// and *name_end where the name stops.
std::string TagName(const char* tag, bool* closing, std::size_t* name_end = nullptr) {
  std::size_t i = 1;
  while (IsBlank(tag[i])) ++i;
  *closing = tag[i] == '/';
  if (*closing) {
    ++i;
    while (IsBlank(tag[i])) ++i;
  }
  const std::size_t begin = i;
  while (tag[i] && !IsBlank(tag[i]) && tag[i] != '>' && tag[i] != '/' && tag[i] != '<') ++i;
  if (name_end) *name_end = i;
  return std::string(tag + begin, i - begin);
}

class Tokenizer {
 public:
  explicit Tokenizer(const char* text) : text_(text) {}

  HtmlTokenList Run() {
    while (text_[pos_]) {
      const char c = text_[pos_];
      if (c == '&') {
        const std::size_t length = EntityLength(text_ + pos_);
        if (length) {
          Emit(kHtmlEntityToken, pos_, pos_ + length);
        } else {
          AddText(pos_, pos_ + 1);
        }
      } else if (c == '<') {
        ReadTag();
      } else {
        std::size_t end = pos_ + 1;
        while (text_[end] && text_[end] != '<' && text_[end] != '&') ++end;
        AddText(pos_, end);
      }
    }
    return std::move(tokens_);
  }

 private:
  void ReadTag() {
    const std::size_t start = pos_;
    const char* tag = text_ + start;
    if (std::strncmp(tag, "<!--", 4) == 0) {
      Emit(kHtmlCommentToken, start, CommentEnd(text_, start));
      return;
    }
    const std::size_t end = TagEnd(text_, start + 1, NextFrom('>', start + 1, &next_close_));
    if (tag[1] == '!') {
      if (!end) return AddText(start, start + 1);
      const std::string body(tag, end - start);
      Emit(StrFindNoCase(body.c_str(), "DOCTYPE") ? kHtmlOtherTagToken : kHtmlCommentToken, start, end);
      return;
    }
    bool closing = false;
    const std::string name = TagName(tag, &closing);
    const int id = HtmlTagIdOf(name.c_str());
    if (!id) {
      // An unknown name is still a tag when its '>' comes before any other '<'.
      const std::size_t close = NextFrom('>', start + 1, &next_close_);
      const std::size_t next_open = NextFrom('<', start + 1, &next_open_);
      if (close != std::string::npos && (next_open == std::string::npos || close < next_open)) {
        Emit(kHtmlOtherTagToken, start, close + 1);
      } else {
        AddText(start, start + 1);
      }
      return;
    }
    if (!end) return AddText(start, start + 1);
    Emit(closing ? -id : id, start, end);
    if (!closing && id == kHtmlTagScript) ReadRawBody("</SCRIPT", kHtmlScriptBodyToken);
    if (!closing && id == kHtmlTagStyle) ReadRawBody("</STYLE", kHtmlStyleBodyToken);
  }

  // Everything up to the closing tag (or the end of the text) is one token.
  void ReadRawBody(const char* closing_tag, int kind) {
    std::size_t end = pos_;
    while (text_[end] && !StartsWithNoCase(text_ + end, closing_tag)) ++end;
    if (end > pos_) Emit(kind, pos_, end);
  }

  void Emit(int kind, std::size_t begin, std::size_t end) {
    tokens_.push_back(HtmlToken{std::string(text_ + begin, end - begin), kind, begin});
    pos_ = end;
  }

  void AddText(std::size_t begin, std::size_t end) {
    if (!tokens_.empty() && tokens_.back().kind == kHtmlTextToken) {
      tokens_.back().text.append(text_ + begin, end - begin);
      pos_ = end;
    } else {
      Emit(kHtmlTextToken, begin, end);
    }
  }

  // Where character `c` next occurs at or after `from`, remembered in *cache:
  // the tokenizer only moves forward, so each text is searched once.
  std::size_t NextFrom(char c, std::size_t from, std::size_t* cache) {
    if (*cache == kUnknown || (*cache != std::string::npos && *cache < from)) {
      const char* found = std::strchr(text_ + from, c);
      *cache = found ? static_cast<std::size_t>(found - text_) : std::string::npos;
    }
    return *cache;
  }

  static constexpr std::size_t kUnknown = std::string::npos - 1;
  const char* text_;
  std::size_t pos_ = 0;
  std::size_t next_close_ = kUnknown;
  std::size_t next_open_ = kUnknown;
  HtmlTokenList tokens_;
};

}  // namespace

HtmlTokenList HtmlTokenize(const char* text) {
  if (!text) return {};
  return Tokenizer(text).Run();
}

std::optional<std::string> HtmlAttribute(const HtmlToken& token, const char* name) {
  if (!name || token.text.empty() || token.text[0] != '<') return std::nullopt;
  bool closing = false;
  std::size_t name_end = 0;
  TagName(token.text.c_str(), &closing, &name_end);
  const char* p = token.text.c_str() + name_end;
  const std::size_t name_length = std::strlen(name);
  while (*p) {
    while (IsBlank(*p) || *p == '/') ++p;
    if (!*p || *p == '>') break;
    const char* attribute = p;
    while (*p && !IsBlank(*p) && *p != '=' && *p != '>') ++p;
    const std::size_t attribute_length = static_cast<std::size_t>(p - attribute);
    while (IsBlank(*p)) ++p;
    std::string value;
    if (*p == '=') {
      ++p;
      while (IsBlank(*p)) ++p;
      if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
          if (*p == '\\' && p[1] == '"') ++p;
          value += *p;
        }
        if (*p) ++p;
      } else if (*p == '\'') {
        for (++p; *p && *p != '\''; ++p) value += *p;
        if (*p) ++p;
      } else {
        while (*p && !IsBlank(*p) && *p != '>') value += *p++;
      }
    }
    if (attribute_length == name_length && StartsWithNoCase(attribute, name)) return value;
  }
  return std::nullopt;
}

const HtmlToken* HtmlFindToken(const HtmlTokenList& tokens, int kind) {
  for (const HtmlToken& token : tokens) {
    if (token.kind == kind) return &token;
  }
  return nullptr;
}
