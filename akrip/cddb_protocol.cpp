#include "akrip/cddb_protocol.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace akrip {
namespace {

constexpr int kProtocolLevel = 6;
constexpr uint16_t kDefaultHttpPort = 80;

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.' || c == '~';
}

// A host name or address as it may stand in a URI and a Host header.
bool IsPlainHostName(const std::string& host) {
  if (host.empty() || host.size() > 253) return false;
  for (const char byte : host) {
    const auto c = static_cast<unsigned char>(byte);
    if (!IsUnreserved(c) && c != ':' && c != '[' && c != ']') return false;
  }
  return true;
}

bool IsPlainPath(const std::string& path) {
  if (path.empty() || path[0] != '/') return false;
  for (const char byte : path) {
    const auto c = static_cast<unsigned char>(byte);
    if (c <= ' ' || c >= 0x7F || c == '?' || c == '#') return false;
  }
  return true;
}

// A word of the hello parameter: the server splits it at blanks.
std::string HelloWord(const std::string& text, const char* fallback) {
  std::string word = text.empty() ? fallback : text;
  for (char& c : word) {
    if (c == ' ' || c == '\t') c = '_';
  }
  return word;
}

std::string HostHeader(const std::string& host, uint16_t port) {
  return port == kDefaultHttpPort ? host : host + ":" + std::to_string(port);
}

bool ValidPort(int32_t port) { return port >= 1 && port <= 65535; }

// "NNN" at the start of a line, followed by a blank or the end.
int ReplyCode(const std::string& line) {
  if (line.size() < 3) return -1;
  for (size_t i = 0; i < 3; ++i) {
    if (line[i] < '0' || line[i] > '9') return -1;
  }
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return -1;
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

const char* ReasonOfCode(int code) {
  switch (code) {
    case 202:
      return "no match";
    case 401:
      return "no such entry";
    case 402:
      return "server error";
    case 403:
      return "database entry is corrupt";
    case 409:
      return "no handshake";
    case 500:
      return "command syntax error";
    case 530:
      return "server error or load too high";
    default:
      return "unexpected reply code";
  }
}

bool IsCategory(const std::string& word) {
  if (word.empty() || word.size() > 11) return false;
  for (char c : word) {
    if (!(c >= 'a' && c <= 'z') && !(c >= 'A' && c <= 'Z')) return false;
  }
  return true;
}

bool IsDiscIdWord(const std::string& word) {
  if (word.size() != 8) return false;
  for (char c : word) {
    if (!std::strchr("0123456789abcdefABCDEF", c)) return false;
  }
  return true;
}

// "categ discid dtitle" of a match line.
bool ParseMatchLine(const std::string& line, bool exact, ReplyMatch* match) {
  const size_t first_blank = line.find(' ');
  if (first_blank == std::string::npos) return false;
  const size_t second_blank = line.find(' ', first_blank + 1);
  match->category = line.substr(0, first_blank);
  match->disc_id = line.substr(first_blank + 1,
                               second_blank == std::string::npos ? std::string::npos : second_blank - first_blank - 1);
  match->disc_title = second_blank == std::string::npos ? "" : AsUtf8(line.substr(second_blank + 1));
  match->exact = exact;
  return IsCategory(match->category) && IsDiscIdWord(match->disc_id);
}

// The lines after the first, up to the "." line; false when it never comes.
bool ListUntilDot(const std::vector<std::string>& lines, std::vector<std::string>* list) {
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i] == ".") return true;
    list->push_back(lines[i]);
  }
  return false;
}

bool HeaderNameIs(const std::string& line, const char* name) {
  const size_t length = std::strlen(name);
  if (line.size() <= length || line[length] != ':') return false;
  for (size_t i = 0; i < length; ++i) {
    if (std::tolower(static_cast<unsigned char>(line[i])) != name[i]) return false;
  }
  return true;
}

std::string HeaderValue(const std::string& line) {
  size_t start = line.find(':') + 1;
  while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
  size_t end = line.size();
  while (end > start && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  return line.substr(start, end - start);
}

// Length of a valid UTF-8 sequence at `p` (at most `left` bytes), 0 if invalid.
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  size_t length;
  uint32_t code;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
  } else {
    return 0;
  }
  if (left < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = code << 6 | (p[i] & 0x3F);
  }
  if (length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) return 0;
  if (length == 4 && (code < 0x10000 || code > 0x10FFFF)) return 0;
  return length;
}

}  // namespace

