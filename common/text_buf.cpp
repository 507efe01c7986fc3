#include "common/text_buf.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr int kMaxCapacity = std::numeric_limits<std::int32_t>::max() - 16;

TextBufHeader* HeaderOf(char* text) { return reinterpret_cast<TextBufHeader*>(text - sizeof(TextBufHeader)); }
const TextBufHeader* HeaderOf(const char* text) {
  return reinterpret_cast<const TextBufHeader*>(text - sizeof(TextBufHeader));
}
char* TextOf(TextBufHeader* header) { return reinterpret_cast<char*>(header + 1); }

void SetLength(char* text, int length) {
  HeaderOf(text)->length = length;
  text[length] = '\0';
}

bool PointsInto(const char* text, const char* p) {
  if (!text || !p) return false;
  const char* begin = text;
  const char* end = text + HeaderOf(text)->capacity + 1;
  return p >= begin && p < end;
}

// Makes room for `needed` characters, allocating or growing exactly to it.
// Returns false (buffer untouched) when memory or the size limit says no.
bool Reserve(TextBuf* buf, long long needed) {
  if (needed < 0 || needed > kMaxCapacity) return false;
  if (!*buf) {
    TextBuf fresh = TextAlloc(static_cast<int>(needed));
    if (!fresh) return false;
    *buf = fresh;
    return true;
  }
  if (HeaderOf(*buf)->capacity >= needed) return true;
  return TextGrow(buf, static_cast<int>(needed)) != nullptr;
}

// Copies `n` characters of `src` into the buffer at `offset`, where `src` may
// lie inside the buffer itself.  The buffer's length becomes offset + n.
char* PutAt(TextBuf* buf, int offset, const char* src, int n) {
  long long src_offset = -1;
  if (PointsInto(*buf, src)) src_offset = src - *buf;
  if (!Reserve(buf, static_cast<long long>(offset) + n)) return nullptr;
  if (src_offset >= 0) src = *buf + src_offset;
  std::memmove(*buf + offset, src, static_cast<std::size_t>(n));
  SetLength(*buf, offset + n);
  return *buf;
}

int LengthUntil(const char* text, char stop) {
  const char* end = std::strchr(text, stop);
  return static_cast<int>(end ? end - text : static_cast<std::ptrdiff_t>(std::strlen(text)));
}

int SafeLength(const char* text) {
  std::size_t n = std::strlen(text);
  return n > static_cast<std::size_t>(kMaxCapacity) ? -1 : static_cast<int>(n);
}

// A malloc copy of a text that may lie inside a block about to move.
class StableText {
 public:
  StableText(const char* buffer, const char* text) : text_(text ? text : "") {
    if (PointsInto(buffer, text_)) {
      copy_ = static_cast<char*>(std::malloc(std::strlen(text_) + 1));
      if (copy_) std::strcpy(copy_, text_);
      text_ = copy_;
    }
  }
  ~StableText() { std::free(copy_); }
  StableText(const StableText&) = delete;
  StableText& operator=(const StableText&) = delete;
  // Null when the copy could not be made.
  const char* get() const { return text_; }

 private:
  const char* text_;
  char* copy_ = nullptr;
};

// Replaces `search_len` characters at `at` by the replacement, growing
// exactly to the new length.  Returns the position after the insertion.
char* ReplaceAt(TextBuf* buf, int at, int search_len, const char* replacement) {
  StableText with(*buf, replacement);
  if (!with.get()) return nullptr;
  const std::size_t with_len = std::strlen(with.get());
  const int length = HeaderOf(*buf)->length;
  const long long new_length = static_cast<long long>(length) - search_len + static_cast<long long>(with_len);
  if (!Reserve(buf, new_length)) return nullptr;
  char* text = *buf;
  std::memmove(text + at + with_len, text + at + search_len, static_cast<std::size_t>(length - at - search_len));
  std::memcpy(text + at, with.get(), with_len);
  SetLength(text, static_cast<int>(new_length));
  return text + at + with_len;
}

}  // namespace

TextBuf TextAlloc(int capacity) {
  if (capacity < 0 || capacity > kMaxCapacity) return nullptr;
  void* block = std::malloc(sizeof(TextBufHeader) + static_cast<std::size_t>(capacity) + 1);
  if (!block) return nullptr;
  auto* header = static_cast<TextBufHeader*>(block);
  header->capacity = capacity;
  header->length = 0;
  char* text = TextOf(header);
  text[0] = '\0';
  return text;
}

char* TextGrow(TextBuf* buf, int new_capacity) {
  if (!buf || !*buf || new_capacity < 0 || new_capacity > kMaxCapacity) return nullptr;
  if (new_capacity < HeaderOf(*buf)->length) return nullptr;
  void* block = std::realloc(HeaderOf(*buf), sizeof(TextBufHeader) + static_cast<std::size_t>(new_capacity) + 1);
  if (!block) return nullptr;
  auto* header = static_cast<TextBufHeader*>(block);
  header->capacity = new_capacity;
  *buf = TextOf(header);
  return *buf;
}

void TextFree(TextBuf* buf) {
  if (!buf || !*buf) return;
  std::free(HeaderOf(*buf));
  *buf = nullptr;
}

int TextCapacity(const char* text) { return text ? HeaderOf(text)->capacity : 0; }
int TextLength(const char* text) { return text ? HeaderOf(text)->length : 0; }

char* TextAssign(TextBuf* buf, const char* text) {
  if (!buf) return nullptr;
  if (!text) text = "";
  int n = SafeLength(text);
  if (n < 0) return nullptr;
  return PutAt(buf, 0, text, n);
}

