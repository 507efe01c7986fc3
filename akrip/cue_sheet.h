// CUE sheets of disc images: the text people write beside the image's raw
// (.bin), WAVE or FLAC files.  Parsing only; laying the tracks out on a disc needs the file sizes and
// happens in disc_layout.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace akrip {

enum class TrackMode { kAudio, kMode1Raw, kMode2Raw };

// How a FILE's bytes become sectors.  Rippers write "WAVE" for FLAC files
// too, so kAudioFile files are told apart by their content when opened.
enum class CueFileType {
  kBinary,    // raw sectors, samples little-endian
  kMotorola,  // raw sectors, samples big-endian
  kAudioFile  // "WAVE" or "FLAC": a container holding 16-bit stereo PCM
};

struct CueFile {
  std::string name;  // as written: bytes of the sheet's encoding (see CueSheet::utf8)
  CueFileType type;
  int line;  // where the FILE line stands, for messages about the file
};

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
  std::string title;              // from TITLE and PERFORMER; empty when the sheet has none
  std::string performer;
  int line;  // where the TRACK line stands
};

struct CueSheet {
  std::vector<CueFile> files;
  std::vector<CueTrack> tracks;
  std::string title;  // the disc's, from TITLE and PERFORMER before the first track
  std::string performer;
  // True when the sheet is UTF-8 (a byte-order mark, or bytes that are valid
  // UTF-8); otherwise its names and texts are in the ANSI code page.
  bool utf8 = true;
};

struct CueResult {
  bool ok;
  int line;            // 1-based line of the fault; 0 when it concerns the whole sheet
  const char* reason;  // fixed text, empty when ok
};

// Parses a sheet (CR LF or LF line ends, an optional UTF-8 byte-order mark).
// A name or text may be quoted or not; unquoted, the words are joined by one blank.
// "REM SESSION nn" starts session nn (numbers rise by one from 01) for the
// tracks that follow: the way an Enhanced CD's data session is described.
// On failure the sheet is left in an unspecified state.
CueResult ParseCueSheet(const std::string& text, CueSheet* sheet);

// Sectors of an "mm:ss:ff" time (ss below 60, ff below 75); false if malformed.
bool ParseCueTime(const std::string& text, uint32_t* sectors);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(const std::string& text);

}  // namespace akrip
