#include "akrip/cddb_disc_id.h"

#include <cstdio>

#include "akrip/cdda.h"

namespace akrip {
namespace {

uint32_t Be32(const uint8_t* bytes) {
  return uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
}

uint32_t DigitSum(uint32_t value) {
  uint32_t sum = 0;
  for (; value > 0; value /= 10) sum += value % 10;
  return sum;
}

// Addresses past this are not on any CD; they would only overflow the sums.
constexpr uint32_t kLargestLba = 100u * 60u * cdda::kSectorsPerSecond;

}  // namespace

DiscIdResult ComputeCddbDiscId(const Toc& toc, CddbDiscId* disc) {
  *disc = CddbDiscId();
  const int first = toc.first_track;
  const int last = toc.last_track;
  if (first < 1 || last < first || last > cdda::kMaxTrackNumber) return {false, "no tracks in the table"};
  const int tracks = last - first + 1;
  if (tracks + 1 > kTocDescriptors) return {false, "table too long"};
  bool lead_out_found = false;
  uint32_t lead_out = 0;
  for (int i = 0; i <= tracks; ++i) {
    const TocDescriptor& descriptor = toc.descriptors[i];
    const uint32_t lba = Be32(descriptor.address_be);
    if (lba > kLargestLba) return {false, "address beyond a CD"};
    if (i < tracks) {
      if (descriptor.track_number != first + i) return {false, "track numbers out of order"};
      const uint32_t frame = lba + cdda::kMsfPregapFrames;
      if (!disc->frame_offsets.empty() && frame <= disc->frame_offsets.back()) {
        return {false, "track addresses do not rise"};
      }
      disc->frame_offsets.push_back(frame);
    } else {
      if (descriptor.track_number != cdda::kLeadOutTrackNumber) break;
      lead_out = lba + cdda::kMsfPregapFrames;
      lead_out_found = true;
    }
  }
  if (!lead_out_found) return {false, "no lead-out"};
  if (lead_out <= disc->frame_offsets.back()) return {false, "lead-out before the last track"};

  uint32_t sum = 0;
  for (uint32_t frame : disc->frame_offsets) sum += DigitSum(frame / cdda::kSectorsPerSecond);
  disc->total_seconds = lead_out / cdda::kSectorsPerSecond;
  const uint32_t length = disc->total_seconds - disc->frame_offsets.front() / cdda::kSectorsPerSecond;
  disc->id = (sum % 0xFF) << 24 | length << 8 | uint32_t(tracks);
  return {true, ""};
}

std::string DiscIdText(uint32_t id) {
  char text[9];
  std::snprintf(text, sizeof text, "%08x", unsigned(id));
  return text;
}

std::string CddbQueryArguments(const CddbDiscId& disc) {
  std::string text = DiscIdText(disc.id) + " " + std::to_string(disc.frame_offsets.size());
  for (uint32_t frame : disc.frame_offsets) text += " " + std::to_string(frame);
  text += " " + std::to_string(disc.total_seconds);
  return text;
}

}  // namespace akrip
