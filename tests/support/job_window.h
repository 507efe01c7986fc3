// A hidden window that stands in for the progress dialog of a rip job: it
// records what the worker posts to it and tells when the job has ended.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace testing_support {

struct PostedMessage {
  WPARAM code;
  LPARAM param;
};

// A hidden message-only window of class `class_name` (registered on first
// use) whose GWLP_USERDATA holds `owner`; null when it cannot be created.
HWND CreateHelperWindow(const char* class_name, WNDPROC procedure, void* owner);

class JobWindow {
 public:
  JobWindow();
  ~JobWindow();
  JobWindow(const JobWindow&) = delete;
  JobWindow& operator=(const JobWindow&) = delete;

  HWND handle() const { return window_; }

  // Pumps this thread's messages until the worker's end message, calling
  // `on_message` for each WM_USER that arrives.  False after `timeout_ms`.
  bool WaitForEnd(const std::function<void(const PostedMessage&)>& on_message = nullptr, DWORD timeout_ms = 60000);
  const std::vector<PostedMessage>& posted() const { return posted_; }
  // Answers messages other than WM_USER (a worker's sent requests); the
  // handler returns false for those it leaves alone.
  void set_other_messages(std::function<bool(UINT message, WPARAM wparam, LPARAM lparam)> handler) {
    other_messages_ = std::move(handler);
  }

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND window_ = nullptr;
  bool ended_ = false;
  std::vector<PostedMessage> posted_;
  std::function<void(const PostedMessage&)> on_message_;
  std::function<bool(UINT, WPARAM, LPARAM)> other_messages_;
};

}  // namespace testing_support
