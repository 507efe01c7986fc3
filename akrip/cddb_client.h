// The CDDB client behind CDDBSetOption, CDDBQuery and CDDBGetDiskInfo: the
// options, the query for a table of contents and the read of a match's disc
// record.  The network is reached through a transport, so that everything
// but the sockets builds and is tested without Win32.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "akrip/akrip.h"
#include "akrip/cddb_protocol.h"
#include "akrip/cddb_record.h"

namespace akrip {

using CddbClock = std::chrono::steady_clock;

// Bounds of one exchange with the server.
struct CddbLimits {
  std::chrono::milliseconds connect_timeout{10000};
  std::chrono::milliseconds receive_timeout{10000};  // silence between two reads
  // One library call.  A lookup makes two, so it ends within twice this.
  std::chrono::milliseconds call_limit{15000};
  size_t max_reply_bytes = 1 << 20;
};

class CddbTransport {
 public:
  virtual ~CddbTransport() = default;
  // Connects to the target, sends the request and reads the reply until the
  // other side closes.  Gives kErrCddbNetwork, kErrCddbTimeout (the deadline or
  // a limit passed), or kErrCddbReply (more than the limit's bytes).
  virtual LibError Exchange(const HttpTarget& target, const std::string& request, const CddbLimits& limits,
                            CddbClock::time_point deadline, std::string* reply) = 0;
};

class CddbClient {
 public:
  CddbClient(std::unique_ptr<CddbTransport> transport, TextCodec codec, CddbLimits limits = CddbLimits());

  // Stores one option (CddbOption numbers).  Returns 1, or 0 for an unknown
  // option, a port out of range, or a text with a line break (the option keeps
  // its value).  A null text clears a text option.
  int32_t SetOption(int32_t option, const char* text, int32_t number);

  // Asks the server for the discs matching `toc`; fills up to
  // request->capacity match records and writes their number back.
  LibError Query(const Toc& toc, CddbQueryRequest* request);

  // Reads the disc record of a match of an earlier query into `text`
  // (NUL-terminated within `size` bytes).
  LibError GetDiskInfo(const CddbMatch* match, char* text, int32_t size);

  // Fetches `path` from `host`:`port` through the proxy options as they are
  // at the call, bounded like a CDDB request.  Any HTTP status comes back in
  // *status (the body only with 200); an exchange that fails, or a reply that
  // is not HTTP or is shorter than it says, gives its error code.
  LibError Fetch(const std::string& host, int32_t port, const std::string& path, int* status, std::string* body);

  CddbOptions Options();
  void SetLimits(const CddbLimits& limits);

 private:
  using RequestBuilder = std::function<ProtocolResult(const CddbOptions&, std::string* request, HttpTarget* target)>;

  LibError Exchange(const std::string& command, std::string* body);
  // Builds a request from the options as they are now, sends it and returns
  // the reply's status and body.
  LibError Send(const RequestBuilder& build, int* status, std::string* body);

  std::unique_ptr<CddbTransport> transport_;
  TextCodec codec_;
  CddbLimits limits_;
  std::mutex lock_;  // guards options_ and limits_
  CddbOptions options_;
};

}  // namespace akrip
