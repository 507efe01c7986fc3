// The inline markup of menu item texts: <b>, <i>, <u>, <s> or <strike>, and
// <font color=...>.  Win32-free so the drawing code's decisions can be
// checked natively.
#pragma once

#include <string>

struct MenuMarkup {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  bool has_colour = false;
  unsigned colour = 0;  // 0xRRGGBB when has_colour
  std::string text;     // without tags (and trimmed) when any markup was found
};

// Reads the markup of an item text (null reads as empty).
MenuMarkup ParseMenuMarkup(const char* text);

// The text as it is measured: at most 255 characters, tags removed, every
// '&' removed and runs of blanks collapsed to one.
std::string MenuMeasureText(const char* text);
