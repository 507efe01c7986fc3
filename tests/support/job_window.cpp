#include "support/job_window.h"

#include "rip/rip_job.h"

namespace testing_support {

namespace {
constexpr char kClassName[] = "CorvaleJobWindow";
}

HWND CreateHelperWindow(const char* class_name, WNDPROC procedure, void* owner) {
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassA(&window_class);  // fails harmlessly when already registered
  HWND window = CreateWindowA(class_name, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, window_class.hInstance, nullptr);
  if (window) SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
  return window;
}

JobWindow::JobWindow() : window_(CreateHelperWindow(kClassName, Proc, this)) {}

JobWindow::~JobWindow() {
  if (window_) DestroyWindow(window_);
}

bool JobWindow::WaitForEnd(const std::function<void(const PostedMessage&)>& on_message, DWORD timeout_ms) {
  on_message_ = on_message;
  const DWORD started = GetTickCount();
  while (!ended_ && GetTickCount() - started < timeout_ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (!ended_) MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
  on_message_ = nullptr;
  return ended_;
}

LRESULT CALLBACK JobWindow::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<JobWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_USER && self) {
    self->posted_.push_back({wparam, lparam});
    if (wparam == kRipMsgEnded) self->ended_ = true;
    if (self->on_message_) self->on_message_({wparam, lparam});
    return 0;
  }
  if (self && self->other_messages_ && self->other_messages_(message, wparam, lparam)) return 0;
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace testing_support
