// In-place operations on plain NUL-terminated texts, heap text helpers and
// small conversions.  Every function accepts null arguments and then returns
// null / 0 without touching anything.  Heap texts are malloc blocks: release
// them with free() or FreeStrings.
#pragma once

#include <cstdint>
#include <initializer_list>

// In-place replacement; the caller guarantees room for any growth.  Each
// returns the position just after the inserted text, or null when the text
// or `search` is empty or `search` does not occur.  A null replacement
// removes the occurrence.
char* StrReplaceFirst(char* text, const char* search, const char* replacement);
char* StrReplaceFirstNoCase(char* text, const char* search, const char* replacement);
char* StrReplaceLast(char* text, const char* search, const char* replacement);

// First position of `search` ignoring ASCII letter case, or null.  An empty
// search is found at the start.
const char* StrFindNoCase(const char* text, const char* search);
char* StrFindNoCase(char* text, const char* search);

// First `c` outside a quoted section, or null.  A section opened by " or '
// ends at the same quote character or at a CR or LF.
const char* StrFindOutsideQuotes(const char* text, char c);
char* StrFindOutsideQuotes(char* text, char c);

// Remove trailing (and, for StrTrim, leading) LF, CR and blanks, not tabs; a
// leading tab stops the leading trim.  Return the text.
char* StrTrimRight(char* text);
char* StrTrim(char* text);

// Copies at most n characters and terminates (dest needs n + 1 bytes); a
// negative n or null source gives the empty text.  Returns dest.
char* StrCopyN(char* dest, const char* source, int n);
// Copy / append the source up to but not including the first `stop`.
char* StrCopyUntil(char* dest, const char* source, char stop);
char* StrAppendUntil(char* dest, const char* source, char stop);

int StrCountChar(const char* text, char c);

// New heap copy of the text between the first `open` and the next `close`
// (or the end); null when `open` does not occur.  The second form looks for
// `close` outside quoted sections.
char* StrBetween(const char* text, char open, char close);
char* StrBetweenOutsideQuotes(const char* text, char open, char close);

// New heap copy; null for null or when out of memory.
char* StrDup(const char* text);
// Reallocates (or allocates) a heap text to n + 1 bytes.  n <= 0 returns null
// and leaves the text as it is; so does a failed reallocation.
char* StrResize(char* text, int n);
// Frees each text and sets its variable to null.
void FreeStrings(std::initializer_list<char**> variables);

// Turns every '$' into a NUL: "Name$*.x$$" becomes the double-NUL-terminated
// filter list of the system file dialogs.  Returns the text.
char* DollarToNul(char* text);

// Decimal text of the value in a library-wide buffer (main thread only; the
// next call overwrites it).
const char* IntToText(std::int32_t value);

// 0..255 from the first two characters read as hex digits of either case.
// A character that is not a hex digit counts as 0; the terminator is never
// read past.
int HexPairValue(const char* text);

// 0 when `word` equals an entry of the ","-separated list ignoring case, 1
// when not (reads like a comparison).
int ListContainsNoCase(const char* word, const char* list);

// ASCII case folding used by the no-case functions above.
inline char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }
