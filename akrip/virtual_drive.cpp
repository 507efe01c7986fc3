#include "akrip/virtual_drive.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "akrip/cdda.h"
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

bool FileSize(const std::string& path, uint64_t* bytes) {
  ReadStream file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
#ifdef _WIN32
  bool ok = _fseeki64(file.get(), 0, SEEK_END) == 0;
  __int64 end = ok ? _ftelli64(file.get()) : -1;
#else
  bool ok = fseeko(file.get(), 0, SEEK_END) == 0;
  off_t end = ok ? ftello(file.get()) : -1;
#endif
  file.reset();
  if (end < 0) return false;
  *bytes = static_cast<uint64_t>(end);
  return true;
}

bool ReadText(const std::string& path, std::string* text) {
  constexpr long kLargestSheet = 1 << 20;  // a sheet of 99 tracks is a few kilobytes
  ReadStream file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;
  text->clear();
  char chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    text->append(chunk, got);
    if (text->size() > static_cast<size_t>(kLargestSheet)) break;
  }
  return !std::ferror(file.get()) && text->size() <= static_cast<size_t>(kLargestSheet);
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string BaseName(const std::string& path) {
  size_t cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ResolveImagePath(const std::string& cue_path, const std::string& name) {
  const bool absolute = (!name.empty() && IsSeparator(name[0])) || (name.size() >= 2 && name[1] == ':');
  if (absolute) return name;
  size_t cut = cue_path.find_last_of("/\\");
  if (cut == std::string::npos) return name;
  return cue_path.substr(0, cut + 1) + name;
}

ImageResult LoadDiscImage(const std::string& cue_path, DiscImage* image) {
  *image = DiscImage();
  image->cue_path = cue_path;
  std::string text;
  if (!ReadText(cue_path, &text)) return {false, "the sheet cannot be read"};
  CueSheet sheet;
  CueResult parsed = ParseCueSheet(text, &sheet);
  if (!parsed.ok) {
    std::string reason = parsed.reason;
    if (parsed.line > 0) reason = "line " + std::to_string(parsed.line) + ": " + reason;
    return {false, reason};
  }
  std::vector<uint64_t> sizes;
  for (const CueFile& file : sheet.files) {
    if (file.type != CueFileType::kBinary) {
      return {false, "line " + std::to_string(file.line) + ": only BINARY files can be played"};
    }
    image->file_paths.push_back(ResolveImagePath(cue_path, file.name));
    uint64_t bytes = 0;
    if (!FileSize(image->file_paths.back(), &bytes)) {
      return {false,
              "line " + std::to_string(file.line) + ": image file cannot be opened: " + image->file_paths.back()};
    }
    sizes.push_back(bytes);
  }
  LayoutResult laid = LayOutDisc(sheet, sizes, &image->layout);
  if (!laid.ok) {
    std::string reason = laid.reason;
    if (laid.line > 0) reason = "line " + std::to_string(laid.line) + ": " + reason;
    return {false, reason};
  }
  return {true, ""};
}

std::unique_ptr<VirtualDrive> VirtualDrive::Open(const DiscImage& image, LibError* error, double speed) {
  std::unique_ptr<VirtualDrive> drive(new VirtualDrive(image.layout, speed));
  for (const std::string& path : image.file_paths) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
      *error = kErrImageIo;
      return nullptr;
    }
    // Requests are whole blocks of sectors: let each go straight to the file.
    std::setvbuf(file, nullptr, _IONBF, 0);
    drive->files_.push_back(file);
  }
  *error = kErrNone;
  return drive;
}

VirtualDrive::~VirtualDrive() {
  // The drive is the owner of its image files; they are read-only, so the
  // close result does not matter.
  for (std::FILE* file : files_) std::fclose(file);
}

LibError VirtualDrive::ReadToc(Toc* toc) {
  MakeToc(layout_, toc);
  return kErrNone;
}

LibError VirtualDrive::ReadSessions(SessionList* sessions) {
  MakeSessionList(layout_, sessions);
  return kErrNone;
}

LibError VirtualDrive::ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) {
  *delivered = 0;
  const uint64_t end = static_cast<uint64_t>(lba) + count;
  if (count == 0 || end > layout_.lead_out) return kErrIllegalRequest;
  for (size_t i = 0; i < layout_.tracks.size(); ++i) {
    if (!layout_.tracks[i].data) continue;
    const uint32_t data_start = layout_.tracks[i].start;
    const uint32_t data_end = i + 1 < layout_.tracks.size() ? layout_.tracks[i + 1].start : layout_.lead_out;
    if (lba < data_end && end > data_start) return kErrIllegalRequest;
  }
  for (const DiscExtent& extent : layout_.extents) {
    if (extent.file == kBetweenSessionsExtent && lba < extent.disc_start + extent.count && end > extent.disc_start) {
      return kErrIllegalRequest;
    }
  }
  uint32_t sector = lba;
  for (const DiscExtent& extent : layout_.extents) {
    if (sector >= end) break;
    const uint32_t extent_end = extent.disc_start + extent.count;
    if (extent_end <= sector) continue;
    const uint32_t take = static_cast<uint32_t>(std::min<uint64_t>(extent_end, end) - sector);
    uint8_t* target = out + static_cast<size_t>(sector - lba) * cdda::kSectorBytes;
    const size_t bytes = static_cast<size_t>(take) * cdda::kSectorBytes;
    if (extent.file == kSilenceExtent) {
      std::memset(target, 0, bytes);
    } else {
      const uint64_t offset = (extent.file_sector + (sector - extent.disc_start)) * cdda::kSectorBytes;
      std::FILE* file = files_[static_cast<size_t>(extent.file)];
      size_t got = SeekTo(file, offset) ? std::fread(target, 1, bytes, file) : 0;
      if (got != bytes) {
        *delivered += static_cast<uint32_t>(got / cdda::kSectorBytes * cdda::kSectorBytes);
        return kErrImageIo;
      }
    }
    *delivered += static_cast<uint32_t>(bytes);
    sector += take;
  }
  std::this_thread::sleep_for(pacer_.DelayAfter(count, ReadPacer::Clock::now()));
  return kErrNone;
}

}  // namespace akrip
