#include "app/settings_check.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "common/strings.h"
#include "files/file_utils.h"
#include "res/string_ids.h"

namespace {

constexpr int kMinimumRate = 128;

// The user's documents folder, created when missing, with a trailing
// backslash; a fixed text when the shell cannot name it.
std::string DocumentsFolder() {
  char documents[MAX_PATH];
  std::string folder;
  if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, documents) == S_OK) {
    folder = documents;
  } else {
    folder = LoadStringText(IDS_FALLBACK_DOCUMENTS);
  }
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

void CheckSettings(AppSettings& settings, int drive_count) {
  if (settings.audiocd_drive_selected < 0 || settings.audiocd_drive_selected >= drive_count) {
    settings.audiocd_drive_selected = 0;
  }
  if (settings.output_format < 0 || settings.output_format >= kOutputFormatCount) {
    settings.output_format = kFormatWav;
  }
  if (settings.output_rate < 1) settings.output_rate = kMinimumRate;
  if (settings.flac_level < kFlacLowestLevel || settings.flac_level > kFlacHighestLevel) {
    settings.flac_level = kFlacDefaultLevel;
  }
  if (settings.opus_bitrate < kOpusLowestBitrate || settings.opus_bitrate > kOpusHighestBitrate) {
    settings.opus_bitrate = kOpusDefaultBitrate;
  }
  if (settings.tags != 0 && settings.tags != 1) settings.tags = 0;
  if (settings.encoder_threads < 1 || settings.encoder_threads > kMaxEncoderThreads) settings.encoder_threads = 0;
  if (!settings.list_mask) settings.list_mask = std::string(kDefaultListMask);
  if (!settings.path) {
    const std::string music = DocumentsFolder() + LoadStringText(IDS_MY_MUSIC);
    MakePath(music.c_str());
    settings.path = music + "\\";
  }
}
