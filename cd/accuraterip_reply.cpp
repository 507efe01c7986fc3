#include "cd/accuraterip_reply.h"

namespace {

uint32_t Le32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

bool IsFor(const uint8_t* header, const akrip::AccurateRipDiscId& disc) {
  return header[0] == disc.audio_tracks && Le32(header + 1) == disc.id1 && Le32(header + 5) == disc.id2 &&
         Le32(header + 9) == disc.cddb_id;
}

}  // namespace

AccurateRipParse ParseAccurateRipReply(const uint8_t* data, size_t size, const akrip::AccurateRipDiscId& disc,
                                       AccurateRipReply* reply) {
  *reply = AccurateRipReply();
  if (size == 0) return {false, "empty reply"};
  AccurateRipReply read;
  size_t at = 0;
  while (at < size) {
    if (size - at < kAccurateRipHeaderBytes) return {false, "reply cut inside a header"};
    const uint8_t* header = data + at;
    const size_t tracks = header[0];
    if (tracks == 0) return {false, "response without tracks"};
    const size_t length = kAccurateRipHeaderBytes + tracks * kAccurateRipEntryBytes;
    if (size - at < length) return {false, "reply cut inside a response"};
    if (IsFor(header, disc)) {
      AccurateRipResponse response;
      for (size_t i = 0; i < tracks; ++i) {
        const uint8_t* entry = header + kAccurateRipHeaderBytes + i * kAccurateRipEntryBytes;
        response.tracks.push_back({entry[0], Le32(entry + 1), Le32(entry + 5)});
      }
      read.responses.push_back(std::move(response));
    } else {
      ++read.discarded;
    }
    at += length;
  }
  *reply = std::move(read);
  return {true, ""};
}

AccurateRipVerdict JudgeTrack(const AccurateRipReply& reply, int audio_track, uint32_t v1, uint32_t v2) {
  if (reply.responses.empty()) return {AccurateRipStatus::kNotInDatabase, 0};
  uint32_t matching = 0;
  uint32_t submissions = 0;
  bool accurate = false;
  for (const AccurateRipResponse& response : reply.responses) {
    if (audio_track < 0 || size_t(audio_track) >= response.tracks.size()) continue;
    const AccurateRipEntry& entry = response.tracks[size_t(audio_track)];
    submissions += entry.confidence;
    if (entry.confidence > 0 && (entry.checksum == v1 || entry.checksum == v2)) {
      accurate = true;
      matching += entry.confidence;
    }
  }
  if (accurate) return {AccurateRipStatus::kAccurate, matching};
  return {AccurateRipStatus::kNotAccurate, submissions};
}
