#pragma once
// What the weather's tests share: the tables, and a whole surface checked pixel by pixel.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ios>
#include <string>

#include "../surface/TestSurfaces.h"
#include "weather/WeatherTables.h"

namespace zan::test {

inline const WeatherTables& Tables() {
  static const WeatherTables tables;
  return tables;
}

// Every pixel of `target` against `expected(x, y)` (raw words); the first mismatches are
// reported with `what`.
inline void ExpectPixels(Surface& target, const std::function<uint32_t(int32_t, int32_t)>& expected,
                         const std::string& what) {
  int32_t wrong = 0;
  for (int32_t y = 0; y < target.Height(); ++y) {
    for (int32_t x = 0; x < target.Width(); ++x) {
      const uint32_t want = expected(x, y);
      const uint32_t got = Raw(target, x, y);
      if (got != want && ++wrong <= 3)
        ADD_FAILURE() << what << " at (" << x << ", " << y << "): 0x" << std::hex << got << " instead of 0x" << want;
    }
  }
  EXPECT_EQ(wrong, 0) << what;
}

}  // namespace zan::test
