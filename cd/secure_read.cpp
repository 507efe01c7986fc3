#include "cd/secure_read.h"

#include <cstring>

#include "akrip/cdda.h"

namespace {

constexpr size_t kSector = cdda::kSectorBytes;

bool SameSector(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, size_t sector) {
  return std::memcmp(a.data() + sector * kSector, b.data() + sector * kSector, kSector) == 0;
}

}  // namespace

SecureBlock ReadBlockSecurely(BlockSource& source, int32_t lba, int32_t sectors, uint8_t* out, int read_limit) {
  SecureBlock result;
  const size_t count = size_t(sectors);
  std::vector<std::vector<uint8_t>> reads;
  std::vector<bool> settled(count, false);
  size_t unsettled = count;
  int failures = 0;
  while (result.reads + failures < read_limit && (reads.size() < 2 || unsettled > 0)) {
    if (!reads.empty() || failures > 0) source.DefeatCache(lba, sectors);
    std::vector<uint8_t> data(count * kSector);
    if (!source.Read(lba, sectors, data.data())) {
      ++failures;
      continue;
    }
    ++result.reads;
    for (size_t s = 0; s < count; ++s) {
      if (settled[s]) continue;
      for (const std::vector<uint8_t>& earlier : reads) {
        if (!SameSector(earlier, data, s)) continue;
        std::memcpy(out + s * kSector, data.data() + s * kSector, kSector);
        settled[s] = true;
        --unsettled;
        break;
      }
    }
    reads.push_back(std::move(data));
  }
  if (reads.empty()) return result;
  result.read_ok = true;
  for (size_t s = 0; s < count; ++s) {
    if (settled[s]) continue;
    // No two reads agreed, so every read is as frequent as the others: the
    // first stands, made before any re-read could wear on the disc.
    std::memcpy(out + s * kSector, reads.front().data() + s * kSector, kSector);
    // A single good read has nothing to agree with: it is not verified either.
    result.suspicious_lbas.push_back(lba + int32_t(s));
  }
  return result;
}
