#include "cd/secure_read.h"

#include <algorithm>
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

SecureRun ReadRunSecurely(BlockSource& source, int32_t lba, int32_t sectors, uint8_t* out, int32_t block_sectors,
                          std::vector<uint8_t>* scratch) {
  SecureRun run;
  if (sectors <= 0 || block_sectors <= 0) return run;
  std::vector<uint8_t>& second = *scratch;
  if (second.size() < size_t(sectors) * kSector) second.resize(size_t(sectors) * kSector);
  std::vector<bool> first_ok;
  for (int32_t at = 0; at < sectors; at += block_sectors) {
    const int32_t count = std::min(block_sectors, sectors - at);
    first_ok.push_back(source.Read(lba + at, count, out + size_t(at) * kSector));
  }
  if (sectors < kSecureRunSectors) source.DefeatCache(lba, sectors);
  size_t block = 0;
  for (int32_t at = 0; at < sectors; at += block_sectors, ++block) {
    const int32_t count = std::min(block_sectors, sectors - at);
    uint8_t* first = out + size_t(at) * kSector;
    uint8_t* again = second.data() + size_t(at) * kSector;
    const bool second_ok = source.Read(lba + at, count, again);
    if (first_ok[block] && second_ok && std::memcmp(first, again, size_t(count) * kSector) == 0) continue;
    ++run.reread_blocks;
    // The block was just read: its next read must come from the disc.
    source.DefeatCache(lba + at, count);
    SecureBlock secured = ReadBlockSecurely(source, lba + at, count, first);
    if (!secured.read_ok) return run;
    run.suspicious_lbas.insert(run.suspicious_lbas.end(), secured.suspicious_lbas.begin(),
                               secured.suspicious_lbas.end());
  }
  run.read_ok = true;
  return run;
}
