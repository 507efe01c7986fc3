#include "controls/help_topics.h"

#include <algorithm>
#include <cctype>

#include "common/link_macros.h"
#include "common/text_buf.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// [start, end) of the line at `pos`, the line break included.
std::size_t LineEnd(std::string_view text, std::size_t pos) {
  const std::size_t newline = text.find('\n', pos);
  return newline == std::string_view::npos ? text.size() : newline + 1;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

std::size_t FindIgnoringCase(std::string_view text, std::string_view word, std::size_t from) {
  if (word.empty() || text.size() < word.size()) return std::string_view::npos;
  for (std::size_t i = from; i + word.size() <= text.size(); ++i) {
    bool same = true;
    for (std::size_t k = 0; k < word.size() && same; ++k) same = Lower(text[i + k]) == Lower(word[k]);
    if (same) return i;
  }
  return std::string_view::npos;
}

// Where a "//" that ends a topic starts in [from, to), or npos.  Slashes
// after ":" belong to an address ("http://", "file:///") and are passed over.
std::size_t FindTopicEndSlashes(std::string_view text, std::size_t from, std::size_t to) {
  std::size_t i = from;
  while (i + 1 < to) {
    if (text[i] == '/' && text[i + 1] == '/') {
      if (i > 0 && text[i - 1] == ':') {
        while (i < to && text[i] == '/') ++i;
        continue;
      }
      return i;
    }
    ++i;
  }
  return std::string_view::npos;
}

// The search stops at `to`: scanning on to the next marker of the document
// for every line of a long topic would make cutting it out quadratic.  A
// marker's digits never cross `to`, which is a line end or the "//" after them.
std::size_t FindMarkerBefore(std::string_view text, std::size_t from, std::size_t to) {
  return FindTopicMarker(text.substr(0, to), from);
}

}  // namespace

bool TopicMarkerAt(std::string_view text, std::size_t pos, int* number, int* digits) {
  if (pos + 1 >= text.size() || text[pos] != '#' || !IsDigit(text[pos + 1])) return false;
  if (pos >= 1) {
    const char before = text[pos - 1];
    // "&#169;" is a character reference, not topic 169.
    if (before == '"' || before == '=' || before == ':' || before == '&') return false;
  }
  if (pos >= 2 && text[pos - 2] == ':') return false;
  int value = 0;
  int count = 0;
  for (std::size_t i = pos + 1; i < text.size() && IsDigit(text[i]); ++i, ++count) {
    if (value <= kMaxTopicNumber) value = value * 10 + (text[i] - '0');
  }
  if (number) *number = value;
  if (digits) *digits = count;
  return true;
}

std::size_t FindTopicMarker(std::string_view text, std::size_t from) {
  for (std::size_t pos = text.find('#', from); pos != std::string_view::npos; pos = text.find('#', pos + 1)) {
    if (TopicMarkerAt(text, pos, nullptr)) return pos;
  }
  return std::string_view::npos;
}

TopicIndex BuildTopicIndex(std::string_view document) {
  TopicIndex index(kIndexFileSlots, 0);
  // Offsets are 32-bit in the index file; a larger document keeps the topics
  // that start within reach.
  const std::size_t limit = std::min<std::size_t>(document.size(), UINT32_MAX);
  bool started = false;
  for (std::size_t pos = FindTopicMarker(document, 0); pos < limit; pos = FindTopicMarker(document, pos + 1)) {
    int number = 0;
    int digits = 0;
    TopicMarkerAt(document, pos, &number, &digits);
    if (!started) {
      if (digits >= 4) continue;
      started = true;
    }
    if (number < 1 || number > kMaxTopicNumber) continue;
    const auto slot = static_cast<std::size_t>(number);
    if (slot >= index.size()) index.resize(slot + 1, 0);
    index[slot] = static_cast<std::uint32_t>(pos);
  }
  return index;
}

std::string EncodeTopicIndex(const TopicIndex& index) {
  const std::size_t slots = std::max<std::size_t>(index.size(), kIndexFileSlots);
  std::string bytes(slots * 4, '\0');
  for (std::size_t n = 0; n < index.size(); ++n) {
    for (std::size_t b = 0; b < 4; ++b) bytes[n * 4 + b] = static_cast<char>((index[n] >> (8 * b)) & 0xFF);
  }
  return bytes;
}

TopicIndex DecodeTopicIndex(std::string_view bytes) {
  const std::size_t slots = std::min<std::size_t>(bytes.size() / 4, kMaxTopicNumber + 2);
  TopicIndex index(slots, 0);
  for (std::size_t n = 0; n < slots; ++n) {
    std::uint32_t value = 0;
    for (std::size_t b = 4; b-- > 0;) value = (value << 8) | static_cast<unsigned char>(bytes[n * 4 + b]);
    index[n] = value;
  }
  return index;
}

