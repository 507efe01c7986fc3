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

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string Trimmed(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool SameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? char(a[i] - 'A' + 'a') : a[i];
    if (x != b[i]) return false;
  }
  return i == a.size() && b[i] == '\0';
}

bool IsSchemeCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

int32_t PortNumber(const std::string& text) {
  const std::string digits = Trimmed(text);
  if (digits.empty()) return 0;
  int32_t port = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    port = port * 10 + (c - '0');
    if (port > kHighestPort) return 0;
  }
  return port;
}

}  // namespace

ProxyAddress SplitProxyAddress(const std::string& text) {
  std::string rest = Trimmed(text);
  const size_t scheme_end = rest.find("://");
  if (scheme_end != std::string::npos && scheme_end > 0) {
    bool is_scheme = true;
    for (size_t i = 0; i < scheme_end; ++i) is_scheme = is_scheme && IsSchemeCharacter(rest[i]);
    if (is_scheme) rest.erase(0, scheme_end + 3);
  }
  const size_t path = rest.find_first_of("/?#");
  if (path != std::string::npos) rest.erase(path);
  const size_t at = rest.rfind('@');
  if (at != std::string::npos) rest.erase(0, at + 1);
  rest = Trimmed(rest);

  ProxyAddress address;
  if (!rest.empty() && rest[0] == '[') {
    const size_t close = rest.find(']');
    if (close != std::string::npos) {
      address.host = Trimmed(rest.substr(1, close - 1));
      const std::string after = Trimmed(rest.substr(close + 1));
      if (!after.empty() && after[0] == ':') address.port = PortNumber(after.substr(1));
      return address;
    }
  }
  const size_t colon = rest.find(':');
  if (colon != std::string::npos && rest.find(':', colon + 1) == std::string::npos) {
    address.host = Trimmed(rest.substr(0, colon));
    address.port = PortNumber(rest.substr(colon + 1));
  } else {
    address.host = rest;
  }
  return address;
}

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
  std::string text = entry;
  int code = kProxySchemeAll;
  // "scheme=": an "=" after a colon or slash belongs to the address.
  const size_t equals = text.find('=');
  if (equals != std::string::npos && equals < text.find_first_of(":/")) {
    const std::string scheme = Trimmed(text.substr(0, equals));
    code = kProxySchemeUnknown;
    for (const SchemeName& known : kSchemes) {
      if (SameIgnoringCase(scheme, known.name)) code = known.code;
    }
    text.erase(0, equals + 1);
  }
  const ProxyAddress address = SplitProxyAddress(text);
  host->reset(StrDup(address.host.c_str()));
  *port = address.port;
  return code;
}
