// A process-wide facility that the first of its users starts and the last
// stops, with every start and stop made one at a time.  Winsock needs it:
// its last WSACleanup closes every socket of the process, and a Winsock whose
// count of starts is not kept safely between threads (Wine's) may take another
// thread's cleanup for the last while that thread's exchange is still running.
#pragma once

#include <functional>
#include <mutex>

namespace akrip {

class SharedStartup {
 public:
  using Start = std::function<bool()>;
  using Stop = std::function<void()>;

  SharedStartup(Start start, Stop stop);
  SharedStartup(const SharedStartup&) = delete;
  SharedStartup& operator=(const SharedStartup&) = delete;

  // Counts a user in, starting the facility for the first.  False when that
  // start failed: the caller is not counted and must not Leave.
  bool Enter();
  // Counts a user out, stopping the facility after the last.
  void Leave();

 private:
  Start start_;
  Stop stop_;
  std::mutex lock_;  // held across start_ and stop_ too
  int users_ = 0;
};

// One user's share of a SharedStartup, for as long as it lives.
class SharedStartupUse {
 public:
  explicit SharedStartupUse(SharedStartup& startup) : startup_(startup), entered_(startup.Enter()) {}
  ~SharedStartupUse() {
    if (entered_) startup_.Leave();
  }
  SharedStartupUse(const SharedStartupUse&) = delete;
  SharedStartupUse& operator=(const SharedStartupUse&) = delete;
  bool entered() const { return entered_; }

 private:
  SharedStartup& startup_;
  const bool entered_;
};

}  // namespace akrip
