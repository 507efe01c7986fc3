#include "rip/encode_queue.h"

#include <algorithm>
#include <chrono>
#include <utility>

EncodeQueue::EncodeQueue(int places) : places_(std::max(places, 1)) {}

bool EncodeQueue::TakePlace(const std::function<bool()>& keep_waiting, int poll_ms) {
  std::unique_lock<std::mutex> hold(lock_);
  while (taken_ >= places_) {
    // The caller's answer may take its time (it dispatches messages): the
    // lock is not held meanwhile.
    hold.unlock();
    if (keep_waiting && !keep_waiting()) return false;
    hold.lock();
    changed_.wait_for(hold, std::chrono::milliseconds(poll_ms), [this] { return taken_ < places_; });
  }
  ++taken_;
  return true;
}

void EncodeQueue::ReturnPlace() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (taken_ > 0) --taken_;
  }
  changed_.notify_all();
}

void EncodeQueue::HandOver(EncodeHandOver work) {
  {
    std::lock_guard<std::mutex> hold(lock_);
    waiting_.push_back(std::move(work));
    ++unfinished_;
  }
  changed_.notify_all();
}

void EncodeQueue::Close() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    closed_ = true;
  }
  changed_.notify_all();
}

bool EncodeQueue::Next(EncodeHandOver* work) {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return !waiting_.empty() || closed_; });
  if (waiting_.empty()) return false;
  *work = std::move(waiting_.front());
  waiting_.pop_front();
  return true;
}

void EncodeQueue::Finished() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    if (unfinished_ > 0) --unfinished_;
    if (taken_ > 0) --taken_;
  }
  changed_.notify_all();
}

int EncodeQueue::Unfinished() const {
  std::lock_guard<std::mutex> hold(lock_);
  return unfinished_;
}

bool EncodeQueue::WaitUntilFinished(const std::function<bool(int left)>& keep_waiting, int poll_ms) {
  std::unique_lock<std::mutex> hold(lock_);
  while (unfinished_ > 0) {
    const int left = unfinished_;
    hold.unlock();
    if (keep_waiting && !keep_waiting(left)) return false;
    hold.lock();
    changed_.wait_for(hold, std::chrono::milliseconds(poll_ms), [this, left] { return unfinished_ != left; });
  }
  return true;
}
