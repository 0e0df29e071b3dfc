// The weather as the story keeps it: the fifteen "Easy..." commands, their defaults at a new
// game, the values handed at once to the effects, the weather tasks at order key 0xA0000000,
// and the 60-byte record a save stores (its layout and a restore from it).

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "ScriptTestGame.h"
#include "core/Task.h"
#include "script/ParticleRecord.h"
#include "script/ScriptWeather.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

constexpr std::array<WeatherKind, 3> kKinds{WeatherKind::kRain, WeatherKind::kSnow, WeatherKind::kLeaves};

int32_t Le32(const std::array<uint8_t, ParticleRecord::kSize>& b, size_t at) {
  return static_cast<int32_t>(uint32_t{b[at]} | uint32_t{b[at + 1]} << 8 | uint32_t{b[at + 2]} << 16 |
                              uint32_t{b[at + 3]} << 24);
}

TEST(ParticleRecordTest, TheDefaultsAreEveryEffectOffWithItsStartingValues) {
  const ParticleRecord r = ParticleRecord::Defaults();
  // (Pow, Speed, Angle, Rand): rain 100, 0, 0, 5; snow 1000, 0, 0, 5; leaves 300, 5, 10, 10.
  const WeatherSettings want[3] = {{100, 0, 0, 5}, {1000, 0, 0, 5}, {300, 5, 10, 10}};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(r.effects[k].on, 0) << k;
    EXPECT_EQ(r.effects[k].settings, want[k]) << k;
  }
}

TEST(ParticleRecordTest, FifteenLittleEndianValuesRainSnowLeavesEachOnPowSpeedAngleRand) {
  ParticleRecord r;
  for (size_t k = 0; k < 3; ++k) {
    const auto base = static_cast<int32_t>(k * 100);
    r.effects[k] = {static_cast<int32_t>(k % 2), {base + 1, base - 2, base + 0x12345, -base - 4}};
  }
  std::array<uint8_t, ParticleRecord::kSize> bytes{};
  r.Encode(bytes);
  for (size_t k = 0; k < 3; ++k) {
    const auto base = static_cast<int32_t>(k * 100);
    const size_t at = k * 20;
    EXPECT_EQ(Le32(bytes, at), static_cast<int32_t>(k % 2)) << k;
    EXPECT_EQ(Le32(bytes, at + 4), base + 1) << k;
    EXPECT_EQ(Le32(bytes, at + 8), base - 2) << k;
    EXPECT_EQ(Le32(bytes, at + 12), base + 0x12345) << k;
    EXPECT_EQ(Le32(bytes, at + 16), -base - 4) << k;
  }
  // The least significant byte first.
  EXPECT_EQ(bytes[12 + 20], 0xA9);  // 0x12345 + 100 = 0x123A9
  EXPECT_EQ(ParticleRecord::Decode(bytes), r);
}

class WeatherCommandsTest : public ::testing::Test {
 protected:
  void Play(const std::string& script) {
    game.WriteArchives({{"main.txt", script}, {"again.txt", "<KW>"}},
                       {{"variable.csv", "種類,名前,初期値,最小,最大\nINT,pow,0,0,5000\n"}});
    game.Open(false);
    G().StartGame("main.txt");
    game.Frames(3);
  }
  Interpreter& G() { return game.Game(); }
  ScriptWeather& W() { return G().Weather(); }
  const ParticleRecord::Effect& Kept(WeatherKind k) { return W().Record().Of(k); }

  ScriptTestGame game{"weather"};
};

TEST_F(WeatherCommandsTest, EachValueIsKeptAsGivenAndHandedToTheEffectAtOnce) {
  // Numeric arguments: a variable's value or the decimal text.
  Play("<Mov pow, 1234>\n<EasyRainPow pow>\n<EasyRainSpeed 7>\n<EasyRainAngle 90>\n<EasyRainRand 3>\n"
       "<EasySnowPow 600>\n<EasySnowSpeed 2>\n<EasySnowAngle 15>\n<EasySnowRand 9>\n"
       "<EasyLeafPow 250>\n<EasyLeafSpeed 4>\n<EasyLeafAngle 30>\n<EasyLeafRand 12>\n<KW>");
  const WeatherSettings want[3] = {{1234, 7, 90, 3}, {600, 2, 15, 9}, {250, 4, 30, 12}};
  for (size_t k = 0; k < 3; ++k) {
    const WeatherKind kind = kKinds[k];
    SCOPED_TRACE(k);
    EXPECT_EQ(Kept(kind).settings, want[k]);
    EXPECT_EQ(Kept(kind).on, 0);
    // Not running, the effect has them all the same.
    EXPECT_EQ(W().Effect(kind).Count(), want[k].count);
    EXPECT_EQ(W().Effect(kind).Speed(), want[k].speed);
    EXPECT_EQ(W().Effect(kind).Angle(), want[k].angle);
    EXPECT_EQ(W().Effect(kind).Spread(), want[k].spread);
    EXPECT_FALSE(W().Running(kind));
  }
}

