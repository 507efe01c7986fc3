// Feeds arbitrary bytes to the reading of an AccurateRip database reply, for
// a disc taken from the input's first bytes: nothing may crash, an error
// leaves no response, and every response kept has the disc's track count.
// fuzz-seeds: tests/cd/accuraterip_replies
#include <cstdint>
#include <cstdlib>

#include "cd/accuraterip_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  akrip::AccurateRipDiscId disc;
  disc.audio_tracks = size > 0 ? data[0] : 3;
  disc.id1 = 0x0001a2b3;
  disc.id2 = 0x0004c5d6;
  disc.cddb_id = 0x1a0b2c03;
  AccurateRipReply reply;
  const AccurateRipParse parse = ParseAccurateRipReply(data, size, disc, &reply);
  if (!parse.ok && (!reply.responses.empty() || reply.discarded != 0)) std::abort();
  for (const AccurateRipResponse& response : reply.responses) {
    if (int(response.tracks.size()) != disc.audio_tracks) std::abort();
  }
  for (int track = -1; track <= disc.audio_tracks; ++track) JudgeTrack(reply, track, 0x11111111, 0);
  return 0;
}
