// CDDB over HTTP without the network: the request a lookup sends, and the
// reading of what comes back (the HTTP envelope, the query and read replies).
// The text of replies is UTF-8 (protocol level 6); a line that is not valid
// UTF-8 is taken as Latin-1.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace akrip {

// What CDDBSetOption stores; copied whole at the start of every lookup.
struct CddbOptions {
  std::string server;
  int32_t http_port = 80;
  std::string cgi_path;
  std::string user_email;
  std::string client_name;  // "name version"
  bool use_proxy = false;
  std::string proxy_host;
  int32_t proxy_port = 0;  // 0: 80
};

// Where a request goes: the server itself, or the proxy.
struct HttpTarget {
  std::string host;
  uint16_t port = 0;
};

struct ProtocolResult {
  bool ok;
  const char* reason;
};

// Percent-encodes everything but letters, digits and "-_.~"; a blank becomes "+".
std::string UrlEncode(const std::string& text);

// True when the text holds a CR, LF or NUL, which no request may carry.
bool HasLineBreak(const std::string& text);

// The whole HTTP/1.0 GET for one CDDB command ("cddb query ..."), and where
// to send it.  Through a proxy the request line carries the absolute URI and
// the server's name goes unresolved to the proxy.
ProtocolResult BuildCddbRequest(const CddbOptions& options, const std::string& command, std::string* request,
                                HttpTarget* target);

// The GET request for `path` on `host`:`port` (a file of another service of
// the same network, such as a checksum database), sent through the proxy of
// `options` when it has one; its CDDB fields are not used.
ProtocolResult BuildHttpGetRequest(const CddbOptions& options, const std::string& host, int32_t port,
                                   const std::string& path, std::string* request, HttpTarget* target);

// Splits a complete HTTP reply (as read up to the connection's end) into its
// status and body.  Fails on a malformed envelope, a status other than 200, or
// a body shorter than its Content-Length.
ProtocolResult ParseHttpReply(const std::string& reply, int* status, std::string* body);

// The lines of a body; CR LF, LF and a lone CR all end a line.
std::vector<std::string> SplitLines(const std::string& text);

// `bytes` when it is valid UTF-8, otherwise read as Latin-1 and re-encoded.
std::string AsUtf8(const std::string& bytes);

struct ReplyMatch {
  std::string category;
  std::string disc_id;  // 8 hex digits
  bool exact = false;
  std::string disc_title;  // "Artist / Title", UTF-8
};

// The reply to "cddb query": 200 (one exact match), 210 (exact matches) and
// 211 (close matches) with their lists up to the "." line, 202 (no match:
// success with no matches); every other code fails.  A malformed line of a
// list is left out; a list of nothing but such lines fails.
ProtocolResult ParseQueryReply(const std::string& body, std::vector<ReplyMatch>* matches);

// The reply to "cddb read": 210 and the record's lines up to the "." line.
ProtocolResult ParseReadReply(const std::string& body, std::vector<std::string>* lines);

struct DiscTitleSplit {
  std::string artist;
  std::string title;
};
// Splits at the first " / ", or without one at the first "/"; without either
// both are the whole text.
DiscTitleSplit SplitCddbDiscTitle(const std::string& disc_title);

}  // namespace akrip