std::string UrlEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char byte : text) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsUnreserved(c)) {
      encoded += char(c);
    } else if (c == ' ') {
      encoded += '+';
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; }

ProtocolResult BuildCddbRequest(const CddbOptions& options, const std::string& command, std::string* request,
                                HttpTarget* target) {
  if (HasLineBreak(command) || HasLineBreak(options.user_email) || HasLineBreak(options.client_name)) {
    return {false, "line break in a parameter"};
  }
  if (!IsPlainHostName(options.server)) return {false, "no usable server name"};
  if (!ValidPort(options.http_port)) return {false, "server port out of range"};
  if (!IsPlainPath(options.cgi_path)) return {false, "no usable CGI path"};

  const size_t at = options.user_email.find('@');
  const std::string user = at == std::string::npos ? options.user_email : options.user_email.substr(0, at);
  const std::string user_host = at == std::string::npos ? "" : options.user_email.substr(at + 1);
  const size_t blank = options.client_name.find(' ');
  const std::string client = blank == std::string::npos ? options.client_name : options.client_name.substr(0, blank);
  const std::string version = blank == std::string::npos ? "" : options.client_name.substr(blank + 1);
  const std::string hello = HelloWord(user, "anonymous") + " " + HelloWord(user_host, "localhost") + " " +
                            HelloWord(client, "akrip") + " " + HelloWord(version, "1.0");

  const uint16_t server_port = uint16_t(options.http_port);
  std::string uri = options.cgi_path + "?cmd=" + UrlEncode(command) + "&hello=" + UrlEncode(hello) +
                    "&proto=" + std::to_string(kProtocolLevel);
  if (options.use_proxy) {
    if (!IsPlainHostName(options.proxy_host)) return {false, "no usable proxy name"};
    if (options.proxy_port != 0 && !ValidPort(options.proxy_port)) return {false, "proxy port out of range"};
    uri = "http://" + HostHeader(options.server, server_port) + uri;
    target->host = options.proxy_host;
    target->port = options.proxy_port == 0 ? kDefaultHttpPort : uint16_t(options.proxy_port);
  } else {
    target->host = options.server;
    target->port = server_port;
  }
  *request = "GET " + uri + " HTTP/1.0\r\n" + "Host: " + HostHeader(options.server, server_port) + "\r\n" +
             "User-Agent: " + UrlEncode(client.empty() ? "akrip" : client) + "/" +
             UrlEncode(version.empty() ? "1.0" : version) + "\r\n" + "Accept: text/plain\r\n" + "\r\n";
  return {true, ""};
}

ProtocolResult BuildHttpGetRequest(const CddbOptions& options, const std::string& host, int32_t port,
                                   const std::string& path, std::string* request, HttpTarget* target) {
  if (!IsPlainHostName(host)) return {false, "no usable server name"};
  if (!ValidPort(port)) return {false, "server port out of range"};
  if (!IsPlainPath(path)) return {false, "no usable path"};
  const uint16_t server_port = uint16_t(port);
  std::string uri = path;
  if (options.use_proxy) {
    if (!IsPlainHostName(options.proxy_host)) return {false, "no usable proxy name"};
    if (options.proxy_port != 0 && !ValidPort(options.proxy_port)) return {false, "proxy port out of range"};
    uri = "http://" + HostHeader(host, server_port) + uri;
    target->host = options.proxy_host;
    target->port = options.proxy_port == 0 ? kDefaultHttpPort : uint16_t(options.proxy_port);
  } else {
    target->host = host;
    target->port = server_port;
  }
  *request = "GET " + uri + " HTTP/1.0\r\n" + "Host: " + HostHeader(host, server_port) + "\r\n" +
             "User-Agent: akrip/1.0\r\n" + "Accept: */*\r\n" + "\r\n";
  return {true, ""};
}

