#include "akrip/read_pacer.h"

#include <cstdlib>

#include "akrip/cdda.h"

namespace akrip {

namespace {
constexpr double kMinSpeed = 0.1;
constexpr double kMaxSpeed = 1000;
}  // namespace

ReadPacer::Clock::duration ReadPacer::DelayAfter(uint32_t sectors, Clock::time_point now) {
  if (speed_ <= 0) return Clock::duration::zero();
  if (ready_at_ < now) ready_at_ = now;
  const std::chrono::duration<double> transfer(double(sectors) / (cdda::kSectorsPerSecond * speed_));
  ready_at_ += std::chrono::duration_cast<Clock::duration>(transfer);
  return ready_at_ - now;
}

SpeedResult ParseDriveSpeed(const std::string& text) {
  std::string number = text;
  if (!number.empty() && (number.back() == 'x' || number.back() == 'X')) number.pop_back();
  if (number.empty()) return {false, 0, "no speed given"};
  char* end = nullptr;
  const double speed = std::strtod(number.c_str(), &end);
  if (end == number.c_str() || *end != '\0') return {false, 0, "the speed is not a number"};
  if (!(speed >= kMinSpeed && speed <= kMaxSpeed)) return {false, 0, "the speed lies outside 0.1 to 1000"};
  return {true, speed, ""};
}

}  // namespace akrip
