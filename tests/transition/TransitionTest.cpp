// The ten transitions drawn on 800 x 600 surfaces in the 16-bit and the byte formats. Every
// expected frame is worked out from the transition's formulas in the test itself (the maps,
// the ramps, the blends: TransitionExpect.h), never taken from the library's own output.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "TransitionExpect.h"
#include "base/DiagnosticLog.h"
#include "pixels/PixelOps.h"
#include "surface/AlphaPlane.h"
#include "transition/Transition.h"

namespace zan {
namespace {

using test::Channels;
using test::CrossFadeOf;
using test::MakeSurface;
using test::MaskBlendOf;
using test::PackRgb;
using test::Raw;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;
constexpr double kPi = std::numbers::pi;

const TransitionTables& Tables() {
  static const TransitionTables tables(kW, kH);
  return tables;
}

using PixelFn = std::function<uint32_t(int32_t, int32_t)>;

// The old scene dark in every channel, the new one bright, so that no blend of the two
// equals either and every pixel of one differs from the other.
Channels OldColour(int32_t x, int32_t y) {
  return {static_cast<uint32_t>(x & 127), static_cast<uint32_t>(y & 127), static_cast<uint32_t>((x + y) & 127)};
}
Channels NewColour(int32_t x, int32_t y) {
  return {128 + static_cast<uint32_t>((x * 3) & 127), 128 + static_cast<uint32_t>(y & 127),
          128 + static_cast<uint32_t>((x * y) & 127)};
}

void Paint(Surface& s, const std::function<Channels(int32_t, int32_t)>& colour) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) test::SetRaw(s, x, y, PackRgb(s.FormatCode(), colour(x, y)));
}

void PaintPlane(AlphaPlane& plane, const std::function<uint8_t(int32_t, int32_t)>& value) {
  for (int32_t y = 0; y < plane.Height(); ++y)
    for (int32_t x = 0; x < plane.Width(); ++x) plane.Row(y)[x] = value(x, y);
}

class TransitionTest : public ::testing::TestWithParam<int32_t> {
 protected:
  int32_t F() const { return GetParam(); }

  void SetUp() override {
    old_ = MakeSurface(F(), kW, kH);
    next_ = MakeSurface(F(), kW, kH);
    target_ = MakeSurface(F(), kW, kH);
    Paint(*old_, OldColour);
    Paint(*next_, NewColour);
  }

  std::unique_ptr<Transition> Start(const TransitionParams& params) {
    auto started = StartTransition(Tables(), params, *old_, *next_);
    EXPECT_TRUE(started.ok()) << (started.ok() ? "" : started.error().message);
    return started.ok() ? std::move(*started) : nullptr;
  }
  TransitionParams Params(TransitionKind kind, int32_t duration) const {
    TransitionParams p;
    p.kind = kind;
    p.duration = duration;
    return p;
  }
  // The fixture's mask, the screen's size, painted by `value`; `Params` with it.
  TransitionParams MaskParams(TransitionKind kind, int32_t duration,
                              const std::function<uint8_t(int32_t, int32_t)>& value) {
    if (!mask_.IsAllocated()) mask_.Create(kW, kH);
    PaintPlane(mask_, value);
    TransitionParams p = Params(kind, duration);
    p.mask = &mask_;
    return p;
  }
  TransitionParams PatternParams(const Surface& pattern, int32_t frames, int32_t duration, int32_t cellWidth = 40,
                                 int32_t cellHeight = 30) const {
    TransitionParams p = Params(TransitionKind::kPattern, duration);
    p.pattern = &pattern;
    p.patternFrames = frames;
    p.cellWidth = cellWidth;
    p.cellHeight = cellHeight;
    return p;
  }
  bool At(Transition& t, uint32_t elapsed) { return t.Draw(*target_, elapsed); }

  uint32_t Old(int32_t x, int32_t y) { return Raw(*old_, x, y); }
  uint32_t New(int32_t x, int32_t y) { return Raw(*next_, x, y); }

