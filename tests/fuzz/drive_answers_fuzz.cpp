// Feeds arbitrary bytes to the parsers of what a drive answers: sense data,
// a READ TOC format 0 response, and a full TOC checked against that TOC.
// Nothing may read out of bounds, and an accepted session list must cover
// the TOC's tracks in order, each session ending after its first track.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "akrip/scsi_drive.h"
#include "akrip/scsi_sense.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Exact-size copies, so that the sanitizer sees any read past the end.
  const std::vector<uint8_t> bytes(data, data + size);
  const akrip::Sense sense = akrip::ParseSense(bytes.data(), uint32_t(bytes.size()));
  akrip::ConditionOf(sense);

  // The first byte says where the TOC ends and the full TOC begins.
  if (size == 0) return 0;
  const size_t split = 1 + data[0] * 4u;
  if (split > size) return 0;
  const std::vector<uint8_t> toc_bytes(data + 1, data + split);
  const std::vector<uint8_t> full(data + split, data + size);
  akrip::Toc toc;
  if (akrip::TocFromResponse(toc_bytes.data(), uint32_t(toc_bytes.size()), &toc) != akrip::kErrNone) return 0;
  akrip::SessionList sessions;
  if (!akrip::SessionsFromFullToc(full.data(), uint32_t(full.size()), toc, &sessions)) return 0;
  if (sessions.count < 1 || sessions.count > akrip::kMaxSessions) std::abort();
  int next = toc.first_track;
  for (int s = 0; s < sessions.count; ++s) {
    const akrip::SessionEntry& e = sessions.sessions[s];
    if (e.first_track != next || e.last_track < e.first_track) std::abort();
    if (e.lead_out <= akrip::DescriptorLba(toc.descriptors[e.first_track - toc.first_track])) std::abort();
    next = e.last_track + 1;
  }
  if (next != toc.last_track + 1) std::abort();
  return 0;
}
