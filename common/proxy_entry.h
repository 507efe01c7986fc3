// The system's proxy list ("ProxyServer" of the Internet settings): entries
// separated by ";", each "scheme=host:port" with the scheme and the port
// optional.  Also the one proxy address a person types or an earlier version
// stored.
#pragma once

#include <cstdint>
#include <string>

#include "common/owners.h"

// Scheme codes: the result of parsing an entry, and the selector of the
// wanted scheme.
enum ProxyScheme : int {
  kProxySchemeUnknown = -1,  // parse: a scheme not listed; selector: only "is one configured"
  kProxySchemeAll = 0,       // parse: no scheme (every scheme); selector: the first entry
  kProxySchemeFtp = 1,
  kProxySchemeGopher = 2,
  kProxySchemeHttp = 3,
  kProxySchemeHttps = 4,
};

// Parses the entry at *cursor (a writable text, cut up as it is read) and
// moves the cursor to the next entry, or to null after the last one.  The
// host becomes a heap copy of the entry's host (read as SplitProxyAddress
// reads it), the port its port, or 0 (meaning 80) when the entry has none or
// it is not a port number.  Returns the entry's scheme code.  A null or
// exhausted cursor gives no host, port 0 and kProxySchemeUnknown.
int NextProxyEntry(char** cursor, HeapText* host, int32_t* port);

struct ProxyAddress {
  std::string host;  // empty: no proxy
  int32_t port = 0;  // 0: none given, or not a port number
};

// A proxy address as people write it, reduced to host and port: blanks
// around the parts, a scheme ("http://"), a user name ("user@",
// "user:password@"), a path after the host, and a port after it (":3128";
// after the "]" of a bracketed IPv6 address, whose brackets are dropped).
// An address of several colons and no brackets is an IPv6 address without
// a port.
ProxyAddress SplitProxyAddress(const std::string& text);
