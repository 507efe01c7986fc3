#include "app/startup_tables.h"

#include <gtest/gtest.h>

namespace {

TEST(MenuIconIndex, FlagsComeBeforeTheCommand) {
  EXPECT_EQ(MenuIconIndex(0x1, 0, 410), -1);
  EXPECT_EQ(MenuIconIndex(0x2, 0, 410), -1);
  EXPECT_EQ(MenuIconIndex(0x8, 0, 410), 6);
  EXPECT_EQ(MenuIconIndex(0x8 | 0x10, 1, 410), 6);
  EXPECT_EQ(MenuIconIndex(0x10, 1, 410), -1);
  EXPECT_EQ(MenuIconIndex(0x10, 0, 410), -2);
}

TEST(MenuIconIndex, CommandsMapToTheirIcons) {
  EXPECT_EQ(MenuIconIndex(0, 0, 410), 1);
  EXPECT_EQ(MenuIconIndex(0, 0, 40007), 7);
  EXPECT_EQ(MenuIconIndex(0, 0, 423), 10);
  EXPECT_EQ(MenuIconIndex(0, 0, 40006), 13);
  EXPECT_EQ(MenuIconIndex(0, 0, 3033), 20);
  EXPECT_EQ(MenuIconIndex(0, 0, 1205), 29);
  EXPECT_EQ(MenuIconIndex(0, 0, 1039), -1);
}

TEST(HelpTopicForId, ControlsCommandsAndDialogs) {
  EXPECT_EQ(HelpTopicForId(101), 1);
  EXPECT_EQ(HelpTopicForId(1014), 125);
  EXPECT_EQ(HelpTopicForId(1040), 120);
  EXPECT_EQ(HelpTopicForId(1002), 309);
  EXPECT_EQ(HelpTopicForId(1110), 246);
  EXPECT_EQ(HelpTopicForId(1118), 254);
  EXPECT_EQ(HelpTopicForId(1028), 9236);
  EXPECT_EQ(HelpTopicForId(4242), 0);
}

}  // namespace
