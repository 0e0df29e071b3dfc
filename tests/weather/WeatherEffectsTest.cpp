// Rain, snow and leaves on 800 x 600 frames. Particles are followed one by one with scripted
// random draws (where each lands and what it draws, worked out in the test from the spawn
// geometry and the drawing formulas), and whole effects are run with the game's generator
// for what the player sees: streak directions, sprites that move, replays that repeat.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "../transition/TransitionExpect.h"
#include "WeatherExpect.h"
#include "WeatherTesting.h"
#include "base/DiagnosticLog.h"
#include "weather/Leaves.h"
#include "weather/Rain.h"
#include "weather/Snow.h"
#include "weather/WeatherTables.h"

namespace zan {
namespace {

using test::Added;
using test::Channels;
using test::Lightened;
using test::LinePixels;
using test::MakeSurface;
using test::PackRgb;
using test::Raw;
using test::SetRaw;
using test::ExpectPixels;
using test::Tables;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

// The game's generator: state x 214013 + 2531011, bits 16..30 of the new state.
WeatherRandom Seeded(uint32_t seed) {
  return [state = seed]() mutable {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
  };
}

// Draws handed out in the order listed, counted; 0 once the list is used up.
struct Script {
  std::deque<int32_t> draws;
  int32_t taken = 0;
  WeatherRandom Random() {
    return [this] {
      ++taken;
      if (draws.empty()) return 0;
      const int32_t d = draws.front();
      draws.pop_front();
      return d;
    };
  }
};

// A unit direction of whole degrees, a degree being 3.14 / 180 radians.
struct Dir {
  double sin;
  double cos;
};
Dir DirOf(int32_t degrees) {
  const double r = (((degrees % 360) + 360) % 360) * 3.14 / 180;
  return {std::sin(r), std::cos(r)};
}

// Where a particle spawns for base angle `angle`, spawn line draw d and (for a "Now" start)
// path draw e: 600 pixels beyond the centre (400, 300) against the direction, along a line
// turned 90 degrees from it.
std::pair<double, double> SpawnAt(int32_t angle, int32_t d, int32_t e) {
  const Dir fall = DirOf(angle);
  const Dir line = DirOf(angle + 90);
  return {-600 * fall.sin - 600 * line.sin + d * line.sin + 400 + e * fall.sin,
          -600 * fall.cos - 600 * line.cos + d * line.cos + 300 + e * fall.cos};
}

// A dark scene that differs from pixel to pixel.
Channels SceneColour(int32_t x, int32_t y) {
  return {static_cast<uint32_t>((x * 3 + y) % 80), static_cast<uint32_t>((x + y * 7) % 90),
          static_cast<uint32_t>((x * 5 + y * 3) % 70)};
}

std::unique_ptr<Surface> Scene(int32_t format) {
  auto s = MakeSurface(format, kW, kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) SetRaw(*s, x, y, PackRgb(format, SceneColour(x, y)));
  return s;
}

uint32_t ScenePixel(int32_t format, int32_t x, int32_t y) { return PackRgb(format, SceneColour(x, y)); }

bool SameBytes(Surface& a, Surface& b) {
  for (int32_t y = 0; y < kH; ++y)
    if (std::memcmp(a.View().Row(y), b.View().Row(y), static_cast<size_t>(kW * BytesPerPixel(a.FormatCode()))) != 0)
      return false;
  return true;
}

// The next two frames of a running effect, each over a fresh scene.
std::pair<std::unique_ptr<Surface>, std::unique_ptr<Surface>> TwoFrames(ParticleEffect& effect, int32_t format) {
  auto first = Scene(format);
  effect.Frame(*first);
  auto second = Scene(format);
  effect.Frame(*second);
  return {std::move(first), std::move(second)};
}

// A picture of one colour.
std::unique_ptr<Surface> Solid(int32_t format, int32_t w, int32_t h, Channels c) {
  auto s = MakeSurface(format, w, h);
  test::FillRaw(*s, PackRgb(format, c));
  return s;
}

// --- Settings -------------------------------------------------------------------------------

TEST(WeatherSettings, CountsSpreadsAndAnglesAreKeptInRangeWhereTheEffectTakesThem) {
  RainEffect rain(Tables(), Seeded(1));
  struct Case {
    int32_t given;
    int32_t count;
    int32_t spread;
    int32_t angle;
  };
  const Case cases[] = {{0, 0, 1, 0},           {1, 1, 1, 1},           {-5, 0, 1, 355},
                        {360, 360, 360, 0},     {361, 361, 360, 1},     {1999, 1999, 360, 199},
                        {2000, 1999, 360, 200}, {INT32_MAX, 1999, 360, 127}, {INT32_MIN, 0, 1, 232}};
  for (const Case& c : cases) {
    rain.SetCount(c.given);
    rain.SetSpread(c.given);
    rain.SetAngle(c.given);
    rain.SetSpeed(c.given);
    EXPECT_EQ(rain.Count(), c.count) << c.given;
    EXPECT_EQ(rain.Spread(), c.spread) << c.given;
    EXPECT_EQ(rain.Angle(), c.angle) << c.given;
    EXPECT_EQ(rain.Speed(), c.given) << c.given;
  }
  rain.Apply({2500, -7, -30, 0});
  EXPECT_EQ(rain.Count(), 1999);
  EXPECT_EQ(rain.Speed(), -7);
  EXPECT_EQ(rain.Angle(), 330);
  EXPECT_EQ(rain.Spread(), 1);
}

TEST(WeatherSettings, ANewAngleDealsEveryParticleInUseAnAngleOfItsOwn) {
  Script script;
  RainEffect rain(Tables(), script.Random());
  rain.SetCount(3);
  rain.SetSpread(10);
  script.draws = {4, 13, 29, 50};
  rain.SetAngle(-30);
  EXPECT_EQ(script.taken, 3);  // one draw for each particle in use
  EXPECT_EQ(rain.Drops()[0].angle, 334);
  EXPECT_EQ(rain.Drops()[1].angle, 333);
  EXPECT_EQ(rain.Drops()[2].angle, 339);
  // A spread of 0 becomes 1: every particle then takes the effect's angle.
  rain.SetSpread(0);
  rain.SetAngle(45);
  for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(rain.Drops()[static_cast<size_t>(i)].angle, 45) << i;
}

// --- Rain -----------------------------------------------------------------------------------

TEST(Rain, DropsSpawnFromTheirDrawsInOrderAndDrawTheirStreaks) {
  Script script;
  RainEffect rain(Tables(), script.Random());
  rain.SetCount(2);
  rain.SetSpread(7);
  script.draws = {10, 11};
  rain.SetAngle(30);
  rain.SetSpeed(4);
  // Per drop: the place on the spawn line, the distance along the path, the length, the angle.
  script.draws = {500, 400, 1234, 9, 700, 500, 89, 13};
  rain.Start(WeatherStart::kNow);
  EXPECT_EQ(script.taken, 2 + 8);

  struct Expected {
    int32_t d, e, length, angle;
  };
  const Expected drops[] = {{500, 400, 74, 32}, {700, 500, 99, 36}};
  for (int32_t i = 0; i < 2; ++i) {
    const RainDrop& got = rain.Drops()[static_cast<size_t>(i)];
    const Expected& want = drops[i];
    const auto [x, y] = SpawnAt(30, want.d, want.e);
    EXPECT_TRUE(got.active);
    EXPECT_NEAR(got.x, x, 1e-9) << i;
    EXPECT_NEAR(got.y, y, 1e-9) << i;
    EXPECT_EQ(got.length, want.length) << i;
    EXPECT_EQ(got.bonus, (want.length / 2) * 3) << i;
    EXPECT_EQ(got.angle, want.angle) << i;
    EXPECT_EQ(got.intensity, 30 * want.length / 100) << i;
    EXPECT_EQ(got.delay, 0) << i;
  }

  // One frame: each drop moves by the speed and its bonus along its own angle, then its
  // streak of twice its length is lightened by 15 (both streaks lie inside the screen).
  auto target = Scene(8888);
  rain.Frame(*target);
  std::map<std::pair<int64_t, int64_t>, int> hits;
  for (int32_t i = 0; i < 2; ++i) {
    const Expected& want = drops[i];
    auto [x, y] = SpawnAt(30, want.d, want.e);
    const Dir to = DirOf(want.angle);
    const double v = 4 + (want.length / 2) * 3;
    x += v * to.sin;
    y += v * to.cos;
    EXPECT_NEAR(rain.Drops()[static_cast<size_t>(i)].x, x, 1e-9);
    EXPECT_NEAR(rain.Drops()[static_cast<size_t>(i)].y, y, 1e-9);
    const auto x0 = static_cast<int64_t>(std::trunc(x));
    const auto y0 = static_cast<int64_t>(std::trunc(y));
    const auto x1 = static_cast<int64_t>(std::trunc(x + 2 * want.length * to.sin));
    const auto y1 = static_cast<int64_t>(std::trunc(y + 2 * want.length * to.cos));
    ASSERT_TRUE(x0 >= 0 && x1 < kW && y0 >= 0 && y1 < kH);
    for (const auto& p : LinePixels(x0, y0, x1, y1)) ++hits[p];
  }
  ExpectPixels(
      *target,
      [&](int32_t x, int32_t y) {
        uint32_t p = ScenePixel(8888, x, y);
        auto it = hits.find({x, y});
        for (int k = 0; it != hits.end() && k < it->second; ++k) p = Lightened(8888, p, 15);
        return p;
      },
      "two streaks");
  EXPECT_EQ(script.taken, 10);  // moving draws nothing
}

TEST(Rain, WithoutNowDropsWaitTheirDelaysThenSpawnAtTheLine) {
  Script script;
  RainEffect rain(Tables(), script.Random());
  rain.SetCount(3);
  rain.SetAngle(0);
  script.taken = 0;
  script.draws = {5, 801, 800};
  rain.Start(WeatherStart::kGradual);
  EXPECT_EQ(script.taken, 3);
  EXPECT_EQ(rain.Drops()[0].delay, 5);
  EXPECT_EQ(rain.Drops()[1].delay, 1);
  EXPECT_EQ(rain.Drops()[2].delay, 0);
  for (const RainDrop& d : rain.Drops().first(3)) EXPECT_FALSE(d.active);

  // Frame 1: the first two count down, the third spawns at the line (place, length, angle).
  script.draws = {300, 40, 0};
  auto target = Scene(565);
  rain.Frame(*target);
  EXPECT_EQ(script.taken, 6);
  EXPECT_EQ(rain.Drops()[0].delay, 4);
  EXPECT_EQ(rain.Drops()[1].delay, 0);
  const RainDrop& third = rain.Drops()[2];
  const auto [x, y] = SpawnAt(0, 300, 0);
  EXPECT_TRUE(third.active);
  EXPECT_NEAR(third.x, x, 1e-9);
  EXPECT_NEAR(third.y, y, 1e-9);
  EXPECT_EQ(third.length, 50);
  ExpectPixels(*target, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); }, "nothing drawn yet");
}

