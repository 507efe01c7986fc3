#include "akrip/shared_startup.h"

#include <utility>

namespace akrip {

SharedStartup::SharedStartup(Start start, Stop stop) : start_(std::move(start)), stop_(std::move(stop)) {}

bool SharedStartup::Enter() {
  std::lock_guard<std::mutex> guard(lock_);
  if (users_ == 0 && !start_()) return false;
  ++users_;
  return true;
}

void SharedStartup::Leave() {
  std::lock_guard<std::mutex> guard(lock_);
  if (users_ == 0) return;
  if (--users_ == 0) stop_();
}

}  // namespace akrip
