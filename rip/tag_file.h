// Reads and writes the tags of audio files through TagLib: the tags of a
// ripped MP3 or WMA file once its encoder is done, and the four texts of the
// Edit Tag dialog.  A file is never changed in place: its tags are written
// into a copy in the same folder, which replaces it only when complete.
#pragma once

#include <string>

#include "rip/track_tags.h"

// The texts the user may edit, in the program's ANSI code page.
struct EditableTags {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;  // "" for none
};

inline bool operator==(const EditableTags& a, const EditableTags& b) {
  return a.title == b.title && a.artist == b.artist && a.album == b.album && a.year == b.year;
}

enum class TagFileResult {
  kDone,
  kNotAudio,  // not a file of the kind its name says, or no such file
  kReadOnly,
  kInUse,   // another program holds the file open
  kFailed,  // the copy could not be made or written (disk full, no rights, ...)
};

TagFileResult ReadEditableTags(const char* path, EditableTags* tags);

// Writes the texts that differ between `before` (as read) and `after`; a
// year must have passed ParseTagYear.  Nothing differing: kDone, and the
// file is not touched.
TagFileResult SaveEditedTags(const char* path, const EditableTags& before, const EditableTags& after);

// The rip's tags (UTF-8 Vorbis comment fields) into an MP3 as ID3v2.3 with an
// ID3v1 copy, or into a WMA file as ASF attributes.
TagFileResult WriteRipTags(const char* path, const TagFields& fields);