// Whether a pixel changed, and the runs it makes with its neighbours below and to the right.
struct Streaks {
  int64_t changed = 0;
  int64_t vertical = 0;    // changed pixels whose neighbour below changed too
  int64_t horizontal = 0;  // ... whose neighbour to the right changed too
};

Streaks StreaksOf(Surface& target, int32_t format, int32_t maxTimes) {
  Streaks s;
  std::vector<bool> changed(static_cast<size_t>(kW) * kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      const uint32_t scene = ScenePixel(format, x, y);
      const uint32_t got = Raw(target, x, y);
      if (got == scene) continue;
      // A changed pixel is the scene lightened by 15 once or a few times (crossing streaks).
      uint32_t p = scene;
      bool found = false;
      for (int k = 0; k < maxTimes && !found; ++k) found = (p = Lightened(format, p, 15)) == got;
      EXPECT_TRUE(found) << "(" << x << ", " << y << ") is no lightening of the scene";
      changed[static_cast<size_t>(y) * kW + static_cast<size_t>(x)] = true;
      ++s.changed;
    }
  }
  for (int32_t y = 0; y + 1 < kH; ++y)
    for (int32_t x = 0; x + 1 < kW; ++x) {
      if (!changed[static_cast<size_t>(y) * kW + static_cast<size_t>(x)]) continue;
      s.vertical += changed[static_cast<size_t>(y + 1) * kW + static_cast<size_t>(x)];
      s.horizontal += changed[static_cast<size_t>(y) * kW + static_cast<size_t>(x + 1)];
    }
  return s;
}

