// printf-style formatting of the texts shown in message boxes.
#pragma once

#include <cstdarg>
#include <optional>
#include <string>

// The formatted text, or nothing for a null or invalid format or when memory
// runs out.  Any length fits: the scratch area grows until the text fits.
std::optional<std::string> FormatMessageTextV(const char* format, va_list args);

std::optional<std::string> FormatMessageText(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// A text from the string table or a language file with its first "%d"
// replaced by the number; every other character, "%" included, is kept as it
// is.  A translation is data, never a format: one with "%s" must not crash.
std::string TextWithNumber(const char* text, int number);
