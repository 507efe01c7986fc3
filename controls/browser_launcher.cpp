#include "controls/browser_launcher.h"

#include <ddeml.h>
#include <shellapi.h>

#include <vector>

#include "common/link_macros.h"
#include "common/registry.h"
#include "common/text_buf.h"
#include "common/url_links.h"
#include "controls/browser_discovery.h"

namespace {

constexpr DWORD kDdeTimeoutMs = 10000;
constexpr char kStandardBrowser[] = "c:\\Program Files\\Internet Explorer\\iexplore.exe";

std::string g_default_browser;
DWORD g_dde_instance = 0;
BrowserStartFunc g_start = nullptr;

HDDEDATA CALLBACK IgnoreDdeNotifications(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

bool EnsureDdeInstance() {
  if (g_dde_instance != 0) return true;
  return DdeInitializeA(&g_dde_instance, IgnoreDdeNotifications, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR;
}

// A string handle freed with its owner.
class DdeString {
 public:
  explicit DdeString(const char* text) : handle_(DdeCreateStringHandleA(g_dde_instance, text, CP_WINANSI)) {}
  ~DdeString() {
    if (handle_ != nullptr) DdeFreeStringHandle(g_dde_instance, handle_);
  }
  DdeString(const DdeString&) = delete;
  DdeString& operator=(const DdeString&) = delete;
  HSZ get() const { return handle_; }

 private:
  HSZ handle_;
};

class DdeConversation {
 public:
  DdeConversation(HSZ service, HSZ topic) : conversation_(DdeConnect(g_dde_instance, service, topic, nullptr)) {}
  ~DdeConversation() {
    if (conversation_ != nullptr) DdeDisconnect(conversation_);
  }
  DdeConversation(const DdeConversation&) = delete;
  DdeConversation& operator=(const DdeConversation&) = delete;
  bool connected() const { return conversation_ != nullptr; }

  // A text request; true when the server answered it.
  bool Request(const std::string& item_text) {
    DdeString item(item_text.c_str());
    if (item.get() == nullptr) return false;
    DWORD result = 0;
    HDDEDATA data =
        DdeClientTransaction(nullptr, 0, conversation_, item.get(), CF_TEXT, XTYP_REQUEST, kDdeTimeoutMs, &result);
    if (data == nullptr) return false;
    DdeFreeDataHandle(data);
    return true;
  }

 private:
  HCONV conversation_;
};

// Asks a running browser to show `target`.  Returns true once the browser
// took the address; false when none answered or it declined the address.
bool OpenByDde(const std::string& service_name, const std::string& target, int mode) {
  if (!EnsureDdeInstance()) return false;
  DdeString service(service_name.c_str());
  if (service.get() == nullptr) return false;
  {
    DdeString topic("WWW_Activate");
    DdeConversation activate(service.get(), topic.get());
    if (!activate.connected()) return false;
    activate.Request("0xFFFFFFFF,0x0");
  }
  DdeString topic("WWW_OpenURL");
  DdeConversation open_url(service.get(), topic.get());
  if (!open_url.connected()) return false;
  const char* window = mode == kBrowserNewWindow ? "0xFFFFFFFF" : "0x0";
  return open_url.Request("\"" + target + "\",," + window);
}

INT_PTR ShellStart(HWND owner, const char* program, const char* parameters) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "Open", program, parameters, nullptr, SW_RESTORE));
}

std::string CurrentFolder() {
  std::vector<char> folder(MAX_PATH + 1, '\0');
  const DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(folder.size()), folder.data());
  if (length == 0 || length >= folder.size()) return "";
  return folder.data();
}

std::string FindHtmlProgram() {
  char program[1000] = "";
  const INT_PTR result = reinterpret_cast<INT_PTR>(FindExecutableA("index.html", "C:\\", program));
  program[sizeof(program) - 1] = '\0';
  return result > 32 ? program : "";
}

}  // namespace

int OpenUrl(HWND owner, const char* browser, const char* address, int mode) {
  if (address == nullptr) return 0;
  std::string program = browser != nullptr ? browser : "";
  if (program.empty()) {
    if (g_default_browser.empty()) {
      std::string holder;
      DiscoverBrowsers(&holder, nullptr, nullptr);
    }
    program = g_default_browser;
  }
  if (program.empty()) return 0;
  const std::optional<std::string> target = BrowserTarget(address, CurrentFolder().c_str());
  if (!target) return 0;
  const std::optional<std::string> parameter = QuoteCommandArgument(*target);
  if (!parameter) return 0;
  if (mode != kBrowserStartProgram && OpenByDde(BrowserServiceName(program.c_str()), *target, mode)) return 1;
  const BrowserStartFunc start = g_start != nullptr ? g_start : ShellStart;
  return start(owner, program.c_str(), parameter->c_str()) > 32 ? 1 : 0;
}

int OpenCheckedLink(HWND owner, const char* browser, const char* base, const char* link, int mode) {
  const LinkVerdict verdict = CheckLink(link);
  if (!verdict.allowed() || verdict.kind == LinkKind::kTopic) return 0;
  return OpenUrl(owner, browser, ResolveLink(base, link).c_str(), mode);
}

void DiscoverBrowsers(std::string* holder, std::string* second, std::string* first, HKEY classes_root) {
  const DetectedBrowsers found = DetectBrowsers(classes_root);
  if (holder != nullptr && holder->empty()) {
    *holder = FindHtmlProgram();
    if (holder->empty()) *holder = !found.first.empty() ? found.first : found.second;
    if (holder->empty()) *holder = kStandardBrowser;
  }
  if (holder != nullptr && g_default_browser != *holder) g_default_browser = *holder;
  if (second != nullptr && !found.second.empty()) *second = found.second;
  if (first != nullptr && !found.first.empty()) *first = found.first;
}

const std::string& DefaultBrowserPath() { return g_default_browser; }

void ResetBrowserLauncher() {
  g_default_browser.clear();
  if (g_dde_instance != 0) DdeUninitialize(g_dde_instance);
  g_dde_instance = 0;
}

std::optional<std::string> ExpandEnvironmentText(const char* text) {
  if (text == nullptr) return std::nullopt;
  const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
  if (needed == 0) return std::nullopt;
  std::vector<char> expanded(needed + 1, '\0');
  const DWORD written = ExpandEnvironmentStringsA(text, expanded.data(), static_cast<DWORD>(expanded.size()));
  if (written == 0 || written > expanded.size()) return std::nullopt;
  return std::string(expanded.data());
}

std::string FaqAddress() {
  char value[256] = "";
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, nullptr, "faq", value, sizeof(value))) return "";
  TextBuf address = nullptr;
  TextAssign(&address, value);
  ExpandLinkMacros(&address);
  std::string expanded = address != nullptr ? address : "";
  TextFree(&address);
  const LinkVerdict verdict = CheckLink(expanded.c_str());
  return verdict.kind == LinkKind::kWeb ? expanded : "";
}

int OpenFaqPage(HWND owner, const char* browser_setting, int mode) {
  const std::string address = FaqAddress();
  if (address.empty()) return 0;
  if (browser_setting != nullptr && *browser_setting != '\0') {
    return OpenUrl(owner, browser_setting, address.c_str(), mode);
  }
  const DetectedBrowsers& detected = DetectedBrowsersAtStartup();
  for (const std::string* browser : {&detected.first, &detected.second}) {
    if (!browser->empty() && OpenUrl(owner, browser->c_str(), address.c_str(), mode)) return 1;
  }
  return OpenUrl(owner, nullptr, address.c_str(), mode);
}

void SetBrowserStartFunc(BrowserStartFunc start) { g_start = start; }
