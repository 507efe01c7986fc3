// The read cache of a drive that keeps the last sectors it read: a repeated
// read of any of them is answered from here, not from the disc.  Secure
// reading must get past such a cache, so the tests need one to defeat.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

namespace akrip {

class SectorCache {
 public:
  explicit SectorCache(size_t capacity) : capacity_(capacity) {}

  size_t capacity() const { return capacity_; }
  // Copies the cached sector into `out` (one sector's bytes) when it is held.
  bool Find(uint32_t lba, uint8_t* out) const;
  // Keeps the sector as read now, dropping the oldest beyond the capacity.
  void Keep(uint32_t lba, const uint8_t* sector);

 private:
  size_t capacity_;
  std::map<uint32_t, std::vector<uint8_t>> sectors_;
  std::deque<uint32_t> order_;  // oldest first
};

}  // namespace akrip
