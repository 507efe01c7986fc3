// The library behind the exports: argument checks, handles, injected faults
// and the per-thread last error, over drives that are plain fakes.
#include "akrip/library.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "akrip/cdda.h"

namespace {

// Sector s holds the byte (s & 0xFF) throughout.
struct PatternDrive : akrip::Drive {
  int* reads;
  explicit PatternDrive(int* read_counter) : reads(read_counter) {}
  akrip::LibError ReadToc(akrip::Toc* toc) override {
    std::memset(toc, 0, sizeof *toc);
    toc->first_track = toc->last_track = 1;
    toc->descriptors[0].track_number = 1;
    toc->descriptors[1].track_number = cdda::kLeadOutTrackNumber;
    toc->descriptors[1].address_be[2] = kLeadOut >> 8;
    toc->descriptors[1].address_be[3] = kLeadOut & 0xFF;
    return akrip::kErrNone;
  }
  static constexpr uint32_t kLeadOut = 1000;
  akrip::LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) override {
    ++*reads;
    for (uint32_t s = 0; s < count; ++s)
      std::memset(out + s * cdda::kSectorBytes, int(lba + s) & 0xFF, cdda::kSectorBytes);
    *delivered = count * cdda::kSectorBytes;
    return akrip::kErrNone;
  }
};

struct ReadBlock {
  std::vector<uint8_t> storage = std::vector<uint8_t>(akrip::kReadBufferHeaderBytes + cdda::kReadBlockBytes);
  akrip::ReadBuffer* operator->() { return reinterpret_cast<akrip::ReadBuffer*>(storage.data()); }
  akrip::ReadBuffer* get() { return reinterpret_cast<akrip::ReadBuffer*>(storage.data()); }
  ReadBlock(uint32_t lba, uint32_t count) {
    get()->start_lba = lba;
    get()->sector_count = count;
    get()->capacity = cdda::kReadBlockBytes;
  }
};

class LibraryTest : public ::testing::Test {
 protected:
  LibraryTest()
      : library_([this] {
          ++scans_;
          std::vector<akrip::DriveEntry> drives;
          for (int i = 0; i < drive_count_; ++i) {
            akrip::DriveEntry entry;
            entry.id = "Drive " + std::to_string(i) + std::string(80, 'x');
            entry.open = [this](akrip::LibError*) { return std::make_unique<PatternDrive>(&reads_); };
            drives.push_back(entry);
          }
          return drives;
        }) {}

  akrip::Handle OpenFirst() {
    akrip::OpenRequest request{12, 1, 0, 0, 0, 0, 0, 2, 4};
    return library_.Open(&request);
  }

  void Faults(const char* text) {
    akrip::FaultPlan plan;
    ASSERT_TRUE(akrip::ParseFaultPlan(text, &plan).ok);
    library_.SetFaults(plan);
  }

  int drive_count_ = 2;
  int scans_ = 0;
  int reads_ = 0;
  akrip::Library library_;
};

TEST_F(LibraryTest, ListsDrivesWithCutIdTextsAndRescansEachTime) {
  drive_count_ = 10;
  akrip::DriveList list{};
  list.capacity = 8;
  ASSERT_EQ(library_.GetCDList(&list), 1);
  EXPECT_EQ(list.count, 8);
  EXPECT_EQ(std::strlen(list.drives[7].id), size_t(akrip::kDriveIdTextSize - 1));
  EXPECT_EQ(std::string(list.drives[7].id, 8), "Drive 7x");
  EXPECT_EQ(list.drives[7].host_adapter, 7);
  list.capacity = 3;
  ASSERT_EQ(library_.GetCDList(&list), 1);
  EXPECT_EQ(list.count, 3);
  EXPECT_EQ(scans_, 2);
  EXPECT_EQ(library_.GetCDList(nullptr), 0);
  EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
}

