#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/RealClock.h"
#include "platform/VirtualClock.h"

namespace zan {
namespace {

TEST(VirtualClockTest, TimeMovesOnlyWhenSleeping) {
  VirtualClock clock(1000);
  EXPECT_EQ(clock.Milliseconds(), 1000u);
  EXPECT_EQ(clock.Milliseconds(), 1000u);
  clock.Sleep(33);
  EXPECT_EQ(clock.Milliseconds(), 1033u);
}

TEST(VirtualClockTest, TimersFireInDeadlineOrderAtTheirDeadline) {
  VirtualClock clock;
  std::vector<std::pair<int, uint32_t>> fired;
  clock.StartOneShot(500, [&] { fired.push_back({500, clock.Milliseconds()}); });
  clock.StartOneShot(100, [&] { fired.push_back({100, clock.Milliseconds()}); });
  auto cancelled = clock.StartOneShot(300, [&] { fired.push_back({300, 0}); });
  clock.CancelTimer(cancelled);
  clock.Sleep(99);
  EXPECT_TRUE(fired.empty());
  clock.Sleep(1000);
  ASSERT_EQ(fired.size(), 2u);
  EXPECT_EQ(fired[0], (std::pair<int, uint32_t>{100, 100}));
  EXPECT_EQ(fired[1], (std::pair<int, uint32_t>{500, 500}));
  EXPECT_EQ(clock.Milliseconds(), 1099u);
}

TEST(VirtualClockTest, ARearmingTimerRefillsEvery500MsAndListenersRunFirst) {
  VirtualClock clock;
  std::vector<std::string> events;
  clock.AddAdvanceListener([&](uint64_t now) { events.push_back("mix " + std::to_string(now)); });
  std::function<void()> refill = [&] {
    events.push_back("refill " + std::to_string(clock.Milliseconds()));
    clock.StartOneShot(500, refill);
  };
  clock.StartOneShot(500, refill);
  clock.Sleep(1200);
  EXPECT_EQ(events, (std::vector<std::string>{"mix 500", "refill 500", "mix 1000", "refill 1000",
                                              "mix 1200"}));
}

TEST(RealClockTest, OneShotRunsOnTheTimerThreadAndCancelStopsIt) {
  RealClock clock;
  std::atomic<bool> fired{false};
  std::atomic<bool> otherThread{false};
  const auto caller = std::this_thread::get_id();
  clock.StartOneShot(5, [&] {
    otherThread = std::this_thread::get_id() != caller;
    fired = true;
  });
  std::atomic<bool> cancelledFired{false};
  auto id = clock.StartOneShot(50, [&] { cancelledFired = true; });
  clock.CancelTimer(id);
  // Timers fire in the order they fall due: once a later one has fired, the cancelled one
  // would have fired before it, however late the timer thread runs.
  std::atomic<bool> laterFired{false};
  clock.StartOneShot(60, [&] { laterFired = true; });
  for (int i = 0; i < 400 && !(fired && laterFired); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(fired);
  EXPECT_TRUE(laterFired);
  EXPECT_TRUE(otherThread);
  EXPECT_FALSE(cancelledFired);
}

TEST(RealClockTest, MillisecondsFollowSleep) {
  RealClock clock;
  uint32_t start = clock.Milliseconds();
  clock.Sleep(20);
  EXPECT_GE(clock.Milliseconds() - start, 20u);
}

}  // namespace
}  // namespace zan
