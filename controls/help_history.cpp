#include "controls/help_history.h"

#include <algorithm>

void HelpHistory::Push(int topic) {
  if (position_ >= kSlots) {
    position_ = kSlots - 1;
    std::copy(topics_ + 1, topics_ + kSlots, topics_);
    end_ = std::min<std::int16_t>(end_, kSlots - 1);
  }
  if (position_ < end_ && topics_[position_] != topic) end_ = position_;
  topics_[position_] = static_cast<std::int16_t>(topic);
  ++position_;
  end_ = std::max(end_, position_);
}

int HelpHistory::Back() {
  if (!CanGoBack()) return 0;
  position_ = static_cast<std::int16_t>(position_ - 2);
  return topics_[position_];
}

int HelpHistory::Forward() const { return CanGoForward() ? topics_[position_] : 0; }
