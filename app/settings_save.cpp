#include "app/settings_save.h"

#include "app/replacing_file.h"

SettingsSaveHooks g_settings_save_hooks;

bool SaveSettings(AppSettings& settings, const char* file_name) {
  const std::string default_file = SettingsFilePath();
  if (!file_name) file_name = default_file.c_str();
  const SettingsSaveHooks& hooks = g_settings_save_hooks;
  if (hooks.take_tips_state) hooks.take_tips_state(settings);
  if (hooks.rebuild_recent_list) hooks.rebuild_recent_list(settings);

  ReplacingFile file;
  if (!file.Open(file_name)) {
    if (hooks.report_write_failure) hooks.report_write_failure(file_name);
    return false;
  }
  WriteSettings(file.stream(), settings, hooks.version_text ? hooks.version_text() : "");
  if (!file.Commit()) {
    if (hooks.report_write_failure) hooks.report_write_failure(file_name);
    return false;
  }
  // The proxy values go with the settings file: when it could not be
  // replaced, neither are they.
  if (hooks.save_proxy_values) hooks.save_proxy_values();
  return true;
}

int WriteSettingTableFile(const char* file_name, const SettingTable& table) {
  ReplacingFile file;
  if (!file_name || !file.Open(file_name)) return 0;
  const int visited = WriteSettingTable(file.stream(), table);
  return file.Commit() ? visited : 0;
}
