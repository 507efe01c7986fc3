// The topics a help window has shown, for Back and Forward.
#pragma once

#include <cstdint>

class HelpHistory {
 public:
  static constexpr int kSlots = 50;

  // Records a shown topic.  When full, the oldest goes.  Showing a topic
  // other than the one ahead in the history drops the forward part.
  void Push(int topic);
  // The topic Back shows (it is pushed again when shown), or 0 when there
  // is none.  Moves the position back.
  int Back();
  // The topic Forward shows, or 0 when there is none.
  int Forward() const;

  bool CanGoBack() const { return position_ >= 2; }
  bool CanGoForward() const { return position_ < end_; }
  int position() const { return position_; }
  int end() const { return end_; }

 private:
  std::int16_t topics_[kSlots] = {};
  std::int16_t position_ = 0;  // next slot to write
  std::int16_t end_ = 0;       // one past the last valid slot
};