class RainFormats : public ::testing::TestWithParam<int32_t> {};
INSTANTIATE_TEST_SUITE_P(Formats, RainFormats, ::testing::Values(555, 565, 888, 8888, 0),
                         [](const auto& info) { return "F" + std::to_string(info.param); });

TEST_P(RainFormats, FullRainAtOnceLightensTheScreenInStreaksAlongItsAngle) {
  const int32_t f = GetParam();
  struct Case {
    int32_t angle;
    bool vertical;  // else horizontal
  };
  // Angle 0 falls down the screen, 90 to the right; streaks of 20..198 pixels spread over 5
  // degrees.
  for (const Case& c : {Case{0, true}, Case{90, false}}) {
    RainEffect rain(Tables(), Seeded(20240601 + c.angle));
    rain.Apply({1999, 0, c.angle, 5});
    rain.Start(WeatherStart::kNow);
    auto target = Scene(f);
    rain.Frame(*target);
    const Streaks s = StreaksOf(*target, f, 12);
    EXPECT_GE(s.changed, kW * kH / 100) << c.angle;
    const int64_t along = c.vertical ? s.vertical : s.horizontal;
    const int64_t across = c.vertical ? s.horizontal : s.vertical;
    EXPECT_GT(along, 3 * across) << "angle " << c.angle << ": " << s.vertical << " vertical, " << s.horizontal
                                 << " horizontal";
  }
}

