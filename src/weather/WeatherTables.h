#pragma once
// The tables the weather looks directions up in, computed once at start-up and shared by the
// three effects: the unit direction of every whole degree (angle 0 points down the screen,
// 90 to the right) and the sine and cosine of the 1024 steps of a turn that rotated sprites
// are drawn with.

#include <array>
#include <cstddef>
#include <cstdint>

namespace zan {

// Any angle in degrees reduced into 0..359 (-30 gives 330).
constexpr int32_t ReduceAngle(int64_t degrees) {
  const int64_t r = degrees % 360;
  return static_cast<int32_t>(r < 0 ? r + 360 : r);
}

class WeatherTables {
 public:
  WeatherTables();

  struct Direction {
    double sin = 0;  // x per unit of length
    double cos = 0;  // y per unit of length
  };
  // The unit direction of an angle in degrees; any value counts, reduced into 0..359. A
  // degree is 3.14 / 180 of a radian here, so that the weather falls as its authors saw it.
  const Direction& Toward(int64_t degrees) const { return directions_[static_cast<size_t>(ReduceAngle(degrees))]; }

  // trunc(1024 sin(r 2 pi / 1024)) and the cosine alike, r a step of a turn of 1024 (any value
  // counts, taken modulo 1024).
  int32_t Sine(int32_t r) const { return sine_[static_cast<size_t>(r & 1023)]; }
  int32_t Cosine(int32_t r) const { return cosine_[static_cast<size_t>(r & 1023)]; }

 private:
  std::array<Direction, 360> directions_{};
  std::array<int16_t, 1024> sine_{};
  std::array<int16_t, 1024> cosine_{};
};

}  // namespace zan
