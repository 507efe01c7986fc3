#include "common/icon_strip.h"

namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr int kColourBits = 32;
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kAlphaShift = 24;
constexpr uint32_t kOpaque = 0xFF;

uint32_t ReadLittle32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint16_t ReadLittle16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }

bool MaskBit(const uint8_t* row, int x) { return (row[x / 8] >> (7 - x % 8)) & 1; }

void SetMaskBit(uint8_t* row, int x, bool set) {
  const auto bit = uint8_t(0x80u >> (x % 8));
  if (set) {
    row[x / 8] = uint8_t(row[x / 8] | bit);
  } else {
    row[x / 8] = uint8_t(row[x / 8] & ~bit);
  }
}

}  // namespace

IconStrip MakeIconStrip(int icon_size, int icon_count) {
  IconStrip strip;
  if (icon_size <= 0 || icon_count <= 0 || icon_size > 256 || icon_count > 4096) return strip;
  strip.icon_size = icon_size;
  strip.icon_count = icon_count;
  strip.pixels.assign(size_t(strip.Width()) * size_t(icon_size), 0);
  strip.mask.assign(size_t(strip.MaskStride()) * size_t(icon_size), 0xFF);
  return strip;
}

bool PutIconIntoStrip(const uint8_t* data, size_t size, int slot, IconStrip* strip) {
  if (data == nullptr || strip == nullptr || slot < 0 || slot >= strip->icon_count) return false;
  const int side = strip->icon_size;
  if (size < kInfoHeaderSize) return false;
  const uint32_t header_size = ReadLittle32(data);
  // The height counts the colour rows and the mask rows.
  if (header_size < kInfoHeaderSize || header_size > size || int32_t(ReadLittle32(data + 4)) != side ||
      int32_t(ReadLittle32(data + 8)) != 2 * side || ReadLittle16(data + 12) != 1 ||
      ReadLittle16(data + 14) != kColourBits || ReadLittle32(data + 16) != kUncompressed) {
    return false;
  }
  const size_t colour_bytes = size_t(side) * size_t(side) * 4;
  const size_t mask_stride = size_t(side + 31) / 32 * 4;
  const size_t mask_bytes = mask_stride * size_t(side);
  if (size - header_size < colour_bytes || size - header_size - colour_bytes < mask_bytes) return false;
  const uint8_t* colours = data + header_size;
  const uint8_t* mask = colours + colour_bytes;

  // An image whose alpha is all zero has none: its colours are drawn as they are.
  bool has_alpha = false;
  for (size_t i = 0; i < colour_bytes / 4 && !has_alpha; ++i) has_alpha = ReadLittle32(colours + 4 * i) >> kAlphaShift;
  std::vector<uint32_t> placed(size_t(side) * size_t(side));
  for (size_t i = 0; i < placed.size(); ++i) {
    uint32_t pixel = ReadLittle32(colours + 4 * i);
    const uint32_t alpha = pixel >> kAlphaShift;
    if (has_alpha && alpha != 0 && alpha != kOpaque) return false;
    if (has_alpha && alpha == 0) pixel = 0;
    placed[i] = pixel;
  }

  const size_t strip_width = size_t(strip->Width());
  const size_t left = size_t(slot) * size_t(side);
  for (size_t row = 0; row < size_t(side); ++row) {
    for (size_t x = 0; x < size_t(side); ++x)
      strip->pixels[row * strip_width + left + x] = placed[row * size_t(side) + x];
    const uint8_t* from = mask + row * mask_stride;
    uint8_t* to = strip->mask.data() + row * size_t(strip->MaskStride());
    for (int x = 0; x < side; ++x) SetMaskBit(to, int(left) + x, MaskBit(from, x));
  }
  return true;
}
