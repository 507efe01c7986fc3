// Which tag layout an audio file carries, told by its name, and the checks
// of texts a user types into a tag.
#pragma once

#include <optional>
#include <string>

#include "rip/track_tags.h"

enum class TagLayout {
  kNone,       // not a file whose tags the program reads or writes
  kId3,        // .mp3: ID3v2.3 with an ID3v1 copy
  kOggVorbis,  // .ogg: Vorbis comments
  kFlac,       // .flac: a VORBIS_COMMENT block
  kOpus,       // .opus: OpusTags
  kAsf,        // .wma: ASF attributes
};

// By the name's last extension, in any letter case ("a.mp3.txt" is none).
TagLayout TagLayoutForFileName(const std::string& name);

// A typed year: blanks around it are ignored, empty means "no year" (0), and
// anything but a whole number from 0 to 9999 is refused.
std::optional<int> ParseTagYear(const std::string& text);

// The value of the first field of that name, or "" when there is none.
std::string TagFieldValue(const TagFields& fields, const char* name);

// ID3's track text "n/total", "n" without a total, "" without a number.
std::string Id3TrackText(const TagFields& fields);
