// The window placement text: a window's normal rectangle, its show state and
// the accumulated drags of its splitters, as one line of comma-separated
// integers ("left,top,right,bottom,show[,dragx,dragy]...").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SplitterDrag {
  int16_t x = 0;
  int16_t y = 0;
};

struct WindowPlacementValues {
  int normal_left = 0;
  int normal_top = 0;
  int normal_right = 0;
  int normal_bottom = 0;
  int show_state = 0;
  // One entry per splitter of the window, in the order of its splitter list.
  std::vector<SplitterDrag> splitter_drags;
};

std::string FormatWindowPlacement(const WindowPlacementValues& values);

// Reads the numbers of `text` into `values` from the left.  Reading stops
// quietly at the first place where a number or its separating comma is
// missing; every field not reached keeps its value.  The numbers after the
// fifth are read in pairs into the existing splitter entries only: pairs for
// splitters the window does not have are ignored.  Returns how many numbers
// were stored.
int ParseWindowPlacement(const char* text, WindowPlacementValues& values);
