// TextBuf: a growable 8-bit text handed around as a plain char pointer.
//
// The owner keeps one `TextBuf` variable (a char*).  It points at the first
// character of the text; in front of it, in the same heap block, lie two
// signed 32-bit integers:
//
//   text - 8: capacity  characters the block can hold, not counting the NUL
//   text - 4: length    characters before the terminating NUL
//   text    : the characters, then a NUL
//
// A null variable means "no text yet"; every operation that adds text
// allocates the block on first use.  Growth is exact-fit: the block is
// reallocated to exactly the capacity an operation needs, never doubled.
// Code that writes into the characters directly restores the length with
// TextSyncLength.
//
// Every operation takes the address of the owner's variable.  A null source
// text counts as the empty text.  When memory cannot be obtained the buffer is
// left as it was and the operation returns null.  Source texts may point into
// the buffer itself (appending a buffer to itself works).
#pragma once

#include <cstdint>

using TextBuf = char*;

// Header in front of the characters; part of the block's layout.
struct TextBufHeader {
  std::int32_t capacity;
  std::int32_t length;
};
static_assert(sizeof(TextBufHeader) == 8, "the header is two 32-bit integers");

// New block of `capacity` characters holding the empty text; null when out of
// memory or when capacity is negative.  Release it with TextFree.
TextBuf TextAlloc(int capacity);

// Reallocates an existing block to `new_capacity` (length unchanged).  Null
// and nothing changed when the buffer is empty, memory is short, or the new
// capacity would not hold the current text.
char* TextGrow(TextBuf* buf, int new_capacity);

// Releases the block and sets the variable to null.
void TextFree(TextBuf* buf);

// Capacity and length of a buffer's text (0 for null).
int TextCapacity(const char* text);
int TextLength(const char* text);

// Replaces the content with a copy of `text`.  Returns the buffer's text.
char* TextAssign(TextBuf* buf, const char* text);
// Copies at most n characters; a null text or n <= 0 empties the content
// without allocating (the buffer may stay null).
char* TextAssignN(TextBuf* buf, const char* text, int n);
// Assigns the part of `text` before the first `stop` (all of it when absent).
char* TextAssignUntil(TextBuf* buf, const char* text, char stop);

// Appends `text` (null: no change).  Returns the buffer's text.
char* TextAppend(TextBuf* buf, const char* text);
// Appends the part of `text` before the first `stop` (all of it when absent).
char* TextAppendUntil(TextBuf* buf, const char* text, char stop);

// Replace the first / last occurrence of `search` (case-sensitive) by
// `replacement` (null: remove it).  Return the position just after the
// inserted text, or null when `search` is empty or does not occur.
char* TextReplaceFirst(TextBuf* buf, const char* search, const char* replacement);
char* TextReplaceLast(TextBuf* buf, const char* search, const char* replacement);

// Replaces every occurrence, left to right, never re-scanning an inserted
// replacement.  Non-zero when at least one occurrence was replaced.
int TextReplaceAll(TextBuf* buf, const char* search, const char* replacement);

// Cuts the text at the last `c` (removing it).  1 when found, else 0.
int TextCutAtLast(TextBuf* buf, char c);

// Sets the stored length to the text's actual length and returns it; -1 for
// null.  A text with no NUL within its capacity is terminated at capacity.
int TextSyncLength(char* text);

// printf-style formatting into the buffer.  Returns the number of
// characters, or -1 on a bad format or when out of memory (buffer unchanged).
int TextFormat(TextBuf* buf, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Scoped owner of a TextBuf for code that keeps one in a local or member.
class TextBufOwner {
 public:
  TextBufOwner() = default;
  ~TextBufOwner() { TextFree(&text_); }
  TextBufOwner(const TextBufOwner&) = delete;
  TextBufOwner& operator=(const TextBufOwner&) = delete;

  TextBuf* ptr() { return &text_; }
  char* get() const { return text_; }
  // The text, or "" while nothing has been allocated.
  const char* c_str() const { return text_ ? text_ : ""; }

 private:
  TextBuf text_ = nullptr;
};
