#include "controls/frame_test_fixture.h"

#include "common/common_library.h"
#include "controls/dialog_resources.h"
#include "controls/frame_services.h"

namespace frame_testing {

namespace {

void RecordTopic(void*, int topic) { g_trace.topics_shown.push_back(topic); }
void RecordHelpWindow(DialogFrame*, int id) { g_trace.help_windows.push_back(id); }

}  // namespace

Trace g_trace;

void PumpPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int TracingOwner(DialogFrame*, UINT message, WPARAM, LPARAM lparam) {
  g_trace.owner_messages.push_back(message);
  if (message == WM_INITDIALOG) g_trace.init_param = reinterpret_cast<void*>(lparam);
  if (message == WM_CLOSE) return g_trace.close_answer;
  return 0;
}

bool OwnerSaw(UINT message) {
  for (UINT seen : g_trace.owner_messages) {
    if (seen == message) return true;
  }
  return false;
}

int TopicTimesTen(int id) { return id == 5 ? 0 : id * 10; }

void FrameTest::SetUp() {
  g_trace = Trace();
  InitCommonLibrary(GetModuleHandleA(nullptr), nullptr, nullptr, nullptr);
  FrameServicesTable() = FrameServices();
  FrameServicesTable().show_help_topic = RecordTopic;
  FrameServicesTable().open_help_window = RecordHelpWindow;
}

void FrameTest::TearDown() {
  if (frame_ != nullptr) {
    if (frame_->window != nullptr) DestroyWindow(frame_->window);
    FreeDialogFrame(frame_);
  }
  FrameServicesTable() = FrameServices();
  SetGlobalHelpMute(false);
  ShutdownCommonLibrary();
}

HWND FrameTest::Open(int template_id) {
  DialogRequest request;
  request.holder = &frame_;
  request.procedure = TracingOwner;
  EXPECT_EQ(CreateDialogFromResource(request, template_id), 1);
  g_trace.owner_messages.clear();
  return frame_ != nullptr ? frame_->window : nullptr;
}

INT_PTR FrameTest::Send(UINT message, WPARAM wparam, LPARAM lparam) {
  return FrameDialogProc(frame_->window, message, wparam, lparam);
}

}  // namespace frame_testing
