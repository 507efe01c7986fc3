#include "common/proxy_settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/registry.h"
#include "common/text_utils.h"

namespace {

constexpr DWORD kValueBufferSize = 256;
constexpr DWORD kEnableBufferSize = 16;
constexpr char kProxyValue[] = "proxy";
constexpr char kPortValue[] = "port";
constexpr char kTypeValue[] = "type";
constexpr char kUserNameValue[] = "username";
constexpr char kPasswordValue[] = "password";
constexpr char kProxyEnableValue[] = "ProxyEnable";
constexpr char kProxyServerValue[] = "ProxyServer";

ProxyRegistryKeys g_keys;

bool ReadShared(const char* name, char (&buffer)[kValueBufferSize]) {
  buffer[0] = '\0';
  return ReadRegValue(g_keys.shared_root, g_keys.shared_key, name, buffer, sizeof buffer) != 0;
}

bool SystemProxyEnabled() {
  unsigned char enable[kEnableBufferSize] = {};
  return ReadRegValue(g_keys.system_root, g_keys.system_key, kProxyEnableValue, enable, sizeof enable) &&
         enable[0] == 1;
}

int WriteNumber(const char* name, int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", int(value));
  return WriteRegString(g_keys.shared_root, g_keys.shared_key, name, text);
}

}  // namespace

void SetProxyRegistryKeys(const ProxyRegistryKeys& keys) { g_keys = keys; }

int ReadProxySettings(HeapText* host, int32_t* port, int scheme, int32_t* type, HeapText* user_name,
                      HeapText* password) {
  if (!host || !port) return 0;
  char buffer[kValueBufferSize];
  // Earlier versions stored an emptied field as "", which means no proxy of
  // ours, and a host as typed, port and all.
  if (!ReadShared(kProxyValue, buffer)) return ReadSystemProxy(host, port, scheme);
  const ProxyAddress address = SplitProxyAddress(buffer);
  if (address.host.empty()) return ReadSystemProxy(host, port, scheme);
  *host = HeapText(StrDup(address.host.c_str()));
  if (ReadShared(kPortValue, buffer)) *port = std::atoi(buffer);
  if (address.port != 0) *port = address.port;
  if (user_name && ReadShared(kUserNameValue, buffer)) *user_name = HeapText(StrDup(buffer));
  if (password && ReadShared(kPasswordValue, buffer)) *password = HeapText(StrDup(buffer));
  if (type && ReadShared(kTypeValue, buffer)) *type = std::atoi(buffer);
  return 1;
}

int ReadSystemProxy(HeapText* host, int32_t* port, int scheme) {
  if (!host || !port || !SystemProxyEnabled()) return 0;
  *port = 0;
  host->reset();
  char servers[kValueBufferSize] = "";
  if (!ReadRegValue(g_keys.system_root, g_keys.system_key, kProxyServerValue, servers, sizeof servers) ||
      servers[0] == '\0') {
    return 0;
  }
  if (scheme == kProxySchemeUnknown) return 1;
  char* cursor = servers;
  while (cursor) {
    const int code = NextProxyEntry(&cursor, host, port);
    if (scheme == kProxySchemeAll || code == kProxySchemeAll || code == scheme) return 1;
    if (code == kProxySchemeUnknown) break;
  }
  host->reset();
  *port = 0;
  return 0;
}

int SaveProxySettings(int32_t type, const char* host, int32_t port, const char* user_name, const char* password) {
  // An empty host means no proxy of ours: the value goes, so the system's
  // proxy applies again.
  if (host && SplitProxyAddress(host).host.empty()) host = nullptr;
  HeapText system_host;
  int32_t system_port = 0;
  if (ReadSystemProxy(&system_host, &system_port, kProxySchemeHttp) && host && system_host &&
      std::strcmp(host, system_host.get()) == 0 && port == system_port && !user_name) {
    host = nullptr;
  }
  if (host && !CreateRegKey(g_keys.shared_root, g_keys.shared_key)) return 0;
  int result = host ? WriteRegString(g_keys.shared_root, g_keys.shared_key, kProxyValue, host)
                    : (DeleteRegValue(g_keys.shared_root, g_keys.shared_key, kProxyValue), 1);
  result &= WriteNumber(kPortValue, port);
  result &= WriteNumber(kTypeValue, type);
  if (user_name) result &= WriteRegString(g_keys.shared_root, g_keys.shared_key, kUserNameValue, user_name);
  if (password) result &= WriteRegString(g_keys.shared_root, g_keys.shared_key, kPasswordValue, password);
  return result;
}
