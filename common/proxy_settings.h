// The proxy shared by the maker's products on this machine (below
// HKEY_LOCAL_MACHINE), falling back to the proxy of the system's Internet
// settings (below HKEY_CURRENT_USER, only read).
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/owners.h"
#include "common/proxy_entry.h"

// Where the settings live.  Tests point these at scratch keys.
struct ProxyRegistryKeys {
  HKEY shared_root = HKEY_LOCAL_MACHINE;
  const char* shared_key = "Software\\VELMARON\\Common";
  HKEY system_root = HKEY_CURRENT_USER;
  const char* system_key = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
};
void SetProxyRegistryKeys(const ProxyRegistryKeys& keys);

// The shared settings when "proxy" is stored: host, then each of "port",
// "username", "password" and "type" that is stored and whose out is given
// (a missing one leaves its out as it was).  A stored host is read as
// SplitProxyAddress reads it; a port in it outweighs "port".  Without
// "proxy", or with an empty one, the system proxy for `scheme`.  Returns 1
// when a proxy was found.
int ReadProxySettings(HeapText* host, int32_t* port, int scheme, int32_t* type, HeapText* user_name,
                      HeapText* password);

// The system proxy for `scheme` (a ProxyScheme; kProxySchemeAll takes the first
// entry, kProxySchemeUnknown only asks whether one is enabled).  Returns 1 with
// the entry's host and port (0: 80); 0 with no host when the system proxy is off,
// no entry serves the scheme, or an entry of an unknown scheme comes first.
int ReadSystemProxy(HeapText* host, int32_t* port, int scheme);

// Stores the shared settings, creating the shared key when a host is to be
// stored.  An empty or blank host removes the "proxy" value.  A host and port equal to the system's http proxy, given
// without a user name, are not stored (the "proxy" value is removed) so that the system setting keeps applying.  A null
// user name or password leaves the stored one as it is.  Returns 1 when every write succeeded.
int SaveProxySettings(int32_t type, const char* host, int32_t port, const char* user_name, const char* password);