  // Every pixel of the target against `expected`; the first mismatches are reported.
  void ExpectFrame(const PixelFn& expected, const std::string& what) {
    int32_t wrong = 0;
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const uint32_t want = expected(x, y);
        const uint32_t got = Raw(*target_, x, y);
        if (got != want && ++wrong <= 3)
          ADD_FAILURE() << what << " at (" << x << ", " << y << "): 0x" << std::hex << got << " instead of 0x" << want;
      }
    }
    EXPECT_EQ(wrong, 0) << what << ": pixels that differ";
  }
  void ExpectOld(const std::string& what) {
    ExpectFrame([this](int32_t x, int32_t y) { return Old(x, y); }, what + " (the old scene)");
  }
  void ExpectNew(const std::string& what) {
    ExpectFrame([this](int32_t x, int32_t y) { return New(x, y); }, what + " (the new scene)");
  }
  // How many pixels show the old scene, the new one, or neither.
  struct Mix {
    int32_t old = 0;
    int32_t next = 0;
    int32_t between = 0;
  };
  Mix CountMix() {
    Mix mix;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        const uint32_t got = Raw(*target_, x, y);
        if (got == Old(x, y)) ++mix.old;
        else if (got == New(x, y)) ++mix.next;
        else ++mix.between;
      }
    return mix;
  }
  void ExpectMixed(const std::string& what) {
    const Mix mix = CountMix();
    EXPECT_LT(mix.old, kW * kH) << what << ": all old";
    EXPECT_LT(mix.next, kW * kH) << what << ": all new";
    EXPECT_GT(mix.old + mix.between, 0) << what;
    EXPECT_GT(mix.next + mix.between, 0) << what;
  }

  std::unique_ptr<Surface> old_;
  std::unique_ptr<Surface> next_;
  std::unique_ptr<Surface> target_;
  AlphaPlane mask_;
};

// --- Cross ---------------------------------------------------------------------------------

TEST_P(TransitionTest, CrossFromBlackToWhiteOver1000Ms) {
  Paint(*old_, [](int32_t, int32_t) { return Channels{0, 0, 0}; });
  Paint(*next_, [](int32_t, int32_t) { return Channels{255, 255, 255}; });
  const uint32_t black = PackRgb(F(), {0, 0, 0});
  const uint32_t white = PackRgb(F(), {255, 255, 255});
  auto t = Start(Params(TransitionKind::kCross, 1000));
  // Step 1000 >> 8 = 3 ms, one level a step: level = elapsed / 3.
  EXPECT_FALSE(At(*t, 2));
  ExpectFrame([&](int32_t, int32_t) { return black; }, "2 ms");
  for (uint32_t elapsed : {299u, 300u, 500u, 764u}) {
    EXPECT_FALSE(At(*t, elapsed)) << elapsed;
    const uint32_t level = elapsed / 3;
    ExpectFrame([&](int32_t, int32_t) { return CrossFadeOf(F(), black, white, level); },
                std::to_string(elapsed) + " ms");
  }
  // About a third of the way at 300 ms: level 100.
  EXPECT_FALSE(At(*t, 300));
  const Channels third = test::ChannelsOf(F(), Raw(*target_, 400, 300));
  EXPECT_NEAR(third.g, 100, 8);
  EXPECT_TRUE(At(*t, 765));
  ExpectFrame([&](int32_t, int32_t) { return white; }, "765 ms");
  EXPECT_TRUE(t->Done());
}

TEST_P(TransitionTest, ShortCrossTakesBiggerSteps) {
  // 100 ms: step 1 ms, two levels a step.
  auto t = Start(Params(TransitionKind::kCross, 100));
  EXPECT_FALSE(At(*t, 1));
  ExpectFrame([&](int32_t x, int32_t y) { return CrossFadeOf(F(), Old(x, y), New(x, y), 2); }, "1 ms");
  EXPECT_FALSE(At(*t, 127));
  EXPECT_TRUE(At(*t, 128));
  ExpectNew("128 ms");
}

