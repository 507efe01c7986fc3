// The AccurateRip database's answer for the disc in the drive.  The lookup
// runs on a thread of its own from the moment the table of contents is read,
// beside the CDDB lookup, so that a rip rarely waits for it; the rip job
// holds a share of it and waits for its end when it needs the answer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "akrip/accuraterip_disc_id.h"
#include "cd/accuraterip_reply.h"

enum class AccurateRipLookupState { kAnswered, kNotInDatabase, kFailed };

struct AccurateRipAnswer {
  AccurateRipLookupState state = AccurateRipLookupState::kFailed;
  AccurateRipReply reply;  // kAnswered: the responses for this disc
  std::string failure;     // kFailed: why, for the log ("no network", "timeout", "bad reply")
};

// Where the database is asked: the real server, unless the environment's
// CORVALE_ACCURATERIP_SERVER ("host:port") names another (tests point it at a
// loopback server of their own).
struct AccurateRipServer {
  std::string host = "www.accuraterip.com";
  int port = 80;
};
AccurateRipServer AccurateRipServerInUse();

class AccurateRipLookup {
 public:
  // Starts the lookup of the disc whose READ TOC response is `toc`; null when
  // the disc has no audio track or the thread cannot start.
  static std::shared_ptr<AccurateRipLookup> Start(const akrip::Toc& toc);
  ~AccurateRipLookup();
  AccurateRipLookup(const AccurateRipLookup&) = delete;
  AccurateRipLookup& operator=(const AccurateRipLookup&) = delete;

  // Waits at most `milliseconds` for the end; true once the answer is there.
  bool Wait(DWORD milliseconds) const;
  // Valid only after Wait returned true.
  const AccurateRipAnswer& answer() const { return answer_; }
  const akrip::AccurateRipDiscId& disc() const { return disc_; }
  // The position among the disc's audio tracks (0-based) of the track with
  // this number in the table of contents, or -1.
  int AudioIndexOf(int toc_number) const;

 private:
  AccurateRipLookup() = default;
  static DWORD WINAPI Run(void* parameter);

  akrip::AccurateRipDiscId disc_;
  std::vector<int> audio_numbers_;
  AccurateRipServer server_;
  HANDLE ended_ = nullptr;  // manual reset, set when answer_ is final
  AccurateRipAnswer answer_;
};

// Starts the lookup of the disc in the current drive; null when its table of
// contents cannot be read or holds no audio track.
std::shared_ptr<AccurateRipLookup> StartAccurateRipLookupOfCurrentDisc();
