// CUE sheets of raw disc images: the text people write beside a .bin file.
// Parsing only; laying the tracks out on a disc needs the file sizes and
// happens in disc_layout.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace akrip {

enum class TrackMode { kAudio, kMode1Raw, kMode2Raw };

struct CueIndex {
  int number;         // 0 (pregap) to 99
  int file;           // index into CueSheet::files
  uint32_t position;  // sectors from the start of that file
};

struct CueTrack {
  int number;  // 1 to 99
  TrackMode mode;
  uint8_t flag_bits;              // control bits from FLAGS: 0x01 PRE, 0x02 DCP, 0x08 4CH
  uint32_t pregap;                // sectors of silence before the first index, not in any file
  uint32_t postgap;               // sectors of silence after the track, not in any file
  std::vector<CueIndex> indexes;  // numbers rise by one, starting at 0 or 1
  int session;                    // 1 unless a "REM SESSION nn" line came before the track
};

struct CueSheet {
  std::vector<std::string> files;  // names as written, each a BINARY file
  std::vector<CueTrack> tracks;
};

struct CueResult {
  bool ok;
  int line;            // 1-based line of the fault; 0 when it concerns the whole sheet
  const char* reason;  // fixed text, empty when ok
};

// Parses a sheet (CR LF or LF line ends, an optional UTF-8 byte-order mark).
// "REM SESSION nn" starts session nn (numbers rise by one from 01) for the
// tracks that follow: the way an Enhanced CD's data session is described.
// On failure the sheet is left in an unspecified state.
CueResult ParseCueSheet(const std::string& text, CueSheet* sheet);

// Sectors of an "mm:ss:ff" time (ss below 60, ff below 75); false if malformed.
bool ParseCueTime(const std::string& text, uint32_t* sectors);

}  // namespace akrip
