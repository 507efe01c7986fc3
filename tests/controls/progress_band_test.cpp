#include "controls/progress_band.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressBand, PercentagesOutsideTheRangeAreHeldAtItsEnds) {
  EXPECT_EQ(FilledWidth(50, 200), 100);
  EXPECT_EQ(FilledWidth(150, 200), 200);
  EXPECT_EQ(FilledWidth(-20, 200), 0);
  EXPECT_EQ(FilledWidth(2147483647, 1000), 1000);
  EXPECT_EQ(FilledWidth(50, 0), 0);
  EXPECT_EQ(FilledWidth(50, -10), 0);
}

TEST(ProgressBand, ColourArithmeticStaysWithinAChannel) {
  const BandColour light = Lighten({250, 10, 128}, 40);
  EXPECT_EQ(light.red, 255);
  EXPECT_EQ(light.green, 50);
  EXPECT_EQ(light.blue, 168);
  const BandColour dark = Lighten({10, 0, 255}, -40);
  EXPECT_EQ(dark.red, 0);
  EXPECT_EQ(dark.blue, 215);

  const BandColour from{0, 100, 255}, to{255, 100, 0};
  EXPECT_EQ(Interpolate(from, to, 0, 10).red, 0);
  EXPECT_EQ(Interpolate(from, to, 10, 10).red, 255);
  EXPECT_EQ(Interpolate(from, to, 5, 10).blue, 128);
  EXPECT_EQ(Interpolate(from, to, 99, 10).red, 255);
  EXPECT_EQ(Interpolate(from, to, 3, 0).blue, 0);
}

TEST(ProgressBand, BusyBandBouncesBetweenTheEdges) {
  for (int width : {1, 3, 40, 87, 500}) {
    BusyBand band;
    bool turned_left = false, turned_right = false;
    for (int step = 0; step < 1000; ++step) {
      const int before = band.direction;
      AdvanceBusyBand(&band, width);
      turned_left |= before > 0 && band.direction < 0;
      turned_right |= before < 0 && band.direction > 0;
      ASSERT_GE(band.position, 0);
      ASSERT_LE(band.position, 100);
      const int centre = BusyBandCentre(band, width);
      ASSERT_GE(centre, 1);
      ASSERT_LE(centre, std::max(1, width));
    }
    EXPECT_TRUE(turned_left && turned_right) << width;
  }
}

}  // namespace