TEST_P(TransitionTest, CrossInARectangleLeavesTheRestAlone) {
  const uint32_t mark = PackRgb(F(), {0, 255, 0});
  test::FillRaw(*target_, mark);
  TransitionParams p = Params(TransitionKind::kCross, 1000);
  p.area = TransitionArea{-20, 100, 220, 50};  // cut to x 0..199
  auto t = Start(p);
  EXPECT_FALSE(At(*t, 300));
  auto inside = [](int32_t x, int32_t y) { return x < 200 && y >= 100 && y < 150; };
  ExpectFrame([&](int32_t x, int32_t y) { return inside(x, y) ? CrossFadeOf(F(), Old(x, y), New(x, y), 100) : mark; },
              "300 ms");
  EXPECT_TRUE(At(*t, 765));
  ExpectFrame([&](int32_t x, int32_t y) { return inside(x, y) ? New(x, y) : mark; }, "765 ms");
}

// --- Durations -----------------------------------------------------------------------------

TEST_P(TransitionTest, DurationOfZeroOrLessLastsOneMillisecond) {
  auto pattern = MakeSurface(F(), 30, 10);
  const TransitionKind kinds[] = {
      TransitionKind::kCross,        TransitionKind::kMaskCross,  TransitionKind::kMaskCrossReverse,
      TransitionKind::kWipe,         TransitionKind::kCircle,     TransitionKind::kBlind,
      TransitionKind::kNoise,        TransitionKind::kPictureCross, TransitionKind::kPictureCrossDirectional,
      TransitionKind::kPictureBlind, TransitionKind::kPattern};
  for (int32_t duration : {0, -1, -5000, std::numeric_limits<int32_t>::min()}) {
    for (TransitionKind kind : kinds) {
      TransitionParams p = MaskParams(kind, duration, [](int32_t x, int32_t) { return x & 255; });
      p.pattern = pattern.get();
      p.patternFrames = 3;
      p.cellWidth = 10;
      p.cellHeight = 10;
      auto t = Start(p);
      ASSERT_NE(t, nullptr);
      const std::string what = std::string(TransitionTaskName(kind)) + " " + std::to_string(duration);
      EXPECT_FALSE(At(*t, 0)) << what;
      // The noise runs its two halves a millisecond each.
      const bool done = At(*t, 1) || At(*t, 2);
      EXPECT_TRUE(done) << what;
      ExpectNew(what);  // the pattern picture is wholly transparent
    }
  }
}

// --- Water ---------------------------------------------------------------------------------

TEST_P(TransitionTest, WaterLasts3000MsWhateverTheDuration) {
  for (int32_t duration : {-5, 0, 100, 10000}) {
    auto t = Start(Params(TransitionKind::kWater, duration));
    // 3000 ms: step 3000 >> 8 = 11 ms a level; level 255 at 255 x 11 = 2805 ms.
    EXPECT_FALSE(At(*t, 10)) << duration;
    ExpectOld("10 ms");
    EXPECT_FALSE(At(*t, 2804)) << duration;
    EXPECT_TRUE(At(*t, 2805)) << duration;
    ExpectNew("2805 ms");
  }
}

