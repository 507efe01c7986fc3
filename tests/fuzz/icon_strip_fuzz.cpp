// Feeds arbitrary bytes to the icon strip as an icon's image data: nothing
// may crash or read outside the data, a refused image leaves the strip as it
// was, and an accepted one changes only its own place in the strip.
#include <cstdint>
#include <cstdlib>

#include "common/icon_strip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr int kSide = 16;
  IconStrip strip = MakeIconStrip(kSide, 3);
  const IconStrip before = strip;
  if (!PutIconIntoStrip(data, size, 1, &strip)) {
    if (strip.pixels != before.pixels || strip.mask != before.mask) std::abort();
    return 0;
  }
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < strip.Width(); ++x) {
      const size_t at = size_t(y * strip.Width() + x);
      if ((x < kSide || x >= 2 * kSide) && strip.pixels[at] != before.pixels[at]) std::abort();
    }
  }
  return 0;
}
