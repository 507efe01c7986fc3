#include "files/path_list.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathList, EachPathEndsInNulAndTheListInOneMore) {
  PathList list;
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.data(), nullptr);
  ASSERT_TRUE(list.Append("a"));
  EXPECT_EQ(list.bytes(), std::string("a\0\0", 3));
  ASSERT_TRUE(list.Append("b"));
  EXPECT_EQ(list.bytes(), std::string("a\0b\0\0", 5));
  ASSERT_TRUE(list.Append("C:\\x y"));
  EXPECT_EQ(list.bytes(), std::string("a\0b\0C:\\x y\0\0", 12));
  EXPECT_EQ(list.count(), 3);
  EXPECT_STREQ(list.first(), "a");
}

TEST(PathList, RefusesPathsThatWouldEndTheListEarly) {
  PathList list("one");
  EXPECT_FALSE(list.Append(""));
  EXPECT_FALSE(list.Append(std::string("a\0b", 3)));
  EXPECT_EQ(list.bytes(), std::string("one\0\0", 5));
  EXPECT_EQ(list.count(), 1);
}

}  // namespace