TEST_P(RainFormats, WithoutNowTheFirstFrameIsTheScene) {
  const int32_t f = GetParam();
  RainEffect rain(Tables(), Seeded(5));
  rain.Apply({1999, 0, 0, 5});
  rain.Start(WeatherStart::kGradual);
  auto target = Scene(f);
  rain.Frame(*target);
  ExpectPixels(*target, [f](int32_t x, int32_t y) { return ScenePixel(f, x, y); }, "first frame");
}

TEST(Rain, SpeedsOfAnySizeMoveDropsOffTheScreenWithoutOverflow) {
  for (int32_t speed : {INT32_MAX, INT32_MIN, INT32_MAX - 100}) {
    RainEffect rain(Tables(), Seeded(3));
    rain.Apply({1999, speed, 0, 5});
    rain.Start(WeatherStart::kNow);
    auto target = Scene(565);
    // Every frame each drop jumps millions of pixels: it leaves and spawns again, and no
    // streak reaches the screen.
    for (int frame = 0; frame < 4; ++frame) rain.Frame(*target);
    ExpectPixels(*target, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); },
                 "speed " + std::to_string(speed));
    for (const RainDrop& d : rain.Drops().first(1999)) EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.y));
  }
}

TEST(Rain, AStoppedEffectDrawsNothing) {
  RainEffect rain(Tables(), Seeded(9));
  rain.Apply({1999, 0, 0, 5});
  rain.Start(WeatherStart::kNow);
  rain.Stop();
  EXPECT_FALSE(rain.Running());
  auto target = Scene(565);
  rain.Frame(*target);
  ExpectPixels(*target, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); }, "stopped");
}

// --- Snow -----------------------------------------------------------------------------------

// Snow pictures of one colour each, 8 x 8.
struct SnowPictures {
  explicit SnowPictures(int32_t format)
      : kinds{Solid(format, 8, 8, {200, 0, 0}), Solid(format, 8, 8, {0, 200, 0}), Solid(format, 8, 8, {0, 0, 200})} {}
  WeatherPictures Pictures() const { return {kinds[0].get(), kinds[1].get(), kinds[2].get()}; }
  std::unique_ptr<Surface> kinds[3];
};

TEST(Snow, AFlakeIsAddedAtItsSizeWhereItIsThenFalls) {
  constexpr int32_t f = 565;
  Script script;
  SnowEffect snow(Tables(), script.Random());
  SnowPictures pictures(f);
  snow.SetPictures(pictures.Pictures());
  snow.Apply({1, 2, 0, 1});
  // The place, the path, the depth class (4 or less: near), the depth 90 + 7, the kind 4 mod 3,
  // the angle, the drift 1.
  script.taken = 0;
  script.draws = {601, 450, 2, 7, 4, 0, 1};
  snow.Start(WeatherStart::kNow);
  EXPECT_EQ(script.taken, 7);
  const Flake& flake = snow.Flakes()[0];
  EXPECT_EQ(flake.z, 97);
  EXPECT_EQ(flake.kind, 1);
  EXPECT_NEAR(flake.velocityFactor, 1 + 97 * 0.1 + 1, 1e-12);

  auto [x, y] = SpawnAt(0, 601, 450);
  double drift = 1 + 97 * 0.1 + 1;
  const int32_t drifts[] = {0, 1, 0};
  for (int frame = 0; frame < 3; ++frame) {
    script.draws = {drifts[frame]};
    auto target = Scene(f);
    snow.Frame(*target);
    // 97 x 20 / 100 + 1 = 20 pixels, centred where the flake was.
    const int32_t left = static_cast<int32_t>(std::trunc(x - 10));
    const int32_t top = static_cast<int32_t>(std::trunc(y - 10));
    ExpectPixels(
        *target,
        [&](int32_t px, int32_t py) {
          const uint32_t scene = ScenePixel(f, px, py);
          const bool in = px >= left && px < left + 20 && py >= top && py < top + 20;
          return in ? Added(f, scene, PackRgb(f, {0, 200, 0})) : scene;
        },
        "frame " + std::to_string(frame));
    y += 2 + drift;  // straight down: the speed and the drift
    drift = drifts[frame] + 97 * 0.1 + 1;
    EXPECT_NEAR(snow.Flakes()[0].y, y, 1e-9);
    EXPECT_NEAR(snow.Flakes()[0].x, x, 1e-9);
  }
}

