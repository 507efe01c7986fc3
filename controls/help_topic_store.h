// One help or tips document with its topic index: the index is read from
// the file beside the document, built when that file is missing, and built
// again (once) when it turns out not to match the document.  A built index
// is kept in memory whether or not its file could be written.
#pragma once

#include <cstddef>
#include <string>

#include "controls/help_topics.h"

// Writes the index file's bytes in place of the old file; false on failure.
using IndexFileWriter = bool (*)(const std::string& path, const std::string& bytes);

class HelpTopicStore {
 public:
  // Reads the document and its head, and the index (building it when its
  // file is missing).  False when the document cannot be read.
  bool Open(const std::string& document_path, const std::string& index_path, bool html_mode, IndexFileWriter writer);

  // Topic `number`'s own text; kFound, or kNoTopic when the document has no
  // such topic.
  TopicText Extract(int number);

  const DocumentHead& head() const { return head_; }
  bool html_mode() const { return html_mode_; }
  bool index_rebuilt() const { return index_rebuilt_; }
  // Whether the last built index reached its file.
  bool index_saved() const { return index_saved_; }
  const TopicIndex& index() const { return index_; }

 private:
  bool ReadDocument();
  void Rebuild();

  std::string document_path_;
  std::string index_path_;
  IndexFileWriter writer_ = nullptr;
  std::string document_;
  DocumentHead head_;
  TopicIndex index_;
  bool html_mode_ = false;
  bool index_rebuilt_ = false;
  bool index_saved_ = false;
};

// Help documents past this size are not read: no real one comes near it, and
// reading one of some hundred megabytes would exhaust the address space.
constexpr std::size_t kMaxHelpDocumentBytes = 16u << 20;

// Reads a whole file of at most `max_size` bytes; false when it cannot be
// opened or read, or is larger.
bool ReadWholeFile(const std::string& path, std::size_t max_size, std::string* content);
