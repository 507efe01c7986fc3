#include "common/icon_strip.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

// An icon image as the resource compiler stores one from a .ico file: the
// header, colour rows and mask rows, bottom row first.  Pixel (x, y) counted
// from the bottom: colour(x, y) and transparent(x, y) give its parts.
struct IconImage {
  int side = 16;
  int declared_width = 16;
  int declared_height = 32;
  int bit_count = 32;
  uint32_t compression = 0;
  uint32_t header_size = 40;
  std::function<uint32_t(int, int)> colour = [](int x, int y) { return 0xFF000000u | uint32_t(x << 8 | y); };
  std::function<bool(int, int)> transparent = [](int x, int y) { return (x + y) % 3 == 0; };

  std::vector<uint8_t> Bytes() const {
    std::vector<uint8_t> out;
    auto put32 = [&out](uint32_t value) {
      for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
    };
    auto put16 = [&out](uint16_t value) {
      out.push_back(uint8_t(value));
      out.push_back(uint8_t(value >> 8));
    };
    put32(header_size);
    put32(uint32_t(declared_width));
    put32(uint32_t(declared_height));
    put16(1);
    put16(uint16_t(bit_count));
    put32(compression);
    // The header's own fields take 40 bytes whatever size it declares.
    while (out.size() < 40) out.push_back(0);
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) put32(transparent(x, y) ? colour(x, y) & 0x00FFFFFFu : colour(x, y));
    }
    const int stride = (side + 31) / 32 * 4;
    for (int y = 0; y < side; ++y) {
      std::vector<uint8_t> row(size_t(stride), 0);
      for (int x = 0; x < side; ++x) {
        if (transparent(x, y)) row[size_t(x / 8)] = uint8_t(row[size_t(x / 8)] | 0x80 >> (x % 8));
      }
      out.insert(out.end(), row.begin(), row.end());
    }
    return out;
  }
};

uint32_t StripPixel(const IconStrip& strip, int x, int y) { return strip.pixels[size_t(y * strip.Width() + x)]; }

bool StripMaskBit(const IconStrip& strip, int x, int y) {
  return (strip.mask[size_t(y * strip.MaskStride() + x / 8)] >> (7 - x % 8)) & 1;
}

TEST(IconStrip, PlacesEachIconsColoursAndMaskInItsSlot) {
  for (const int side : {16, 32, 20}) {
    SCOPED_TRACE(side);
    IconImage icon;
    icon.side = icon.declared_width = side;
    icon.declared_height = 2 * side;
    IconStrip strip = MakeIconStrip(side, 3);
    const std::vector<uint8_t> bytes = icon.Bytes();
    ASSERT_TRUE(PutIconIntoStrip(bytes.data(), bytes.size(), 1, &strip));
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < strip.Width(); ++x) {
        const bool in_slot = x >= side && x < 2 * side;
        const bool clear = in_slot ? icon.transparent(x - side, y) : true;
        ASSERT_EQ(StripMaskBit(strip, x, y), clear) << x << "," << y;
        const uint32_t expected = in_slot && !clear ? icon.colour(x - side, y) : 0;
        ASSERT_EQ(StripPixel(strip, x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(IconStrip, ColoursOfAnImageWithoutAlphaStayAsTheyAre) {
  IconImage icon;
  icon.colour = [](int x, int y) { return uint32_t(0x102030 + x + y); };
  const std::vector<uint8_t> bytes = icon.Bytes();
  IconStrip strip = MakeIconStrip(16, 1);
  ASSERT_TRUE(PutIconIntoStrip(bytes.data(), bytes.size(), 0, &strip));
  EXPECT_EQ(StripPixel(strip, 0, 0), 0x102030u);
  EXPECT_EQ(StripPixel(strip, 5, 4), 0x102039u);
}

TEST(IconStrip, RefusesWhatOnlyAnIconObjectCanDraw) {
  struct Case {
    std::string rule;
    std::function<void(IconImage*)> change;
    size_t cut = 0;  // bytes taken off the end
    int slot = 0;
  };
  const Case cases[] = {
      {"partly transparent colours are blended",
       [](IconImage* icon) { icon->colour = [](int x, int) { return x == 3 ? 0x80FFFFFFu : 0xFF000000u; }; }},
      {"width differs from the list's", [](IconImage* icon) { icon->declared_width = 32; }},
      {"height does not count the mask rows", [](IconImage* icon) { icon->declared_height = 16; }},
      {"not 32 bits a pixel", [](IconImage* icon) { icon->bit_count = 24; }},
      {"compressed", [](IconImage* icon) { icon->compression = 3; }},
      {"header shorter than an info header", [](IconImage* icon) { icon->header_size = 12; }},
      {"header past the data", [](IconImage* icon) { icon->header_size = 100000; }},
      {"mask cut short", [](IconImage*) {}, 1},
      {"colours cut short", [](IconImage*) {}, 64 + 40},
      {"slot outside the strip", [](IconImage*) {}, 0, 2},
      {"slot negative", [](IconImage*) {}, 0, -1},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.rule);
    IconImage icon;
    test.change(&icon);
    std::vector<uint8_t> bytes = icon.Bytes();
    bytes.resize(bytes.size() > test.cut ? bytes.size() - test.cut : 0);
    IconStrip strip = MakeIconStrip(16, 2);
    const IconStrip before = strip;
    EXPECT_FALSE(PutIconIntoStrip(bytes.data(), bytes.size(), test.slot, &strip));
    EXPECT_EQ(strip.pixels, before.pixels);
    EXPECT_EQ(strip.mask, before.mask);
  }
}

TEST(IconStrip, NoStripForSizesItCannotHold) {
  for (const auto& [side, count] : std::vector<std::pair<int, int>>{{0, 1}, {16, 0}, {-16, 2}, {257, 1}, {16, 5000}}) {
    const IconStrip strip = MakeIconStrip(side, count);
    EXPECT_EQ(strip.icon_count, 0);
    EXPECT_TRUE(strip.pixels.empty());
  }
  IconStrip empty;
  const std::vector<uint8_t> bytes = IconImage().Bytes();
  EXPECT_FALSE(PutIconIntoStrip(bytes.data(), bytes.size(), 0, &empty));
  EXPECT_FALSE(PutIconIntoStrip(nullptr, 0, 0, &empty));
}

}  // namespace