TEST(Snow, SizeAndDepthAreKeptInRangeAndDepthBringsFlakesNearer) {
  constexpr int32_t f = 565;
  struct Case {
    int32_t sizePercent, depth;
    int32_t size;   // of a flake at depth 47: 47 x percent / 100 + 1
    double step;    // depth a frame: a fifth of the depth
  };
  const Case cases[] = {{20, 0, 10, 0}, {0, 50, 1, 10}, {-4, -9, 1, 0}, {100, 100, 48, 20}, {300, 500, 48, 20}};
  SnowPictures pictures(f);
  for (const Case& c : cases) {
    Script script;
    SnowEffect snow(Tables(), script.Random(), c.sizePercent, c.depth);
    snow.SetPictures(pictures.Pictures());
    snow.Apply({1, 0, 0, 1});
    // Place, path, middle class (30 + 17 = 47), kind 0, angle, no drift.
    script.draws = {601, 450, 20, 17, 0, 0, 0};
    snow.Start(WeatherStart::kNow);
    EXPECT_EQ(snow.Flakes()[0].z, 47);
    EXPECT_EQ(snow.Flakes()[0].depthStep, c.step);
    auto target = Scene(f);
    snow.Frame(*target);
    EXPECT_EQ(snow.Flakes()[0].z, 47 + c.step) << c.sizePercent << ", " << c.depth;
    const auto [x, y] = SpawnAt(0, 601, 450);
    const int32_t left = static_cast<int32_t>(std::trunc(x - c.size / 2));
    const int32_t top = static_cast<int32_t>(std::trunc(y - c.size / 2));
    ExpectPixels(
        *target,
        [&](int32_t px, int32_t py) {
          const uint32_t scene = ScenePixel(f, px, py);
          const bool in = px >= left && px < left + c.size && py >= top && py < top + c.size;
          return in ? Added(f, scene, PackRgb(f, {200, 0, 0})) : scene;
        },
        "size percent " + std::to_string(c.sizePercent));
  }
}

TEST(Snow, AFlakeOfDepthZeroLandsOnceItPassesTheHorizon) {
  Script script;
  SnowEffect snow(Tables(), script.Random());
  SnowPictures pictures(565);
  snow.SetPictures(pictures.Pictures());
  snow.Apply({1, 0, 0, 1});
  // Placed just above y = 300, depth 0 (class 50: far, then 0), kind 0, no drift: it falls
  // one pixel a frame.
  script.draws = {601, 599, 50, 0, 0, 0, 0};
  snow.Start(WeatherStart::kNow);
  EXPECT_NEAR(snow.Flakes()[0].y, SpawnAt(0, 601, 599).second, 1e-9);
  EXPECT_LT(snow.Flakes()[0].y, 300);
  auto target = Scene(565);
  snow.Frame(*target);  // to 300.x: on the horizon, not below it
  EXPECT_TRUE(snow.Flakes()[0].active);
  // Drawn 1 pixel wide where it was.
  const auto [x, y] = SpawnAt(0, 601, 599);
  const int32_t px = static_cast<int32_t>(x);
  const int32_t py = static_cast<int32_t>(y);
  EXPECT_EQ(Raw(*target, px, py), Added(565, ScenePixel(565, px, py), PackRgb(565, {200, 0, 0})));
  EXPECT_EQ(Raw(*target, px + 1, py), ScenePixel(565, px + 1, py));
  snow.Frame(*target);  // to 301.x: below the horizon at depth 0
  EXPECT_FALSE(snow.Flakes()[0].active);
}

TEST(Snow, FullSnowDrawsItsFlakesAndMovesThemFrameByFrame) {
  for (int32_t f : {565, 8888}) {
    SnowEffect snow(Tables(), Seeded(11));
    SnowPictures pictures(f);
    snow.SetPictures(pictures.Pictures());
    snow.Apply(kSnowDefaults);
    snow.Start(WeatherStart::kNow);
    auto [first, second] = TwoFrames(snow, f);
    int64_t changed = 0;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) {
        const uint32_t scene = ScenePixel(f, x, y);
        const uint32_t got = Raw(*first, x, y);
        if (got == scene) continue;
        ++changed;
        // Flakes only add: no channel of a changed pixel is below the scene's.
        const Channels before = test::ChannelsOf(f, scene);
        const Channels after = test::ChannelsOf(f, got);
        EXPECT_TRUE(after.r >= before.r && after.g >= before.g && after.b >= before.b) << x << ", " << y;
      }
    EXPECT_GT(changed, 1000) << f;
    EXPECT_FALSE(SameBytes(*first, *second)) << f;
  }
}