TEST_P(TransitionTest, WaterRipplesTheCrossFade) {
  auto t = Start(Params(TransitionKind::kWater, 3000));
  const uint32_t elapsed = 1400;
  EXPECT_FALSE(At(*t, elapsed));
  const uint32_t level = elapsed / 11;  // 127
  const int32_t amplitude = level < 128 ? 2 * level : 2 * (255 - level);
  const int32_t phase = static_cast<int32_t>(std::trunc(elapsed * -0.1));
  auto wave = [](int32_t j) { return static_cast<int32_t>(std::trunc((std::sin(j * 2 * kPi / 1024) + 1) * 127)); };
  auto shift = [&](int32_t x, int32_t y) {
    const int32_t q = static_cast<int32_t>(std::trunc(std::sqrt(double((y - 300) * (y - 300) + (x - 400) * (x - 400))) * 0.5)) * 32;
    return amplitude * (wave((q + phase) & 1023) - 128) / 255;
  };
  int32_t moved = 0;
  ExpectFrame(
      [&](int32_t x, int32_t y) {
        const int32_t bx = x & ~1;
        const int32_t by = y & ~1;
        const int32_t sx = std::clamp(bx + shift(bx, by), 0, kW - 2) + (x - bx);
        if (sx != x) ++moved;
        return CrossFadeOf(F(), Old(sx, y), New(sx, y), level);
      },
      "1400 ms");
  EXPECT_GT(moved, kW * kH / 2);
  ExpectMixed("1400 ms");
}

// --- Mask cross ----------------------------------------------------------------------------

TEST_P(TransitionTest, MaskCrossHalfWayShowsEachSceneOnOneSide) {
  for (bool reverse : {false, true}) {
    const TransitionParams p = MaskParams(reverse ? TransitionKind::kMaskCrossReverse : TransitionKind::kMaskCross,
                                          1000, [](int32_t x, int32_t) { return x < kW / 2 ? 0 : 255; });
    auto t = Start(p);
    // Half-way: level 500 x 255 / 1000 = 127 (reversed: 128 with the scenes swapped).
    EXPECT_FALSE(At(*t, 500));
    ExpectFrame(
        [&](int32_t x, int32_t y) {
          const bool left = x < kW / 2;
          return left != reverse ? New(x, y) : Old(x, y);
        },
        reverse ? "reversed, 500 ms" : "500 ms");
    EXPECT_FALSE(At(*t, 999));
    EXPECT_TRUE(At(*t, 1000));
    ExpectNew("1000 ms");
  }
}

TEST_P(TransitionTest, MaskCrossBlendsSevenValuesAboveTheLevel) {
  // Over 255 ms the level is the elapsed time. Columns carry mask values around level 100.
  for (bool reverse : {false, true}) {
    const TransitionParams p = MaskParams(reverse ? TransitionKind::kMaskCrossReverse : TransitionKind::kMaskCross,
                                          255, [](int32_t x, int32_t) { return 90 + x % 30; });
    auto t = Start(p);
    EXPECT_FALSE(At(*t, reverse ? 155 : 100));  // level 100 either way
    ExpectFrame(
        [&](int32_t x, int32_t y) {
          const int32_t m = 90 + x % 30;
          const uint32_t first = reverse ? New(x, y) : Old(x, y);
          const uint32_t second = reverse ? Old(x, y) : New(x, y);
          if (m <= 100) return second;
          if (m - 100 > 7) return first;
          return test::MaskCrossBandOf(F(), first, second, static_cast<uint32_t>(36 * (m - 100)));
        },
        reverse ? "reversed, level 100" : "level 100");
  }
}

TEST_P(TransitionTest, MaskSmallerThanTheScreenIsReadWithinItsBoundsOnly) {
  AlphaPlane mask;
  mask.Create(100, 50);
  mask.Fill(255);
  TransitionParams p = Params(TransitionKind::kMaskCross, 1000);
  p.mask = &mask;
  auto t = Start(p);
  ASSERT_NE(t, nullptr);
  EXPECT_NE(Diagnostics().LastMessage().find("smaller than the 800x600 screen"), std::string::npos)
      << Diagnostics().LastMessage();
  Diagnostics().LogText(LogLevel::kWarning, "after the start");
  // Half-way: inside the mask (255) the old scene, beyond it (0) the new one.
  EXPECT_FALSE(At(*t, 500));
  ExpectFrame([&](int32_t x, int32_t y) { return x < 100 && y < 50 ? Old(x, y) : New(x, y); }, "500 ms");
  EXPECT_EQ(Diagnostics().LastMessage(), "after the start") << "logged once, at the start";
  // The picture kinds read it the same way.
  for (TransitionKind kind : {TransitionKind::kPictureCross, TransitionKind::kPictureCrossDirectional,
                              TransitionKind::kPictureBlind, TransitionKind::kMaskCrossReverse}) {
    p.kind = kind;
    auto other = Start(p);
    ASSERT_NE(other, nullptr);
    for (uint32_t elapsed = 0; elapsed < 3000; elapsed += 97) At(*other, elapsed);
    EXPECT_TRUE(At(*other, 3000));
    ExpectNew(TransitionTaskName(kind));
  }
}

