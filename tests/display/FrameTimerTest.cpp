#include "display/FrameTimer.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/headless/HeadlessPlatform.h"

namespace zan {
namespace {

// Frames paced on the virtual clock, with `work` ms spent in each before it ends.
class FrameTimerTest : public ::testing::Test {
 protected:
  uint32_t Now() { return platform.GetClock().Milliseconds(); }
  // The lengths of `frames` frames (time from one frame's end to the next).
  std::vector<uint32_t> Lengths(FrameTimer& timer, int frames, uint32_t work = 0) {
    std::vector<uint32_t> out;
    for (int i = 0; i < frames; ++i) {
      const uint32_t start = Now();
      platform.GetClock().Advance(work);
      timer.PaceFrame();
      out.push_back(Now() - start);
    }
    return out;
  }
  HeadlessPlatform platform;
};

TEST_F(FrameTimerTest, ThirtyFramesASecondCarryTheFraction) {
  platform.GetClock().Advance(1000);
  FrameTimer timer{platform.GetClock()};
  EXPECT_EQ(timer.Rate(), 60u);
  EXPECT_EQ(timer.Interval(), 1092266u);
  timer.SetFrameRate(30);
  EXPECT_EQ(timer.Interval(), 2184533u);
  EXPECT_EQ(Lengths(timer, 12), (std::vector<uint32_t>{33, 33, 33, 34, 33, 33, 34, 33, 33, 34, 33, 33}));
  EXPECT_EQ(Now(), 1399u);  // twelve frames in 399 ms
  // Work inside the frame is taken from the wait, not added to it.
  EXPECT_EQ(Lengths(timer, 3, 20), (std::vector<uint32_t>{34, 33, 33}));
  EXPECT_EQ(timer.Waits()[(timer.RingPosition() - 1) % 32], 20u);
  EXPECT_EQ(timer.FrameCount(), 15u);
}

TEST_F(FrameTimerTest, ALongStallResynchronisesInsteadOfCatchingUp) {
  FrameTimer timer{platform.GetClock()};
  timer.SetFrameRate(30);
  Lengths(timer, 3);                          // deadlines at 33, 66, 99
  platform.GetClock().Advance(300 + 33);      // the fourth frame (34 ms) ends 299 ms late
  timer.PaceFrame();
  EXPECT_FALSE(timer.IsLate());               // 250 ms or more is not counted as late
  EXPECT_EQ(timer.DeadlineBase(), Now());     // the next frame starts from now
  EXPECT_EQ(Lengths(timer, 1), (std::vector<uint32_t>{33}));
  EXPECT_TRUE(timer.Slept());
}

TEST_F(FrameTimerTest, FramesThreeLengthsLateAreCountedPerSecond) {
  FrameTimer timer{platform.GetClock()};
  timer.SetFrameRate(30);
  Lengths(timer, 2);
  platform.GetClock().Advance(33 + 100);  // 100 ms over a 33 ms frame: late, and no wait
  timer.PaceFrame();
  EXPECT_TRUE(timer.IsLate());
  EXPECT_EQ(timer.LateFramesThisSecond(), 1u);
  EXPECT_EQ(timer.DeadlineBase(), Now() - 100);
  EXPECT_EQ(Lengths(timer, 1), (std::vector<uint32_t>{0}));  // still behind: no sleep
  EXPECT_FALSE(timer.Slept());
  platform.GetClock().Advance(60);  // 93 ms over: behind, but under 3 x 33, so not late
  timer.PaceFrame();
  EXPECT_FALSE(timer.IsLate());
  // The count is published when the frame counter reaches a multiple of the rate.
  Lengths(timer, 25);
  EXPECT_EQ(timer.LateFramesLastSecond(), 0u);
  Lengths(timer, 1);  // frame 30 opens a new second
  EXPECT_EQ(timer.LateFramesLastSecond(), 1u);
  EXPECT_EQ(timer.LateFramesThisSecond(), 0u);
}

TEST_F(FrameTimerTest, RateZeroNeverSleeps) {
  FrameTimer timer{platform.GetClock()};
  timer.SetFrameRate(0);
  EXPECT_EQ(Lengths(timer, 100), std::vector<uint32_t>(100, 0));
  EXPECT_FALSE(timer.Slept());
  // The ring position runs to 63 and then stays within 32..63.
  EXPECT_EQ(timer.RingPosition(), 36u);
  timer.SetFrameRate(30);
  EXPECT_EQ(Lengths(timer, 1), (std::vector<uint32_t>{33}));
}

}  // namespace
}  // namespace zan
