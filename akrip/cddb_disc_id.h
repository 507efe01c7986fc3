// The CDDB identification of a disc, computed from its table of contents: the
// 32-bit disc id and the track offsets and length that a query sends with it.
// Every track of the table counts, data tracks included.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "akrip/akrip.h"

namespace akrip {

struct CddbDiscId {
  uint32_t id = 0;
  std::vector<uint32_t> frame_offsets;  // per track: LBA + 150
  uint32_t total_seconds = 0;           // lead-out frame / 75
};

struct DiscIdResult {
  bool ok;
  const char* reason;
};

// Fills `disc` from a READ TOC format 0 response.  Fails on a table without
// tracks, without a lead-out, or whose addresses do not rise.
DiscIdResult ComputeCddbDiscId(const Toc& toc, CddbDiscId* disc);

// "%08x" of the id.
std::string DiscIdText(uint32_t id);

// The arguments of "cddb query": id, track count, offsets, total seconds.
std::string CddbQueryArguments(const CddbDiscId& disc);

}  // namespace akrip
