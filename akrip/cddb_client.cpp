#include "akrip/cddb_client.h"

#include <cstring>
#include <vector>

#include "akrip/cddb_disc_id.h"

namespace akrip {
namespace {

constexpr char kDefaultCgiPath[] = "/~cddb/cddb.cgi";
constexpr char kDefaultClient[] = "akrip 1.0";
constexpr int32_t kHighestPort = 65535;

template <size_t N>
void CopyField(char (&field)[N], const std::string& text) {
  const size_t length = text.size() < N - 1 ? text.size() : N - 1;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// A field of a caller's match record, which must hold its NUL.
template <size_t N>
bool ReadField(const char (&field)[N], std::string* text) {
  const size_t length = strnlen(field, N);
  if (length == N || length == 0) return false;
  text->assign(field, length);
  return true;
}

bool AllOf(const std::string& text, const char* allowed) {
  return text.find_first_not_of(allowed) == std::string::npos;
}

}  // namespace

CddbClient::CddbClient(std::unique_ptr<CddbTransport> transport, TextCodec codec, CddbLimits limits)
    : transport_(std::move(transport)), codec_(std::move(codec)), limits_(limits) {
  options_.cgi_path = kDefaultCgiPath;
  options_.client_name = kDefaultClient;
}

int32_t CddbClient::SetOption(int32_t option, const char* text, int32_t number) {
  const std::string value = text ? text : "";
  if (HasLineBreak(value)) return 0;
  std::lock_guard<std::mutex> guard(lock_);
  switch (option) {
    case kCddbServer:
      options_.server = value;
      return 1;
    case kCddbProxyHost:
      options_.proxy_host = value;
      return 1;
    case kCddbUseProxy:
      options_.use_proxy = number != 0;
      return 1;
    case kCddbClientName:
      options_.client_name = value;
      return 1;
    case kCddbUserEmail:
      options_.user_email = value;
      return 1;
    case kCddbCgiPath:
      options_.cgi_path = value;
      return 1;
    case kCddbProxyPort:
      if (number < 0 || number > kHighestPort) return 0;
      options_.proxy_port = number;
      return 1;
    case kCddbHttpPort:
      if (number < 1 || number > kHighestPort) return 0;
      options_.http_port = number;
      return 1;
    default:
      return 0;
  }
}

void CddbClient::SetLimits(const CddbLimits& limits) {
  std::lock_guard<std::mutex> guard(lock_);
  limits_ = limits;
}

CddbOptions CddbClient::Options() {
  std::lock_guard<std::mutex> guard(lock_);
  return options_;
}

LibError CddbClient::Exchange(const std::string& command, std::string* body) {
  int status = 0;
  const LibError error =
      Send([&command](const CddbOptions& options, std::string* request,
                      HttpTarget* target) { return BuildCddbRequest(options, command, request, target); },
           &status, body);
  if (error != kErrNone) return error;
  return status == 200 ? kErrNone : kErrCddbReply;
}

LibError CddbClient::Send(const RequestBuilder& build, int* status, std::string* body) {
  *status = 0;
  body->clear();
  // A copy, taken at the call: a lookup may run beside another one whose
  // options change meanwhile.
  CddbOptions options;
  CddbLimits limits;
  {
    std::lock_guard<std::mutex> guard(lock_);
    options = options_;
    limits = limits_;
  }
  std::string request;
  HttpTarget target;
  if (!build(options, &request, &target).ok) return kErrBadArgument;
  std::string reply;
  const CddbClock::time_point deadline = CddbClock::now() + limits.call_limit;
  const LibError error = transport_->Exchange(target, request, limits, deadline, &reply);
  if (error != kErrNone) return error;
  // A status other than 200 is an answer too; only its body is of no use.
  if (!ParseHttpReply(reply, status, body).ok && (*status == 0 || *status == 200)) return kErrCddbReply;
  if (*status != 200) body->clear();
  return kErrNone;
}

LibError CddbClient::Fetch(const std::string& host, int32_t port, const std::string& path, int* status,
                           std::string* body) {
  return Send([&](const CddbOptions& options, std::string* request,
                  HttpTarget* target) { return BuildHttpGetRequest(options, host, port, path, request, target); },
              status, body);
}

LibError CddbClient::Query(const Toc& toc, CddbQueryRequest* request) {
  if (!request || request->capacity < 0 || (request->capacity > 0 && !request->matches)) return kErrBadArgument;
  CddbDiscId disc;
  if (!ComputeCddbDiscId(toc, &disc).ok) return kErrNotReady;
  std::string body;
  const LibError error = Exchange("cddb query " + CddbQueryArguments(disc), &body);
  if (error != kErrNone) return error;
  std::vector<ReplyMatch> matches;
  if (!ParseQueryReply(body, &matches).ok) return kErrCddbReply;

  const size_t count = matches.size() < size_t(request->capacity) ? matches.size() : size_t(request->capacity);
  for (size_t i = 0; i < count; ++i) {
    CddbMatch& record = request->matches[i];
    std::memset(&record, 0, sizeof record);
    CopyField(record.category, matches[i].category);
    CopyField(record.disc_id, matches[i].disc_id);
    record.exact = matches[i].exact ? 1 : 0;
    const DiscTitleSplit split = SplitCddbDiscTitle(matches[i].disc_title);
    CopyField(record.artist, CutText(codec_.from_utf8(split.artist), sizeof record.artist - 1, codec_));
    CopyField(record.title, CutText(codec_.from_utf8(split.title), sizeof record.title - 1, codec_));
  }
  request->capacity = int32_t(count);
  return kErrNone;
}

LibError CddbClient::GetDiskInfo(const CddbMatch* match, char* text, int32_t size) {
  if (!match || !text || size < 1) return kErrBadArgument;
  text[0] = '\0';
  std::string category;
  std::string disc_id;
  if (!ReadField(match->category, &category) || !ReadField(match->disc_id, &disc_id) ||
      !AllOf(category, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") || disc_id.size() != 8 ||
      !AllOf(disc_id, "0123456789abcdefABCDEF")) {
    return kErrBadArgument;
  }
  std::string body;
  const LibError error = Exchange("cddb read " + category + " " + disc_id, &body);
  if (error != kErrNone) return error;
  std::vector<std::string> lines;
  if (!ParseReadReply(body, &lines).ok) return kErrCddbReply;
  const std::string record = BuildDiscRecord(lines, codec_, size_t(size));
  std::memcpy(text, record.c_str(), record.size() + 1);
  return kErrNone;
}

}  // namespace akrip