// --- Wipe and circle -----------------------------------------------------------------------

// The ramp of e = 0..1023: 0 below 512, then (e - 512) / 2.
uint32_t Ramp(int32_t e) { return e < 512 ? 0 : static_cast<uint32_t>(e - 512) / 2; }

int32_t Fold(double v) { return static_cast<int32_t>(std::trunc(v < 0 ? v + 1024 : std::fmod(v, 1024))); }

int32_t CircleMap(int32_t x, int32_t y) {
  return Fold(1024 * std::sin(std::atan2(double(y - kH / 2), double(x - kW / 2)) / kPi));
}

int32_t WipeMap(int32_t x, int32_t y) {
  const double r = std::hypot(double(x - kW / 2), double(y - kH / 2));
  return Fold(1024 * std::sin(2 * kPi / std::max(r * 2 / kPi, 2 * kPi)));
}

TEST_P(TransitionTest, WipeAndCircleFollowTheirMapsBlockByBlock) {
  for (bool circle : {false, true}) {
    const std::string name = circle ? "circle" : "wipe";
    auto t = Start(Params(circle ? TransitionKind::kCircle : TransitionKind::kWipe, 1000));
    // Progress b = elapsed x 1024 / 1000; the circle's starts 512 behind, so it lasts about
    // one and a half times the duration.
    for (uint32_t elapsed : circle ? std::vector<uint32_t>{600, 750, 1200} : std::vector<uint32_t>{100, 500}) {
      EXPECT_FALSE(At(*t, elapsed));
      const int32_t b = static_cast<int32_t>(elapsed * 1024 / 1000) - (circle ? 512 : 0);
      ExpectFrame(
          [&](int32_t x, int32_t y) {
            const int32_t e = circle ? std::clamp(b + CircleMap(x & ~3, y & ~3), 0, 1023)
                                     : std::min(b + WipeMap(x & ~3, y & ~3), 1023);
            return MaskBlendOf(F(), Old(x, y), New(x, y), Ramp(e));
          },
          name + " at " + std::to_string(elapsed) + " ms");
      ExpectMixed(name + " at " + std::to_string(elapsed) + " ms");
    }
    // b reaches 1023 at 1500 ms (circle) and 1000 ms (wipe): 999 x 1024 / 1000 is 1022.
    const uint32_t end = circle ? 1500 : 1000;
    EXPECT_FALSE(At(*t, end - 1)) << name;
    EXPECT_TRUE(At(*t, end)) << name;
    ExpectNew(name + " at the end");
  }
}

// --- Blinds --------------------------------------------------------------------------------

TEST_P(TransitionTest, BlindsOpenBlockAfterBlock) {
  // 660 ms over 66 steps: a step every 10 ms.
  auto t = Start(Params(TransitionKind::kBlind, 660));
  EXPECT_FALSE(At(*t, 9));
  ExpectOld("9 ms");
  for (int32_t n : {1, 20, 49, 64, 65}) {
    EXPECT_FALSE(At(*t, static_cast<uint32_t>(10 * n)));
    ExpectFrame(
        [&](int32_t x, int32_t y) {
          const int32_t b = x / 16;
          const bool open = b <= n && x - 16 * b <= std::min(n - b, 15);
          return open ? New(x, y) : Old(x, y);
        },
        "step " + std::to_string(n));
  }
  // Every block is whole from step 49 + 15 = 64 on.
  EXPECT_TRUE(At(*t, 660));
  ExpectNew("step 66");
}

