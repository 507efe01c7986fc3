#include "common/html_escape.h"

std::string HtmlEscape(const char* text) {
  std::string escaped;
  if (!text) return escaped;
  for (const char* at = text; *at; ++at) {
    const unsigned char c = static_cast<unsigned char>(*at);
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      // Three-digit numeric references: the plain-text converter of the
      // library decodes exactly that form.
      case '\'':
        escaped += "&#039;";
        break;
      case '$':
        escaped += "&#036;";
        break;
      case '%':
        escaped += "&#037;";
        break;
      default:
        escaped += (c < 0x20 && c != '\t') || c == 0x7F ? ' ' : char(c);
        break;
    }
  }
  return escaped;
}
