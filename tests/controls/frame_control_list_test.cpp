#include "controls/frame_control_list.h"

#include <gtest/gtest.h>

#include "controls/frame_test_fixture.h"

namespace {

using namespace frame_testing;

TEST_F(FrameTest, ControlListIsDoublyLinkedAndFreedWithItsObjects) {
  Open();
  static int destroyed = 0;
  destroyed = 0;
  int a = 0, b = 0;
  FrameControl* first = AddFrameControl(frame_, &a, 1, nullptr, kFrameCommandHook, nullptr, [](void*) { ++destroyed; });
  FrameControl* second =
      AddFrameControl(frame_, &b, 2, nullptr, kFrameCommandHook, nullptr, [](void*) { ++destroyed; });
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(first->next, second);
  EXPECT_EQ(second->previous, first);
  FreeFrameControls(frame_);
  EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(frame_->controls, nullptr);

  DialogFrame unattached = {};
  EXPECT_EQ(AddFrameControl(&unattached, &a, 1, nullptr, kFrameCommandHook, nullptr, nullptr), nullptr);
}

}  // namespace
