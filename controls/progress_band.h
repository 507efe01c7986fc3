// The arithmetic of the status bar's progress and busy band: how much of the
// part is filled, where the moving band is, and its colours.
#pragma once

struct BandColour {
  int red, green, blue;
};

// Percentages outside 0..100 are held to the nearest end.
int ClampPercentage(int percentage);

// Width of the filled part of a progress band `width` pixels wide.
int FilledWidth(int percentage, int width);

// The colour with `amount` added to each channel, none past 0..255.
BandColour Lighten(BandColour colour, int amount);

// Colour `step` of `steps` on the straight way from `from` to `to`.
BandColour Interpolate(BandColour from, BandColour to, int step, int steps);

// The busy band moving across a part `width` pixels wide: its position
// (percentage of the width) and direction (+1 right, -1 left).
struct BusyBand {
  int position = 0;
  int direction = 1;
};

// The band's centre in pixels: at least 1.
int BusyBandCentre(const BusyBand& band, int width);

// One step of the animation: the band moves one percent and turns at the
// edges.
void AdvanceBusyBand(BusyBand* band, int width);
