#include "controls/browser_navigation.h"

#include <cctype>
#include <cstddef>

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  std::size_t i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= text.size()) return false;
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "file:///C:/dir/a%20b.htm" as "C:\dir\a b.htm"; a host name stays in front
// as a network path ("\\host\..."), which the link rules refuse.  An escape
// that makes a control character is kept as written, so that it is refused
// too rather than slipped through.
std::string LocalPathOfFileUrl(const std::string& url) {
  std::string rest = url.substr(5);  // after "file:"
  if (rest.compare(0, 3, "///") == 0) {
    rest.erase(0, 3);
  } else if (rest.compare(0, 2, "//") == 0) {
    rest.erase(0, 2);
    const bool drive =
        rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && (rest[1] == ':' || rest[1] == '|');
    if (!drive) rest.insert(0, "//");
  }
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    const char c = rest[i];
    if (c == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 && HexValue(rest[i + 2]) >= 0) {
      const int value = HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]);
      if (value >= 0x20 && value != 0x7f) {
        path += static_cast<char>(value);
        i += 2;
        continue;
      }
    }
    path += c == '/' ? '\\' : c;
  }
  if (path.size() >= 2 && path[1] == '|') path[1] = ':';
  return path;
}

}  // namespace

BrowserNavigation ReadBrowserNavigation(const std::string& url) {
  BrowserNavigation navigation;
  if (url.empty()) {
    navigation.own_page = true;
    return navigation;
  }
  if (StartsWithNoCase(url, "about:blank") && (url.size() == 11 || url[11] == '#')) {
    navigation.own_page = url.size() == 11;
    navigation.link = url.substr(11);
    return navigation;
  }
  if (StartsWithNoCase(url, "about:")) {
    navigation.link = url.substr(6);
  } else if (StartsWithNoCase(url, "file:")) {
    navigation.link = LocalPathOfFileUrl(url);
  } else {
    navigation.link = url;
  }
  return navigation;
}
