// Reading until the data agrees, over a scripted drive: a clean drive is read
// twice, a sector that reads wrong once is repaired, a sector that never
// reads the same twice is taken from its most frequent read and named, and
// the cache is defeated before every read after the first.
#include "cd/secure_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "akrip/cdda.h"

namespace {

constexpr size_t kSector = cdda::kSectorBytes;

// Sector s of the disc is filled with s; `fault(read, s)` gives a byte to
// XOR into sector s on the read-th read (0: none).
class ScriptedSource : public BlockSource {
 public:
  std::function<uint8_t(int read, int32_t sector)> fault = [](int, int32_t) { return uint8_t(0); };
  std::function<bool(int read)> fails = [](int) { return false; };
  int reads = 0;
  int defeats = 0;
  bool defeated_before_each_repeat = true;

  bool Read(int32_t lba, int32_t sectors, uint8_t* out) override {
    if (reads > 0 && defeats != reads) defeated_before_each_repeat = false;
    const int read = ++reads;
    if (fails(read)) return false;
    for (int32_t s = 0; s < sectors; ++s) {
      std::memset(out + size_t(s) * kSector, uint8_t(lba + s) ^ fault(read, lba + s), kSector);
    }
    return true;
  }
  void DefeatCache(int32_t, int32_t) override { ++defeats; }
};

std::vector<int> FirstBytes(const std::vector<uint8_t>& block) {
  std::vector<int> bytes;
  for (size_t at = 0; at < block.size(); at += kSector) bytes.push_back(block[at]);
  return bytes;
}

TEST(SecureRead, OutcomesForEachKindOfDrive) {
  struct Case {
    const char* name;
    std::function<uint8_t(int, int32_t)> fault;
    std::function<bool(int)> fails;
    int reads;
    std::vector<int32_t> suspicious;
    std::vector<int> bytes;  // first byte of sectors 10, 11, 12
  };
  const auto none = [](int, int32_t) { return uint8_t(0); };
  const auto never = [](int) { return false; };
  const Case cases[] = {
      {"a clean drive is read twice", none, never, 2, {}, {10, 11, 12}},
      {"a sector wrong on the first read is repaired on the third",
       [](int read, int32_t s) { return uint8_t(read == 1 && s == 11 ? 0x40 : 0); },
       never,
       3,
       {},
       {10, 11, 12}},
      {"a sector right every other read agrees with itself",
       [](int read, int32_t s) { return uint8_t(s == 12 && read % 2 == 0 ? read : 0); },
       never,
       3,
       {},
       {10, 11, 12}},
      {"noise on a sector: its first read, named suspicious",
       [](int read, int32_t s) { return uint8_t(s == 11 ? 0x80 + read : 0); },
       never,
       kSecureReadLimit,
       {11},
       {10, 11 ^ 0x81, 12}},
      {"a failed read is not counted as data", none, [](int read) { return read == 2; }, 2, {}, {10, 11, 12}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedSource source;
    source.fault = c.fault;
    source.fails = c.fails;
    std::vector<uint8_t> block(3 * kSector);
    const SecureBlock result = ReadBlockSecurely(source, 10, 3, block.data());
    EXPECT_TRUE(result.read_ok);
    EXPECT_EQ(result.reads, c.reads);
    EXPECT_EQ(result.suspicious_lbas, c.suspicious);
    EXPECT_EQ(FirstBytes(block), c.bytes);
    EXPECT_TRUE(source.defeated_before_each_repeat);
  }
}

TEST(SecureRead, ADriveThatFailsEveryReadFailsTheBlockAndASingleReadIsNotVerified) {
  ScriptedSource failing;
  failing.fails = [](int) { return true; };
  std::vector<uint8_t> block(2 * kSector);
  EXPECT_FALSE(ReadBlockSecurely(failing, 0, 2, block.data()).read_ok);
  EXPECT_EQ(failing.reads, kSecureReadLimit);

  ScriptedSource once;
  once.fails = [](int read) { return read > 1; };
  const SecureBlock result = ReadBlockSecurely(once, 5, 2, block.data());
  EXPECT_TRUE(result.read_ok);
  EXPECT_EQ(result.suspicious_lbas, (std::vector<int32_t>{5, 6}));
}

// A run is read whole twice; only blocks whose two reads differ are read
// again, and the cache is defeated between the passes of a run too short to
// push its own start out of a drive's cache.
TEST(SecureRead, RunsReadTwiceAndRepairOnlyTheBlocksThatDiffer) {
  struct Case {
    const char* name;
    int32_t sectors;
    std::function<uint8_t(int, int32_t)> fault;
    int reread_blocks;
    std::vector<int32_t> suspicious;
    int defeats;
  };
  const auto none = [](int, int32_t) { return uint8_t(0); };
  const Case cases[] = {
      {"a clean short run", 60, none, 0, {}, 1},
      {"a clean long run needs no cache defeat", kSecureRunSectors, none, 0, {}, 0},
      {"a sector wrong on the first pass",
       60,
       [](int read, int32_t s) { return uint8_t(read == 1 && s == 40 ? 1 : 0); },
       1,
       {},
       3},
      {"noise on a sector", 60, [](int read, int32_t s) { return uint8_t(s == 70 ? read : 0); }, 1, {70}, 17},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedSource source;
    source.fault = c.fault;
    std::vector<uint8_t> run(size_t(c.sectors) * kSector);
    std::vector<uint8_t> scratch;
    const SecureRun result = ReadRunSecurely(source, 30, c.sectors, run.data(), 27, &scratch);
    ASSERT_TRUE(result.read_ok);
    EXPECT_EQ(result.reread_blocks, c.reread_blocks);
    EXPECT_EQ(result.suspicious_lbas, c.suspicious);
    EXPECT_EQ(source.defeats, c.defeats);
    for (int32_t s = 0; s < c.sectors; ++s) {
      if (std::find(c.suspicious.begin(), c.suspicious.end(), 30 + s) != c.suspicious.end()) continue;
      ASSERT_EQ(run[size_t(s) * kSector], uint8_t(30 + s)) << "sector " << 30 + s;
    }
  }
}

}  // namespace
