#include "cd/session_ends.h"

void EndTracksAtSessionLeadOuts(const akrip::SessionList& sessions, TrackTable* table) {
  const int session_count = sessions.count < akrip::kMaxSessions ? sessions.count : akrip::kMaxSessions;
  for (int s = 0; s < session_count; ++s) {
    const akrip::SessionEntry& session = sessions.sessions[s];
    for (int i = 0; i < table->count && i < cdda::kMaxTracks; ++i) {
      TrackEntry& entry = table->entries[i];
      if (entry.number != session.last_track) continue;
      const int64_t end = static_cast<int64_t>(entry.start) + entry.length;
      if (session.lead_out > static_cast<uint32_t>(entry.start) && session.lead_out < end) {
        entry.length = static_cast<int32_t>(session.lead_out - static_cast<uint32_t>(entry.start));
      }
    }
  }
}
