// The frame tests' fixture: a frame dialog opened from the test templates
// with an owner procedure that records what it saw.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "controls/dialog_frame.h"
#include "controls/frame_test_dialogs.h"

namespace frame_testing {

// What the owner procedure and the hooks saw.
struct Trace {
  std::vector<UINT> owner_messages;
  std::vector<int> topics_shown;
  std::vector<int> help_windows;
  std::vector<int> size_types;
  int close_answer = 0;
  void* init_param = nullptr;
  bool init_func_ran_first = false;
};
extern Trace g_trace;

void PumpPending();
int TracingOwner(DialogFrame* frame, UINT message, WPARAM wparam, LPARAM lparam);
bool OwnerSaw(UINT message);
// Ids have topic id * 10, except id 5, which has none.
int TopicTimesTen(int id);

class FrameTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  HWND Open(int template_id = IDD_FRAME_TEST);
  INT_PTR Send(UINT message, WPARAM wparam, LPARAM lparam);
  DialogFrame* frame_ = nullptr;
};

}  // namespace frame_testing
