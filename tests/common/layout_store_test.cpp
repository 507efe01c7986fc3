// Stored layouts in the registry, each test under a product key of its own
// that is removed afterwards.
#include "common/layout_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "common/registry.h"

namespace {

class LayoutStore : public testing::Test {
 protected:
  void SetUp() override {
    product_ = std::string("Corvale Layout Test ") + testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, ProductKey().c_str()); }
  std::string ProductKey() const { return "Software\\VELMARON\\" + product_; }
  std::string ListKey() const { return ProductKey() + "\\DLGS\\101\\1044"; }
  const char* product() const { return product_.c_str(); }

  std::string product_;
};

// Columns are read by name: with more than ten, an enumeration in name order
// ("0", "1", "10", "11", "2", ...) would scramble them.
TEST_F(LayoutStore, ElevenAndTwelveColumnsComeBackInOrder) {
  std::mt19937 random(18);
  for (int count : {11, 12}) {
    std::vector<int> widths(static_cast<std::size_t>(count));
    for (int& width : widths) width = static_cast<int>(random() % 300);
    std::vector<int> order(widths.size());
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    ASSERT_EQ(SaveIntList(product(), 101, 1044, count, widths.data()), count);
    ASSERT_EQ(SaveIntListOrder(product(), 101, 1044, count, order.data()), count);
    std::vector<int> read(widths.size() + 1, -1);
    EXPECT_EQ(LoadIntList(product(), 101, 1044, count, read.data()), count);
    EXPECT_EQ(std::vector<int>(read.begin(), read.begin() + count), widths);
    EXPECT_EQ(LoadIntListOrder(product(), 101, 1044, count, read.data()), count);
    EXPECT_EQ(std::vector<int>(read.begin(), read.begin() + count), order);
  }
}

TEST_F(LayoutStore, AListThatShrankRestoresAfterItsNextSave) {
  const int four[] = {10, 20, 30, 40};
  const int three[] = {11, 21, 31};
  int read[5] = {};
  ASSERT_EQ(SaveIntList(product(), 101, 1044, 4, four), 4);
  // More values than columns: not this list's layout.
  EXPECT_EQ(LoadIntList(product(), 101, 1044, 3, read), -1);
  ASSERT_EQ(SaveIntList(product(), 101, 1044, 3, three), 3);
  EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, ListKey().c_str(), "3"));
  EXPECT_EQ(LoadIntList(product(), 101, 1044, 3, read), 3);
  EXPECT_EQ(read[2], 31);
  // A list that grew finds too few values.
  EXPECT_EQ(LoadIntList(product(), 101, 1044, 4, read), 3);
}

TEST_F(LayoutStore, MissingOrDamagedListsReadAsNotStored) {
  int read[3] = {};
  EXPECT_EQ(LoadIntList(product(), 101, 1044, 2, read), -1);
  EXPECT_EQ(LoadIntList(nullptr, 101, 1044, 2, read), -1);
  EXPECT_EQ(SaveIntList(product(), 101, 1044, 0, read), 0);
  const int two[] = {5, 6};
  ASSERT_EQ(SaveIntList(product(), 101, 1044, 2, two), 2);
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, ListKey().c_str(), "1", "wide"));
  EXPECT_EQ(LoadIntList(product(), 101, 1044, 2, read), -1);
}

TEST_F(LayoutStore, WindowLayoutRoundTripsAndAMissingValueStopsTheRead) {
  WindowLayout layout = {-1, -1, -1, -1};
  EXPECT_EQ(LoadWindowLayout(product(), 101, &layout), 0);
  // The first read leaves an empty key behind.
  EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, (ProductKey() + "\\DLGS\\101").c_str(), nullptr));
  const WindowLayout saved = {10, -20, 640, 480};
  ASSERT_EQ(SaveWindowLayout(product(), 101, &saved), 1);
  ASSERT_EQ(LoadWindowLayout(product(), 101, &layout), 1);
  EXPECT_EQ(layout.top, -20);
  EXPECT_EQ(layout.height, 480);
  ASSERT_TRUE(DeleteRegValue(HKEY_CURRENT_USER, (ProductKey() + "\\DLGS\\101").c_str(), "height"));
  layout = {-1, -1, -1, -1};
  EXPECT_EQ(LoadWindowLayout(product(), 101, &layout), 0);
  EXPECT_EQ(layout.width, 640);
  EXPECT_EQ(layout.height, -1);
}

TEST_F(LayoutStore, StyleAndSplitterPositionsAreKept) {
  ASSERT_EQ(SaveListViewStyle(product(), 101, 1044, 3), 1);
  char text[16] = {};
  ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, (ListKey() + "\\style").c_str(), nullptr, text, sizeof text));
  EXPECT_STREQ(text, "3");
  ASSERT_EQ(SaveSplitterPositions(product(), 101, {-40, 0}), 1);
  std::vector<int> numbers;
  ASSERT_EQ(LoadSplitterPositions(product(), 101, &numbers), 1);
  EXPECT_EQ(numbers, (std::vector<int>{-40, 0}));
}

}  // namespace