int CharsetCodePage(std::string_view line) {
  for (std::size_t at = FindIgnoringCase(line, "charset", 0); at != std::string_view::npos;
       at = FindIgnoringCase(line, "charset", at + 1)) {
    std::size_t i = at + 7;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size() || line[i] != '=') continue;
    ++i;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < line.size() && (line[i] == '"' || line[i] == '\'')) ++i;
    std::size_t end = i;
    while (end < line.size() && std::string_view("\"'; \t>/\r\n").find(line[end]) == std::string_view::npos) ++end;
    const std::string_view value = line.substr(i, end - i);
    if (value.size() == 9 && FindIgnoringCase(value, "shift_jis", 0) == 0) return 932;
    return kDefaultDocumentCodePage;
  }
  return kDefaultDocumentCodePage;
}

DocumentHead ReadDocumentHead(std::string_view document, bool html_mode) {
  DocumentHead head;
  std::string& text = head.text;
  for (std::size_t pos = 0; pos < document.size() && text.size() < kMaxHeadBytes;) {
    const std::size_t end = LineEnd(document, pos);
    std::string line(document.substr(pos, end - pos));
    pos = end;
    if (!html_mode) {
      const std::size_t hash = line.find('#');
      if (hash != std::string::npos) {
        text += line.substr(0, hash);
        break;
      }
      text += line;
      continue;
    }
    // Without a body tag the head ends where the first topic begins.
    if (FindTopicMarker(line, 0) != std::string::npos && line.find("<body") == std::string::npos) break;
    std::transform(line.begin(), line.end(), line.begin(), Lower);
    if (line.find("charset") != std::string::npos) head.code_page = CharsetCodePage(line);
    const std::size_t body = line.find("<body");
    if (body != std::string::npos) {
      const std::size_t close = line.find('>', body);
      if (close == std::string::npos) {
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        line += '>';
      } else {
        line.resize(close + 1);
      }
      text += line;
      break;
    }
    text += line;
  }
  if (text.size() > kMaxHeadBytes) text.resize(kMaxHeadBytes);
  return head;
}

TopicText ExtractTopicText(std::string_view document, const TopicIndex& index, int number, bool html_mode,
                           bool accept_any_line) {
  TopicText result;
  if (number < 1) return result;
  const auto slot = static_cast<std::size_t>(number);
  if (slot >= index.size() || index[slot] == 0) return result;
  const std::size_t offset = index[slot];
  if (slot + 1 < index.size()) result.next_offset = index[slot + 1];
  if (offset >= document.size()) {
    result.lookup = accept_any_line ? TopicLookup::kNoTopic : TopicLookup::kStale;
    return result;
  }
  int found_number = 0;
  // The index records markers only, so the characters before this one do
  // not matter here.
  const bool at_marker = TopicMarkerAt(document.substr(offset), 0, &found_number);
  if (!(at_marker && found_number == number) && !accept_any_line) {
    result.lookup = TopicLookup::kStale;
    return result;
  }

  std::string& text = result.text;
  const std::size_t first_end = LineEnd(document, offset);
  std::size_t pos = first_end;
  if (html_mode) {
    std::size_t start = offset;
    if (document[start] == '#') {
      ++start;
      while (start < first_end && IsDigit(document[start])) ++start;
    }
    const std::size_t next_marker = FindMarkerBefore(document, start, first_end);
    if (next_marker != std::string_view::npos) {
      text.assign(document.substr(start, next_marker - start));
      result.lookup = TopicLookup::kFound;
      return result;
    }
    text.assign(document.substr(start, first_end - start));
  }

  while (pos < document.size()) {
    const std::size_t end = LineEnd(document, pos);
    const std::string_view line = document.substr(pos, end - pos);
    const std::size_t line_start = pos;
    pos = end;
    if (!html_mode && StartsWith(line, "\\par //")) continue;
    if (StartsWith(line, "\\par #") || StartsWith(line, "\\par |")) {
      if (line.size() > 6 && IsDigit(line[6])) break;
      continue;
    }
    const std::size_t slashes = FindTopicEndSlashes(document, line_start, end);
    if (slashes != std::string_view::npos) {
      const std::size_t marker = FindMarkerBefore(document, line_start, slashes);
      const std::size_t cut = marker != std::string_view::npos ? marker : slashes;
      text.append(document.substr(line_start, cut - line_start));
      break;
    }
    if (FindMarkerBefore(document, line_start, end) != std::string_view::npos) break;
    text.append(line);
  }
  result.lookup = TopicLookup::kFound;
  return result;
}

std::string ComposeTopic(const std::string& head, const std::string& topic, bool html_mode, const TopicMacros& macros) {
  TextBuf expanded = nullptr;
  TextAssign(&expanded, topic.c_str());
  ExpandLinkMacrosWith(&expanded, macros.language_code, macros.cookie);
  TextReplaceAll(&expanded, "$PRODUCT", macros.product != nullptr ? macros.product : "");
  std::string composed = head;
  if (expanded != nullptr) composed += expanded;
  TextFree(&expanded);
  composed += html_mode ? "</BODY></HTML>" : "}";
  return composed;
}