TEST(Snow, WithoutItsFirstPictureNothingIsDrawnAndItIsReportedOnceAStart) {
  Diagnostics().SetEcho(false);
  SnowEffect snow(Tables(), Seeded(2));
  SnowPictures pictures(565);
  snow.SetPictures({nullptr, pictures.kinds[1].get(), pictures.kinds[2].get()});
  snow.Apply(kSnowDefaults);
  snow.Start(WeatherStart::kNow);
  auto target = Scene(565);
  Diagnostics().LogText(LogLevel::kWarning, "marker");
  snow.Frame(*target);
  EXPECT_NE(Diagnostics().LastMessage().find("CEasySnow"), std::string::npos) << Diagnostics().LastMessage();
  EXPECT_NE(Diagnostics().LastMessage().find("\x90\xE1.bmp"), std::string::npos) << Diagnostics().LastMessage();
  Diagnostics().LogText(LogLevel::kWarning, "marker");
  snow.Frame(*target);
  EXPECT_EQ(Diagnostics().LastMessage(), "marker");
  ExpectPixels(*target, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); }, "no snow");
  // Nothing moved either.
  EXPECT_TRUE(snow.Flakes()[0].active);
  snow.Start(WeatherStart::kNow);
  snow.Frame(*target);
  EXPECT_NE(Diagnostics().LastMessage(), "marker");
  Diagnostics().SetEcho(true);
}

TEST(Snow, FlakesOfAMissingKindAreNotDrawnAndTheOthersAre) {
  Diagnostics().SetEcho(false);
  SnowEffect snow(Tables(), Seeded(8));
  SnowPictures pictures(565);
  auto wrongFormat = Solid(8888, 8, 8, {40, 40, 200});
  snow.SetPictures({pictures.kinds[0].get(), nullptr, wrongFormat.get()});
  snow.Apply(kSnowDefaults);
  snow.Start(WeatherStart::kNow);
  auto target = Scene(565);
  snow.Frame(*target);
  // Only the red flakes show: no changed pixel gained green or blue.
  int64_t changed = 0;
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      const uint32_t scene = ScenePixel(565, x, y);
      const uint32_t got = Raw(*target, x, y);
      if (got == scene) continue;
      ++changed;
      EXPECT_EQ(got & 0x07FF, scene & 0x07FF) << x << ", " << y;
    }
  EXPECT_GT(changed, 100);
  Diagnostics().SetEcho(true);
}

// --- Leaves ---------------------------------------------------------------------------------

// Leaf sheets at the sizes of the sprite table: pixel (x, y) of frame f = x / width has a
// colour of its own; a 3 x 3 corner of every frame is the colour key. Kind k's pixels carry
// blue 60 + 60 k, so that kinds can be told apart.
std::unique_ptr<Surface> LeafSheet(int32_t format, int32_t kind, int32_t frames = -1) {
  const LeafSprite& sprite = kLeafSprites[static_cast<size_t>(kind)];
  const int32_t n = frames < 0 ? sprite.frames : frames;
  auto s = MakeSurface(format, sprite.width * n, sprite.height);
  for (int32_t y = 0; y < sprite.height; ++y)
    for (int32_t x = 0; x < sprite.width * n; ++x) {
      const int32_t fx = x % sprite.width;
      const bool key = fx < 3 && y < 3;
      SetRaw(*s, x, y,
             key ? PackRgb(format, {0, 255, 0})
                 : PackRgb(format, {static_cast<uint32_t>(8 + 40 * (x / sprite.width)), static_cast<uint32_t>((fx * 3 + y) % 250),
                                    static_cast<uint32_t>(60 + 60 * kind)}));
    }
  return s;
}

struct LeafSheets {
  explicit LeafSheets(int32_t format) : kinds{LeafSheet(format, 0), LeafSheet(format, 1), LeafSheet(format, 2)} {}
  WeatherPictures Pictures() const { return {kinds[0].get(), kinds[1].get(), kinds[2].get()}; }
  std::unique_ptr<Surface> kinds[3];
};

