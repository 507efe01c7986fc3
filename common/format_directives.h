// The printf directives of a text, for telling whether two texts can stand in
// for each other as formats: a translation is only usable when it takes the
// same arguments, in the same order, as the English text it replaces.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One entry per directive, in order, reduced to what decides the argument it
// takes: "*" for each width or precision read from the arguments, the length
// modifier and the conversion ("*ld" for "%-*ld").  Flags and written widths
// and precisions take no argument and are left out, as is "%%".  A "%" that
// does not start a known conversion gives "?" followed by its raw text, so
// that it matches only itself.
std::vector<std::string> FormatDirectives(std::string_view text);

// True when both texts take the same arguments as formats.
bool SameFormatDirectives(std::string_view first, std::string_view second);
