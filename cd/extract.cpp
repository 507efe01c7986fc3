#include "cd/extract.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "akrip/akrip.h"
#include "akrip/cdda.h"
#include "cd/cd_drives.h"
#include "cd/secure_read.h"
#include "cd/wav_writer.h"
#include "common/owners.h"

namespace {

constexpr int kReadAttempts = 3;
constexpr size_t kReadBufferBytes = akrip::kReadBufferHeaderBytes + cdda::kReadBlockBytes;

int g_last_rip_error = kRipOk;
RipProgressFn g_progress = nullptr;
const uint8_t kSilentSector[cdda::kSectorBytes] = {};

using ReadBufferPtr = MallocPtr<akrip::ReadBuffer>;

ReadBufferPtr NewReadBuffer() {
  auto* buffer = static_cast<akrip::ReadBuffer*>(std::calloc(1, kReadBufferBytes));
  if (buffer) buffer->capacity = cdda::kReadBlockBytes;
  return ReadBufferPtr(buffer);
}

// Whole sectors of a block that arrived, or a read that failed outright.
struct BlockRead {
  bool failed;
  uint32_t sectors;
};

// The delivered sectors of a block, clipped to the buffer and to what was
// asked in case the library reports more than it could have written.
uint32_t DeliveredSectors(const akrip::ReadBuffer& block) {
  if (block.data_offset >= block.capacity) return 0;
  const uint32_t room = block.capacity - block.data_offset;
  const uint32_t bytes = block.valid_bytes < room ? block.valid_bytes : room;
  const uint32_t sectors = bytes / static_cast<uint32_t>(cdda::kSectorBytes);
  return sectors < block.sector_count ? sectors : block.sector_count;
}

// Reads into `current`, passing the previous block as the library asks.  A
// short read counts for the sectors it delivered; the caller asks again for
// the rest.
BlockRead ReadBlock(akrip::Handle drive, akrip::ReadBuffer* current, akrip::ReadBuffer* previous) {
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    if (ReadCDAudioLBAEx(drive, current, previous) == akrip::kSuccess) return {false, DeliveredSectors(*current)};
  }
  if (GetAspiLibError() == akrip::kErrShortRead) return {false, DeliveredSectors(*current)};
  return {true, 0};
}

}  // namespace