TEST(Leaves, TurningKeepsTheRotationWithinATurn) {
  struct Case {
    double rotation, step, expected;
  };
  const Case cases[] = {{1023.9, 0.2, 0.1}, {0.1, -0.2, 1023.9}, {10, 0.2, 10.2}, {1000, 2048 + 30, 6},
                        {5, -3000, 5 - 3000 + 3 * 1024}};
  for (const Case& c : cases) EXPECT_NEAR(TurnRotation(c.rotation, c.step), c.expected, 1e-9) << c.rotation;
}

TEST(Leaves, ALeafShowsItsFrameWhereItIsAndAnimatesAsItFalls) {
  constexpr int32_t f = 8888;
  Script script;
  // Full size, no turning: a leaf of depth 99 is drawn at scale 1024, pixel for pixel.
  LeafEffect leaves(Tables(), script.Random(), 100, 0, 0.0);
  LeafSheets sheets(f);
  leaves.SetPictures(sheets.Pictures());
  leaves.Apply({1, 3, 0, 1});
  // The place, the path, near, depth 90 + 9, kind 0, the angle, rotation 0, frame 2, ticks 1 + 4.
  script.draws = {601, 450, 2, 9, 0, 0, 1024, 2, 1};
  leaves.Start(WeatherStart::kNow);
  const Leaf& leaf = leaves.Leaves()[0];
  EXPECT_EQ(leaf.z, 99);
  EXPECT_EQ(leaf.kind, 0);
  EXPECT_EQ(leaf.rotation, 0);
  EXPECT_EQ(leaf.frame, 2);
  EXPECT_EQ(leaf.frames, 6);
  EXPECT_EQ(leaf.ticksPerFrame, 5);

  auto [x, y] = SpawnAt(0, 601, 450);
  double bonus = 0;  // a leaf's first step has no bonus yet
  int32_t frame = 2;
  for (int n = 0; n < 12; ++n) {
    auto target = Scene(f);
    leaves.Frame(*target);
    const int32_t left = static_cast<int32_t>(std::trunc(x));
    const int32_t top = static_cast<int32_t>(std::trunc(y));
    ExpectPixels(
        *target,
        [&](int32_t px, int32_t py) {
          if (px >= left && px < left + 80 && py >= top && py < top + 64) {
            const uint32_t p = Raw(*sheets.kinds[0], 80 * frame + px - left, py - top);
            if ((p & 0xFFFFFF) != 0x00FF00) return p;
          }
          return ScenePixel(f, px, py);
        },
        "frame " + std::to_string(n));
    y += 3 + bonus;
    bonus = 99 * 0.1 + 1;
    if ((n + 1) % 5 == 0) frame = (frame + 1) % 6;
    EXPECT_NEAR(leaves.Leaves()[0].y, y, 1e-9);
  }
}

TEST(Leaves, NearLeavesAreDrawnOverFarOnesWhateverTheirOrder) {
  constexpr int32_t f = 565;
  LeafSheets sheets(f);
  // A near leaf (depth 99, kind 0) and a far one (depth 5, kind 1, a sixteenth of its size)
  // at the same place: the far one lies within the near one's picture.
  const std::deque<int32_t> nearLeaf = {601, 450, 2, 9, 0, 0, 0, 0, 0};
  const std::deque<int32_t> farLeaf = {601, 450, 50, 5, 1, 0, 0, 0, 0};
  const auto [x, y] = SpawnAt(0, 601, 450);
  const int32_t cx = static_cast<int32_t>(x) + 40;
  const int32_t cy = static_cast<int32_t>(y) + 40;
  auto run = [&](std::deque<int32_t> draws, int32_t count) {
    Script script;
    LeafEffect leaves(Tables(), script.Random(), 100, 0, 0.0);
    leaves.SetPictures(sheets.Pictures());
    leaves.Apply({count, 0, 0, 1});
    script.draws = std::move(draws);
    leaves.Start(WeatherStart::kNow);
    auto target = Scene(f);
    leaves.Frame(*target);
    return Raw(*target, cx, cy);
  };
  const uint32_t nearPixel = Raw(*sheets.kinds[0], 40, 40);
  // Alone, the far leaf shows at that pixel.
  const uint32_t farAlone = run(farLeaf, 1);
  EXPECT_NE(farAlone, ScenePixel(f, cx, cy));
  EXPECT_NE(farAlone, nearPixel);
  // With the near leaf first or second in the records, the near leaf is on top.
  std::deque<int32_t> nearFirst;
  nearFirst.insert(nearFirst.end(), nearLeaf.begin(), nearLeaf.end());
  nearFirst.insert(nearFirst.end(), farLeaf.begin(), farLeaf.end());
  EXPECT_EQ(run(nearFirst, 2), nearPixel);
  std::deque<int32_t> farFirst;
  farFirst.insert(farFirst.end(), farLeaf.begin(), farLeaf.end());
  farFirst.insert(farFirst.end(), nearLeaf.begin(), nearLeaf.end());
  EXPECT_EQ(run(farFirst, 2), nearPixel);
}

