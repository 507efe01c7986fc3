#include <cstdlib>

#include "common/link_macros.h"

LinkCookieCheck CheckLinkCookie(const char* cookie) {
  if (!cookie || !*cookie) return {false, "no cookie"};
  for (const char* at = cookie; *at; ++at) {
    if (*at < '0' || *at > '9') return {false, "a cookie holds digits only"};
  }
  return {true, ""};
}

void ExpandLinkMacrosWith(TextBuf* text, const char* language_code, const char* cookie) {
  if (!text || !*text) return;
  if (language_code && *language_code) {
    TextReplaceAll(text, "%LANG%", language_code);
  } else {
    TextReplaceAll(text, "/%LANG%", nullptr);
    TextReplaceAll(text, "%LANG%", nullptr);
  }
  // A cookie of 1000 stands for "no distribution id".  strtol rather than
  // atoi: the value comes from the registry and may overflow.
  if (CheckLinkCookie(cookie).ok && std::strtol(cookie, nullptr, 10) != 1000) {
    TextReplaceAll(text, "%ID%", cookie);
  } else {
    TextReplaceAll(text, "?id=%ID%", nullptr);
  }
}