// --- Noise ---------------------------------------------------------------------------------

TEST_P(TransitionTest, NoiseFadesThroughFreshGreys) {
  // 1000 ms: half 500, step 1 ms, a level a step; each half takes 255 ms.
  auto t = Start(Params(TransitionKind::kNoise, 1000));
  EXPECT_FALSE(At(*t, 0));
  ExpectOld("0 ms");
  // The greys the process-wide generator gives next, a pair of pixels each, row by row.
  auto greys = [&](uint32_t state) {
    std::vector<uint32_t> g(static_cast<size_t>(kW) * kH);
    for (size_t i = 0; i < g.size(); i += 2) {
      state = state * 1103515245u + 12345u;
      const uint32_t v = (state >> 16) & 255;
      g[i] = g[i + 1] = PackRgb(F(), {v, v, v});
    }
    return g;
  };
  auto noiseAt = [](const std::vector<uint32_t>& g, int32_t x, int32_t y) { return g[static_cast<size_t>(y) * kW + x]; };

  std::vector<uint32_t> g = greys(NoiseState());
  EXPECT_FALSE(At(*t, 100));
  ExpectFrame([&](int32_t x, int32_t y) { return CrossFadeOf(F(), Old(x, y), noiseAt(g, x, y), 100); },
              "old to noise, level 100");
  ExpectMixed("old to noise");
  g = greys(NoiseState());
  EXPECT_FALSE(At(*t, 355));  // level 255: all noise, and the second half starts
  ExpectFrame([&](int32_t x, int32_t y) { return noiseAt(g, x, y); }, "noise");
  g = greys(NoiseState());
  EXPECT_FALSE(At(*t, 455));
  ExpectFrame([&](int32_t x, int32_t y) { return CrossFadeOf(F(), noiseAt(g, x, y), New(x, y), 100); },
              "noise to new, level 100");
  EXPECT_FALSE(At(*t, 609));
  EXPECT_TRUE(At(*t, 610));
  ExpectNew("610 ms");
}

// --- Picture kinds -------------------------------------------------------------------------

uint8_t Gradient(int32_t x, int32_t y) { return static_cast<uint8_t>((x * 255 / (kW - 1) + y / 8) & 255); }

TEST_P(TransitionTest, PictureCrossFadesTheMaskInThenUpToWhite) {
  auto t = Start(MaskParams(TransitionKind::kPictureCross, 1000, Gradient));
  // 1000 ms: step 1000 >> 9 = 1 ms, one position a step, 0..511.
  for (uint32_t pos : {100u, 255u, 256u, 400u, 510u}) {
    EXPECT_FALSE(At(*t, pos));
    ExpectFrame(
        [&](int32_t x, int32_t y) {
          const uint32_t m = Gradient(x, y);
          const uint32_t q = pos - 256;
          const uint32_t w = pos <= 255 ? m * pos / 255 : m - q * m / 255 + q;
          return MaskBlendOf(F(), Old(x, y), New(x, y), w);
        },
        "position " + std::to_string(pos));
  }
  ExpectMixed("position 400");
  EXPECT_TRUE(At(*t, 511));
  ExpectNew("position 511");
}

