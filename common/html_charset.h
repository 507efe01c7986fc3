// The code page a page's own charset declaration asks for.
#pragma once

// Reads the "charset" attribute of the page head (quoted or not, any letter
// case, in a META tag's content or as its own attribute) and maps it to a
// code page: 932 for "shift_jis", 1252 for anything else or no declaration.
int HtmlCharsetCodePage(const char* head);
