// The output formats a rip can produce, as the format combo lists them and
// config.ini stores them.
#pragma once

#include <cstdint>

enum OutputFormat : int32_t {
  kFormatWav = 0,
  kFormatOgg = 1,
  kFormatWma = 2,
  kFormatMp3 = 3,
  kFormatFlac = 4,
  kFormatOpus = 5,
};
constexpr int kOutputFormatCount = 6;