TEST(Leaves, FullLeavesDrawAndMoveAndNarrowSheetsAreReadOnlyWithin) {
  Diagnostics().SetEcho(false);
  for (int32_t f : {565, 8888}) {
    LeafSheets sheets(f);
    // The first sheet holds one frame where six are expected: leaves on the other frames
    // draw nothing of theirs (the sanitizer build checks that nothing is read past it).
    auto narrow = LeafSheet(f, 0, 1);
    LeafEffect leaves(Tables(), Seeded(4));
    leaves.SetPictures({narrow.get(), sheets.kinds[1].get(), sheets.kinds[2].get()});
    leaves.Apply(kLeafDefaults);
    leaves.Start(WeatherStart::kNow);
    auto [first, second] = TwoFrames(leaves, f);
    int64_t changed = 0;
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x) changed += Raw(*first, x, y) != ScenePixel(f, x, y);
    EXPECT_GT(changed, 1000) << f;
    EXPECT_FALSE(SameBytes(*first, *second)) << f;
  }
  Diagnostics().SetEcho(true);
}

// --- Replays --------------------------------------------------------------------------------

// Five frames of an effect from a seed, each over a fresh scene; the last frame.
template <class Effect>
std::unique_ptr<Surface> Replay(uint32_t seed, const WeatherSettings& settings, const WeatherPictures* pictures) {
  Effect effect(Tables(), Seeded(seed));
  if constexpr (!std::is_same_v<Effect, RainEffect>) effect.SetPictures(*pictures);
  effect.Apply(settings);
  effect.Start(WeatherStart::kNow);
  std::unique_ptr<Surface> target;
  for (int n = 0; n < 5; ++n) {
    target = Scene(565);
    effect.Frame(*target);
  }
  return target;
}

TEST(WeatherReplay, TheSameSeedGivesTheSameFramesAndAnotherSeedOthers) {
  SnowPictures snow(565);
  LeafSheets leaves(565);
  const WeatherPictures snowPictures = snow.Pictures();
  const WeatherPictures leafPictures = leaves.Pictures();
  auto rain1 = Replay<RainEffect>(99, kRainDefaults, nullptr);
  auto rain2 = Replay<RainEffect>(99, kRainDefaults, nullptr);
  auto rain3 = Replay<RainEffect>(100, kRainDefaults, nullptr);
  EXPECT_TRUE(SameBytes(*rain1, *rain2));
  EXPECT_FALSE(SameBytes(*rain1, *rain3));
  auto snow1 = Replay<SnowEffect>(99, kSnowDefaults, &snowPictures);
  auto snow2 = Replay<SnowEffect>(99, kSnowDefaults, &snowPictures);
  auto snow3 = Replay<SnowEffect>(100, kSnowDefaults, &snowPictures);
  EXPECT_TRUE(SameBytes(*snow1, *snow2));
  EXPECT_FALSE(SameBytes(*snow1, *snow3));
  auto leaf1 = Replay<LeafEffect>(99, kLeafDefaults, &leafPictures);
  auto leaf2 = Replay<LeafEffect>(99, kLeafDefaults, &leafPictures);
  auto leaf3 = Replay<LeafEffect>(100, kLeafDefaults, &leafPictures);
  EXPECT_TRUE(SameBytes(*leaf1, *leaf2));
  EXPECT_FALSE(SameBytes(*leaf1, *leaf3));
}

TEST(WeatherReplay, SnowAndLeavesSurviveSpeedsOfAnySize) {
  SnowPictures snow(565);
  LeafSheets leaves(565);
  const WeatherPictures snowPictures = snow.Pictures();
  const WeatherPictures leafPictures = leaves.Pictures();
  for (int32_t speed : {INT32_MAX, INT32_MIN}) {
    auto s = Replay<SnowEffect>(1, {1999, speed, 0, 360}, &snowPictures);
    auto l = Replay<LeafEffect>(1, {1999, speed, 0, 360}, &leafPictures);
    ExpectPixels(*s, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); }, "snow");
    ExpectPixels(*l, [](int32_t x, int32_t y) { return ScenePixel(565, x, y); }, "leaves");
  }
}

}  // namespace
}  // namespace zan
