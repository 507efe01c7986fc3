#include "cd/wav_writer.h"

#include <cstdlib>
#include <cstring>

#include "akrip/cdda.h"
#include "common/owners.h"

namespace {

void PutLe32(uint8_t* at, uint32_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
  at[2] = uint8_t(value >> 16);
  at[3] = uint8_t(value >> 24);
}

void PutLe16(uint8_t* at, uint16_t value) {
  at[0] = uint8_t(value);
  at[1] = uint8_t(value >> 8);
}

bool IsOpen(const WavWriter* writer) { return writer && writer->tag == kWavWriterTag; }

}  // namespace

void BuildWavHeader(uint32_t data_size, uint8_t header[kWavHeaderBytes]) {
  std::memcpy(header + 0, "RIFF", 4);
  PutLe32(header + 4, data_size + 36);
  std::memcpy(header + 8, "WAVE", 4);
  std::memcpy(header + 12, "fmt ", 4);
  PutLe32(header + 16, 16);
  PutLe16(header + 20, 1);
  PutLe16(header + 22, cdda::kChannels);
  PutLe32(header + 24, cdda::kSampleRate);
  PutLe32(header + 28, cdda::kBytesPerSecond);
  PutLe16(header + 32, cdda::kBytesPerSampleFrame);
  PutLe16(header + 34, cdda::kBitsPerSample);
  std::memcpy(header + 36, "data", 4);
  PutLe32(header + 40, data_size);
}

WavWriter* CreateWavFile(const char* path) {
  if (!path) return nullptr;
  MallocPtr<WavWriter> writer(static_cast<WavWriter*>(std::calloc(1, sizeof(WavWriter))));
  if (!writer) return nullptr;
  FilePtr file(std::fopen(path, "wb"));
  if (!file) return nullptr;
  // Each block goes to the file in one write; there is nothing to gain from
  // a second copy through the stream's buffer.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  if (std::fwrite(writer->header, 1, kWavHeaderBytes, file.get()) != size_t(kWavHeaderBytes)) return nullptr;
  // From here the writer owns the stream until FinishWavFile closes it.
  writer->file = file.release();
  writer->tag = kWavWriterTag;
  return writer.release();
}

int WriteWavData(WavWriter* writer, const void* bytes, uint32_t count) {
  if (!IsOpen(writer)) return 0;
  if (count == 0) return 1;
  if (!bytes) return 0;
  const size_t written = std::fwrite(bytes, 1, count, writer->file);
  writer->data_size += static_cast<uint32_t>(written);
  return written == count ? 1 : 0;
}

int FinishWavFile(WavWriter* writer) {
  if (!IsOpen(writer)) return 0;
  BuildWavHeader(writer->data_size, writer->header);
  bool ok = std::fseek(writer->file, 0, SEEK_SET) == 0 &&
            std::fwrite(writer->header, 1, kWavHeaderBytes, writer->file) == size_t(kWavHeaderBytes);
  // The close is checked: the last bytes may only reach the file here.
  if (std::fclose(writer->file) != 0) ok = false;
  writer->tag = 0;
  writer->file = nullptr;
  std::free(writer);
  return ok ? 1 : 0;
}
