// Movers frame by frame: interpolation with each easing, the start and end steps, and both
// kinds of shake with a scripted random sequence.

#include "stage/MoverList.h"

#include <gtest/gtest.h>

#include <vector>

namespace zan {
namespace {

TEST(MoverListTest, InterpolationPerEasing) {
  struct Case {
    int32_t start, end, t, frames, ease, expected;
  };
  const Case cases[] = {
      // Linear, in integers (truncated toward zero).
      {0, 30, 0, 3, kEaseLinear, 0},
      {0, 30, 2, 3, kEaseLinear, 20},
      {10, -10, 1, 3, kEaseLinear, 4},  // 10 + (-20 / 3) = 10 - 6
      // Accelerating: s + trunc(d / T^2 * t^2).
      {0, 100, 1, 4, kEaseAccelerating, 6},   // 6.25
      {0, 100, 3, 4, kEaseAccelerating, 56},  // 56.25
      {0, -100, 1, 4, kEaseAccelerating, -6},
      {50, 150, 2, 4, kEaseAccelerating, 75},
      // Decelerating: s + trunc(d - d / T^2 * (t - T)^2).
      {0, 100, 1, 4, kEaseDecelerating, 43},  // 100 - 56.25
      {0, 100, 3, 4, kEaseDecelerating, 93},  // 100 - 6.25
      {0, 100, 0, 4, kEaseDecelerating, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MoverList::Interpolate(c.start, c.end, c.t, c.frames, c.ease), c.expected)
        << c.start << "->" << c.end << " t " << c.t << "/" << c.frames << " ease " << c.ease;
}

TEST(MoverListTest, AMoverShowsItsStartFirstAndItsEndOnStepTPlusOne) {
  Mover m = MoverList::Pair(0, 100, 30, 40, 3);
  std::vector<std::pair<int32_t, int32_t>> seen;
  int32_t x = -1, y = -1;
  while (MoverList::StepPair(m, &x, &y)) seen.emplace_back(x, y);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 100}, {10, 80}, {20, 60}, {30, 40}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(m.active, 0);
  // An ended mover leaves the value alone.
  x = 7;
  EXPECT_FALSE(MoverList::StepPair(m, &x, &y));
  EXPECT_EQ(x, 7);

  Mover now = MoverList::Single(0, 255, 0);
  int32_t v = -1;
  EXPECT_TRUE(MoverList::StepSingle(now, &v));
  EXPECT_EQ(v, 255);
  EXPECT_EQ(now.active, 0);
}

TEST(MoverListTest, RandomShakeMovesOnOddFramesWithFourDrawsInOrder) {
  // Amplitudes (5, 3) over 4 frames. Frame 1: x c = 5 - 7 % 5 = 3, draw 2 even: -3; y
  // 10 % 3 = 1, draw 1 odd: 3 - 1 = 2. Frame 3: x c = 5 - 4 % 5 = 1, draw 9 odd: +1; y
  // 6 % 3 = 0, draw 4 even: 0 - 3 = -3. Frame 4 ends at (0, 0).
  std::vector<int32_t> draws = {7, 2, 10, 1, 4, 9, 6, 4};
  size_t next = 0;
  auto random = [&] { return draws.at(next++); };
  Mover m = MoverList::Shake(kShakeRandom, 4, 5, 3);
  std::vector<std::pair<int32_t, int32_t>> seen;
  int32_t x = 99, y = 99;
  while (MoverList::StepShake(m, &x, &y, random)) seen.emplace_back(x, y);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 0}, {-3, 2}, {0, 0}, {1, -3}, {0, 0}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(next, draws.size());

  // An axis without amplitude draws nothing and keeps its offset.
  next = 0;
  Mover one = MoverList::Shake(kShakeRandom, 2, 0, 3);
  MoverList::StepShake(one, &x, &y, random);
  MoverList::StepShake(one, &x, &y, random);
  EXPECT_EQ(next, 2u);
  EXPECT_EQ(x, 0);
}

TEST(MoverListTest, SineShakeFollowsItsPhases) {
  // Amplitudes (10, 4), steps 0.5 and 1.0: trunc(sin(0.5) * 10) = 4, trunc(sin(1) * 4) = 3,
  // then trunc(sin(1) * 10) = 8, trunc(sin(2) * 4) = 3.
  Mover m = MoverList::Shake(kShakeSine, 3, 10, 4, 0.5, 1.0);
  auto never = []() -> int32_t { ADD_FAILURE() << "a sine shake draws no random number"; return 0; };
  std::vector<std::pair<int32_t, int32_t>> seen;
  int32_t x = 0, y = 0;
  while (MoverList::StepShake(m, &x, &y, never)) seen.emplace_back(x, y);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{0, 0}, {4, 3}, {8, 3}, {0, 0}};
  EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace zan
