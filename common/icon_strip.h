#pragma once
// Square icons side by side in one image and one mask, put together from the
// icons' resource data without making an icon object of each: every such
// object costs a round trip to the window system, and the program's icon
// lists took most of their time that way.

#include <cstddef>
#include <cstdint>
#include <vector>

struct IconStrip {
  int icon_size = 0;
  int icon_count = 0;
  // 32-bit BGRA pixels, bottom row first, width icon_size * icon_count: the
  // icon's colours where its mask keeps them, black where the mask lets the
  // background through (as an icon draws its image alone).
  std::vector<uint32_t> pixels;
  // 1 bit a pixel, bottom row first, each row padded to 4 bytes; a set bit
  // lets the background through.
  std::vector<uint8_t> mask;

  int Width() const { return icon_size * icon_count; }
  int MaskStride() const { return (Width() + 31) / 32 * 4; }
};

IconStrip MakeIconStrip(int icon_size, int icon_count);

// Puts the icon image `data` (an RT_ICON resource: a BITMAPINFOHEADER of a
// 32-bit uncompressed icon_size x icon_size image, its colour rows and its
// mask rows) into the strip's place `slot`.  False, with the strip as it was,
// when the data is not such an image or colours are partly transparent (those
// are blended when drawn, which a copy cannot do).
bool PutIconIntoStrip(const uint8_t* data, size_t size, int slot, IconStrip* strip);
