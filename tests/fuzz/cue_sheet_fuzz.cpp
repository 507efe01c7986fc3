// Feeds arbitrary text to the CUE sheet parser as a user's disc image would,
// lays an accepted sheet out on a disc and reads the resulting table of
// contents the way the program does: nothing may crash, and the program must
// see tracks in ascending order, each ending after it starts and by the
// lead-out, or refuse the table; also after each session's last track is
// ended at the session's lead-out.
// fuzz-seeds: tests/akrip/cuesheets/good tests/akrip/cuesheets/bad
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "akrip/cue_sheet.h"
#include "akrip/disc_layout.h"
#include "cd/session_ends.h"
#include "cd/track_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  akrip::CueSheet sheet;
  if (!akrip::ParseCueSheet(text, &sheet).ok) return 0;

  // File sizes from the input itself, so they vary with it: whole and partial
  // sectors, small and large files.
  std::vector<uint64_t> file_bytes;
  for (size_t i = 0; i < sheet.files.size(); ++i) {
    const uint8_t seed = size ? data[i % size] : 0;
    file_bytes.push_back(uint64_t(seed) * 2352u * 97u + (seed & 1u ? 1000u : 0u));
  }
  akrip::DiscLayout layout;
  if (!akrip::LayOutDisc(sheet, file_bytes, &layout).ok) return 0;
  if (layout.lead_out > akrip::kMaxDiscSectors) std::abort();

  akrip::Toc toc{};
  akrip::MakeToc(layout, &toc);
  TrackTable table{};
  if (!TrackTableFromToc(toc, &table)) return 0;
  akrip::SessionList sessions{};
  akrip::MakeSessionList(layout, &sessions);
  EndTracksAtSessionLeadOuts(sessions, &table);
  if (table.count < 0 || table.count > 99) std::abort();
  for (int i = 0; i < table.count; ++i) {
    if (table.entries[i].length <= 0) std::abort();
    if (int64_t(table.entries[i].start) + table.entries[i].length > int64_t(layout.lead_out)) std::abort();
    if (i > 0 && table.entries[i].start < table.entries[i - 1].start) std::abort();
  }
  return 0;
}