namespace {

constexpr int64_t kSectorBytes = cdda::kSectorBytes;
constexpr int64_t kSampleBytes = 4;

int64_t FloorDivide(int64_t value, int64_t divisor) {
  return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

// A block that ends within this many sectors of the end of the audio may,
// through the drive's read offset, reach into the lead-out.
constexpr int64_t kOffsetReachSectors =
    (kReadOffsetReach + cdda::kSampleFramesPerSector - 1) / cdda::kSampleFramesPerSector + 1;

// The drive as secure reading sees it: a block is read whole or not at all.
class DriveBlocks : public BlockSource {
 public:
  DriveBlocks(akrip::Handle drive, int64_t readable_first, int64_t readable_end)
      : drive_(drive), readable_first_(readable_first), readable_end_(readable_end) {}

  bool ok() const { return buffers_[0] && buffers_[1]; }

  bool Read(int32_t lba, int32_t sectors, uint8_t* out) override {
    akrip::ReadBuffer* current = buffers_[index_].get();
    akrip::ReadBuffer* other = buffers_[1 - index_].get();
    current->start_lba = static_cast<uint32_t>(lba);
    current->sector_count = static_cast<uint32_t>(sectors);
    current->valid_bytes = 0;
    current->data_offset = 0;
    const BlockRead got = ReadBlock(drive_, current, other);
    if (got.failed || got.sectors != uint32_t(sectors)) return false;
    std::memcpy(out, current->data + current->data_offset, size_t(sectors) * cdda::kSectorBytes);
    index_ = 1 - index_;
    return true;
  }

  // Reads as many sectors as a run holds next to the block (after it, or
  // before it near the end of the audio), so that a drive's cache no longer
  // holds the block.
  void DefeatCache(int32_t lba, int32_t sectors) override {
    int64_t first = int64_t(lba) + sectors;
    if (first + kSecureRunSectors > readable_end_) first = std::max(readable_first_, int64_t(lba) - kSecureRunSectors);
    const int64_t end = std::min(first + kSecureRunSectors, readable_end_);
    std::vector<uint8_t> scratch(size_t(cdda::kSectorsPerRead) * cdda::kSectorBytes);
    for (int64_t at = first; at < end; at += cdda::kSectorsPerRead) {
      if (at < lba + sectors && at + cdda::kSectorsPerRead > lba) continue;
      const int32_t count = int32_t(std::min<int64_t>(cdda::kSectorsPerRead, end - at));
      Read(int32_t(at), count, scratch.data());
    }
  }

 private:
  akrip::Handle drive_;
  int64_t readable_first_;
  int64_t readable_end_;
  ReadBufferPtr buffers_[2] = {NewReadBuffer(), NewReadBuffer()};
  int index_ = 0;
};

// The run of sectors secure reading last delivered.
struct SecureRunBuffer {
  std::vector<uint8_t> data;
  std::vector<uint8_t> second_read;
  int64_t first = 0;
  int64_t count = 0;
};

bool ReachesPastAudio(const TrackReading& reading, int64_t block_end, int64_t readable_end) {
  return reading.read_offset != 0 && readable_end != INT32_MAX && readable_end - block_end < kOffsetReachSectors;
}

// Copies the disc's bytes [first_byte, first_byte + byte_count) as the drive
// numbers them, whole sectors at a time, writing only the window.
int CopyDriveBytes(int64_t first_byte, int64_t byte_count, int32_t track_length, const TrackReading& reading,
                   WavWriter* writer, TrackChecksums* sums, TrackReadReport* report) {
  ReadBufferPtr buffers[2] = {NewReadBuffer(), NewReadBuffer()};
  if (!buffers[0] || !buffers[1]) {
    g_last_rip_error = kRipNoMemory;
    return 0;
  }
  const akrip::Handle drive = CurrentDriveHandle();
  const int64_t readable_first = reading.readable_first > 0 ? reading.readable_first : 0;
  int64_t readable_end = reading.readable_end;
  int index = 0;
  int64_t sector = FloorDivide(first_byte, kSectorBytes);
  int64_t skip = first_byte - sector * kSectorBytes;
  int64_t left = byte_count;
  int32_t silenced = 0;
  uint32_t block_cap = cdda::kSectorsPerRead;
  const int64_t first_sector = sector;
  std::unique_ptr<DriveBlocks> secure_drive;
  SecureRunBuffer run;
  if (reading.secure) {
    secure_drive = std::make_unique<DriveBlocks>(drive, readable_first, readable_end);
    run.data.resize(size_t(kSecureRunSectors) * cdda::kSectorBytes);
    if (!secure_drive->ok()) {
      g_last_rip_error = kRipNoMemory;
      return 0;
    }
  }
  bool insecure_block = false;  // the drive refused the secure run: this block is read once
  while (left > 0) {
    const int64_t wanted = std::min<int64_t>((skip + left + kSectorBytes - 1) / kSectorBytes, cdda::kSectorsPerRead);
    const uint8_t* data = kSilentSector;
    int64_t sectors = 1;
    bool unreachable = false;
    if (sector < readable_first || sector >= readable_end) {
      unreachable = true;
    } else if (secure_drive && !insecure_block) {
      if (sector < run.first || sector >= run.first + run.count) {
        const int64_t needed = (skip + left + kSectorBytes - 1) / kSectorBytes;
        run.first = sector;
        run.count = std::min({needed, readable_end - sector, int64_t(kSecureRunSectors)});
        const SecureRun secured = ReadRunSecurely(*secure_drive, int32_t(sector), int32_t(run.count), run.data.data(),
                                                  int32_t(block_cap), &run.second_read);
        if (!secured.read_ok) {
          // Near the end of the audio a drive may refuse what its offset
          // reaches; the plain reading below knows how to tell.
          run.count = 0;
          insecure_block = true;
          continue;
        }
        if (report) {
          report->reread_blocks += secured.reread_blocks;
          for (int32_t lba : secured.suspicious_lbas) report->suspicious_sectors.push_back(int32_t(lba - first_sector));
        }
      }
      data = run.data.data() + size_t(sector - run.first) * size_t(kSectorBytes);
      sectors = run.first + run.count - sector;
    } else {
      insecure_block = false;
      akrip::ReadBuffer* current = buffers[index].get();
      akrip::ReadBuffer* other = buffers[1 - index].get();
      current->start_lba = static_cast<uint32_t>(sector);
      current->sector_count = static_cast<uint32_t>(std::min({wanted, readable_end - sector, int64_t(block_cap)}));
      current->valid_bytes = 0;
      current->data_offset = 0;
      const BlockRead got = ReadBlock(drive, current, other);
      if (got.failed && ReachesPastAudio(reading, sector + current->sector_count, readable_end)) {
        // Through its read offset the drive reads past the end of the audio,
        // which some drives refuse: smaller reads find what it delivers, and
        // the last sectors it cannot are out of its reach, not damage.
        if (current->sector_count > 1) {
          block_cap = current->sector_count - 1;
          continue;
        }
        readable_end = sector;
        continue;
      }
      if (got.failed) {
        g_last_rip_error = kRipReadFailed;
        return 0;
      }
      if (got.sectors > 0) {
        data = current->data + current->data_offset;
        sectors = got.sectors;
        index = 1 - index;
      } else {
        // Nothing arrives at this address even when asked again.  Silence in
        // its place keeps every later sector where it belongs in the file.
        ++silenced;
      }
    }
    const int64_t used = std::min(sectors * kSectorBytes - skip, left);
    if (!WriteWavData(writer, data + skip, static_cast<uint32_t>(used))) {
      // A full disk must not pass for a finished track.
      g_last_rip_error = kRipWriteFailed;
      return 0;
    }
    if (sums) sums->Add(data + skip, static_cast<size_t>(used));
    if (unreachable && report) report->unreachable_samples += static_cast<uint32_t>(used / kSampleBytes);
    sector += sectors;
    skip = 0;
    left -= used;
    const int64_t done = (byte_count - left) / kSectorBytes;
    if (g_progress && !g_progress(static_cast<int32_t>(std::min<int64_t>(done, track_length)))) return 0;
  }
  // The file is whole, but some of it is silence rather than the disc.
  if (silenced > 0) g_last_rip_error = kRipReadFailed;
  return 1;
}

int WriteTrackFile(int32_t start, int32_t length, const TrackReading& reading, const char* wav_path,
                   TrackChecksums* sums, TrackReadReport* report) {
  WavWriter* writer = CreateWavFile(wav_path);
  if (!writer) {
    g_last_rip_error = kRipCannotCreateFile;
    return 0;
  }
  const int64_t first_byte = int64_t(start) * kSectorBytes + int64_t(reading.read_offset) * kSampleBytes;
  int result = length > 0
                   ? CopyDriveBytes(first_byte, int64_t(length) * kSectorBytes, length, reading, writer, sums, report)
                   : 1;
  if (!FinishWavFile(writer)) {
    // Without its header the file is not a WAV; say so rather than report success.
    // It also outweighs silenced sectors of a copy that otherwise completed.
    if (g_last_rip_error == kRipOk || result) g_last_rip_error = kRipWriteFailed;
    result = 0;
  }
  return result;
}

}  // namespace

int CopyTrackRange(int32_t start, int32_t length, WavWriter* writer) {
  if (length <= 0) return 1;
  return CopyDriveBytes(int64_t(start) * kSectorBytes, int64_t(length) * kSectorBytes, length, TrackReading{}, writer,
                        nullptr, nullptr);
}

int RipTrackToWav(int32_t start, int32_t length, const char* wav_path) {
  return WriteTrackFile(start, length, TrackReading{}, wav_path, nullptr, nullptr);
}

int RipTrackToWavCorrected(int32_t start, int32_t length, const TrackReading& reading, const char* wav_path,
                           TrackReadReport* report) {
  TrackPlace place = reading.place;
  place.sample_count = length > 0 ? uint32_t(length) * cdda::kSampleFramesPerSector : 0;
  TrackChecksums sums(place);
  TrackReadReport made;
  const int result = WriteTrackFile(start, length, reading, wav_path, &sums, &made);
  made.copy_crc = sums.CopyCrc();
  made.accuraterip_v1 = sums.AccurateRipV1();
  made.accuraterip_v2 = sums.AccurateRipV2();
  made.peak_per_mille = sums.PeakPerMille();
  if (report) *report = made;
  return result;
}

void SetRipProgress(RipProgressFn progress) { g_progress = progress; }

int TakeRipError() {
  const int error = g_last_rip_error;
  g_last_rip_error = kRipOk;
  return error;
}
