#include "controls/reading_order.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadingOrder, RowsFromTheTopEachFromTheLeft) {
  const struct {
    const char* layout;
    std::vector<PlacedBox> boxes;
    std::vector<std::size_t> order;
  } cases[] = {
      {"empty", {}, {}},
      {"a column given bottom up", {{0, 40, 10, 50}, {0, 20, 10, 30}, {0, 0, 10, 10}}, {2, 1, 0}},
      {"a row given right to left", {{40, 0, 50, 10}, {20, 0, 30, 10}, {0, 0, 10, 10}}, {2, 1, 0}},
      // A combo box a few pixels lower than its neighbour is on the same line.
      {"one line of uneven controls", {{100, 3, 150, 20}, {0, 0, 90, 24}, {160, 1, 170, 15}}, {1, 0, 2}},
      // Two panes side by side read line by line across both.
      {"two panes",
       {{0, 0, 90, 20}, {0, 30, 90, 200}, {100, 0, 190, 20}, {100, 30, 190, 200}, {200, 0, 240, 20}},
       {0, 2, 4, 1, 3}},
      {"a tall list beside short buttons", {{0, 0, 90, 200}, {100, 0, 140, 20}, {100, 150, 140, 170}}, {0, 1, 2}},
      {"ties keep their order", {{0, 0, 10, 10}, {0, 0, 10, 10}}, {0, 1}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadingOrder(c.boxes), c.order) << c.layout;
  }
}

}  // namespace
