// Feeds arbitrary text to the program's reading of a disc record: nothing may
// crash, every field stays terminated within its 83 characters, and no
// double-byte character is split by a cut.
// fuzz-seeds: tests/cd/cddb_records
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cd/cddb_disc_info.h"

namespace {

bool Lead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

void CheckField(const char* field) {
  const size_t length = strnlen(field, kCddbTextSize);
  if (length > size_t(kCddbTitleChars)) std::abort();
  for (size_t i = 0; i < length; ++i) {
    if (Lead(static_cast<unsigned char>(field[i]))) {
      if (i + 1 >= length) std::abort();  // a lead byte without its trail
      ++i;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  CddbDiscInfo info;
  CddbDiscExtras extras;
  ParseCddbDiscInfo(text.c_str(), &info, Lead, &extras);
  if (info.title_count < 0 || info.title_count > kCddbMaxTitles) std::abort();
  CheckField(info.disc_title);
  for (const auto& title : info.track_titles) CheckField(title);
  CheckField(extras.year);
  CheckField(extras.genre);
  return 0;
}
