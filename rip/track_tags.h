// The tags a ripped track's file carries, as Vorbis comment fields (the names
// Ogg Vorbis, FLAC and Opus share).
#pragma once

#include <string>
#include <vector>

struct TagField {
  std::string name;
  std::string value;
};
using TagFields = std::vector<TagField>;

// What is known of a track when it is ripped, in one text encoding.
struct TrackTagTexts {
  std::string title;
  std::string artist;
  std::string album;
  std::string year;  // as the CDDB record gives it
  std::string genre;
  std::string disc_id;  // the CDDB disc id
  int number = 0;       // the track's number in the table of contents
  int total = 0;        // tracks in the table of contents
};

// TITLE, ARTIST, ALBUM, TRACKNUMBER, TRACKTOTAL, DATE, GENRE and CDDB, in
// that order.  A field whose text is empty or blank is left out rather than
// written empty, a number below 1 likewise, and CDDB only for an id of 8 hex
// digits.  Values lose surrounding blanks.
TagFields VorbisCommentFields(const TrackTagTexts& texts);
