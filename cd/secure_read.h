// Reading a block of sectors until the drive gives the same data twice: each
// block is read at least twice, with the drive's cache defeated in between,
// and a sector whose reads differ is read again, up to a limit, until two
// reads of it agree.  A sector that never agrees is taken from its first read
// and reported as suspicious.
#pragma once

#include <cstdint>
#include <vector>

class BlockSource {
 public:
  virtual ~BlockSource() = default;
  // Reads `sectors` sectors from `lba` into `out`; false when the drive fails.
  virtual bool Read(int32_t lba, int32_t sectors, uint8_t* out) = 0;
  // Makes the next read of [lba, lba + sectors) come from the disc, not from
  // the drive's cache (by reading far enough elsewhere).
  virtual void DefeatCache(int32_t lba, int32_t sectors) = 0;
};

constexpr int kSecureReadLimit = 16;  // reads of one block at most

struct SecureBlock {
  bool read_ok = false;
  int reads = 0;                         // reads of the block made
  std::vector<int32_t> suspicious_lbas;  // sectors whose reads never agreed
};

// Reads [lba, lba + sectors) into `out` (sectors * 2352 bytes).  Fails only
// when the drive fails every read of the block.
SecureBlock ReadBlockSecurely(BlockSource& source, int32_t lba, int32_t sectors, uint8_t* out,
                              int read_limit = kSecureReadLimit);

// A run longer than any drive's cache: read twice in order, the second read
// of a sector cannot come from the cache, since everything after it in the
// run was read in between.
constexpr int32_t kSecureRunSectors = 2048;

struct SecureRun {
  bool read_ok = false;  // false: a block the drive refused on every read
  int reread_blocks = 0;
  std::vector<int32_t> suspicious_lbas;
};

// Reads [lba, lba + sectors) into `out` (sectors * 2352 bytes, sectors at
// most kSecureRunSectors): the run is read twice in blocks of `block_sectors`,
// with the cache defeated in between when the run is shorter than
// kSecureRunSectors, and each block whose two reads differ (or that failed)
// is read again with ReadBlockSecurely.
// `scratch` holds the second read (grown as needed, kept by the caller so a
// track's runs do not each allocate and clear it again).
SecureRun ReadRunSecurely(BlockSource& source, int32_t lba, int32_t sectors, uint8_t* out, int32_t block_sectors,
                          std::vector<uint8_t>* scratch);
