#include "cd/track_table.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

// Addresses are unsigned on the wire; 64 bits keep every difference of two
// of them exact.
int64_t DescriptorAddress(const akrip::TocDescriptor& d) {
  return int64_t((uint32_t(d.address_be[0]) << 24) | (uint32_t(d.address_be[1]) << 16) |
                 (uint32_t(d.address_be[2]) << 8) | uint32_t(d.address_be[3]));
}

}  // namespace

bool TrackTableFromToc(const akrip::Toc& toc, TrackTable* table) {
  const int first = toc.first_track;
  const int last = toc.last_track;
  const int descriptors = last - first + 1;
  TrackTable read{};
  if (descriptors > 0) {
    // The descriptor after the last track is the lead-out; a table with no
    // room for it is not a table of contents.
    if (descriptors >= akrip::kTocDescriptors) return false;
    const int64_t lead_out = DescriptorAddress(toc.descriptors[descriptors]);
    if (lead_out > INT32_MAX) return false;
    for (int i = 0; i < descriptors && read.count < cdda::kMaxTracks; ++i) {
      const akrip::TocDescriptor& d = toc.descriptors[i];
      if (d.track_number < first || d.track_number > last) continue;
      if (d.adr_control & cdda::kControlDataTrack) continue;
      const int64_t start = DescriptorAddress(d);
      const int64_t end = DescriptorAddress(toc.descriptors[i + 1]);
      // A track that does not end after it starts, or runs past the end of
      // the disc, would be ripped as garbage or as nothing at all.
      if (end <= start || end > lead_out) return false;
      TrackEntry& entry = read.entries[read.count++];
      entry.number = d.track_number;
      entry.start = int32_t(start);
      entry.length = int32_t(end - start);
    }
  }
  read.toc_first_track = first;
  read.toc_track_count = descriptors > 0 ? descriptors : 0;
  *table = read;
  return true;
}

void FormatTrackLength(int32_t sectors, char* buffer, int size) {
  if (!buffer || size < 1) return;
  if (sectors < 0) sectors = 0;
  const int32_t seconds = sectors / cdda::kSectorsPerSecond;
  const int32_t rest = sectors % cdda::kSectorsPerSecond;
  std::snprintf(buffer, static_cast<size_t>(size), "%2d:%02d.%02d", static_cast<int>(seconds / 60),
                static_cast<int>(seconds % 60), static_cast<int>(rest * 100 / cdda::kSectorsPerSecond));
}
