#include "support/encoder_watch_window.h"

#include "rip/encoder_watch.h"
#include "support/job_window.h"

namespace testing_support {

namespace {
constexpr char kClassName[] = "CorvaleEncoderWatchWindow";
constexpr DWORD kPumpWaitMs = 20;
}  // namespace

EncoderWatchWindow::EncoderWatchWindow() : window_(CreateHelperWindow(kClassName, Proc, this)) {}

EncoderWatchWindow::~EncoderWatchWindow() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK EncoderWatchWindow::Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<EncoderWatchWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == kMsgStartEncoderWatch) {
    StartEncoderWatch(window);
    return 0;
  }
  if (self && message == WM_TIMER && wparam == kEncoderWatchTimer) {
    const EncoderWatchTick tick = TickEncoderWatch(window);
    self->ended_ += tick.ended;
    self->failures_shown_ += tick.failures_to_show;
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms) {
  const DWORD started = GetTickCount();
  while (!done()) {
    if (GetTickCount() - started > timeout_ms) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpWaitMs, QS_ALLINPUT);
  }
  return true;
}

}  // namespace testing_support
