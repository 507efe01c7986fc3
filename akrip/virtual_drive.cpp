#include "akrip/virtual_drive.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "akrip/audio_file_header.h"
#include "akrip/cdda.h"
#include "akrip/stream_owner.h"

namespace akrip {
namespace {

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

AudioHeaderResult ReadAudioHeaderOf(const std::string& path, uint64_t file_bytes, AudioFileFormat* format) {
  ReadStream file(std::fopen(path.c_str(), "rb"));
  if (!file) return {false, "cannot be opened"};
  auto read = [&file](uint64_t offset, void* out, size_t bytes) {
#ifdef _WIN32
    if (_fseeki64(file.get(), static_cast<__int64>(offset), SEEK_SET) != 0) return false;
#else
    if (fseeko(file.get(), static_cast<off_t>(offset), SEEK_SET) != 0) return false;
#endif
    return std::fread(out, 1, bytes, file.get()) == bytes;
  };
  return ReadAudioFileHeader(read, file_bytes, format);
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
  image->title = sheet.title;
  image->performer = sheet.performer;
  image->texts_utf8 = sheet.utf8;
  for (const CueTrack& track : sheet.tracks) {
    image->track_titles.push_back(track.title);
    image->track_performers.push_back(track.performer);
  }
  std::vector<uint64_t> sizes;
  for (const CueFile& file : sheet.files) {
    const std::string where = "line " + std::to_string(file.line) + ": ";
    ImageFileSource source;
    source.path = ResolveImagePath(cue_path, file.name);
    uint64_t bytes = 0;
    if (!ImageFileBytes(source.path, &bytes)) return {false, where + "image file cannot be opened: " + source.path};
    if (file.type == CueFileType::kAudioFile) {
      AudioFileFormat format;
      AudioHeaderResult header = ReadAudioHeaderOf(source.path, bytes, &format);
      if (!header.ok) return {false, where + source.path + ": " + header.reason};
      source.kind = format.container == AudioContainer::kFlac ? ImageFileKind::kFlac : ImageFileKind::kWave;
      source.data_offset = format.data_offset;
      bytes = format.audio_bytes;
    } else {
      source.kind = file.type == CueFileType::kMotorola ? ImageFileKind::kRawSwapped : ImageFileKind::kRaw;
    }
    image->files.push_back(source);
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
  for (const ImageFileSource& source : image.files) {
    std::unique_ptr<ImageFile> file = OpenImageFile(source);
    if (!file) {
      *error = kErrImageIo;
      return nullptr;
    }
    drive->files_.push_back(std::move(file));
  }
  *error = kErrNone;
  return drive;
}

VirtualDrive::~VirtualDrive() = default;

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
      if (!files_[static_cast<size_t>(extent.file)]->Read(offset, target, bytes)) return kErrImageIo;
    }
    *delivered += static_cast<uint32_t>(bytes);
    sector += take;
  }
  std::this_thread::sleep_for(pacer_.DelayAfter(count, ReadPacer::Clock::now()));
  return kErrNone;
}

}  // namespace akrip
