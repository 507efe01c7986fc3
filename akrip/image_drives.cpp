#include "akrip/image_drives.h"

#include <cstring>
#include <memory>

namespace akrip {
namespace {

char Folded(char c) {
  if (c == '/') return '\\';
  if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
  return c;
}

}  // namespace

std::array<uint8_t, 52> VirtualInquiry() {
  std::array<uint8_t, 52> data{};
  data[0] = 0x05;  // CD/DVD device
  data[1] = 0x80;  // removable medium
  data[4] = 31;    // additional length of standard data
  const char fields[] = "AKRIP   VIRTUAL CD-ROM  1.0 ";
  std::memcpy(&data[8], fields, 28);
  return data;
}

ImageResult MakeImageDrive(const std::string& cue_path, const std::string& name_prefix, double speed,
                           DriveEntry* entry) {
  auto image = std::make_shared<DiscImage>();
  ImageResult loaded = LoadDiscImage(cue_path, image.get());
  if (!loaded.ok) return loaded;
  entry->id = DriveIdText(name_prefix + BaseName(cue_path));
  entry->inquiry = VirtualInquiry();
  entry->open = [image, speed](LibError* error) -> std::unique_ptr<Drive> {
    return VirtualDrive::Open(*image, error, speed);
  };
  entry->image = image;
  return loaded;
}

bool SameImagePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

}  // namespace akrip
