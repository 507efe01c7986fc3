// The program's proxy values: read from the registry at start-up, handed to
// the CDDB lookup, and written back when the settings are saved.
#pragma once

#include <cstdint>

#include "common/owners.h"

struct ProxyValues {
  HeapText host;     // none: no proxy
  int32_t port = 0;  // 0: 80
  int32_t type = 0;
  HeapText user_name;  // as read; never shown or sent
  HeapText password;
};

extern ProxyValues g_proxy;

// Reads the shared settings (or the system's http proxy) into g_proxy and
// hands host and port to the CDDB lookup.
void LoadProxyValues();

// Hands the host and port to the CDDB lookup (no host or an empty one: no
// proxy).  The next lookup that starts uses them.
void HandProxyToLookup(const ProxyValues& values);
inline void HandProxyToLookup() { HandProxyToLookup(g_proxy); }

// Writes g_proxy back to the shared settings when it differs from what
// LoadProxyValues read.  A write the user may not make is skipped quietly.
void SaveProxyValues();
