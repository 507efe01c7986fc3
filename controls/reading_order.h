// The order in which a reader meets boxes laid out on a surface: rows from
// the top, each row from the left.
#pragma once

#include <cstddef>
#include <vector>

struct PlacedBox {
  long left;
  long top;
  long right;
  long bottom;
};

// Indexes of `boxes` in reading order.  A box belongs to the row of the box
// above it when its top lies above the middle of that row's first box, so
// controls of one line that differ by a few pixels in height stay together.
// Boxes that tie keep their given order.
std::vector<std::size_t> ReadingOrder(const std::vector<PlacedBox>& boxes);
