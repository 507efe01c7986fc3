// The first user starts a shared facility and the last stops it, one start or
// stop at a time, so that threads using it side by side never find it stopped
// under them, even when the facility keeps its own count as loosely as Wine's
// Winsock does.
#include "akrip/shared_startup.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using akrip::SharedStartup;
using akrip::SharedStartupUse;

// A facility that counts its starts without a lock and drops everything its
// users hold when its count falls to zero; the read, pause and write of its
// count widen the window in which two calls side by side lose one.
class LooseFacility {
 public:
  bool Start() {
    Calling();
    const int seen = count_.load();
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    count_.store(seen + 1);
    up_.store(true);
    --calls_;
    return true;
  }
  void Stop() {
    Calling();
    const int seen = count_.load();
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    count_.store(seen - 1);
    if (seen - 1 <= 0) up_.store(false);
    --calls_;
  }
  bool up() const { return up_.load(); }
  int count() const { return count_.load(); }
  int overlapping_calls() const { return overlapping_calls_.load(); }

 private:
  void Calling() {
    if (calls_++ != 0) ++overlapping_calls_;
  }

  std::atomic<int> count_{0};
  std::atomic<bool> up_{false};
  std::atomic<int> calls_{0};
  std::atomic<int> overlapping_calls_{0};
};

struct Recorded {
  std::string calls;  // "S" per start, "T" per stop
  bool start_succeeds = true;
};

SharedStartup Recording(Recorded* recorded) {
  return SharedStartup(
      [recorded] {
        recorded->calls += "S";
        return recorded->start_succeeds;
      },
      [recorded] { recorded->calls += "T"; });
}

TEST(SharedStartup, StartsForTheFirstUserAndStopsAfterTheLast) {
  // Each step enters (+) or leaves (-) one user; the calls the facility saw after it.
  struct Case {
    const char* name;
    std::string steps;
    std::string calls;
  };
  const Case cases[] = {
      {"one user", "+-", "ST"},
      {"nested users", "++--", "ST"},
      {"overlapping users", "++-+--", "ST"},
      {"one after another", "+-+-", "STST"},
      {"still in use", "++-", "S"},
  };
  for (const Case& c : cases) {
    Recorded recorded;
    SharedStartup startup = Recording(&recorded);
    for (char step : c.steps) {
      if (step == '+') {
        EXPECT_TRUE(startup.Enter()) << c.name;
      } else {
        startup.Leave();
      }
    }
    EXPECT_EQ(recorded.calls, c.calls) << c.name;
  }
}

TEST(SharedStartup, AFailedStartCountsNobodyAndIsTriedAgain) {
  Recorded recorded;
  recorded.start_succeeds = false;
  SharedStartup startup = Recording(&recorded);
  {
    const SharedStartupUse use(startup);
    EXPECT_FALSE(use.entered());
  }
  startup.Leave();  // an unmatched leave stops nothing
  EXPECT_EQ(recorded.calls, "S");
  recorded.start_succeeds = true;
  {
    const SharedStartupUse use(startup);
    EXPECT_TRUE(use.entered());
  }
  EXPECT_EQ(recorded.calls, "SST");
}

TEST(SharedStartup, UsersSideBySideNeverFindTheFacilityStoppedUnderThem) {
  LooseFacility facility;
  SharedStartup startup([&facility] { return facility.Start(); }, [&facility] { facility.Stop(); });
  constexpr int kThreads = 6;
  constexpr int kUsesEach = 150;
  std::atomic<int> lost{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kUsesEach; ++i) {
        const SharedStartupUse use(startup);
        if (!use.entered()) {
          ++lost;
          continue;
        }
        if (!facility.up()) ++lost;
        std::this_thread::yield();
        if (!facility.up()) ++lost;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(facility.overlapping_calls(), 0);
  EXPECT_EQ(lost.load(), 0);
  EXPECT_EQ(facility.count(), 0);
  EXPECT_FALSE(facility.up());
}

}  // namespace
