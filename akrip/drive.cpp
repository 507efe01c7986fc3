#include "akrip/drive.h"

#include <cstring>

namespace akrip {

uint32_t DescriptorLba(const TocDescriptor& d) {
  return (uint32_t(d.address_be[0]) << 24) | (uint32_t(d.address_be[1]) << 16) | (uint32_t(d.address_be[2]) << 8) |
         uint32_t(d.address_be[3]);
}

void SingleSessionFromToc(const Toc& toc, SessionList* sessions) {
  std::memset(sessions, 0, sizeof *sessions);
  sessions->count = 1;
  SessionEntry& only = sessions->sessions[0];
  only.number = 1;
  only.first_track = toc.first_track;
  only.last_track = toc.last_track;
  const int lead_out_slot = toc.last_track - toc.first_track + 1;
  if (lead_out_slot >= 0 && lead_out_slot < kTocDescriptors) {
    only.lead_out = DescriptorLba(toc.descriptors[lead_out_slot]);
  }
}

LibError Drive::ReadSessions(SessionList* sessions) {
  Toc toc;
  LibError error = ReadToc(&toc);
  if (error != kErrNone) return error;
  SingleSessionFromToc(toc, sessions);
  return kErrNone;
}

}  // namespace akrip
