#include "akrip/accuraterip_disc_id.h"

#include <cstdio>

#include "akrip/cdda.h"

namespace akrip {
namespace {

uint32_t Be32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

}  // namespace

DiscIdResult ComputeAccurateRipDiscId(const Toc& toc, AccurateRipDiscId* disc) {
  *disc = AccurateRipDiscId();
  // The CDDB computation checks the table (order, lead-out, bounds) for both.
  CddbDiscId cddb;
  const DiscIdResult checked = ComputeCddbDiscId(toc, &cddb);
  if (!checked.ok) return checked;
  const int tracks = toc.last_track - toc.first_track + 1;
  const uint32_t lead_out = Be32(toc.descriptors[tracks].address_be);
  uint32_t id1 = 0;
  uint32_t id2 = 0;
  uint32_t number = 0;
  for (int i = 0; i < tracks; ++i) {
    const TocDescriptor& descriptor = toc.descriptors[i];
    if (descriptor.adr_control & cdda::kControlDataTrack) continue;
    const uint32_t start = Be32(descriptor.address_be);
    ++number;
    id1 += start;
    id2 += (start > 0 ? start : 1) * number;
  }
  if (number == 0) return {false, "no audio tracks"};
  disc->audio_tracks = int(number);
  disc->id1 = id1 + lead_out;
  disc->id2 = id2 + lead_out * (number + 1);
  disc->cddb_id = cddb.id;
  return {true, ""};
}

std::string AccurateRipIdText(const AccurateRipDiscId& disc) {
  char text[40];
  std::snprintf(text, sizeof text, "%03d-%08x-%08x-%08x", disc.audio_tracks, unsigned(disc.id1), unsigned(disc.id2),
                unsigned(disc.cddb_id));
  return text;
}

std::string AccurateRipPath(const AccurateRipDiscId& disc) {
  char folders[16];
  std::snprintf(folders, sizeof folders, "%x/%x/%x/", unsigned(disc.id1 & 0xF), unsigned(disc.id1 >> 4 & 0xF),
                unsigned(disc.id1 >> 8 & 0xF));
  return std::string("accuraterip/") + folders + "dBAR-" + AccurateRipIdText(disc) + ".bin";
}

}  // namespace akrip
