#include "rip/encode_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

constexpr int kLongPollMs = 10000;  // longer than any test: a wake-up must come from the queue

EncodeHandOver Track(int track) { return {track, "temp\\corvale(" + std::to_string(track) + ").wav", "out.ogg"}; }

TEST(EncodeQueue, NoMoreWavsThanPlacesAreReadWaitingOrEncoding) {
  for (const int places : {1, 2, 3}) {
    SCOPED_TRACE(places);
    EncodeQueue queue(places);
    int asked = 0;
    const auto refuse = [&asked] {
      ++asked;
      return false;
    };
    for (int i = 0; i < places; ++i) ASSERT_TRUE(queue.TakePlace(refuse, 1));
    EXPECT_EQ(asked, 0);
    EXPECT_FALSE(queue.TakePlace(refuse, 1));
    EXPECT_EQ(asked, 1);

    // A place given back unused, and one whose encode finished, are free again.
    queue.ReturnPlace();
    EXPECT_TRUE(queue.TakePlace(refuse, 1));
    queue.HandOver(Track(0));
    EncodeHandOver work;
    ASSERT_TRUE(queue.Next(&work));
    EXPECT_FALSE(queue.TakePlace(refuse, 1));
    queue.Finished();
    EXPECT_TRUE(queue.TakePlace(refuse, 1));
  }
}

TEST(EncodeQueue, AReaderWaitingForAPlaceWakesWhenAnEncodeFinishes) {
  EncodeQueue queue(1);
  ASSERT_TRUE(queue.TakePlace(nullptr, 1));
  queue.HandOver(Track(0));
  std::atomic<bool> taken{false};
  const auto began = std::chrono::steady_clock::now();
  std::thread reader([&] { taken = queue.TakePlace([] { return true; }, kLongPollMs); });
  EncodeHandOver work;
  ASSERT_TRUE(queue.Next(&work));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(taken);
  queue.Finished();
  reader.join();
  EXPECT_TRUE(taken);
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(kLongPollMs / 2));
}

// Every track handed over reaches exactly one encoder thread, with what it
// carries, and the threads end once the queue is closed and empty.
TEST(EncodeQueue, EveryHandOverReachesOneEncoderThreadAndClosingEndsThem) {
  constexpr int kTracks = 40;
  EncodeQueue queue(3);
  std::mutex seen_lock;
  std::multiset<int> seen;
  std::atomic<int> busy{0};
  std::atomic<int> most_busy{0};
  std::vector<std::thread> encoders;
  for (int i = 0; i < 3; ++i) {
    encoders.emplace_back([&] {
      EncodeHandOver work;
      while (queue.Next(&work)) {
        const int now = ++busy;
        int most = most_busy;
        while (now > most && !most_busy.compare_exchange_weak(most, now)) {
        }
        EXPECT_EQ(work.wav_path, Track(work.track).wav_path);
        {
          std::lock_guard<std::mutex> hold(seen_lock);
          seen.insert(work.track);
        }
        --busy;
        queue.Finished();
      }
    });
  }
  for (int i = 0; i < kTracks; ++i) {
    ASSERT_TRUE(queue.TakePlace([] { return true; }, 5));
    queue.HandOver(Track(i));
  }
  EXPECT_TRUE(queue.WaitUntilFinished([](int) { return true; }, 5));
  queue.Close();
  for (std::thread& encoder : encoders) encoder.join();
  EXPECT_EQ(seen.size(), size_t(kTracks));
  for (int i = 0; i < kTracks; ++i) EXPECT_EQ(seen.count(i), 1u) << i;
  EXPECT_LE(most_busy, 3);
  EXPECT_EQ(queue.Unfinished(), 0);
}

TEST(EncodeQueue, WaitingForTheLastEncodesTellsHowManyAreLeftAndCanBeGivenUp) {
  EncodeQueue queue(2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(queue.TakePlace(nullptr, 1));
    queue.HandOver(Track(i));
  }
  EXPECT_EQ(queue.Unfinished(), 2);
  std::vector<int> told;
  EXPECT_FALSE(queue.WaitUntilFinished(
      [&told](int left) {
        told.push_back(left);
        return false;
      },
      1));
  EXPECT_EQ(told, std::vector<int>{2});

  std::thread encoder([&] {
    EncodeHandOver work;
    while (queue.Next(&work)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      queue.Finished();
    }
  });
  told.clear();
  EXPECT_TRUE(queue.WaitUntilFinished(
      [&told](int left) {
        if (told.empty() || told.back() != left) told.push_back(left);
        return true;
      },
      kLongPollMs));
  queue.Close();
  encoder.join();
  EXPECT_EQ(told, (std::vector<int>{2, 1}));
}

TEST(EncodeQueue, AClosedEmptyQueueEndsAnEncoderThreadAtOnce) {
  EncodeQueue queue(0);  // taken as one place
  EXPECT_EQ(queue.places(), 1);
  ASSERT_TRUE(queue.TakePlace(nullptr, 1));
  queue.HandOver(Track(7));
  queue.Close();
  EncodeHandOver work;
  // What was handed over before the close still comes out.
  ASSERT_TRUE(queue.Next(&work));
  EXPECT_EQ(work.track, 7);
  queue.Finished();
  EXPECT_FALSE(queue.Next(&work));
}

}  // namespace
