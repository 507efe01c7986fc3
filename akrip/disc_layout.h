// A CUE sheet laid out on a disc: where each track starts, which sectors come
// from which file, and the table of contents a drive would report for it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "akrip/cue_sheet.h"

namespace akrip {

constexpr int kSilenceExtent = -1;
constexpr int kBetweenSessionsExtent = -2;

// A run of disc sectors: consecutive sectors of one file, silence (a PREGAP
// or POSTGAP that no file holds), or the unreadable lead-out and lead-in
// between two sessions.
struct DiscExtent {
  uint32_t disc_start;
  uint32_t count;
  int file;              // an index into the files, kSilenceExtent or kBetweenSessionsExtent
  uint64_t file_sector;  // first sector within the file
};

struct LaidTrack {
  int number;
  uint8_t adr_control;  // ADR 1 in the high nibble, control bits in the low one
  bool data;
  uint32_t start;  // LBA of INDEX 01, as the table of contents gives it
};

struct LaidSession {
  int number;
  int first_track;
  int last_track;
  uint32_t lead_out;  // where the session's lead-out starts
};

struct DiscLayout {
  std::vector<LaidTrack> tracks;
  std::vector<LaidSession> sessions;
  std::vector<DiscExtent> extents;  // in disc order, covering 0 to lead_out
  uint32_t lead_out = 0;
};

constexpr uint32_t kMaxDiscSectors = (99 * 60 + 59) * 75 + 74 + 1;  // up to 99:59:74

struct LayoutResult {
  bool ok;
  const char* reason;
  int line = 0;  // the sheet's line the fault concerns (a FILE or TRACK line), 0 for the whole sheet
};

// Lays the sheet's tracks out given each file's size in bytes.  The disc is the
// files in order, with each PREGAP inserted before its track's first index and
// each POSTGAP after the track's last sector.  A new session begins
// cdda::kSessionGapSectors after the end of the one before.
LayoutResult LayOutDisc(const CueSheet& sheet, const std::vector<uint64_t>& file_bytes, DiscLayout* layout);

// The READ TOC format 0 response (addresses as LBA) for the layout.
void MakeToc(const DiscLayout& layout, Toc* toc);

// The session list a drive would report for the layout.
void MakeSessionList(const DiscLayout& layout, SessionList* sessions);

// The track that holds a sector in the sense of the table of contents: the last
// track whose INDEX 01 is at or before it (track 1 for sectors before that).
const LaidTrack& TrackOfSector(const DiscLayout& layout, uint32_t lba);

}  // namespace akrip
