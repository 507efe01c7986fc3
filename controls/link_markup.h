// Finding "<A HREF=...>title</A>" link markup in the text of a control.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct LinkMarkup {
  std::size_t start;   // where "<A" begins
  std::size_t end;     // one past "</A>"
  std::wstring href;   // as written, cut at a ">", at most 1024 characters
  std::wstring title;  // shown in place of the markup, never empty
};

// Every link in `text` whose address can be read, in order.  The title is
// the text up to "</A>" with entities and tags skipped before it, "<" and
// ">" made blanks, trimmed and cut to 50 characters.  Without any text the
// title is the last part of the address after "/"; a title that comes out
// empty is "No Title".
std::vector<LinkMarkup> FindLinkMarkup(const std::wstring& text);
