#include "weather/WeatherTables.h"

#include <cmath>
#include <numbers>

namespace zan {

WeatherTables::WeatherTables() {
  for (int32_t i = 0; i < 360; ++i) {
    const double radians = i * 3.14 / 180;
    directions_[static_cast<size_t>(i)] = {std::sin(radians), std::cos(radians)};
  }
  for (int32_t i = 0; i < 1024; ++i) {
    const double radians = i * 2 * std::numbers::pi / 1024;
    sine_[static_cast<size_t>(i)] = static_cast<int16_t>(std::trunc(1024 * std::sin(radians)));
    cosine_[static_cast<size_t>(i)] = static_cast<int16_t>(std::trunc(1024 * std::cos(radians)));
  }
}

}  // namespace zan