TEST_F(WeatherCommandsTest, OnStartsTheEffectsTaskAtTheEffectsOrderKeyAndAnythingElseEndsIt) {
  Play("<EasyRain ON>\n<EasySnow ON, Now>\n<EasyLeaf ON, now>\n<TW 100>\n"
       "<EasyRainPow 40>\n<EasySnow OFF>\n<EasyLeaf ONCE>\n<KW>");
  // All three on, each task linked at 0xA0000000.
  for (WeatherKind kind : kKinds) {
    EXPECT_TRUE(W().Running(kind));
    EXPECT_EQ(Kept(kind).on, 1);
    EXPECT_TRUE(W().Effect(kind).Running());
  }
  int linked = 0;
  game.Tasks().ForEachTask([&](const Task& task) {
    const std::string& name = task.Description();
    if (name.starts_with("CEasyRain::") || name.starts_with("CEasySnow::") || name.starts_with("CEasyLeaf::")) {
      ++linked;
      EXPECT_EQ(task.OrderKey(), kOrderOverlay) << name;
    }
  });
  EXPECT_EQ(linked, 3);
  game.Frames(6);  // the timed wait ends
  // A running effect takes a value at once; "OFF" and a keyword other than exactly "ON"
  // switch an effect off (keywords ignore case: "now" is "Now").
  EXPECT_EQ(W().Effect(WeatherKind::kRain).Count(), 40);
  EXPECT_TRUE(W().Running(WeatherKind::kRain));
  EXPECT_FALSE(W().Running(WeatherKind::kSnow));
  EXPECT_EQ(Kept(WeatherKind::kSnow).on, 0);
  EXPECT_FALSE(W().Running(WeatherKind::kLeaves));
  EXPECT_FALSE(W().Effect(WeatherKind::kLeaves).Running());
}

TEST_F(WeatherCommandsTest, ANewGameStartsWithTheDefaultsAndNothingFalling) {
  Play("<EasyRainPow 1999>\n<EasyLeafRand 1>\n<EasyRain ON, Now>\n<KW>");
  EXPECT_TRUE(W().Running(WeatherKind::kRain));
  G().StartGame("again.txt");
  game.Frames(2);
  EXPECT_EQ(W().Record(), ParticleRecord::Defaults());
  for (WeatherKind kind : kKinds) EXPECT_FALSE(W().Running(kind));
  EXPECT_EQ(W().Effect(WeatherKind::kRain).Count(), 100);
}

TEST_F(WeatherCommandsTest, ARestoredRecordStartsTheEffectsThatAreOnAndStopsTheOthers) {
  Play("<EasySnow ON>\n<KW>");
  ParticleRecord saved = ParticleRecord::Defaults();
  saved.Of(WeatherKind::kRain) = {1, {500, 3, 20, 7}};
  saved.Of(WeatherKind::kLeaves) = {1, {100, 2, 45, 8}};
  W().Restore(saved);
  game.Frames(1);
  EXPECT_EQ(W().Record(), saved);
  EXPECT_TRUE(W().Running(WeatherKind::kRain));
  EXPECT_FALSE(W().Running(WeatherKind::kSnow));
  EXPECT_TRUE(W().Running(WeatherKind::kLeaves));
  EXPECT_EQ(W().Effect(WeatherKind::kRain).Count(), 500);
  EXPECT_EQ(W().Effect(WeatherKind::kLeaves).Angle(), 45);
}

TEST_F(WeatherCommandsTest, ValuesASaveCouldHoldNeverReachTheEffectsUnsafe) {
  Play("<KW>");
  ParticleRecord hostile;
  for (auto& e : hostile.effects) e = {7, {INT32_MAX, INT32_MIN, INT32_MIN, 0}};
  W().Restore(hostile);
  game.Frames(3);
  for (WeatherKind kind : kKinds) {
    const ParticleEffect& e = W().Effect(kind);
    EXPECT_TRUE(W().Running(kind));
    EXPECT_LE(e.Count(), kMaxParticleCount);
    EXPECT_GE(e.Spread(), 1);
    EXPECT_GE(e.Angle(), 0);
    EXPECT_LT(e.Angle(), 360);
  }
}

}  // namespace
}  // namespace zan
