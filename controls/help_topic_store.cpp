#include "controls/help_topic_store.h"

#include <cstdio>

#include "common/owners.h"

namespace {

// An index file holds one 32-bit offset per topic number, and no more.
constexpr std::size_t kMaxIndexFileBytes = (std::size_t(kMaxTopicNumber) + 2) * 4;

}  // namespace

bool ReadWholeFile(const std::string& path, std::size_t max_size, std::string* content) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  std::string text;
  char piece[4096];
  std::size_t got = 0;
  while ((got = std::fread(piece, 1, sizeof piece, file.get())) > 0) {
    if (got > max_size - text.size()) return false;
    text.append(piece, got);
  }
  if (std::ferror(file.get())) return false;
  *content = std::move(text);
  return true;
}

bool HelpTopicStore::ReadDocument() {
  if (!ReadWholeFile(document_path_, kMaxHelpDocumentBytes, &document_)) return false;
  head_ = ReadDocumentHead(document_, html_mode_);
  return true;
}

bool HelpTopicStore::Open(const std::string& document_path, const std::string& index_path, bool html_mode,
                          IndexFileWriter writer) {
  document_path_ = document_path;
  index_path_ = index_path;
  html_mode_ = html_mode;
  writer_ = writer;
  index_rebuilt_ = false;
  index_saved_ = false;
  if (!ReadDocument()) return false;
  std::string bytes;
  if (ReadWholeFile(index_path_, kMaxIndexFileBytes, &bytes)) {
    index_ = DecodeTopicIndex(bytes);
  } else {
    Rebuild();
  }
  return true;
}

void HelpTopicStore::Rebuild() {
  index_rebuilt_ = true;
  // The document may have changed since the index was made from it.
  ReadDocument();
  index_ = BuildTopicIndex(document_);
  index_saved_ = writer_ != nullptr && writer_(index_path_, EncodeTopicIndex(index_));
}

TopicText HelpTopicStore::Extract(int number) {
  TopicText topic = ExtractTopicText(document_, index_, number, html_mode_, false);
  if (topic.lookup == TopicLookup::kFound || index_rebuilt_) {
    if (topic.lookup == TopicLookup::kStale) topic = ExtractTopicText(document_, index_, number, html_mode_, true);
    return topic;
  }
  Rebuild();
  return ExtractTopicText(document_, index_, number, html_mode_, true);
}
