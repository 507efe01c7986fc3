// An HTML page as rich text, for where no browser control can show it.
#pragma once

#include <string>

// Rich text of `html`: paragraphs, line breaks, headings, lists, bold,
// italic, underline and preformatted text are kept, script, style and the
// head are dropped, entities are decoded, and every "<A HREF>" link stays in
// the text as "<A HREF=\"...\">title</A>" for the rich edit viewer to turn
// into a link.  Characters above 127 are written as \'xx; the text is
// declared to be in `code_page`.
std::string HtmlToRichText(const char* html, int code_page = 1252);
