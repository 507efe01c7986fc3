// Feeds arbitrary bytes to the whole-image check: nothing may be read
// outside the data, and an accepted image must hold both signatures.
// fuzz-seeds: tests/common/executable_images
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/executable_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy lets the address sanitizer see any read past the end.
  std::vector<unsigned char> bytes(data, data + size);
  if (CheckExecutableImage(bytes.empty() ? nullptr : bytes.data(), bytes.size()) != ImageVerdict::kWhole) return 0;
  std::uint32_t offset = 0;
  for (int i = 0; i < 4; ++i) offset |= std::uint32_t(bytes[0x3C + i]) << (8 * i);
  if (bytes[0] != 'M' || bytes[1] != 'Z' || std::memcmp(bytes.data() + offset, "PE\0\0", 4) != 0) std::abort();
  return 0;
}
