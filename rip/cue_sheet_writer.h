// The cue sheet written beside a rip's files: the disc's texts, then for each
// track its file, title and performer, so that a player or another ripper can
// take the files as the disc.  Lines end in CRLF; the texts are written as
// handed in (the caller picks their encoding).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct CueSheetTrack {
  int number = 0;    // in the table of contents
  std::string file;  // name without folder
  std::string title;
  std::string performer;
  int32_t start = 0;  // first sector on the disc
};

struct CueSheetDisc {
  std::string genre;  // empty when unknown
  std::string year;
  std::string disc_id;  // CDDB id, 8 hex digits
  std::string comment;  // program and version
  std::string performer;
  std::string title;
};

// "WAVE", or "MP3" for a file ending in ".mp3" (without regard to case).
const char* CueFileType(const std::string& file);

std::string FormatCueSheet(const CueSheetDisc& disc, const std::vector<CueSheetTrack>& tracks);
