#include "app/settings.h"

#include "common/owners.h"
#include "common/working_folder.h"

AppSettings g_settings;

namespace {

constexpr const char* kRecentKeys[kRecentOutputFolders] = {
    "outputRecentList0", "outputRecentList1", "outputRecentList2", "outputRecentList3", "outputRecentList4",
    "outputRecentList5", "outputRecentList6", "outputRecentList7", "outputRecentList8", "outputRecentList9",
};

}  // namespace

SettingTable SettingsTable(AppSettings& settings) {
  SettingTable table = {
      SettingItem::Integer("audiocdDriveSelected", &settings.audiocd_drive_selected),
      SettingItem::Integer("outputFormat", &settings.output_format),
      SettingItem::Integer("outputRate", &settings.output_rate),
      SettingItem::Text("browser", &settings.browser),
      SettingItem::Text("path", &settings.path),
      SettingItem::Integer("tips", &settings.tips),
      SettingItem::Integer("help", &settings.help),
      SettingItem::Integer("lasttip", &settings.last_tip),
      SettingItem::Text("mp3encoder", &settings.mp3_encoder),
      SettingItem::Text("mp3params", &settings.mp3_params),
  };
  for (size_t i = 0; i < kRecentOutputFolders; ++i) {
    table.push_back(SettingItem::Text(kRecentKeys[i], &settings.recent_output_folders[i]));
  }
  table.push_back(SettingItem::Text("lmask", &settings.list_mask));
  table.push_back(SettingItem::Integer("newwin", &settings.new_window));
  table.push_back(SettingItem::Integer("view", &settings.view));
  table.push_back(SettingItem::LaterInteger("flaclevel", &settings.flac_level, kFlacDefaultLevel));
  table.push_back(SettingItem::LaterInteger("opusbitrate", &settings.opus_bitrate, kOpusDefaultBitrate));
  table.push_back(SettingItem::LaterInteger("tags", &settings.tags, 0));
  VerifyOptions& verify = settings.verify;
  const VerifyOptions defaults;
  table.push_back(SettingItem::Ranged("readoffset", &verify.read_offset, -kReadOffsetLimit, kReadOffsetLimit,
                                      defaults.read_offset));
  table.push_back(SettingItem::Ranged("accuraterip", &verify.accuraterip, 0, 1, defaults.accuraterip));
  table.push_back(
      SettingItem::Ranged("securemode", &verify.secure_mode, kSecureNever, kSecureAlways, defaults.secure_mode));
  table.push_back(SettingItem::Ranged("testcopy", &verify.test_copy, 0, 1, defaults.test_copy));
  table.push_back(SettingItem::Ranged("riplog", &verify.rip_log, 0, 1, defaults.rip_log));
  table.push_back(SettingItem::Ranged("cuesheet", &verify.cue_sheet, 0, 1, defaults.cue_sheet));
  table.push_back(SettingItem::LaterInteger("encoderthreads", &settings.encoder_threads, 0));
  return table;
}

std::string SettingsFilePath() { return WorkingFolderPath(kSettingsFileName); }

bool LoadSettings(AppSettings& settings, const char* file_name) {
  const SettingTable table = SettingsTable(settings);
  ClearTextSettings(table);
  FilePtr in(std::fopen(file_name ? file_name : SettingsFilePath().c_str(), "rb"));
  if (!in) return false;
  ReadSettingTable(in.get(), table);
  return true;
}

void WriteSettings(std::FILE* out, AppSettings& settings, const char* version_text) {
  std::fprintf(out, "version=%s\nproduct=%s\n", version_text ? version_text : "", kProductName);
  WriteSettingTable(out, SettingsTable(settings));
}
