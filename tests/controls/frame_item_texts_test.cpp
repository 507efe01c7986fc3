#include "controls/frame_item_texts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "controls/frame_test_fixture.h"

namespace {

using namespace frame_testing;

TEST_F(FrameTest, ItemTextIsReadWhateverItsLength) {
  Open();
  const std::string long_text(70000, 'x');
  SetItemText(frame_, IDC_FRAME_EDIT, long_text.c_str());
  SendDlgItemMessageA(frame_->window, IDC_FRAME_EDIT, EM_SETLIMITTEXT, 0, 0);
  SetItemText(frame_, IDC_FRAME_EDIT, long_text.c_str());
  char* text = nullptr;
  EXPECT_EQ(ReadItemText(frame_, IDC_FRAME_EDIT, &text), 70000);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), long_text);
  SetItemText(frame_, IDC_FRAME_EDIT, "short");
  EXPECT_EQ(ReadItemText(frame_, IDC_FRAME_EDIT, &text), 5);
  EXPECT_STREQ(text, "short");
  std::free(text);
}

}  // namespace
