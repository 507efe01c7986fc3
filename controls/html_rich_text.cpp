#include "controls/html_rich_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "common/html_text.h"
#include "controls/html_tags.h"
#include "controls/html_tokens.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool NameIs(int kind, const char* name) {
  const int id = kind < 0 ? -kind : kind;
  const char* tag = HtmlTagName(id);
  return tag != nullptr && std::strcmp(tag, name) == 0;
}

bool IsHeading(int kind) {
  return NameIs(kind, "H1") || NameIs(kind, "H2") || NameIs(kind, "H3") || NameIs(kind, "H4") || NameIs(kind, "H5") ||
         NameIs(kind, "H6");
}

bool IsBlock(int kind) {
  static const char* const kBlocks[] = {"P",  "DIV",    "UL", "OL",  "DL",      "DT",         "DD",     "TABLE",
                                        "TR", "CENTER", "HR", "PRE", "ADDRESS", "BLOCKQUOTE", "CAPTION"};
  for (const char* name : kBlocks) {
    if (NameIs(kind, name)) return true;
  }
  return false;
}

// The character an entity stands for, or nullopt for an unknown one.
std::optional<unsigned char> DecodeEntity(const std::string& entity) {
  if (entity.size() > 3 && entity[1] == '#') {
    const bool hex = entity[2] == 'x' || entity[2] == 'X';
    char* end = nullptr;
    const long code = std::strtol(entity.c_str() + (hex ? 3 : 2), &end, hex ? 16 : 10);
    if (end == nullptr || *end != ';') return std::nullopt;
    // Outside the 8-bit page the character cannot be shown as it is.
    return code > 0 && code < 256 ? static_cast<unsigned char>(code) : static_cast<unsigned char>('?');
  }
  std::vector<char> copy(entity.begin(), entity.end());
  copy.push_back('\0');
  HtmlDecodeEntities(copy.data());
  if (std::strlen(copy.data()) != 1) return std::nullopt;
  return static_cast<unsigned char>(copy[0]);
}

class RichTextWriter {
 public:
  explicit RichTextWriter(int code_page) {
    char header[160];
    std::snprintf(header, sizeof(header),
                  "{\\rtf1\\ansi\\ansicpg%d\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
                  "\\f0\\fs20 ",
                  code_page);
    out_ = header;
  }

  void Run(const HtmlTokenList& tokens) {
    // A fragment without a BODY tag is all body.
    bool in_body = !HasBody(tokens);
    for (const HtmlToken& token : tokens) {
      if (token.kind > 0 && token.kind <= kHtmlTagCount && NameIs(token.kind, "BODY")) in_body = true;
      if (token.kind < 0 && NameIs(token.kind, "HEAD")) in_body = true;
      if (!in_body) continue;
      if (token.kind == kHtmlTextToken) {
        Text(token.text);
      } else if (token.kind == kHtmlEntityToken) {
        const std::optional<unsigned char> decoded = DecodeEntity(token.text);
        if (decoded) {
          Character(*decoded);
        } else {
          Text(token.text);
        }
      } else if (token.kind != kHtmlCommentToken && token.kind != kHtmlScriptBodyToken &&
                 token.kind != kHtmlStyleBodyToken && token.kind != kHtmlOtherTagToken) {
        Tag(token);
      }
    }
    CloseLink();
    out_ += "}";
  }

  const std::string& result() const { return out_; }

 private:
  static bool HasBody(const HtmlTokenList& tokens) {
    for (const HtmlToken& token : tokens) {
      if (token.kind > 0 && token.kind <= kHtmlTagCount && NameIs(token.kind, "BODY")) return true;
    }
    return false;
  }

