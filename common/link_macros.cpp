#include "common/link_macros.h"

#include <windows.h>

#include "common/language.h"
#include "common/registry.h"

namespace {
constexpr DWORD kCookieBytes = 20;
}

void ExpandLinkMacros(TextBuf* text) {
  // One byte beyond what the registry may fill keeps a value of another type
  // terminated.
  char cookie[kCookieBytes + 1] = {};
  bool have_cookie = ReadRegValue(HKEY_LOCAL_MACHINE, nullptr, "cookie", cookie, kCookieBytes) != 0;
  ExpandLinkMacrosWith(text, GetLanguageCode(), have_cookie ? cookie : nullptr);
}
