// Writing config.ini when the main window closes.
#pragma once

#include "app/settings.h"
#include "app/settings_file.h"

// What saving needs from the rest of the program.  Start-up fills these in;
// a hook left null is skipped.  They run in the order listed.
struct SettingsSaveHooks {
  // The program's version text for the "version=" line.
  const char* (*version_text)() = nullptr;
  // Copies the tips flag (8 or 0) and the tip on display from the tips viewer,
  // when it exists.
  void (*take_tips_state)(AppSettings& settings) = nullptr;
  // Refills the recent output folders from the output folder combo.
  void (*rebuild_recent_list)(AppSettings& settings) = nullptr;
  // Tells the user that `file_name` could not be written.
  void (*report_write_failure)(const char* file_name) = nullptr;
  // Stores the proxy values in the registry; runs last, and only once the new
  // settings file has replaced the old one.
  void (*save_proxy_values)() = nullptr;
};

extern SettingsSaveHooks g_settings_save_hooks;

// Writes `settings` to `file_name` (SettingsFilePath() when null), replacing the old
// file only once the new one is complete.  On failure the old file is kept,
// the failure is reported through the hook, and false is returned.
bool SaveSettings(AppSettings& settings, const char* file_name = nullptr);

// Writes a table alone into the named file, replacing it the same way.
// Returns the number of entries visited, or 0 when the file was not written.
int WriteSettingTableFile(const char* file_name, const SettingTable& table);
