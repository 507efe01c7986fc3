// HTML to plain 8-bit (ISO 8859-1) text, in place.
#pragma once

// Every tag becomes one blank, then character references are decoded.
char* HtmlToText(char* text);
// Every tag is removed without trace (references are left alone).
char* HtmlStripTags(char* text);
// Decodes "&#nnn;" (exactly three digits) and the named Latin-1 references;
// anything else is left as it is.
char* HtmlDecodeEntities(char* text);
