#include "cd/accuraterip_lookup.h"

#include <cstdlib>
#include <cstring>

#include "akrip/akrip.h"
#include "akrip/cdda.h"
#include "cd/cd_drives.h"
#include "cd/cddb_lookup.h"

namespace {

// Each response holds a header and 9 bytes per track; discs have been
// pressed often enough for a few hundred responses.
constexpr int32_t kReplyCapacity = 512 * 1024;

using HttpGetFunction = int32_t(AKRIP_CALL*)(const char*, int32_t, const char*, uint8_t*, int32_t, int32_t*, int32_t*);

// Looked up by name: the fetch is an extra of our own library.
HttpGetFunction FindHttpGet() {
  HMODULE library = GetModuleHandleA("akrip.dll");
  return library ? reinterpret_cast<HttpGetFunction>(reinterpret_cast<void*>(GetProcAddress(library, "AkripHttpGet")))
                 : nullptr;
}

std::string FetchFailure(int32_t error) {
  switch (error) {
    case akrip::kErrCddbNetwork:
      return "no network";
    case akrip::kErrCddbTimeout:
      return "timeout";
    case akrip::kErrCddbReply:
      return "bad reply";
    default:
      return "error " + std::to_string(error);
  }
}

// The answer for a disc from a fetch's outcome: `fetched` is AkripHttpGet's
// return, `error` GetAspiLibError's code after it, `status` and the body as
// it gave them.
AccurateRipAnswer AnswerFromFetch(int32_t fetched, int32_t error, int32_t status, const uint8_t* body, size_t size,
                                  const akrip::AccurateRipDiscId& disc) {
  AccurateRipAnswer answer;
  if (fetched != 1) {
    answer.failure = FetchFailure(error);
  } else if (status == 404) {
    answer.state = AccurateRipLookupState::kNotInDatabase;
  } else if (status != 200) {
    answer.failure = "HTTP status " + std::to_string(status);
  } else if (!ParseAccurateRipReply(body, size, disc, &answer.reply).ok) {
    answer.failure = "bad reply";
  } else {
    answer.state = AccurateRipLookupState::kAnswered;
  }
  return answer;
}

}  // namespace

AccurateRipServer AccurateRipServerInUse() {
  AccurateRipServer server;
  char text[256];
  const DWORD length = GetEnvironmentVariableA("CORVALE_ACCURATERIP_SERVER", text, sizeof text);
  if (length == 0 || length >= sizeof text) return server;
  const char* colon = std::strrchr(text, ':');
  if (!colon || colon == text) return server;
  const int port = std::atoi(colon + 1);
  if (port <= 0 || port > 65535) return server;
  server.host.assign(text, size_t(colon - text));
  server.port = port;
  return server;
}

std::shared_ptr<AccurateRipLookup> AccurateRipLookup::Start(const akrip::Toc& toc) {
  std::shared_ptr<AccurateRipLookup> lookup(new AccurateRipLookup);
  if (!akrip::ComputeAccurateRipDiscId(toc, &lookup->disc_).ok) return nullptr;
  const int count = toc.last_track >= toc.first_track ? toc.last_track - toc.first_track + 1 : 0;
  for (int i = 0; i < count && i < akrip::kTocDescriptors; ++i) {
    const akrip::TocDescriptor& descriptor = toc.descriptors[i];
    if (!(descriptor.adr_control & cdda::kControlDataTrack)) lookup->audio_numbers_.push_back(descriptor.track_number);
  }
  lookup->server_ = AccurateRipServerInUse();
  lookup->ended_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!lookup->ended_) return nullptr;
  // The thread keeps its own share: the lookup outlives a window or a job
  // that lets go of it before the server answers.
  auto* share = new std::shared_ptr<AccurateRipLookup>(lookup);
  HANDLE thread = CreateThread(nullptr, 0, Run, share, 0, nullptr);
  if (!thread) {
    delete share;
    return nullptr;
  }
  CloseHandle(thread);
  return lookup;
}

AccurateRipLookup::~AccurateRipLookup() {
  if (ended_) CloseHandle(ended_);
}

DWORD WINAPI AccurateRipLookup::Run(void* parameter) {
  std::unique_ptr<std::shared_ptr<AccurateRipLookup>> share(
      static_cast<std::shared_ptr<AccurateRipLookup>*>(parameter));
  AccurateRipLookup& lookup = **share;
  const HttpGetFunction http_get = FindHttpGet();
  if (!http_get) {
    lookup.answer_.failure = "no network";
  } else {
    std::vector<uint8_t> body(kReplyCapacity);
    int32_t size = 0;
    int32_t status = 0;
    const std::string path = "/" + akrip::AccurateRipPath(lookup.disc_);
    const int32_t fetched = http_get(lookup.server_.host.c_str(), lookup.server_.port, path.c_str(), body.data(),
                                     kReplyCapacity, &size, &status);
    const int32_t error = fetched == 1 ? 0 : GetAspiLibError();
    lookup.answer_ = AnswerFromFetch(fetched, error, status, body.data(), size > 0 ? size_t(size) : 0, lookup.disc_);
  }
  if (lookup.answer_.state == AccurateRipLookupState::kFailed) {
    OutputDebugStringA(("Corvale: the AccurateRip lookup failed: " + lookup.answer_.failure + "\n").c_str());
  }
  SetEvent(lookup.ended_);
  return 0;
}

bool AccurateRipLookup::Wait(DWORD milliseconds) const {
  return WaitForSingleObject(ended_, milliseconds) == WAIT_OBJECT_0;
}

int AccurateRipLookup::AudioIndexOf(int toc_number) const {
  for (size_t i = 0; i < audio_numbers_.size(); ++i) {
    if (audio_numbers_[i] == toc_number) return int(i);
  }
  return -1;
}

std::shared_ptr<AccurateRipLookup> StartAccurateRipLookupOfCurrentDisc() {
  const akrip::Handle drive = CurrentDriveHandle();
  akrip::Toc toc{};
  if (!drive || ReadTOC(drive, &toc) != akrip::kSuccess) return nullptr;
  ApplyCddbProxyOptions();
  return AccurateRipLookup::Start(toc);
}
