// Feeds arbitrary bytes to the packed-file reader as a ".dat" file and parses
// whatever text it yields; then packs the input itself and checks that it
// unpacks unchanged.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/language_text.h"
#include "common/packed_file.h"

namespace {

std::vector<unsigned char> Pack(const uint8_t* data, size_t size) {
  uLongf packed_size = compressBound(static_cast<uLong>(size));
  std::vector<unsigned char> packed(kPackedHeaderSize + packed_size);
  if (compress(packed.data() + kPackedHeaderSize, &packed_size, data, static_cast<uLong>(size)) != Z_OK) {
    std::abort();
  }
  packed.resize(kPackedHeaderSize + packed_size);
  const std::uint32_t header[2] = {kPackedFileMagic, static_cast<std::uint32_t>(size)};
  for (int i = 0; i < 8; ++i) packed[i] = static_cast<unsigned char>(header[i / 4] >> (8 * (i % 4)));
  return packed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::optional<std::string> text = UnpackText(data, size);
  if (text) {
    std::int32_t stated = 0;
    std::memcpy(&stated, data + 4, 4);
    if (stated < 0 || text->size() > static_cast<std::size_t>(stated)) std::abort();
    ParseLanguageText(text->c_str(), "Corvale Rip");
  }

  std::vector<unsigned char> packed = Pack(data, size);
  std::optional<std::string> round_trip = UnpackText(packed.data(), packed.size());
  if (!round_trip || round_trip->size() != size || (size && std::memcmp(round_trip->data(), data, size) != 0)) {
    std::abort();
  }
  return 0;
}