char* TextAssignN(TextBuf* buf, const char* text, int n) {
  if (!buf) return nullptr;
  if (!text || n <= 0) {
    if (*buf) SetLength(*buf, 0);
    return *buf;
  }
  const void* end = std::memchr(text, '\0', static_cast<std::size_t>(n));
  int count = end ? static_cast<int>(static_cast<const char*>(end) - text) : n;
  return PutAt(buf, 0, text, count);
}

char* TextAssignUntil(TextBuf* buf, const char* text, char stop) {
  if (!buf) return nullptr;
  if (!text) text = "";
  return PutAt(buf, 0, text, LengthUntil(text, stop));
}

char* TextAppend(TextBuf* buf, const char* text) {
  if (!buf) return nullptr;
  if (!text) return *buf;
  int n = SafeLength(text);
  if (n < 0) return nullptr;
  if (!*buf) {
    // A first append leaves room for one more character.
    TextBuf fresh = TextAlloc(n + 1);
    if (!fresh) return nullptr;
    *buf = fresh;
  }
  return PutAt(buf, HeaderOf(*buf)->length, text, n);
}

char* TextAppendUntil(TextBuf* buf, const char* text, char stop) {
  if (!buf) return nullptr;
  if (!text) return *buf;
  int n = LengthUntil(text, stop);
  if (!*buf) {
    TextBuf fresh = TextAlloc(n + 1);
    if (!fresh) return nullptr;
    *buf = fresh;
  }
  return PutAt(buf, HeaderOf(*buf)->length, text, n);
}

char* TextReplaceFirst(TextBuf* buf, const char* search, const char* replacement) {
  if (!buf || !*buf || !search || !*search) return nullptr;
  const char* found = std::strstr(*buf, search);
  if (!found) return nullptr;
  return ReplaceAt(buf, static_cast<int>(found - *buf), static_cast<int>(std::strlen(search)), replacement);
}

char* TextReplaceLast(TextBuf* buf, const char* search, const char* replacement) {
  if (!buf || !*buf || !search || !*search) return nullptr;
  const char* last = nullptr;
  for (const char* p = std::strstr(*buf, search); p; p = std::strstr(p + 1, search)) last = p;
  if (!last) return nullptr;
  return ReplaceAt(buf, static_cast<int>(last - *buf), static_cast<int>(std::strlen(search)), replacement);
}

int TextReplaceAll(TextBuf* buf, const char* search, const char* replacement) {
  if (!buf || !*buf || !search || !*search) return 0;
  const std::size_t what_len = std::strlen(search);
  const std::size_t with_len = replacement ? std::strlen(replacement) : 0;
  // Scanning on after each occurrence in the original text is the same as
  // scanning on after each inserted replacement, so the result is built from
  // the original in one pass into a separate block.
  int count = 0;
  for (const char* p = std::strstr(*buf, search); p; p = std::strstr(p + what_len, search)) {
    ++count;
  }
  if (count == 0) return 0;
  const long long new_length = static_cast<long long>(HeaderOf(*buf)->length) +
                               count * (static_cast<long long>(with_len) - static_cast<long long>(what_len));
  if (new_length > kMaxCapacity) return 0;
  char* result = static_cast<char*>(std::malloc(static_cast<std::size_t>(new_length) + 1));
  if (!result) return 0;
  char* out = result;
  const char* from = *buf;
  for (const char* p = std::strstr(from, search); p; p = std::strstr(from, search)) {
    std::memcpy(out, from, static_cast<std::size_t>(p - from));
    out += p - from;
    if (with_len) std::memcpy(out, replacement, with_len);
    out += with_len;
    from = p + what_len;
  }
  std::strcpy(out, from);
  const bool stored = PutAt(buf, 0, result, static_cast<int>(new_length)) != nullptr;
  std::free(result);
  return stored ? count : 0;
}

int TextCutAtLast(TextBuf* buf, char c) {
  if (!buf || !*buf) return 0;
  char* at = std::strrchr(*buf, c);
  if (!at || c == '\0') return 0;
  SetLength(*buf, static_cast<int>(at - *buf));
  return 1;
}

int TextSyncLength(char* text) {
  if (!text) return -1;
  TextBufHeader* header = HeaderOf(text);
  const void* end = std::memchr(text, '\0', static_cast<std::size_t>(header->capacity) + 1);
  int length = end ? static_cast<int>(static_cast<const char*>(end) - text) : header->capacity;
  SetLength(text, length);
  return length;
}

int TextFormat(TextBuf* buf, const char* format, ...) {
  if (!buf || !format) return -1;
  char scratch[1024];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int needed = std::vsnprintf(scratch, sizeof scratch, format, args);
  va_end(args);
  if (needed < 0) {
    va_end(again);
    return -1;
  }
  if (static_cast<std::size_t>(needed) < sizeof scratch) {
    va_end(again);
    return TextAssign(buf, scratch) ? needed : -1;
  }
  if (needed > kMaxCapacity) {
    va_end(again);
    return -1;
  }
  char* large = static_cast<char*>(std::malloc(static_cast<std::size_t>(needed) + 1));
  if (!large) {
    va_end(again);
    return -1;
  }
  std::vsnprintf(large, static_cast<std::size_t>(needed) + 1, format, again);
  va_end(again);
  char* result = PutAt(buf, 0, large, needed);
  std::free(large);
  return result ? needed : -1;
}
