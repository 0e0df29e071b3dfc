#pragma once
// What the rest of the game knows of the three weather effects: their kinds, the settings
// the script's commands set (and a save keeps), their values at the start of a game, the
// names of the tasks that run them and of the pictures they draw.

#include <cstdint>
#include <string>

namespace zan {

enum class WeatherKind { kRain, kSnow, kLeaves };

// The four values a script sets for an effect, in the order a save keeps them: the count of
// particles ("Pow"), the speed, the angle in degrees and the spread of the particles' angles
// ("Rand"). They are kept as given; each effect clamps them where it takes them.
struct WeatherSettings {
  int32_t count = 0;
  int32_t speed = 0;
  int32_t angle = 0;
  int32_t spread = 1;
  friend bool operator==(const WeatherSettings&, const WeatherSettings&) = default;
};

// The settings at the start of a game.
constexpr WeatherSettings kRainDefaults{100, 0, 0, 5};
constexpr WeatherSettings kSnowDefaults{1000, 0, 0, 5};
constexpr WeatherSettings kLeafDefaults{300, 5, 10, 10};

// How an effect starts: particles waiting up to 800 frames each before they appear at their
// spawn line, or ("Now") already spread over their paths so the screen is full at once.
enum class WeatherStart { kGradual, kNow };

// The name of the task that runs an effect ("CEasyRain", "CEasySnow", "CEasyLeaf") and its
// description (Shift-JIS).
const char* WeatherTaskName(WeatherKind kind);
const std::string& WeatherTaskDescription(WeatherKind kind);

// Every effect with pictures draws three kinds of particle, each from its own picture.
constexpr int32_t kWeatherPictureKinds = 3;
// The picture of particle kind 0..2 of snow ("雪.bmp", "雪2.bmp", "雪3.bmp") or leaves
// ("chaha00.bmp", "chaha01.bmp", "chaha02.bmp"), Shift-JIS; empty for rain or another kind.
const std::string& WeatherPictureName(WeatherKind kind, int32_t index);

}  // namespace zan
