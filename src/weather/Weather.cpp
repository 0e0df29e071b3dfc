#include "weather/Weather.h"

#include <array>

#include "base/ShiftJis.h"

namespace zan {

const char* WeatherTaskName(WeatherKind kind) {
  switch (kind) {
    case WeatherKind::kRain: return "CEasyRain";
    case WeatherKind::kSnow: return "CEasySnow";
    case WeatherKind::kLeaves: return "CEasyLeaf";
  }
  return "";
}

const std::string& WeatherTaskDescription(WeatherKind kind) {
  static const std::array<std::string, 3> descriptions = {
      Sjis("CEasyRain::【簡易雨クラス】"), Sjis("CEasySnow::【簡易雪クラス】"), Sjis("CEasyLeaf::【簡易葉クラス】")};
  return descriptions[static_cast<size_t>(kind)];
}

const std::string& WeatherPictureName(WeatherKind kind, int32_t index) {
  static const std::array<std::string, kWeatherPictureKinds> snow = {Sjis("雪.bmp"), Sjis("雪2.bmp"), Sjis("雪3.bmp")};
  static const std::array<std::string, kWeatherPictureKinds> leaves = {"chaha00.bmp", "chaha01.bmp", "chaha02.bmp"};
  static const std::string none;
  if (index < 0 || index >= kWeatherPictureKinds) return none;
  if (kind == WeatherKind::kSnow) return snow[static_cast<size_t>(index)];
  if (kind == WeatherKind::kLeaves) return leaves[static_cast<size_t>(index)];
  return none;
}

}  // namespace zan
