// The numbered topics of a help or tips document.
//
// A document holds many topics in one file.  A topic starts at its marker, a
// "#" followed by its decimal number; a "#" right after a double quote, "="
// ":" or "&", or two characters after a ":", belongs to a link, an attribute or an
// address and is no marker.  The topic index keeps, per topic number, the
// file offset of its marker (0: no such topic) and is stored beside the
// document as raw 32-bit little-endian offsets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using TopicIndex = std::vector<std::uint32_t>;

// Topic numbers beyond this are not topics: they would make the index file
// (four bytes per number) grow without bound.
constexpr int kMaxTopicNumber = 32767;
// A fresh index file holds this many slots even when the document has fewer.
constexpr int kIndexFileSlots = 5000;

// True when a marker starts at `pos`; *number gets its value, or a value
// above kMaxTopicNumber when the digits run past it.  *digits (optional)
// gets the count of digits.
bool TopicMarkerAt(std::string_view text, std::size_t pos, int* number, int* digits = nullptr);
// The position of the first marker at or after `from`, or npos.
std::size_t FindTopicMarker(std::string_view text, std::size_t from);

// Scans the document: everything before the first marker with fewer than
// four digits is skipped (colour values and the like in the head), then
// every marker records its offset under its number.
TopicIndex BuildTopicIndex(std::string_view document);

// The index file's bytes (at least kIndexFileSlots slots) and back; a
// trailing partial slot is ignored.
std::string EncodeTopicIndex(const TopicIndex& index);
TopicIndex DecodeTopicIndex(std::string_view bytes);

// Code page in which the document's text reaches the browser control.
constexpr int kDefaultDocumentCodePage = 1252;
// The code page of a "charset" declaration in `line` (its attribute value,
// quoted or not); the default when there is none or it names no known set.
int CharsetCodePage(std::string_view line);

struct DocumentHead {
  std::string text;  // HTML: lower-cased, through the "<body...>" tag; else up to the first "#"
  int code_page = kDefaultDocumentCodePage;
};
// A head longer than this is cut (the document is then shown without the
// rest of it).
constexpr std::size_t kMaxHeadBytes = 30000;
DocumentHead ReadDocumentHead(std::string_view document, bool html_mode);

enum class TopicLookup {
  kFound,
  kNoTopic,  // the index has no such topic
  kStale,    // the index points at a line that is not this topic's marker
};

struct TopicText {
  TopicLookup lookup = TopicLookup::kNoTopic;
  std::string text;               // the topic's own text (no head)
  std::uint32_t next_offset = 0;  // index value of topic n + 1
};

// Cuts topic `number` out of the document.  With `accept_any_line` (after a
// rebuild of the index) the line found is used even when it does not start
// with the topic's marker.
TopicText ExtractTopicText(std::string_view document, const TopicIndex& index, int number, bool html_mode,
                           bool accept_any_line);

// What goes around a topic when it is shown.
struct TopicMacros {
  const char* language_code = nullptr;  // "%LANG%"; null or empty: none
  const char* cookie = nullptr;         // "%ID%"; null: none
  const char* product = nullptr;        // "$PRODUCT"; null: empty
};
// Head + topic with its macros expanded + the closing text ("</BODY></HTML>",
// or "}" closing the rich text group opened in the head).
std::string ComposeTopic(const std::string& head, const std::string& topic, bool html_mode, const TopicMacros& macros);
