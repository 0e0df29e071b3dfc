#pragma once
// Expected pixels of the weather's drawing, worked out from the formulas of the pixel formats
// field by field (or byte by byte), independently of the library, and the pixels a line
// covers by Bresenham's rule written as a closed formula.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <utility>

namespace zan::test {

// The fields of a 16-bit format as (shift, width); bytes have three fields of 8 bits.
struct FieldLayout {
  int shift[3];
  int width[3];
  int count;  // fields that are colour channels
};

inline FieldLayout LayoutOf(int32_t format) {
  switch (format) {
    case 565: return {{11, 5, 0}, {5, 6, 5}, 3};
    case 555: return {{10, 5, 0}, {5, 5, 5}, 3};
    default: return {{16, 8, 0}, {8, 8, 8}, 3};
  }
}

// A pixel lightened toward white by `amount`: 555 (v (256 - a) + max a) >> 8 per field; 565
// each field plus the grey (a >> 3, a >> 2, a >> 3), saturating; bytes (all of a 32-bit
// pixel's four) v - floor(a v / 255) + floor(a 255 / 255).
inline uint32_t Lightened(int32_t format, uint32_t p, uint32_t a) {
  if (format == 555 || format == 565) {
    const FieldLayout l = LayoutOf(format);
    const uint32_t grey[3] = {a >> 3, a >> 2, a >> 3};
    uint32_t out = 0;
    for (int i = 0; i < 3; ++i) {
      const uint32_t max = (1u << l.width[i]) - 1;
      const uint32_t v = (p >> l.shift[i]) & max;
      const uint32_t c = format == 555 ? (v * (256 - a) + max * a) >> 8 : std::min(v + grey[i], max);
      out |= c << l.shift[i];
    }
    return out;
  }
  const int bytes = format == 8888 ? 4 : 3;
  uint32_t out = 0;
  for (int i = 0; i < bytes; ++i) {
    const uint32_t v = (p >> (8 * i)) & 255;
    out |= (v - a * v / 255 + a * 255 / 255) << (8 * i);
  }
  return out;
}

// Each colour channel of `s` added to that of `d`, at most the channel's maximum; the fourth
// byte of a 32-bit pixel is the destination's.
inline uint32_t Added(int32_t format, uint32_t d, uint32_t s) {
  const FieldLayout l = LayoutOf(format);
  uint32_t out = format == 8888 ? (d & 0xFF000000u) : 0;
  for (int i = 0; i < l.count; ++i) {
    const uint32_t max = (1u << l.width[i]) - 1;
    out |= std::min(((d >> l.shift[i]) & max) + ((s >> l.shift[i]) & max), max) << l.shift[i];
  }
  return out;
}

// The pixels of a line from (x0, y0) to (x1, y1): along the longer axis every pixel, the
// shorter one at start + floor((2 k minor + major - 1) / (2 major)) after k steps (so that a
// tie is resolved toward the start).
inline std::set<std::pair<int64_t, int64_t>> LinePixels(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  std::set<std::pair<int64_t, int64_t>> pixels;
  const int64_t dx = std::llabs(x1 - x0);
  const int64_t dy = std::llabs(y1 - y0);
  const int64_t sx = x1 < x0 ? -1 : 1;
  const int64_t sy = y1 < y0 ? -1 : 1;
  const int64_t major = std::max(dx, dy);
  const int64_t minor = std::min(dx, dy);
  for (int64_t k = 0; k <= major; ++k) {
    const int64_t m = major == 0 ? 0 : (2 * k * minor + major - 1) / (2 * major);
    if (dx >= dy)
      pixels.insert({x0 + sx * k, y0 + sy * m});
    else
      pixels.insert({x0 + sx * m, y0 + sy * k});
  }
  return pixels;
}

}  // namespace zan::test
