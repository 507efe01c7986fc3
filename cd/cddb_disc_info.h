// A CDDB disc record as the program keeps it, and what the program makes of
// records and matches: the parse, the match to take, the titles per track.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "cd/track_table.h"

constexpr int kCddbTextSize = 84;        // every title field
constexpr int kCddbTitleChars = 83;      // record values kept
constexpr int kCddbMatchTextChars = 81;  // artist and title of a match kept
constexpr int kCddbMaxTitles = cdda::kMaxTracks;
constexpr int kCddbRecordBufferSize = 10000;

struct CddbDiscInfo {
  char disc_title[kCddbTextSize];  // "Artist / Album"
  int32_t title_count;             // highest TTITLE number + 1
  char track_titles[kCddbMaxTitles][kCddbTextSize];
};
static_assert(sizeof(CddbDiscInfo) == 8488, "disc record layout");

// What a record says of the disc beyond its titles, kept for the tags of the
// ripped files.  Outside CddbDiscInfo, whose layout others rely on.
struct CddbDiscExtras {
  char year[kCddbTextSize];   // DYEAR
  char genre[kCddbTextSize];  // DGENRE
};

// Which bytes of the code page begin a double-byte character; cuts never
// separate such a byte from the one after it.
using LeadBytePredicate = bool (*)(unsigned char);

// Copies at most `max_chars` bytes of `source` into `dest` (room for
// max_chars + 1), shortened so as not to split a double-byte character, and
// NUL-terminates.  A null predicate knows no double-byte characters.
void CopyCut(char* dest, const char* source, size_t source_length, int max_chars, LeadBytePredicate is_lead);

// Parses KEY=value lines into `info` (zeroed first).  A key counts only at
// the start of a line and its value runs to the line's end; "#" lines are
// comments.  DTITLE gives the disc title, TTITLEn (n of digits only, below
// 100) track title n; a later line replaces an earlier one.  Values are cut
// to 83 characters.  With `extras` (zeroed first) DYEAR and DGENRE are kept
// there the same way.
void ParseCddbDiscInfo(const char* text, CddbDiscInfo* info, LeadBytePredicate is_lead,
                       CddbDiscExtras* extras = nullptr);

// The match to read: the first exact one, else the first.  -1 when none.
int ChooseCddbMatch(const akrip::CddbMatch* matches, int count);

// The title of each audio track of the table, in table order, or an empty
// list when the record's titles do not fit the disc.  Records hold one title
// per track of the table of contents, data tracks included: they map by track
// number when their count equals the number of TOC tracks.
std::vector<std::string> TitlesForAudioTracks(const std::vector<std::string>& record_titles, const TrackTable& table);

// The record's track titles, entry 0 to title count - 1.
std::vector<std::string> RecordTitles(const CddbDiscInfo& info);
