#include "akrip/sector_cache.h"

#include <algorithm>
#include <cstring>

#include "akrip/cdda.h"

namespace akrip {

bool SectorCache::Find(uint32_t lba, uint8_t* out) const {
  const auto it = sectors_.find(lba);
  if (it == sectors_.end()) return false;
  std::memcpy(out, it->second.data(), it->second.size());
  return true;
}

void SectorCache::Keep(uint32_t lba, const uint8_t* sector) {
  if (capacity_ == 0) return;
  const auto it = sectors_.find(lba);
  if (it != sectors_.end()) {
    order_.erase(std::find(order_.begin(), order_.end(), lba));
  }
  sectors_[lba].assign(sector, sector + cdda::kSectorBytes);
  order_.push_back(lba);
  while (order_.size() > capacity_) {
    sectors_.erase(order_.front());
    order_.pop_front();
  }
}

}  // namespace akrip
