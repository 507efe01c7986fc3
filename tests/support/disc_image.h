// Small CUE/BIN disc images for tests that read through the CD-access library.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct TestDiscTrack {
  int32_t sectors;
  bool data = false;         // MODE1/2352 instead of AUDIO
  bool new_session = false;  // starts the next session, after the gap between sessions
};

struct TestDisc {
  std::string cue_path;
  std::string bin_path;
  std::vector<int32_t> starts;   // LBA of each track's INDEX 01
  std::vector<int32_t> lengths;  // sectors the image holds for each track
};

// Writes `name`.cue and `name`.bin into `folder`: one BIN holding every track
// back to back, each sector filled by SectorByte() of its disc address.  A
// track that starts a new session comes cdda::kSessionGapSectors later on the
// disc than the end of the track before.
TestDisc WriteTestDisc(const std::string& folder, const std::string& name, const std::vector<TestDiscTrack>& tracks);

// The byte at `offset` (0 to 2351) of sector `lba` of every test disc.
inline uint8_t SectorByte(int32_t lba, int offset) {
  uint32_t x = uint32_t(lba) * 2654435761u + uint32_t(offset) * 40503u;
  return uint8_t(x >> 13);
}

// The bytes of sectors [start, start + count) of every test disc.
std::vector<unsigned char> ExpectedSectors(int32_t start, int32_t count);

}  // namespace testing_support
