// Feeds arbitrary text to the "ProxyServer" entry reader and walks every
// entry: nothing may crash, the walk must end, and ports stay in range.  The
// same text as a typed address: its host has no blanks at either end and no
// part of a scheme, user name or path left in it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/proxy_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.c_str();  // the registry hands a NUL-terminated text
  const ProxyAddress address = SplitProxyAddress(text);
  if (address.port < 0 || address.port > 65535) std::abort();
  if (address.host.size() > text.size()) std::abort();
  if (!address.host.empty()) {
    const char first = address.host.front(), last = address.host.back();
    if (first == ' ' || first == '\t' || last == ' ' || last == '\t') std::abort();
  }
  if (address.host.find_first_of("@/?#") != std::string::npos) std::abort();
  char* cursor = &text[0];
  size_t entries = 0;
  while (cursor) {
    HeapText host;
    int32_t port = -1;
    const int code = NextProxyEntry(&cursor, &host, &port);
    if (code < kProxySchemeUnknown || code > kProxySchemeHttps) std::abort();
    if (port < 0 || port > 65535) std::abort();
    if (++entries > text.size() + 1) std::abort();
  }
  return 0;
}
