// The weather's tables and names: directions by whole degrees of 3.14 / 180 radians, the
// sine and cosine of a turn of 1024 steps, angle reduction, and the texts the game uses.

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <numbers>
#include <string>

#include "weather/Weather.h"
#include "weather/WeatherTables.h"

namespace zan {
namespace {

TEST(WeatherTables, EveryDegreeIsItsDirectionWithADegreeOf314Hundredths) {
  const WeatherTables tables;
  for (int32_t i = 0; i < 360; ++i) {
    const double radians = i * 3.14 / 180;
    EXPECT_EQ(tables.Toward(i).sin, std::sin(radians)) << i;
    EXPECT_EQ(tables.Toward(i).cos, std::cos(radians)) << i;
  }
  // Angle 0 points down the screen, 90 (almost exactly) to the right.
  EXPECT_EQ(tables.Toward(0).sin, 0.0);
  EXPECT_EQ(tables.Toward(0).cos, 1.0);
  EXPECT_NEAR(tables.Toward(90).sin, 1.0, 1e-6);
  EXPECT_NEAR(tables.Toward(90).cos, 0.0, 1e-3);
}

TEST(WeatherTables, AnglesOfAnySignAndSizeReduceIntoAWholeTurn) {
  struct Case {
    int64_t given;
    int32_t reduced;
  };
  // 2147483648 = 360 x 5965232 + 128.
  const Case cases[] = {{0, 0},     {359, 359}, {360, 0},           {725, 5},           {-1, 359},
                        {-30, 330}, {-360, 0},  {-721, 359},        {INT32_MAX, 127},   {INT32_MIN, 232},
                        {int64_t{INT32_MAX} + 359, 126}};
  const WeatherTables tables;
  for (const Case& c : cases) {
    EXPECT_EQ(ReduceAngle(c.given), c.reduced) << c.given;
    EXPECT_EQ(&tables.Toward(c.given), &tables.Toward(c.reduced)) << c.given;
  }
}

TEST(WeatherTables, TheTurnTablesHoldTruncatedSinesAndCosinesOf1024) {
  const WeatherTables tables;
  for (int32_t i = 0; i < 1024; ++i) {
    const double radians = i * 2 * std::numbers::pi / 1024;
    EXPECT_EQ(tables.Sine(i), static_cast<int32_t>(std::trunc(1024 * std::sin(radians)))) << i;
    EXPECT_EQ(tables.Cosine(i), static_cast<int32_t>(std::trunc(1024 * std::cos(radians)))) << i;
  }
  // By hand: the quarters are whole, an eighth is 1024 / sqrt 2 = 724.08 truncated.
  EXPECT_EQ(tables.Sine(0), 0);
  EXPECT_EQ(tables.Cosine(0), 1024);
  EXPECT_EQ(tables.Sine(128), 724);
  EXPECT_EQ(tables.Cosine(128), 724);
  EXPECT_EQ(tables.Sine(256), 1024);
  EXPECT_EQ(tables.Cosine(256), 0);
  EXPECT_EQ(tables.Sine(512), 0);
  EXPECT_EQ(tables.Cosine(512), -1024);
  EXPECT_EQ(tables.Sine(768), -1024);
  EXPECT_EQ(tables.Sine(640), -724);
  // Any step counts modulo 1024.
  EXPECT_EQ(tables.Sine(-256), -1024);
  EXPECT_EQ(tables.Cosine(1024 + 5), tables.Cosine(5));
  EXPECT_EQ(tables.Sine(INT32_MIN), 0);
}

TEST(WeatherNames, TasksAndPicturesAreNamedAsTheGameNamesThem) {
  EXPECT_STREQ(WeatherTaskName(WeatherKind::kRain), "CEasyRain");
  EXPECT_STREQ(WeatherTaskName(WeatherKind::kSnow), "CEasySnow");
  EXPECT_STREQ(WeatherTaskName(WeatherKind::kLeaves), "CEasyLeaf");
  // Shift-JIS: 【 81 79, 簡 8A C8, 易 88 D5, 雨 89 4A, 雪 90 E1, 葉 97 74, ク 83 4E, ラ 83 89,
  // ス 83 58, 】 81 7A.
  EXPECT_EQ(WeatherTaskDescription(WeatherKind::kRain),
            "CEasyRain::\x81\x79\x8A\xC8\x88\xD5\x89\x4A\x83\x4E\x83\x89\x83\x58\x81\x7A");
  EXPECT_EQ(WeatherTaskDescription(WeatherKind::kSnow),
            "CEasySnow::\x81\x79\x8A\xC8\x88\xD5\x90\xE1\x83\x4E\x83\x89\x83\x58\x81\x7A");
  EXPECT_EQ(WeatherTaskDescription(WeatherKind::kLeaves),
            "CEasyLeaf::\x81\x79\x8A\xC8\x88\xD5\x97\x74\x83\x4E\x83\x89\x83\x58\x81\x7A");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kSnow, 0), "\x90\xE1.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kSnow, 1), "\x90\xE1" "2.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kSnow, 2), "\x90\xE1" "3.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kLeaves, 0), "chaha00.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kLeaves, 1), "chaha01.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kLeaves, 2), "chaha02.bmp");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kRain, 0), "");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kSnow, 3), "");
  EXPECT_EQ(WeatherPictureName(WeatherKind::kLeaves, -1), "");
}

TEST(WeatherNames, AGameStartsWithTheGamesSettings) {
  // Pow, Speed, Angle, Rand.
  EXPECT_EQ(kRainDefaults, (WeatherSettings{100, 0, 0, 5}));
  EXPECT_EQ(kSnowDefaults, (WeatherSettings{1000, 0, 0, 5}));
  EXPECT_EQ(kLeafDefaults, (WeatherSettings{300, 5, 10, 10}));
}

}  // namespace
}  // namespace zan