ProtocolResult ParseHttpReply(const std::string& reply, int* status, std::string* body) {
  *status = 0;
  body->clear();
  size_t header_end = reply.find("\r\n\r\n");
  size_t body_start = header_end == std::string::npos ? std::string::npos : header_end + 4;
  const size_t lf_end = reply.find("\n\n");
  if (lf_end != std::string::npos && (header_end == std::string::npos || lf_end < header_end)) {
    header_end = lf_end;
    body_start = lf_end + 2;
  }
  if (header_end == std::string::npos) return {false, "reply has no complete header"};
  const std::vector<std::string> header = SplitLines(reply.substr(0, header_end));
  if (header.empty() || header[0].compare(0, 7, "HTTP/1.") != 0 || header[0].size() < 12 || header[0][8] != ' ') {
    return {false, "reply is not HTTP"};
  }
  const int code = ReplyCode(header[0].substr(9));
  if (code < 100) return {false, "reply is not HTTP"};
  *status = code;
  if (code != 200) return {false, "HTTP status is not 200"};
  std::string content = reply.substr(body_start);
  for (size_t i = 1; i < header.size(); ++i) {
    if (HeaderNameIs(header[i], "transfer-encoding") && HeaderValue(header[i]) != "identity") {
      return {false, "transfer encoding not supported"};
    }
    if (HeaderNameIs(header[i], "content-length")) {
      const std::string value = HeaderValue(header[i]);
      if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) {
        return {false, "bad Content-Length"};
      }
      const size_t length = size_t(std::strtoul(value.c_str(), nullptr, 10));
      if (content.size() < length) return {false, "reply shorter than its Content-Length"};
      content.resize(length);
    }
  }
  *body = std::move(content);
  return {true, ""};
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

std::string AsUtf8(const std::string& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  bool valid = true;
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = Utf8SequenceLength(data + i, bytes.size() - i);
    if (length == 0) {
      valid = false;
      break;
    }
    i += length;
  }
  if (valid) return bytes;
  std::string text;
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (c < 0x80) {
      text += char(c);
    } else {
      text += char(0xC0 | (c >> 6));
      text += char(0x80 | (c & 0x3F));
    }
  }
  return text;
}

ProtocolResult ParseQueryReply(const std::string& body, std::vector<ReplyMatch>* matches) {
  matches->clear();
  const std::vector<std::string> lines = SplitLines(body);
  if (lines.empty()) return {false, "empty reply"};
  const int code = ReplyCode(lines[0]);
  if (code < 0) return {false, "reply has no code"};
  switch (code) {
    case 200: {
      ReplyMatch match;
      if (!ParseMatchLine(lines[0].size() > 4 ? lines[0].substr(4) : "", true, &match)) {
        return {false, "malformed match"};
      }
      matches->push_back(match);
      return {true, ""};
    }
    case 210:
    case 211: {
      std::vector<std::string> list;
      if (!ListUntilDot(lines, &list)) return {false, "match list not terminated"};
      // One damaged line costs only its own match; a list with nothing
      // usable in it is still a malformed reply.
      for (const std::string& line : list) {
        ReplyMatch match;
        if (ParseMatchLine(line, code == 210, &match)) matches->push_back(match);
      }
      if (matches->empty() && !list.empty()) return {false, "malformed match"};
      return {true, ""};
    }
    case 202:
      return {true, ""};
    default:
      return {false, ReasonOfCode(code)};
  }
}

ProtocolResult ParseReadReply(const std::string& body, std::vector<std::string>* lines) {
  lines->clear();
  const std::vector<std::string> all = SplitLines(body);
  if (all.empty()) return {false, "empty reply"};
  const int code = ReplyCode(all[0]);
  if (code < 0) return {false, "reply has no code"};
  if (code != 210) return {false, ReasonOfCode(code)};
  if (!ListUntilDot(all, lines)) {
    lines->clear();
    return {false, "record not terminated"};
  }
  return {true, ""};
}

DiscTitleSplit SplitCddbDiscTitle(const std::string& disc_title) {
  size_t at = disc_title.find(" / ");
  size_t skip = 3;
  if (at == std::string::npos) {
    at = disc_title.find('/');
    skip = 1;
  }
  if (at == std::string::npos) return {disc_title, disc_title};
  return {disc_title.substr(0, at), disc_title.substr(at + skip)};
}

}  // namespace akrip
