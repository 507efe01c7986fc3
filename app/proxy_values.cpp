#include "app/proxy_values.h"

#include <cstring>

#include "cd/cddb_lookup.h"
#include "common/proxy_settings.h"
#include "common/text_utils.h"

namespace {

constexpr int kProxyHostOption = 1;
constexpr int kProxyPortOption = 2;

// The values as LoadProxyValues read them.
ProxyValues g_proxy_as_read;

bool SameText(const HeapText& a, const HeapText& b) {
  if (!a || !b) return !a && !b;
  return std::strcmp(a.get(), b.get()) == 0;
}

bool SameValues(const ProxyValues& a, const ProxyValues& b) {
  return SameText(a.host, b.host) && a.port == b.port && a.type == b.type && SameText(a.user_name, b.user_name) &&
         SameText(a.password, b.password);
}

HeapText CopyText(const HeapText& text) { return HeapText(text ? StrDup(text.get()) : nullptr); }

}  // namespace

ProxyValues g_proxy;

void LoadProxyValues() {
  g_proxy = ProxyValues();
  if (!ReadProxySettings(&g_proxy.host, &g_proxy.port, kProxySchemeHttp, &g_proxy.type, &g_proxy.user_name,
                         &g_proxy.password)) {
    g_proxy.host.reset();
  }
  g_proxy_as_read.host = CopyText(g_proxy.host);
  g_proxy_as_read.port = g_proxy.port;
  g_proxy_as_read.type = g_proxy.type;
  g_proxy_as_read.user_name = CopyText(g_proxy.user_name);
  g_proxy_as_read.password = CopyText(g_proxy.password);
  HandProxyToLookup();
}

void HandProxyToLookup(const ProxyValues& values) {
  SetCddbProxyHost(kProxyHostOption, values.host.get());
  SetCddbProxyPort(kProxyPortOption, values.port);
}

void SaveProxyValues() {
  // The key is shared by the maker's products and below HKEY_LOCAL_MACHINE:
  // values this run did not change are not written back, so a change another
  // program made meanwhile stays and a standard user, who may not write
  // there, is not refused.  A refused write changes nothing of this run: the
  // values stay in g_proxy.
  if (SameValues(g_proxy, g_proxy_as_read)) return;
  SaveProxySettings(g_proxy.type, g_proxy.host.get(), g_proxy.port, g_proxy.user_name.get(), g_proxy.password.get());
}
