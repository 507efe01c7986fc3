// A stand-in browser for the launcher tests.  Every start appends
// "start|<command line>" to the log named by CORVALE_FAKE_BROWSER_LOG.  With
// "--serve" it also answers DDE as its own service, logging "<topic>|<item>"
// for each request, until it is ended; "--decline-open" makes it refuse the
// "WWW_OpenURL" requests.
#include <windows.h>
#include <ddeml.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD g_instance = 0;
bool g_decline_open = false;

void Log(const std::string& line) {
  char path[MAX_PATH] = "";
  const DWORD length = GetEnvironmentVariableA("CORVALE_FAKE_BROWSER_LOG", path, sizeof(path));
  if (length == 0 || length >= sizeof(path)) return;
  if (FILE* log = std::fopen(path, "ab")) {
    std::fprintf(log, "%s\n", line.c_str());
    std::fclose(log);
  }
}

std::string Text(HSZ handle) {
  char text[1024] = "";
  DdeQueryStringA(g_instance, handle, text, sizeof(text), CP_WINANSI);
  return text;
}

HDDEDATA CALLBACK Serve(UINT type, UINT, HCONV, HSZ topic, HSZ item, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  switch (type) {
    case XTYP_CONNECT: {
      const std::string name = Text(topic);
      return reinterpret_cast<HDDEDATA>(static_cast<INT_PTR>(name == "WWW_Activate" || name == "WWW_OpenURL"));
    }
    case XTYP_REQUEST: {
      const std::string name = Text(topic);
      Log(name + "|" + Text(item));
      if (name == "WWW_OpenURL" && g_decline_open) return nullptr;
      static const char kAnswer[] = "1";
      return DdeCreateDataHandle(g_instance, reinterpret_cast<BYTE*>(const_cast<char*>(kAnswer)), sizeof(kAnswer), 0,
                                 item, CF_TEXT, 0);
    }
    default:
      return nullptr;
  }
}

std::string ServiceName() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, sizeof(path));
  const char* name = std::strrchr(path, '\\');
  std::string service = name != nullptr ? name + 1 : path;
  return service.substr(0, service.find('.'));
}

}  // namespace

int main() {
  const char* command_line = GetCommandLineA();
  Log(std::string("start|") + command_line);
  if (std::strstr(command_line, "--serve") == nullptr) return 0;
  g_decline_open = std::strstr(command_line, "--decline-open") != nullptr;
  if (DdeInitializeA(&g_instance, Serve, APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS, 0) !=
      DMLERR_NO_ERROR) {
    return 1;
  }
  HSZ service = DdeCreateStringHandleA(g_instance, ServiceName().c_str(), CP_WINANSI);
  if (DdeNameService(g_instance, service, nullptr, DNS_REGISTER) == nullptr) return 1;
  Log("serving");
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  DdeNameService(g_instance, service, nullptr, DNS_UNREGISTER);
  DdeFreeStringHandle(g_instance, service);
  DdeUninitialize(g_instance);
  return 0;
}
