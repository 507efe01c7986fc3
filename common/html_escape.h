// Text from outside the program (registry values, language files, folder
// names) made safe to place inside an HTML page or one of its attributes.
#pragma once

#include <string>

// "&", "<", ">", quotes and apostrophes become character references, and so do
// "$" and "%": the page templates use them for their placeholders, and an
// inserted text must not be able to introduce one.  Control characters other
// than tab become blanks.  A null text gives "".
std::string HtmlEscape(const char* text);