  void Tag(const HtmlToken& token) {
    const int kind = token.kind;
    const bool opening = kind > 0;
    if (NameIs(kind, "TITLE")) {
      in_title_ = opening;
    } else if (NameIs(kind, "BR")) {
      Raw("\\line ");
      at_line_start_ = true;
    } else if (NameIs(kind, "LI")) {
      Paragraph();
      if (opening) Raw("\\bullet\\tab ");
    } else if (IsHeading(kind)) {
      Paragraph();
      Raw(opening ? "\\b\\fs28 " : (bold_ > 0 ? "\\fs20 " : "\\b0\\fs20 "));
    } else if (NameIs(kind, "PRE")) {
      Paragraph();
      Raw(opening ? "\\f1 " : "\\f0 ");
      pre_ = opening;
    } else if (IsBlock(kind)) {
      Paragraph();
    } else if (NameIs(kind, "TD") || NameIs(kind, "TH")) {
      if (opening) Raw("\\tab ");
    } else if (NameIs(kind, "B") || NameIs(kind, "STRONG")) {
      Toggle(&bold_, opening, "\\b ", "\\b0 ");
    } else if (NameIs(kind, "I") || NameIs(kind, "EM") || NameIs(kind, "CITE")) {
      Toggle(&italic_, opening, "\\i ", "\\i0 ");
    } else if (NameIs(kind, "U")) {
      Toggle(&underline_, opening, "\\ul ", "\\ulnone ");
    } else if (NameIs(kind, "A")) {
      CloseLink();
      if (opening) OpenLink(token);
    }
  }

  void Toggle(int* depth, bool opening, const char* on, const char* off) {
    if (opening) {
      if ((*depth)++ == 0) Raw(on);
    } else if (*depth > 0 && --*depth == 0) {
      Raw(off);
    }
  }

  // The link stays markup for the viewer; an address it could not read back
  // (quotes of both kinds, or a ">") makes the link plain text.
  void OpenLink(const HtmlToken& token) {
    const std::optional<std::string> href = HtmlAttribute(token, "HREF");
    if (!href || href->empty() || href->find('>') != std::string::npos) return;
    const bool has_double = href->find('"') != std::string::npos;
    if (has_double && href->find('\'') != std::string::npos) return;
    const char quote = has_double ? '\'' : '"';
    Separate();
    Characters(std::string("<A HREF=") + quote + *href + quote + ">");
    link_open_ = true;
  }

  void CloseLink() {
    if (!link_open_) return;
    Characters("</A>");
    link_open_ = false;
  }

  void Paragraph() {
    pending_space_ = false;
    if (at_paragraph_start_) return;
    Raw("\\par ");
    at_paragraph_start_ = true;
    at_line_start_ = true;
  }

  void Text(const std::string& text) {
    if (in_title_) return;
    for (char c : text) {
      if (pre_) {
        if (c == '\r') continue;
        if (c == '\n') {
          Raw("\\line ");
          at_line_start_ = true;
          continue;
        }
        Character(static_cast<unsigned char>(c));
      } else if (IsBlank(c)) {
        pending_space_ = !at_line_start_;
      } else {
        Character(static_cast<unsigned char>(c));
      }
    }
  }

  void Separate() {
    if (pending_space_) {
      out_ += ' ';
      pending_space_ = false;
    }
  }

  void Characters(const std::string& text) {
    for (char c : text) Character(static_cast<unsigned char>(c));
  }

  void Character(unsigned char c) {
    if (in_title_) return;
    Separate();
    at_paragraph_start_ = false;
    at_line_start_ = false;
    if (c == '\\' || c == '{' || c == '}') {
      out_ += '\\';
      out_ += static_cast<char>(c);
    } else if (c == 0xA0) {
      out_ += "\\~";
    } else if (c < 0x20) {
      out_ += ' ';
    } else if (c > 0x7E) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\'%02x", c);
      out_ += escaped;
    } else {
      out_ += static_cast<char>(c);
    }
  }

  void Raw(const char* control) { out_ += control; }

  std::string out_;
  int bold_ = 0;
  int italic_ = 0;
  int underline_ = 0;
  bool pre_ = false;
  bool in_title_ = false;
  bool link_open_ = false;
  bool pending_space_ = false;
  bool at_paragraph_start_ = true;
  bool at_line_start_ = true;
};

}  // namespace

std::string HtmlToRichText(const char* html, int code_page) {
  RichTextWriter writer(code_page);
  writer.Run(HtmlTokenize(html));
  return writer.result();
}