TEST_F(LibraryTest, OpenChecksTheRequestAndHandlesArePerOpen) {
  akrip::OpenRequest request{12, 1, 1, 0, 0, 0, 0, 2, 4};
  akrip::Handle first = library_.Open(&request);  // lists the drives itself
  akrip::Handle second = library_.Open(&request);
  EXPECT_NE(first, 0u);
  EXPECT_NE(second, 0u);
  EXPECT_NE(first, second);
  EXPECT_EQ(scans_, 1);

  akrip::OpenRequest bad = request;
  bad.size = 11;
  EXPECT_EQ(library_.Open(&bad), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
  bad = request;
  bad.version = 2;
  EXPECT_EQ(library_.Open(&bad), 0u);
  EXPECT_EQ(library_.Open(nullptr), 0u);
  bad = request;
  bad.host_adapter = 2;
  EXPECT_EQ(library_.Open(&bad), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrNoDrive);

  ASSERT_EQ(library_.Close(first), 1);
  akrip::Toc toc;
  EXPECT_EQ(library_.ReadToc(first, &toc), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrNoDrive);
  EXPECT_EQ(library_.Close(first), 0);
  EXPECT_EQ(library_.ReadToc(second, &toc), 1u) << "closing one handle leaves the other open";
  EXPECT_EQ(library_.ReadToc(0, &toc), 0u);
}

TEST_F(LibraryTest, ReadChecksItsBufferBeforeTouchingTheDrive) {
  akrip::Handle handle = OpenFirst();
  for (uint32_t count : {0u, 28u}) {
    ReadBlock block(0, count);
    EXPECT_EQ(library_.ReadAudio(handle, block.get()), 0u);
    EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
  }
  ReadBlock small(0, 27);
  small->capacity = 27 * cdda::kSectorBytes - 1;
  EXPECT_EQ(library_.ReadAudio(handle, small.get()), 0u);
  EXPECT_EQ(library_.ReadAudio(handle, nullptr), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
  EXPECT_EQ(reads_, 0);

  ReadBlock block(300, 27);
  block->valid_bytes = 5;
  block->data_offset = 9;
  ASSERT_EQ(library_.ReadAudio(handle, block.get()), 1u);
  EXPECT_EQ(block->valid_bytes, uint32_t(cdda::kReadBlockBytes));
  EXPECT_EQ(block->data_offset, 0u);
  EXPECT_EQ(block->data[26 * cdda::kSectorBytes], (300 + 26) & 0xFF);
  EXPECT_EQ(akrip::LastError(), akrip::kErrNone);
}

TEST_F(LibraryTest, InjectedReadFaults) {
  akrip::Handle handle = OpenFirst();
  Faults("read-fail=110-112:-15;read-fail=200-201:-6*2;short-read=405");

  ReadBlock partial(100, 27);
  EXPECT_EQ(library_.ReadAudio(handle, partial.get()), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrShortRead);
  EXPECT_EQ(partial->valid_bytes, 10u * cdda::kSectorBytes) << "the sectors before the fault";
  EXPECT_EQ(partial->data[9 * cdda::kSectorBytes], 109);

  ReadBlock failing(190, 27);
  EXPECT_EQ(library_.ReadAudio(handle, failing.get()), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrMediumError);
  EXPECT_EQ(failing->valid_bytes, 0u);
  EXPECT_EQ(library_.ReadAudio(handle, failing.get()), 0u);
  EXPECT_EQ(library_.ReadAudio(handle, failing.get()), 1u) << "the third attempt gets through";

  ReadBlock short_block(400, 27);
  EXPECT_EQ(library_.ReadAudio(handle, short_block.get()), 1u);
  EXPECT_EQ(short_block->valid_bytes, 5u * cdda::kSectorBytes);

  Faults("");
  EXPECT_EQ(library_.ReadAudio(handle, partial.get()), 1u);
  EXPECT_EQ(partial->valid_bytes, uint32_t(cdda::kReadBlockBytes));
}

// The first byte of each sector a read of `count` sectors from `lba` delivered.
std::vector<int> FirstBytes(akrip::Library& library, akrip::Handle handle, uint32_t lba, uint32_t count) {
  ReadBlock block(lba, count);
  if (library.ReadAudio(handle, block.get()) != 1u) return {};
  std::vector<int> bytes;
  for (uint32_t s = 0; s < count; ++s) bytes.push_back(block->data[s * cdda::kSectorBytes]);
  return bytes;
}

TEST_F(LibraryTest, InjectedDataFaultsChangeSamplesNotTheReadsResult) {
  akrip::Handle handle = OpenFirst();
  Faults("corrupt=101*1;noise=200");
  EXPECT_EQ(FirstBytes(library_, handle, 100, 3), (std::vector<int>{100, 101 ^ 1, 102}));
  EXPECT_EQ(FirstBytes(library_, handle, 100, 3), (std::vector<int>{100, 101, 102})) << "used up";
  std::vector<int> noisy;
  for (int read = 0; read < 3; ++read) noisy.push_back(FirstBytes(library_, handle, 200, 1).at(0) ^ 200);
  EXPECT_NE(noisy[0], 0);
  EXPECT_NE(noisy[0], noisy[1]);
  EXPECT_NE(noisy[1], noisy[2]);
}

TEST_F(LibraryTest, InjectedReadOffsetShiftsTheDiscAndKeepsTheLeadOutRefused) {
  akrip::Handle handle = OpenFirst();
  Faults("read-offset=588");  // one sector late
  EXPECT_EQ(FirstBytes(library_, handle, 0, 3), (std::vector<int>{0, 0, 1}));
  EXPECT_EQ(FirstBytes(library_, handle, 50, 2), (std::vector<int>{49, 50}));
  ReadBlock past(PatternDrive::kLeadOut - 1, 2);
  EXPECT_EQ(library_.ReadAudio(handle, past.get()), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrIllegalRequest);

  Faults("read-offset=-1");  // one sample early: the disc's last sample is never delivered
  ReadBlock last(PatternDrive::kLeadOut - 1, 1);
  ASSERT_EQ(library_.ReadAudio(handle, last.get()), 1u);
  EXPECT_EQ(last->data[0], (PatternDrive::kLeadOut - 1) & 0xFF);
  EXPECT_EQ(last->data[cdda::kSectorBytes - 5], (PatternDrive::kLeadOut - 1) & 0xFF);
  EXPECT_EQ(last->data[cdda::kSectorBytes - 1], 0);
}

TEST_F(LibraryTest, InjectedCacheAnswersRepeatedReadsUntilReadElsewhere) {
  akrip::Handle handle = OpenFirst();
  Faults("corrupt=300*1;cache=2");
  EXPECT_EQ(FirstBytes(library_, handle, 300, 1), (std::vector<int>{300 % 256 ^ 1}));
  const int reads = reads_;
  EXPECT_EQ(FirstBytes(library_, handle, 300, 1), (std::vector<int>{300 % 256 ^ 1})) << "from the cache";
  EXPECT_EQ(reads_, reads) << "the disc was not read";
  FirstBytes(library_, handle, 400, 2);  // pushes sector 300 out
  EXPECT_EQ(FirstBytes(library_, handle, 300, 1), (std::vector<int>{300 % 256}));
}

TEST_F(LibraryTest, InjectedTocFailuresCountCallsOnAnyHandle) {
  akrip::Handle a = OpenFirst();
  akrip::Handle b = OpenFirst();
  Faults("toc-fail=2:-6");
  akrip::Toc toc;
  EXPECT_EQ(library_.ReadToc(a, &toc), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrMediumError);
  EXPECT_EQ(library_.ReadToc(b, &toc), 0u);
  EXPECT_EQ(library_.ReadToc(a, &toc), 1u);
  EXPECT_EQ(toc.last_track, 1);
  EXPECT_EQ(library_.ReadToc(a, nullptr), 0u);
  EXPECT_EQ(akrip::LastError(), akrip::kErrBadArgument);
}

TEST_F(LibraryTest, LastErrorBelongsToTheCallingThread) {
  akrip::Handle handle = OpenFirst();
  Faults("read-fail=0-10:-15");
  akrip::LibError worker_error = akrip::kErrNone;
  std::thread worker([&] {
    ReadBlock block(0, 1);
    library_.ReadAudio(handle, block.get());
    // Meanwhile the interface thread succeeds at something of its own.
    std::thread([&] {
      akrip::DriveList list{};
      list.capacity = 8;
      library_.GetCDList(&list);
    }).join();
    worker_error = akrip::LastError();
  });
  worker.join();
  EXPECT_EQ(worker_error, akrip::kErrShortRead);
}

}  // namespace