TEST_P(TransitionTest, DirectionalPictureCrossSlidesTheMaskAcross) {
  for (int32_t direction = 0; direction < 4; ++direction) {
    TransitionParams p = MaskParams(TransitionKind::kPictureCrossDirectional, 3000,
                                    [](int32_t x, int32_t y) { return (x + 2 * y) & 255; });
    p.direction = direction;
    auto t = Start(p);
    const bool horizontal = direction == 0 || direction == 2;
    const int32_t extent = horizontal ? kW : kH;
    const int32_t total = extent * 3 / 8;  // 300 or 225 steps
    const uint32_t interval = 3000 / total;
    // The mask a screen in size, moved 8 pixels a step, in from its side.
    auto expected = [&](int32_t n) {
      const int32_t d = 8 * n;
      const int32_t ox = direction == 0 ? d - kW : direction == 2 ? kW - d : 0;
      const int32_t oy = direction == 1 ? d - kH : direction == 3 ? kH - d : 0;
      const bool sticksOut = ox < 0 || oy < 0;
      const uint32_t rest = (direction < 2) == sticksOut ? 0 : 255;
      return [=, this](int32_t x, int32_t y) {
        const int32_t mx = x - ox;
        const int32_t my = y - oy;
        const bool on = mx >= 0 && mx < kW && my >= 0 && my < kH;
        const uint32_t w = on ? static_cast<uint32_t>((mx + 2 * my) & 255) : rest;
        return MaskBlendOf(F(), Old(x, y), New(x, y), w);
      };
    };
    for (int32_t n : {total / 6, total / 3, total / 2, 2 * total / 3 - 1}) {
      EXPECT_FALSE(At(*t, interval * n));
      ExpectFrame(expected(n), "direction " + std::to_string(direction) + ", step " + std::to_string(n));
    }
    ExpectMixed("direction " + std::to_string(direction));
    // All new after two thirds of the steps, done at the last.
    EXPECT_FALSE(At(*t, interval * (2 * total / 3)));
    ExpectNew("two thirds");
    EXPECT_FALSE(At(*t, interval * total - 1));
    EXPECT_TRUE(At(*t, interval * total));
  }
}

TEST_P(TransitionTest, PictureBlindTurnsTheBrightestFirstWithHardEdges) {
  auto t = Start(MaskParams(TransitionKind::kPictureBlind, 1000, Gradient));
  // As the cross: level = elapsed / 3.
  for (uint32_t level : {1u, 100u, 200u, 254u}) {
    EXPECT_FALSE(At(*t, 3 * level));
    ExpectFrame([&](int32_t x, int32_t y) { return Gradient(x, y) + level >= 255 ? New(x, y) : Old(x, y); },
                "level " + std::to_string(level));
  }
  ExpectMixed("level 254");
  EXPECT_TRUE(At(*t, 765));
  ExpectNew("765 ms");
}

// --- Pattern -------------------------------------------------------------------------------

// Three frames of 40 x 30: opaque, a varying alpha, transparent.
std::unique_ptr<Surface> PatternPicture(int32_t format, int32_t frames) {
  auto s = MakeSurface(format, 40 * frames, 30);
  Paint(*s, [](int32_t x, int32_t y) {
    return Channels{static_cast<uint32_t>(x * 2), static_cast<uint32_t>(y * 8), 255 - static_cast<uint32_t>(x)};
  });
  PaintPlane(s->Alpha(), [](int32_t x, int32_t y) {
    if (x < 40) return uint8_t{255};
    if (x < 80) return static_cast<uint8_t>((x - 40) * 6 + y);
    return uint8_t{0};
  });
  return s;
}

TEST_P(TransitionTest, PatternDrawsItsFramesOverEveryCell) {
  auto pattern = PatternPicture(F(), 3);
  auto t = Start(PatternParams(*pattern, 3, 300));
  // A step every 100 ms; the new scene alone before the first.
  EXPECT_FALSE(At(*t, 99));
  ExpectNew("99 ms");
  auto withFrame = [&](uint32_t f) {
    return [&, f](int32_t x, int32_t y) {
      const int32_t px = static_cast<int32_t>(f) * 40 + x % 40;
      const int32_t py = y % 30;
      return MaskBlendOf(F(), New(x, y), Raw(*pattern, px, py), pattern->Alpha().At(px, py));
    };
  };
  // Step k shows frame min(k, F - 1): frame 0 only ever shows in a pattern of one frame.
  for (uint32_t elapsed : {100u, 199u}) {
    EXPECT_FALSE(At(*t, elapsed));
    ExpectFrame(withFrame(1), "frame 1 at " + std::to_string(elapsed) + " ms");
  }
  const Mix mix = CountMix();
  EXPECT_GT(mix.between, 0);
  EXPECT_GT(mix.next, 0);
  EXPECT_TRUE(At(*t, 200));
  ExpectNew("the last frame is transparent");
}

