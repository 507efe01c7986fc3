#include "controls/help_history.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(HelpHistory, BackAndForwardWalkTheShownTopics) {
  HelpHistory history;
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_EQ(history.Back(), 0);
  for (int topic : {1, 118, 120}) history.Push(topic);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.Back(), 118);
  history.Push(118);  // showing it records it again at the same place
  EXPECT_TRUE(history.CanGoForward());
  EXPECT_EQ(history.Forward(), 120);
  history.Push(120);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.end(), 3);
}

TEST(HelpHistory, ADifferentTopicAfterGoingBackDropsTheForwardPart) {
  HelpHistory history;
  for (int topic : {1, 2, 3, 4}) history.Push(topic);
  history.Push(history.Back());
  history.Push(history.Back());
  EXPECT_EQ(history.Forward(), 3);
  history.Push(9);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.end(), 3);
  EXPECT_EQ(history.Back(), 2);
}

TEST(HelpHistory, AfterFiftyTopicsBackReachesTheLastFortyNine) {
  HelpHistory history;
  for (int topic = 1; topic <= 60; ++topic) history.Push(topic);
  EXPECT_EQ(history.position(), HelpHistory::kSlots);
  std::vector<int> seen;
  while (history.CanGoBack() && seen.size() < 100) {
    const int topic = history.Back();
    seen.push_back(topic);
    history.Push(topic);  // showing the topic records it again
  }
  ASSERT_EQ(seen.size(), 49u);
  EXPECT_EQ(seen.front(), 59);
  EXPECT_EQ(seen.back(), 11);
}

}  // namespace
