// Feeds arbitrary documents to the topic index and extraction: nothing may
// crash, every indexed topic starts at a marker of its own number, its text
// comes from the document, and the index survives its file format.
// fuzz-seeds: tests/controls/help_documents/good tests/controls/help_documents/bad
#include <cstdint>
#include <cstdlib>
#include <string>

#include "controls/help_topics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool html_mode = (data[0] & 1) != 0;
  const std::string document(reinterpret_cast<const char*>(data) + 1, size - 1);
  const DocumentHead head = ReadDocumentHead(document, html_mode);
  if (head.text.size() > kMaxHeadBytes) std::abort();
  const TopicIndex index = BuildTopicIndex(document);
  if (index.size() > kMaxTopicNumber + 1u) std::abort();
  if (DecodeTopicIndex(EncodeTopicIndex(index)).size() < index.size()) std::abort();
  for (std::size_t n = 1; n < index.size(); ++n) {
    if (index[n] == 0) continue;
    int number = 0;
    if (!TopicMarkerAt(document, index[n], &number) || number != static_cast<int>(n)) std::abort();
    const TopicText topic = ExtractTopicText(document, index, static_cast<int>(n), html_mode, false);
    if (topic.lookup != TopicLookup::kFound) std::abort();
    if (topic.text.size() > document.size()) std::abort();
    // Skipped lines make the text non-contiguous, but each line is the document's.
    const std::string first_line = topic.text.substr(0, topic.text.find('\n'));
    if (document.find(first_line) == std::string::npos) std::abort();
    ComposeTopic(head.text, topic.text, html_mode, TopicMacros());
  }
  // A stale or hostile index must not read outside the document.
  const TopicIndex garbage = DecodeTopicIndex(document);
  for (std::size_t n = 1; n < garbage.size() && n < 64; ++n) {
    ExtractTopicText(document, garbage, static_cast<int>(n), html_mode, (n & 1) != 0);
  }
  return 0;
}
