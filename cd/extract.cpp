#include "cd/extract.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "akrip/akrip.h"
#include "akrip/cdda.h"
#include "cd/cd_drives.h"
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

int CopyTrackRange(int32_t start, int32_t length, WavWriter* writer) {
  ReadBufferPtr buffers[2] = {NewReadBuffer(), NewReadBuffer()};
  if (!buffers[0] || !buffers[1]) {
    g_last_rip_error = kRipNoMemory;
    return 0;
  }
  const akrip::Handle drive = CurrentDriveHandle();
  int index = 0;
  int32_t address = start;
  int32_t left = length;
  int32_t silenced = 0;
  while (left > 0) {
    akrip::ReadBuffer* current = buffers[index].get();
    akrip::ReadBuffer* other = buffers[1 - index].get();
    current->start_lba = static_cast<uint32_t>(address);
    current->sector_count = static_cast<uint32_t>(left < cdda::kSectorsPerRead ? left : cdda::kSectorsPerRead);
    current->valid_bytes = 0;
    current->data_offset = 0;
    const BlockRead got = ReadBlock(drive, current, other);
    if (got.failed) {
      g_last_rip_error = kRipReadFailed;
      return 0;
    }
    const uint8_t* data = current->data + current->data_offset;
    int32_t sectors = static_cast<int32_t>(got.sectors);
    if (sectors > 0) {
      index = 1 - index;
    } else {
      // Nothing arrives at this address even when asked again.  Silence in
      // its place keeps every later sector where it belongs in the file.
      data = kSilentSector;
      sectors = 1;
      ++silenced;
    }
    if (!WriteWavData(writer, data, static_cast<uint32_t>(sectors) * static_cast<uint32_t>(cdda::kSectorBytes))) {
      // A full disk must not pass for a finished track.
      g_last_rip_error = kRipWriteFailed;
      return 0;
    }
    address += sectors;
    left -= sectors;
    if (g_progress && !g_progress(length - left)) return 0;
  }
  // The file is whole, but some of it is silence rather than the disc.
  if (silenced > 0) g_last_rip_error = kRipReadFailed;
  return 1;
}

int RipTrackToWav(int32_t start, int32_t length, const char* wav_path) {
  WavWriter* writer = CreateWavFile(wav_path);
  if (!writer) {
    g_last_rip_error = kRipCannotCreateFile;
    return 0;
  }
  int result = CopyTrackRange(start, length, writer);
  if (!FinishWavFile(writer)) {
    // Without its header the file is not a WAV; say so rather than report success.
    // It also outweighs silenced sectors of a copy that otherwise completed.
    if (g_last_rip_error == kRipOk || result) g_last_rip_error = kRipWriteFailed;
    result = 0;
  }
  return result;
}

void SetRipProgress(RipProgressFn progress) { g_progress = progress; }

int TakeRipError() {
  const int error = g_last_rip_error;
  g_last_rip_error = kRipOk;
  return error;
}
