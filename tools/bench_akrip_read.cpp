// Prints how fast a disc image reads through a virtual drive, 27 sectors per
// request as the rip does, next to plain reads of the same file in blocks of
// the same size.  Usage: akrip_bench IMAGE.cue  (a long single-file image,
// e.g. from tools/make_demo_disc.py FOLDER --minutes 74).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "akrip/cdda.h"
#include "akrip/virtual_drive.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: akrip_bench IMAGE.cue\n");
    return 2;
  }
  akrip::DiscImage image;
  akrip::ImageResult loaded = akrip::LoadDiscImage(argv[1], &image);
  if (!loaded.ok) {
    std::fprintf(stderr, "%s: %s\n", argv[1], loaded.reason.c_str());
    return 1;
  }
  akrip::LibError error = akrip::kErrNone;
  std::unique_ptr<akrip::VirtualDrive> drive = akrip::VirtualDrive::Open(image, &error);
  if (!drive) return 1;
  const uint32_t audio_end = image.layout.tracks.back().data ? image.layout.tracks.back().start : image.layout.lead_out;
  std::vector<uint8_t> block(cdda::kReadBlockBytes);

  auto read_drive = [&](uint64_t* bytes) {
    auto start = std::chrono::steady_clock::now();
    *bytes = 0;
    for (uint32_t lba = 0; lba < audio_end;) {
      const uint32_t count = std::min<uint32_t>(cdda::kSectorsPerRead, audio_end - lba);
      uint32_t delivered = 0;
      if (drive->ReadAudio(lba, count, block.data(), &delivered) != akrip::kErrNone) return -1.0;
      *bytes += delivered;
      lba += count;
    }
    return Seconds(start);
  };
  auto read_plain = [&](uint64_t limit, uint64_t* bytes) {
    std::FILE* file = std::fopen(image.files.front().path.c_str(), "rb");
    if (!file) return -1.0;
    std::setvbuf(file, nullptr, _IONBF, 0);
    auto start = std::chrono::steady_clock::now();
    *bytes = 0;
    size_t got;
    while (*bytes < limit && (got = std::fread(block.data(), 1, block.size(), file)) > 0) *bytes += got;
    const double seconds = Seconds(start);
    std::fclose(file);
    return seconds;
  };

  // Each is run twice and the faster run counts, so both meet a warm file cache.
  uint64_t bytes = 0, plain = 0;
  double drive_seconds = read_drive(&bytes);
  const double again = read_drive(&bytes);
  if (drive_seconds < 0 || again < 0) {
    std::fprintf(stderr, "a read failed\n");
    return 1;
  }
  drive_seconds = std::min(drive_seconds, again);
  const double file_seconds = std::min(read_plain(bytes, &plain), read_plain(bytes, &plain));

  const double mb = bytes / 1e6;
  std::printf("virtual drive: %.1f MB in %.3f s (%.0f MB/s, %.1fx real time)\n", mb, drive_seconds, mb / drive_seconds,
              bytes / double(cdda::kBytesPerSecond) / drive_seconds);
  std::printf("plain file:    %.1f MB in %.3f s (%.0f MB/s)\n", plain / 1e6, file_seconds, plain / 1e6 / file_seconds);
  std::printf("overhead: %.1f%%\n", 100.0 * (drive_seconds - file_seconds) / file_seconds);
  return 0;
}
