#include "cd/track_table.h"

#include <cstdio>
#include <cstring>

namespace {

int32_t DescriptorAddress(const akrip::TocDescriptor& d) {
  return static_cast<int32_t>((uint32_t(d.address_be[0]) << 24) | (uint32_t(d.address_be[1]) << 16) |
                              (uint32_t(d.address_be[2]) << 8) | uint32_t(d.address_be[3]));
}

}  // namespace

int TrackTableFromToc(const akrip::Toc& toc, TrackTable* table) {
  const int first = toc.first_track;
  const int last = toc.last_track;
  int taken = 0;
  // The descriptor after the last one read is the lead-out, so the walk must
  // leave one slot for it.
  const int descriptors = last - first + 1;
  for (int i = 0; i < descriptors && i + 1 < akrip::kTocDescriptors && taken < cdda::kMaxTracks; ++i) {
    const akrip::TocDescriptor& d = toc.descriptors[i];
    if (d.track_number < first || d.track_number > last) continue;
    if (d.adr_control & cdda::kControlDataTrack) continue;
    TrackEntry& entry = table->entries[taken++];
    entry.number = d.track_number;
    entry.start = DescriptorAddress(d);
    entry.length = DescriptorAddress(toc.descriptors[i + 1]) - entry.start;
  }
  table->count = taken;
  table->toc_first_track = first;
  table->toc_track_count = descriptors > 0 ? descriptors : 0;
  return taken;
}

void FormatTrackLength(int32_t sectors, char* buffer, int size) {
  if (!buffer || size < 1) return;
  if (sectors < 0) sectors = 0;
  const int32_t seconds = sectors / cdda::kSectorsPerSecond;
  const int32_t rest = sectors % cdda::kSectorsPerSecond;
  std::snprintf(buffer, static_cast<size_t>(size), "%2d:%02d.%02d", static_cast<int>(seconds / 60),
                static_cast<int>(seconds % 60), static_cast<int>(rest * 100 / cdda::kSectorsPerSecond));
}
