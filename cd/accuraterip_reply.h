// The AccurateRip database's answer for one disc, and the verdict on a track
// read from it.  The answer is one or more responses (from different
// pressings), each a 13-byte header, then 9 bytes for each track.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "akrip/accuraterip_disc_id.h"

struct AccurateRipEntry {
  uint8_t confidence;  // how many submissions agreed on this checksum
  uint32_t checksum;
  uint32_t frame450_checksum;  // of one sector, for finding a drive's offset
};

struct AccurateRipResponse {
  std::vector<AccurateRipEntry> tracks;
};

struct AccurateRipReply {
  std::vector<AccurateRipResponse> responses;  // those whose header is the disc's
  int discarded = 0;                           // responses for another disc
};

struct AccurateRipParse {
  bool ok;
  const char* reason;
};

constexpr size_t kAccurateRipHeaderBytes = 13;
constexpr size_t kAccurateRipEntryBytes = 9;

// Reads `size` bytes of a database file for `disc`.  A response whose header
// names another disc is counted in `discarded` and left out; a reply cut
// inside a response, or one with no response at all, is an error and gives
// no responses, never a partial answer.
AccurateRipParse ParseAccurateRipReply(const uint8_t* data, size_t size, const akrip::AccurateRipDiscId& disc,
                                       AccurateRipReply* reply);

enum class AccurateRipStatus { kAccurate, kNotAccurate, kNotInDatabase };

struct AccurateRipVerdict {
  AccurateRipStatus status;
  // Accurate: the confidence summed over the matching responses.  Not
  // accurate: the submissions for that track in all responses.
  uint32_t confidence;
};

// A track (0-based among the audio tracks) is accurate when its v1 or v2
// checksum equals that of a response with a confidence above 0.  A reply
// without a response for the disc counts as the disc not being in the
// database.
AccurateRipVerdict JudgeTrack(const AccurateRipReply& reply, int audio_track, uint32_t v1, uint32_t v2);
