// The program's own settings: the variables, the table that binds them to the
// keys of config.ini, and reading that file at start-up.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "app/product_name.h"
#include "app/settings_file.h"
#include "rip/encoder_threads.h"
#include "rip/flac_encoder.h"
#include "rip/opus_encoder.h"
#include "rip/output_format.h"
#include "rip/verify_options.h"

constexpr char kSettingsFileName[] = "config.ini";
constexpr size_t kRecentOutputFolders = 10;
constexpr char kDefaultListMask[] = "*.*";  // every file

// Every member starts at the value it holds before config.ini is read.  The
// main window turns absent or invalid numbers into usable start values.
struct AppSettings {
  int32_t audiocd_drive_selected = -1;  // index in the drive combo
  int32_t output_format = -1;           // OutputFormat
  int32_t output_rate = -1;             // kbps
  SettingText browser;                  // empty: the detected browsers serve
  SettingText path;                     // output folder
  int32_t tips = 0;                     // 8: show a tip at start-up, 0: don't
  int32_t help = 1;
  int32_t last_tip = 0;
  SettingText mp3_encoder;                                              // program path of the external MP3 encoder
  SettingText mp3_params;                                               // its parameter template, with %IN% and %OUT%
  std::array<SettingText, kRecentOutputFolders> recent_output_folders;  // most recent first
  SettingText list_mask;                                                // file-name mask of the file list
  int32_t new_window = 1;                                               // open web pages in a new browser window
  int32_t view = 1;                                                     // toolbar shown
  int32_t flac_level = kFlacDefaultLevel;                               // 0 (fastest) to 8 (smallest)
  int32_t opus_bitrate = kOpusDefaultBitrate;                           // kbit/s, VBR
  int32_t tags = 0;                                                     // 1: tag the ripped files
  int32_t encoder_threads = 0;  // tracks encoded at once, 1 to kMaxEncoderThreads; 0: one per processor
  VerifyOptions verify;         // read offset, AccurateRip, log, cue sheet
};

// The settings of the running program.
extern AppSettings g_settings;

// The table of config.ini over `settings`, in file order.
SettingTable SettingsTable(AppSettings& settings);

// config.ini in the working folder the program started in.
std::string SettingsFilePath();

// Sets every text setting to none, then reads `file_name` (SettingsFilePath()
// when null) into `settings`.  Numbers the file lacks keep their values.  Returns
// false when the file cannot be opened.
bool LoadSettings(AppSettings& settings, const char* file_name = nullptr);

// Writes the whole file body: the "version=" and "product=" lines, then the
// table.  Write errors show in the stream's error state.
void WriteSettings(std::FILE* out, AppSettings& settings, const char* version_text);
