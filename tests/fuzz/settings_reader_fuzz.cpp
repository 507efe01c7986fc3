// Feeds arbitrary bytes to the settings reader as a config.ini, then checks
// that saving what was read and reading it back settles on the same file.
// fuzz-seeds: tests/app/data/config
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "app/settings_file.h"

namespace {

std::string SaveToText(AppSettings& settings) {
  char* buffer = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&buffer, &size);
  if (!out) std::abort();
  WriteSettings(out, settings, "1.00.000");
  std::fclose(out);
  std::string text(buffer, size);
  std::free(buffer);
  return text;
}

void LoadFromBytes(const uint8_t* data, size_t size, const SettingTable& table) {
  if (size == 0) return;  // fmemopen refuses an empty buffer
  std::FILE* in = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!in) std::abort();
  ReadSettingTable(in, table);
  std::fclose(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AppSettings settings;
  LoadFromBytes(data, size, SettingsTable(settings));
  const std::string first = SaveToText(settings);

  AppSettings reread;
  LoadFromBytes(reinterpret_cast<const uint8_t*>(first.data()), first.size(), SettingsTable(reread));
  if (SaveToText(reread) != first) std::abort();

  // The kinds the program's own table does not use.
  char character = 0;
  uint8_t flag = 0;
  std::string placement;
  const SettingTable others = {
      SettingItem::Character("character", &character),
      SettingItem::Flag("flag", &flag),
      SettingItem::Placement("placement", {[&] { return placement; }, [&](const char* text) { placement = text; }}),
  };
  LoadFromBytes(data, size, others);
  if (flag > 1) std::abort();
  return 0;
}
