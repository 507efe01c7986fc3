// The disc's audio tracks as read from the table of contents.
#pragma once

#include <cstdint>

#include "akrip/akrip.h"
#include "akrip/cdda.h"

struct TrackEntry {
  int32_t number;  // track number on the disc, 1 to 99
  int32_t start;   // LBA
  int32_t length;  // sectors: next descriptor's start minus this start
};

struct TrackTable {
  int32_t count;  // valid entries, 0 to 99
  TrackEntry entries[cdda::kMaxTracks];
  // The table of contents as a whole, data tracks included: a CDDB record
  // numbers its titles over these.
  int32_t toc_first_track;
  int32_t toc_track_count;
};

// Fills the table from a READ TOC format 0 response: every audio descriptor
// whose track number lies between first and last.  A broken table (no room
// for the lead-out, a track that does not end after its start or that ends
// past the lead-out) gives false and leaves `table` unchanged.
bool TrackTableFromToc(const akrip::Toc& toc, TrackTable* table);

// "%2d:%02d.%02d" of minutes, seconds and hundredths of a length in sectors.
// The buffer needs room for 12 characters.
void FormatTrackLength(int32_t sectors, char* buffer, int size);