TEST_P(TransitionTest, PatternOfOneFrameShowsTheNewSceneThenItsFrame) {
  auto pattern = PatternPicture(F(), 1);
  auto t = Start(PatternParams(*pattern, 1, 500));
  EXPECT_FALSE(At(*t, 499));
  ExpectNew("499 ms");
  EXPECT_TRUE(At(*t, 500));
  ExpectFrame([&](int32_t x, int32_t y) { return Raw(*pattern, x % 40, y % 30); }, "frame 0, opaque");
}

TEST_P(TransitionTest, PatternCellsRoundedShortLeaveTheNewScene) {
  auto pattern = PatternPicture(F(), 1);
  // Cells of 35 x 28: 800 / 35 = 22.9 gives 23 columns, reaching past the screen; 600 / 28 =
  // 21.4 gives 21 rows, stopping at 588. Each cell takes the top-left 35 x 28 of the frame.
  auto t = Start(PatternParams(*pattern, 1, 100, 35, 28));
  EXPECT_TRUE(At(*t, 100));
  ExpectFrame([&](int32_t x, int32_t y) { return y < 21 * 28 ? Raw(*pattern, x % 35, y % 28) : New(x, y); },
              "cells of 35 x 28");
}

TEST_P(TransitionTest, PatternPictureWithFewerFramesIsReadWithinItsBounds) {
  auto pattern = PatternPicture(F(), 2);  // 80 wide: frame 2 is missing
  auto t = Start(PatternParams(*pattern, 3, 300));
  ASSERT_NE(t, nullptr);
  EXPECT_NE(Diagnostics().LastMessage().find("frames are drawn only where it has them"), std::string::npos);
  EXPECT_TRUE(At(*t, 300));
  ExpectNew("frame 2 lies beyond the picture");
}

// --- Skipping ------------------------------------------------------------------------------

TEST_P(TransitionTest, SkipShowsTheFinalPicture) {
  auto cross = Start(Params(TransitionKind::kCross, 1000));
  EXPECT_FALSE(At(*cross, 100));
  cross->Finish(*target_);
  EXPECT_TRUE(cross->Done());
  ExpectNew("a skipped cross");

  // The circle leaves its frame to the next scene drawing.
  auto circle = Start(Params(TransitionKind::kCircle, 1000));
  EXPECT_FALSE(At(*circle, 700));
  const uint32_t before = Raw(*target_, 400, 300);
  test::FillRaw(*target_, PackRgb(F(), {1, 2, 3}));
  circle->Finish(*target_);
  EXPECT_TRUE(circle->Done());
  EXPECT_EQ(Raw(*target_, 400, 300), PackRgb(F(), {1, 2, 3})) << std::hex << before;

  auto pattern = PatternPicture(F(), 1);
  auto cells = Start(PatternParams(*pattern, 1, 1000));
  EXPECT_FALSE(At(*cells, 10));
  cells->Finish(*target_);
  ExpectFrame([&](int32_t x, int32_t y) { return Raw(*pattern, x % 40, y % 30); }, "a skipped pattern");
}

TEST_P(TransitionTest, AfterTheEndEveryDrawShowsTheFinalPicture) {
  auto t = Start(Params(TransitionKind::kBlind, 100));
  EXPECT_TRUE(At(*t, 5000));
  test::FillRaw(*target_, 0);
  EXPECT_TRUE(At(*t, 10));
  ExpectNew("drawn again");
  EXPECT_EQ(target_->GetDirty(), (DirtyRect{0, 0, kW, kH}));
}

INSTANTIATE_TEST_SUITE_P(Formats, TransitionTest, ::testing::Values(8888, 565, 555, 888),
                         [](const auto& info) { return "Format" + std::to_string(info.param); });

}  // namespace
}  // namespace zan
