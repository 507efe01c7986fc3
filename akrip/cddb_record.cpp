#include "akrip/cddb_record.h"

#include <algorithm>
#include <unordered_map>

#include "akrip/cddb_protocol.h"

namespace akrip {
namespace {

struct RecordLine {
  bool comment = false;
  std::string key;
  std::string value;  // still escaped while lines are joined
};

std::string Unescape(const std::string& value) {
  std::string text;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\\' && i + 1 < value.size()) {
      const char next = value[i + 1];
      if (next == 'n' || next == 't' || next == '\\') {
        text += next == 'n' ? ' ' : next == 't' ? '\t' : '\\';
        ++i;
        continue;
      }
    }
    text += c;
  }
  return text;
}

// Control characters other than the tab would break the line structure or
// show as garbage.
std::string WithoutControls(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = ' ';
  }
  return text;
}

bool IsExtendedKey(const std::string& key) {
  return key == "EXTD" || key == "PLAYORDER" || key.compare(0, 4, "EXTT") == 0;
}

std::string Join(const std::vector<RecordLine>& lines, bool keep_comments, bool keep_extended, size_t capacity) {
  std::string record;
  for (const RecordLine& line : lines) {
    if (line.comment && !keep_comments) continue;
    if (!line.comment && !keep_extended && IsExtendedKey(line.key)) continue;
    const std::string text = (line.comment ? line.value : line.key + "=" + line.value) + "\n";
    if (record.size() + text.size() + 1 > capacity) break;
    record += text;
  }
  return record;
}

size_t JoinedSize(const std::vector<RecordLine>& lines, bool keep_comments, bool keep_extended) {
  size_t size = 1;
  for (const RecordLine& line : lines) {
    if (line.comment && !keep_comments) continue;
    if (!line.comment && !keep_extended && IsExtendedKey(line.key)) continue;
    size += (line.comment ? line.value.size() : line.key.size() + 1 + line.value.size()) + 1;
  }
  return size;
}

// Cuts the longest values down to one common length, the greatest that lets
// every line fit, so that a long record loses the ends of its longest values
// rather than whole lines (and with them track titles).  False when even the
// keys alone do not fit.
bool CutValuesToFit(std::vector<RecordLine>* lines, size_t capacity, const TextCodec& codec) {
  size_t keys_size = 1;
  size_t longest = 0;
  for (const RecordLine& line : *lines) {
    if (line.comment || IsExtendedKey(line.key)) continue;
    keys_size += line.key.size() + 2;
    longest = std::max(longest, line.value.size());
  }
  if (keys_size > capacity) return false;
  const size_t budget = capacity - keys_size;
  auto needed = [lines](size_t limit) {
    size_t total = 0;
    for (const RecordLine& line : *lines) {
      if (line.comment || IsExtendedKey(line.key)) continue;
      total += std::min(line.value.size(), limit);
    }
    return total;
  };
  size_t low = 0, high = longest;
  while (low < high) {
    const size_t middle = low + (high - low + 1) / 2;
    if (needed(middle) <= budget) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  for (RecordLine& line : *lines) {
    if (line.value.size() > low) line.value = CutText(line.value, low, codec);
  }
  return true;
}

}  // namespace

TextCodec Utf8Codec() {
  return {[](const std::string& utf8) { return utf8; }, [](unsigned char) { return false; }};
}

std::string CutText(const std::string& text, size_t max_bytes, const TextCodec& codec) {
  size_t length = 0;
  while (length < text.size()) {
    const size_t step = codec.is_lead_byte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + step > max_bytes || length + step > text.size()) break;
    length += step;
  }
  return text.substr(0, length);
}

std::string BuildDiscRecord(const std::vector<std::string>& reply_lines, const TextCodec& codec, size_t capacity) {
  std::vector<RecordLine> lines;
  std::unordered_map<std::string, size_t> first_of_key;
  for (const std::string& raw : reply_lines) {
    if (!raw.empty() && raw[0] == '#') {
      RecordLine comment;
      comment.comment = true;
      comment.value = raw;
      lines.push_back(comment);
      continue;
    }
    const size_t equals = raw.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    RecordLine line;
    line.key = raw.substr(0, equals);
    line.value = raw.substr(equals + 1);
    auto first = first_of_key.find(line.key);
    if (first != first_of_key.end()) {
      lines[first->second].value += line.value;
    } else {
      first_of_key.emplace(line.key, lines.size());
      lines.push_back(line);
    }
  }
  for (RecordLine& line : lines) {
    line.value = WithoutControls(codec.from_utf8(AsUtf8(line.comment ? line.value : Unescape(line.value))));
    if (!line.comment) line.key = WithoutControls(codec.from_utf8(AsUtf8(line.key)));
  }
  if (capacity == 0) return "";
  if (JoinedSize(lines, true, true) <= capacity) return Join(lines, true, true, capacity);
  if (JoinedSize(lines, false, true) <= capacity) return Join(lines, false, true, capacity);
  if (JoinedSize(lines, false, false) > capacity) CutValuesToFit(&lines, capacity, codec);
  return Join(lines, false, false, capacity);
}

}  // namespace akrip
