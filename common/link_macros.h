// Web addresses of the product carry two macros: "%LANG%", the interface
// language, and "%ID%", the distribution cookie of this installation.
#pragma once

#include "common/text_buf.h"

struct LinkCookieCheck {
  bool ok;
  const char* reason;  // fixed text; "" when ok
};
// The distribution cookie is a count that goes into addresses as it is
// stored, so only decimal digits make one.
LinkCookieCheck CheckLinkCookie(const char* cookie);

// With a language code, "%LANG%" becomes that code; without one, "/%LANG%"
// and then any other "%LANG%" are removed.  With a cookie that passes
// CheckLinkCookie and whose number is not 1000, "%ID%" becomes the cookie;
// otherwise "?id=%ID%" is removed.  language_code and cookie may be null or
// empty (none).
void ExpandLinkMacrosWith(TextBuf* text, const char* language_code, const char* cookie);

// The same with the current language and the "cookie" value of the program
// key below HKEY_LOCAL_MACHINE.
void ExpandLinkMacros(TextBuf* text);
