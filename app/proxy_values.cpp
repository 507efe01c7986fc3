#include "app/proxy_values.h"

#include "cd/cddb_lookup.h"
#include "common/proxy_settings.h"

namespace {

constexpr int kProxyHostOption = 1;
constexpr int kProxyPortOption = 2;

}  // namespace

ProxyValues g_proxy;

void LoadProxyValues() {
  g_proxy = ProxyValues();
  if (!ReadProxySettings(&g_proxy.host, &g_proxy.port, kProxySchemeHttp, &g_proxy.type, &g_proxy.user_name,
                         &g_proxy.password)) {
    g_proxy.host.reset();
  }
  HandProxyToLookup();
}

void HandProxyToLookup(const ProxyValues& values) {
  SetCddbProxyHost(kProxyHostOption, values.host.get());
  SetCddbProxyPort(kProxyPortOption, values.port);
}

void SaveProxyValues() {
  SaveProxySettings(g_proxy.type, g_proxy.host.get(), g_proxy.port, g_proxy.user_name.get(), g_proxy.password.get());
}
