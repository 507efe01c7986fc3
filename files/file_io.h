// Whole-file and line reading and formatted writing on C streams.
#pragma once

#include <cstdio>

#include "common/owners.h"

enum class ReadStatus { kOk, kCannotOpen, kOutOfMemory, kReadError };

// Reads the rest of the stream in blocks of 1,024 bytes into a buffer that
// starts at 5,000 bytes and grows by 10,000 whenever a block could leave fewer
// than 10 bytes of room.  The content is followed by a NUL; *length (when
// given) gets its size, NULs inside the content included.  A read error
// gives null and kReadError.
HeapText ReadStreamText(std::FILE* file, std::size_t* length, ReadStatus* status);

// Reads one line up to and including its LF into buffer (size bytes, always
// terminated), taking at most 256 bytes at a time, and leaves the stream just
// after the kept bytes.  A NUL at the start of the line is dropped.  Returns
// the number of bytes kept; 0 at the end of the stream.  A line longer than
// the buffer comes back in pieces.
int ReadLine(char* buffer, int size, std::FILE* file);

// printf-style formatting written without its NUL.  Does nothing for a null
// stream.  Returns the number of bytes written, or -1.
int WriteFormatted(std::FILE* file, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;
