// The nearest-neighbour scaled copy in every pixel size: each destination pixel is the source
// pixel under its centre, nothing outside the destination box changes, and a copy within one
// view reads the source as it was before the copy.

#include "pixels/PixelOps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "pixels/PixelFormat.h"

namespace zan {
namespace {

struct StretchCase {
  PixelBox from;
  PixelBox to;
};

// Sizes down and up, the odd widths around the register sizes, single rows and columns.
const StretchCase kStretchCases[] = {
    {{0, 0, 40, 30}, {2, 1, 30, 22}},  {{5, 3, 30, 20}, {0, 0, 36, 24}}, {{1, 1, 1, 1}, {3, 2, 7, 5}},
    {{0, 0, 3, 2}, {0, 0, 1, 1}},      {{2, 0, 7, 7}, {1, 1, 15, 3}},    {{0, 2, 16, 4}, {4, 0, 16, 4}},
    {{3, 3, 17, 9}, {0, 5, 33, 9}},    {{0, 0, 33, 1}, {9, 9, 17, 1}},   {{8, 1, 15, 12}, {2, 3, 1, 12}},
};

class StretchTest : public ::testing::TestWithParam<int32_t> {};

TEST_P(StretchTest, EachPixelIsTheSourcePixelUnderItsCentre) {
  const int32_t code = GetParam();
  const int n = BytesPerPixel(code);
  std::mt19937 rng(31);
  constexpr int32_t kW = 48, kH = 36;
  const int32_t pitch = kW * n + 5;  // rows padded, as in real surfaces
  for (const StretchCase& c : kStretchCases) {
    std::vector<uint8_t> src(static_cast<size_t>(pitch) * kH), dst(src.size());
    for (auto& b : src) b = static_cast<uint8_t>(rng());
    for (auto& b : dst) b = static_cast<uint8_t>(rng());
    const std::vector<uint8_t> before = dst;
    StretchPixels(code, PixelRows{dst.data(), pitch, kW, kH}, c.to, PixelRows{src.data(), pitch, kW, kH}, c.from);
    for (int32_t y = 0; y < kH; ++y) {
      for (int32_t x = 0; x < kW; ++x) {
        const size_t at = static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * n;
        const int32_t i = x - c.to.x, j = y - c.to.y;
        const bool inside = i >= 0 && i < c.to.width && j >= 0 && j < c.to.height;
        const uint8_t* expected = &before[at];
        if (inside) {
          // The centre of destination pixel i at (i + 1/2) * from / to source pixels, in 16.16.
          const uint64_t stepX = (uint64_t(c.from.width) << 16) / c.to.width;
          const uint64_t stepY = (uint64_t(c.from.height) << 16) / c.to.height;
          const int32_t sx = c.from.x + static_cast<int32_t>((stepX * i + stepX / 2) >> 16);
          const int32_t sy = c.from.y + static_cast<int32_t>((stepY * j + stepY / 2) >> 16);
          ASSERT_LT(sx, c.from.x + c.from.width);
          ASSERT_LT(sy, c.from.y + c.from.height);
          expected = &src[static_cast<size_t>(sy) * pitch + static_cast<size_t>(sx) * n];
        }
        ASSERT_EQ(std::memcmp(&dst[at], expected, static_cast<size_t>(n)), 0)
            << "format " << code << ", box " << c.to.width << " x " << c.to.height << ", pixel " << x << ", "
            << y << (inside ? "" : " (outside the box)");
      }
    }
    // Within one view the result is that of a copy from the view as it was.
    std::vector<uint8_t> same = src;
    StretchPixels(code, PixelRows{same.data(), pitch, kW, kH}, c.to, PixelRows{same.data(), pitch, kW, kH}, c.from);
    std::vector<uint8_t> apart = src;
    StretchPixels(code, PixelRows{apart.data(), pitch, kW, kH}, c.to, PixelRows{src.data(), pitch, kW, kH}, c.from);
    EXPECT_EQ(same, apart) << "format " << code << ", box " << c.to.width << " x " << c.to.height;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, StretchTest, ::testing::Values(555, 565, 888, 8888, 0));

}  // namespace
}  // namespace zan
