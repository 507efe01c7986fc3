#include "akrip/image_file.h"

#include <cstdio>
#include <utility>

#include "akrip/stream_owner.h"

namespace akrip {
namespace {

bool SeekTo(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

class RawImageFile : public ImageFile {
 public:
  RawImageFile(ReadStream file, uint64_t data_offset, bool swapped)
      : file_(std::move(file)), data_offset_(data_offset), swapped_(swapped) {}

  bool Read(uint64_t offset, uint8_t* out, size_t bytes) override {
    if (!SeekTo(file_.get(), data_offset_ + offset) || std::fread(out, 1, bytes, file_.get()) != bytes) return false;
    if (swapped_) {
      for (size_t i = 0; i + 1 < bytes; i += 2) std::swap(out[i], out[i + 1]);
    }
    return true;
  }

 private:
  ReadStream file_;
  uint64_t data_offset_;
  bool swapped_;
};

}  // namespace

bool ImageFileBytes(const std::string& path, uint64_t* bytes) {
  ReadStream file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
#ifdef _WIN32
  bool ok = _fseeki64(file.get(), 0, SEEK_END) == 0;
  __int64 end = ok ? _ftelli64(file.get()) : -1;
#else
  bool ok = fseeko(file.get(), 0, SEEK_END) == 0;
  off_t end = ok ? ftello(file.get()) : -1;
#endif
  if (end < 0) return false;
  *bytes = static_cast<uint64_t>(end);
  return true;
}

std::unique_ptr<ImageFile> OpenImageFile(const ImageFileSource& source) {
  if (source.kind == ImageFileKind::kFlac) return OpenFlacImageFile(source.path);
  // "rb" opens for reading only and lets other programs read and write the file meanwhile.
  ReadStream file(std::fopen(source.path.c_str(), "rb"));
  if (!file) return nullptr;
  // Requests are whole blocks of sectors: let each go straight to the file.
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  const uint64_t data_offset = source.kind == ImageFileKind::kWave ? source.data_offset : 0;
  return std::make_unique<RawImageFile>(std::move(file), data_offset, source.kind == ImageFileKind::kRawSwapped);
}

}  // namespace akrip
