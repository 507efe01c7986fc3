#include "common/language_text.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <string_view>

#include "common/format_directives.h"

namespace {

bool StartsWith(std::string_view line, std::string_view prefix) { return line.substr(0, prefix.size()) == prefix; }

// Leading blanks, an optional sign, digits; 0 when there are none.  Values
// beyond the range of int are clamped rather than wrapped.
int ParseDecimal(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  long long value = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::string ReplaceEscapes(std::string_view line) {
  std::string out;
  out.reserve(line.size());
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) {
      char next = line[i + 1];
      char replacement = next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : 0;
      if (replacement) {
        out += replacement;
        ++i;
        continue;
      }
    }
    out += line[i];
  }
  return out;
}

void RemoveBraces(std::string* text) {
  std::string kept;
  kept.reserve(text->size());
  for (char c : *text) {
    if (c != '{' && c != '}') kept += c;
  }
  text->swap(kept);
}

std::string LowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

class Parser {
 public:
  explicit Parser(const char* product_name) : product_name_(product_name ? product_name : "") {}

  void Line(std::string_view raw) {
    if (raw.empty() || raw[0] == ';') return;
    std::string line = raw.find('\\') != std::string_view::npos ? ReplaceEscapes(raw) : std::string(raw);
    std::string_view view(line);
    if (StartsWith(view, "<")) {
      context_id_ = ParseDecimal(view.substr(1));
    } else if (StartsWith(view, "E=")) {
      Source(view.substr(2));
    } else if (StartsWith(view, "T=")) {
      Translation(view.substr(2));
    } else if (StartsWith(view, "F_FACE=")) {
      result_.font_face = std::string(view.substr(7));
    } else if (StartsWith(view, "F_WIDTH=")) {
      result_.font_width = ParseDecimal(view.substr(8));
    } else if (StartsWith(view, "F_HEIGHT=")) {
      result_.font_height = ParseDecimal(view.substr(9));
    } else if (StartsWith(view, "lang=")) {
      result_.code = LowerCase(view.substr(5));
      keep_braces_ = *result_.code == "jp";
    }
  }

  LanguageText Finish() { return std::move(result_); }

 private:
  void Source(std::string_view text) {
    pending_key_.assign(text.data(), text.size());
    std::size_t macro = pending_key_.find("%PRODUCT%");
    if (macro != std::string::npos) pending_key_.replace(macro, 9, product_name_);
    RemoveBraces(&pending_key_);
    plain_key_length_ = std::string::npos;
    if (context_id_ != 0) {
      plain_key_length_ = pending_key_.size();
      pending_key_ += ':';
      pending_key_ += std::to_string(context_id_);
    }
  }

  void Translation(std::string_view text) {
    if (pending_key_.empty()) return;
    if (text != "*") {
      std::string translation(text);
      if (!keep_braces_) RemoveBraces(&translation);
      const std::size_t english_length =
          plain_key_length_ != std::string::npos ? plain_key_length_ : pending_key_.size();
      if (!SameFormatDirectives(std::string_view(pending_key_).substr(0, english_length), translation)) {
        result_.rejected.push_back(pending_key_);
        pending_key_.clear();
        return;
      }
      result_.translations.Enter(pending_key_.c_str(), translation.c_str());
      // A text that belongs to a dialog also serves wherever the same English
      // text appears without one.  Only the dialog suffix is cut: an English
      // text that itself holds a colon ("Error: %s") must not stand in for
      // the text before its colon.
      if (plain_key_length_ != std::string::npos && plain_key_length_ > 0) {
        result_.translations.Enter(pending_key_.substr(0, plain_key_length_).c_str(), translation.c_str());
      }
    }
    pending_key_.clear();
  }

  std::string product_name_;
  LanguageText result_;
  std::string pending_key_;
  std::size_t plain_key_length_ = std::string::npos;
  int context_id_ = 0;
  bool keep_braces_ = false;
};

}  // namespace

LanguageText ParseLanguageText(const char* text, const char* product_name) {
  Parser parser(product_name);
  if (!text) return parser.Finish();
  const char* pos = text;
  while (*pos) {
    const char* end = pos;
    while (*end && !IsLineEnd(*end)) ++end;
    parser.Line(std::string_view(pos, static_cast<std::size_t>(end - pos)));
    pos = end;
    while (IsLineEnd(*pos)) ++pos;
  }
  return parser.Finish();
}
