// A hidden window that stands in for the main window of an MP3 rip: it starts
// the encoder watch when the worker asks and hands it every tick of its
// timer, counting what the ticks report.
#pragma once

#include <windows.h>

#include <functional>

namespace testing_support {

class EncoderWatchWindow {
 public:
  EncoderWatchWindow();
  ~EncoderWatchWindow();
  EncoderWatchWindow(const EncoderWatchWindow&) = delete;
  EncoderWatchWindow& operator=(const EncoderWatchWindow&) = delete;

  HWND handle() const { return window_; }
  int ended() const { return ended_; }
  int failures_shown() const { return failures_shown_; }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  int ended_ = 0;
  int failures_shown_ = 0;
};

// Dispatches this thread's messages until `done` holds; false after `timeout_ms`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeout_ms = 60000);

}  // namespace testing_support
