// Holds a virtual drive to the pace of a real one.  A drive at N-times speed
// delivers N seconds of audio (75 sectors each) per second; without a pace a
// disc image reads as fast as its file, and a rip is over before anyone sees
// its progress.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace akrip {

class ReadPacer {
 public:
  using Clock = std::chrono::steady_clock;

  // 0 (or less): no pace.
  explicit ReadPacer(double speed = 0) : speed_(speed) {}

  // The wait after `sectors` were delivered at `now` that keeps the pace.
  // Idle time earns no credit: a pause does not let the next reads run ahead.
  Clock::duration DelayAfter(uint32_t sectors, Clock::time_point now);

 private:
  double speed_;
  Clock::time_point ready_at_{};
};

struct SpeedResult {
  bool ok;
  double speed;        // 0 when not ok
  const char* reason;  // fixed text, empty when ok
};

// "8", "8x", "8X" or "1.5x": a speed from 0.1 to 1000.
SpeedResult ParseDriveSpeed(const std::string& text);

}  // namespace akrip
