#include "controls/reading_order.h"

#include <algorithm>
#include <numeric>

std::vector<std::size_t> ReadingOrder(const std::vector<PlacedBox>& boxes) {
  std::vector<std::size_t> by_top(boxes.size());
  std::iota(by_top.begin(), by_top.end(), std::size_t{0});
  std::stable_sort(by_top.begin(), by_top.end(),
                   [&](std::size_t a, std::size_t b) { return boxes[a].top < boxes[b].top; });
  std::vector<std::size_t> order;
  order.reserve(boxes.size());
  std::size_t row_start = 0;
  while (row_start < by_top.size()) {
    const PlacedBox& first = boxes[by_top[row_start]];
    const long middle = first.top + (first.bottom - first.top) / 2;
    std::size_t row_end = row_start + 1;
    while (row_end < by_top.size() && boxes[by_top[row_end]].top < middle) ++row_end;
    std::vector<std::size_t> row(by_top.begin() + static_cast<std::ptrdiff_t>(row_start),
                                 by_top.begin() + static_cast<std::ptrdiff_t>(row_end));
    std::stable_sort(row.begin(), row.end(),
                     [&](std::size_t a, std::size_t b) { return boxes[a].left < boxes[b].left; });
    order.insert(order.end(), row.begin(), row.end());
    row_start = row_end;
  }
  return order;
}
