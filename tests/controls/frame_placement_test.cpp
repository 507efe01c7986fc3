#include "controls/frame_placement.h"

#include <gtest/gtest.h>

#include "controls/dialog_resources.h"
#include "controls/frame_test_fixture.h"

namespace {

using namespace frame_testing;

TEST_F(FrameTest, PlacementFromTextIsAppliedWhenTheDialogOpens) {
  frame_ = NewDialogFrame();
  ParseFramePlacement(frame_, "50,60,350,260,0");
  Open();
  RECT rect;
  GetWindowRect(frame_->window, &rect);
  EXPECT_EQ(rect.left, 50);
  EXPECT_EQ(rect.top, 60);
  EXPECT_EQ(rect.right, 350);
  EXPECT_EQ(rect.bottom, 260);
  EXPECT_STREQ(FormatFramePlacement(frame_), "50,60,350,260,0");
}

}  // namespace
