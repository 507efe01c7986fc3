#include "cd/disc_images.h"

#include <windows.h>

#include <cstring>

#include "akrip/akrip.h"
#include "cd/cd_drives.h"

namespace {

using OpenImageFunction = int32_t(AKRIP_CALL*)(const char*, char*, int32_t);
using CloseImageFunction = int32_t(AKRIP_CALL*)(int32_t);
using ImageTextFunction = int32_t(AKRIP_CALL*)(int32_t, int32_t, int32_t, char*, int32_t);

constexpr char kOpenedImagePrefix[] = "Image: ";
constexpr int kReasonBuffer = 512;
constexpr int kTextBuffer = 1024;

// Looked up by name: images are an extra of our own library, and a library
// without them must still serve the drives.
template <typename Function>
Function FindExport(const char* name) {
  HMODULE library = GetModuleHandleA("akrip.dll");
  return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

}  // namespace

DiscImageOpen OpenDiscImage(const char* cue_path) {
  static const auto open_image = FindExport<OpenImageFunction>("AkripOpenImage");
  DiscImageOpen result;
  if (!open_image || !cue_path) return result;
  char reason[kReasonBuffer] = "";
  result.drive = open_image(cue_path, reason, sizeof reason);
  if (result.drive < 0) {
    result.drive = -1;
    result.too_many = GetAspiLibError() == akrip::kErrTooManyDrives;
    result.reason = reason;
  }
  RelistDrives();
  return result;
}

bool CloseDiscImage(int drive) {
  static const auto close_image = FindExport<CloseImageFunction>("AkripCloseImage");
  if (!close_image || close_image(drive) != 1) return false;
  RelistDrives();
  return true;
}

bool IsOpenedDiscImage(int drive) {
  char name[sizeof akrip::DriveRecord::id] = "";
  GetDriveName(drive, name, sizeof name);
  return std::strncmp(name, kOpenedImagePrefix, sizeof kOpenedImagePrefix - 1) == 0;
}

bool ReadDiscImageText(int drive, int track, bool performer, std::string* text) {
  static const auto image_text = FindExport<ImageTextFunction>("AkripImageText");
  char found[kTextBuffer] = "";
  if (!image_text || !text || image_text(drive, track, performer ? 1 : 0, found, sizeof found) != 1) return false;
  *text = found;
  return true;
}
