// Feeds arbitrary bytes to the reading of a server's reply, as a query and
// as a disc record: nothing may crash, matches must fit their fields, and the
// record built from a reply must fit the buffer it is meant for.
// fuzz-seeds: tests/akrip/cddb_replies/query tests/akrip/cddb_replies/read
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "akrip/cddb_protocol.h"
#include "akrip/cddb_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string reply(reinterpret_cast<const char*>(data), size);
  int status = 0;
  std::string body;
  if (!akrip::ParseHttpReply(reply, &status, &body).ok) body = reply;
  if (body.size() > reply.size()) std::abort();

  std::vector<akrip::ReplyMatch> matches;
  if (akrip::ParseQueryReply(body, &matches).ok) {
    for (const akrip::ReplyMatch& match : matches) {
      if (match.category.empty() || match.category.size() > 11 || match.disc_id.size() != 8) std::abort();
    }
  }
  std::vector<std::string> lines;
  if (akrip::ParseReadReply(body, &lines).ok) {
    const size_t capacity = 1 + (size ? data[0] : 0) * 40;
    const std::string record = akrip::BuildDiscRecord(lines, akrip::Utf8Codec(), capacity);
    if (record.size() + 1 > capacity && !record.empty()) std::abort();
    if (!record.empty() && record.back() != '\n') std::abort();
  }
  return 0;
}
