#include "cd/cddb_lookup.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "cd/cd_drives.h"

namespace {

constexpr int kProxyHostOption = 1;
constexpr int kProxyPortOption = 2;

// Written on the interface thread only.
std::string g_proxy_host;
int32_t g_proxy_port = 0;

std::atomic<bool> g_running{false};
// The thread's own record: written by the thread while it runs, read by the
// interface thread only after the thread cleared the running marker.
CddbLookup g_record;
bool g_result_waiting = false;

struct LookupParameters {
  HWND window;
  std::string proxy_host;
  int32_t proxy_port;
};

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }

void SetProxyOptions(const std::string& host, int32_t port) {
  if (!host.empty()) {
    CDDBSetOption(akrip::kCddbUseProxy, nullptr, 1);
    CDDBSetOption(akrip::kCddbProxyHost, host.c_str(), 0);
    CDDBSetOption(akrip::kCddbProxyPort, nullptr, CddbProxyPortInUse(port));
  } else {
    CDDBSetOption(akrip::kCddbUseProxy, nullptr, 0);
  }
}

void SetOptions(const LookupParameters& parameters) {
  SetProxyOptions(parameters.proxy_host, parameters.proxy_port);
  CDDBSetOption(akrip::kCddbServer, kCddbServerName, 0);
  CDDBSetOption(akrip::kCddbHttpPort, nullptr, kCddbServerPort);
  CDDBSetOption(akrip::kCddbCgiPath, kCddbCgiPath, 0);
  CDDBSetOption(akrip::kCddbUserEmail, kCddbUserEmail, 0);
  CDDBSetOption(akrip::kCddbClientName, kCddbClientName, 0);
}

// A library error in words, with its number.
std::string CddbErrorText(int32_t error) {
  const std::string code = " (" + std::to_string(error) + ")";
  switch (error) {
    case akrip::kErrCddbNetwork:
      return "no network" + code;
    case akrip::kErrCddbTimeout:
      return "timeout" + code;
    case akrip::kErrCddbReply:
      return "bad reply" + code;
    default:
      return "error" + code;
  }
}

// Fills the record from the server's first match; why it found none
// otherwise.
std::string RunLookup(const LookupParameters& parameters, CddbLookup* record) {
  const akrip::Handle drive = CurrentDriveHandle();
  if (!drive) return "no drive";
  std::vector<akrip::CddbMatch> matches(akrip::kCddbMaxMatches);
  akrip::CddbQueryRequest request{akrip::kCddbMaxMatches, matches.data()};
  SetOptions(parameters);
  if (CDDBQuery(drive, &request) != 1) return "the query failed: " + CddbErrorText(GetAspiLibError());
  const int count = request.capacity < akrip::kCddbMaxMatches ? request.capacity : akrip::kCddbMaxMatches;
  const int chosen = ChooseCddbMatch(matches.data(), count);
  if (chosen < 0) return "no match";
  const akrip::CddbMatch& match = matches[size_t(chosen)];
  CopyCut(record->title, match.title, sizeof match.title, kCddbMatchTextChars, IsLeadByte);
  CopyCut(record->artist, match.artist, sizeof match.artist, kCddbMatchTextChars, IsLeadByte);
  CopyCut(record->disc_id, match.disc_id, sizeof match.disc_id, kCddbMatchTextChars, nullptr);
  std::vector<char> text(kCddbRecordBufferSize, '\0');
  if (CDDBGetDiskInfo(&matches[size_t(chosen)], text.data(), kCddbRecordBufferSize) != 1) {
    return "reading the record failed: " + CddbErrorText(GetAspiLibError());
  }
  text.back() = '\0';
  ParseCddbDiscInfo(text.data(), &record->disc, IsLeadByte, &record->extras);
  record->found = 1;
  return "";
}

DWORD WINAPI LookupThread(void* parameter) {
  std::unique_ptr<LookupParameters> parameters(static_cast<LookupParameters*>(parameter));
  const std::string failure = RunLookup(*parameters, &g_record);
  // Said where a developer looks, as a lookup that finds nothing leaves the
  // window's texts as they were without a word.
  if (!failure.empty()) OutputDebugStringA(("Corvale: the CDDB lookup found no record: " + failure + "\n").c_str());
  const HWND window = parameters->window;
  g_running.store(false, std::memory_order_release);
  PostMessageA(window, WM_USER, kCddbLookupEnded, 0);
  return 0;
}

}  // namespace

int StartCddbLookup(HWND window) {
  bool idle = false;
  if (!g_running.compare_exchange_strong(idle, true)) return 0;
  std::memset(&g_record, 0, sizeof g_record);
  g_record.window = window;
  g_result_waiting = true;
  auto* parameters = new LookupParameters{window, g_proxy_host, g_proxy_port};
  HANDLE thread = CreateThread(nullptr, 0, LookupThread, parameters, 0, nullptr);
  if (!thread) {
    delete parameters;
    g_result_waiting = false;
    g_running = false;
    return 0;
  }
  // The lookup runs detached and reports to the window; nobody waits on it,
  // not even at exit.  It writes nothing that outlives the process and uses
  // only its own copies, this file's record and akrip.dll, so the end of the
  // process may cut it off; waiting would keep a closed program alive for as
  // long as a slow server takes to answer.  The window neither changes nor
  // refreshes the drive while a lookup is pending, so its handle stays open.
  CloseHandle(thread);
  return 1;
}

void ApplyCddbProxyOptions() { SetProxyOptions(g_proxy_host, g_proxy_port); }

int IsCddbLookupRunning() { return g_running.load(std::memory_order_acquire) ? 1 : 0; }

int TakeCddbLookupResult(CddbLookup* result) {
  if (!result || IsCddbLookupRunning() || !g_result_waiting) return 0;
  *result = g_record;
  g_result_waiting = false;
  return 1;
}

int32_t CddbProxyPortInUse(int32_t stored_port) {
  constexpr int32_t kHighestPort = 65535;
  return stored_port >= 1 && stored_port <= kHighestPort ? stored_port : kCddbServerPort;
}

void SetCddbProxyHost(int option, const char* host) {
  if (option != kProxyHostOption) return;
  g_proxy_host = host ? host : "";
}

void SetCddbProxyPort(int option, int32_t port) {
  if (option == kProxyPortOption) g_proxy_port = port;
}
