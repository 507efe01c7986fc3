#include "common/proxy_entry.h"

#include <cstring>

#include "common/text_utils.h"

namespace {

constexpr int32_t kHighestPort = 65535;

struct SchemeName {
  const char* name;
  ProxyScheme code;
};
constexpr SchemeName kSchemes[] = {
    {"ftp", kProxySchemeFtp}, {"gopher", kProxySchemeGopher}, {"http", kProxySchemeHttp}, {"https", kProxySchemeHttps}};

char* Trim(char* text) {
  while (*text == ' ' || *text == '\t') ++text;
  size_t length = std::strlen(text);
  while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) text[--length] = '\0';
  return text;
}

bool SameIgnoringCase(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    const char x = (*a >= 'A' && *a <= 'Z') ? char(*a - 'A' + 'a') : *a;
    const char y = (*b >= 'A' && *b <= 'Z') ? char(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

int32_t PortNumber(const char* text) {
  text = Trim(const_cast<char*>(text));
  if (*text == '\0') return 0;
  int32_t port = 0;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return 0;
    port = port * 10 + (*text - '0');
    if (port > kHighestPort) return 0;
  }
  return port;
}

}  // namespace

int NextProxyEntry(char** cursor, HeapText* host, int32_t* port) {
  host->reset();
  *port = 0;
  if (!cursor || !*cursor) return kProxySchemeUnknown;
  char* entry = *cursor;
  char* separator = std::strchr(entry, ';');
  if (separator) {
    *separator = '\0';
    *cursor = separator + 1;
  } else {
    *cursor = nullptr;
  }
  if (char* colon = std::strchr(entry, ':')) {
    *colon = '\0';
    *port = PortNumber(colon + 1);
  }
  int code = kProxySchemeAll;
  char* host_text = entry;
  if (char* equals = std::strchr(entry, '=')) {
    *equals = '\0';
    host_text = equals + 1;
    const char* scheme = Trim(entry);
    code = kProxySchemeUnknown;
    for (const SchemeName& known : kSchemes) {
      if (SameIgnoringCase(scheme, known.name)) code = known.code;
    }
  }
  host->reset(StrDup(Trim(host_text)));
  return code;
}
