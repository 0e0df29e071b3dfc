#pragma once
// Surfaces for tests: made in any format, with pixels read and written as raw words (the
// format's layout) or as colours.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "surface/SurfaceFormat.h"
#include "surface/Surface.h"
#include "pixels/PixelFormat.h"
#include "pixels/PixelOps.h"

namespace zan::test {

// The byte formats' blend of a channel x toward y by a / 255, as the blend tables hold it
// (x - a·x/255 + a·y/255, each quotient rounded down).
inline uint8_t Toward(uint8_t x, uint8_t y, int a) { return static_cast<uint8_t>(x - a * x / 255 + a * y / 255); }

inline std::unique_ptr<Surface> MakeSurface(int32_t code, int32_t width, int32_t height) {
  auto s = std::make_unique<Surface>();
  EXPECT_EQ(s->CreateInFormat(width, height, code), CreatePixelsResult::kOk);
  return s;
}

// The raw pixel (little-endian, BytesPerPixel bytes).
inline uint32_t Raw(Surface& s, int32_t x, int32_t y) {
  const int n = BytesPerPixel(s.FormatCode());
  uint32_t v = 0;
  std::memcpy(&v, s.View().Row(y) + x * n, static_cast<size_t>(n));
  return v;
}

inline void SetRaw(Surface& s, int32_t x, int32_t y, uint32_t v) {
  const int n = BytesPerPixel(s.FormatCode());
  std::memcpy(s.View().Row(y) + x * n, &v, static_cast<size_t>(n));
}

inline void FillRaw(Surface& s, uint32_t v) {
  for (int32_t y = 0; y < s.Height(); ++y)
    for (int32_t x = 0; x < s.Width(); ++x) SetRaw(s, x, y, v);
}

inline Rgb Colour(Surface& s, int32_t x, int32_t y) {
  return PixelColour(s.FormatCode(), s.View(), x, y);
}

}  // namespace zan::test
