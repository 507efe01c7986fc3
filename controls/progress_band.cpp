#include "controls/progress_band.h"

#include <algorithm>

namespace {

int Channel(int value) { return std::clamp(value, 0, 255); }

}  // namespace

int ClampPercentage(int percentage) { return std::clamp(percentage, 0, 100); }

int FilledWidth(int percentage, int width) {
  if (width <= 0) return 0;
  return static_cast<int>(static_cast<long long>(ClampPercentage(percentage)) * width / 100);
}

BandColour Lighten(BandColour colour, int amount) {
  return {Channel(colour.red + amount), Channel(colour.green + amount), Channel(colour.blue + amount)};
}

BandColour Interpolate(BandColour from, BandColour to, int step, int steps) {
  if (steps <= 0) return to;
  step = std::clamp(step, 0, steps);
  auto mix = [step, steps](int a, int b) { return Channel(a + (b - a) * step / steps); };
  return {mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue)};
}

int BusyBandCentre(const BusyBand& band, int width) { return std::max(1, FilledWidth(band.position, width)); }

void AdvanceBusyBand(BusyBand* band, int width) {
  if (!band) return;
  band->position = ClampPercentage(band->position + band->direction);
  const int centre = BusyBandCentre(*band, width);
  if (band->direction > 0 && (band->position >= 100 || centre >= width - 2)) {
    band->direction = -1;
  } else if (band->direction < 0 && band->position <= 0) {
    band->direction = 1;
  }
}
