#include "transition/TransitionPixels.h"

#include <algorithm>
#include <cstring>

#include "pixels/PixelFormat.h"

namespace zan {
namespace {

// The red, green and blue of a pixel at 8 bits, each field shifted up as it was packed (no
// low bits made up).
template <class F>
void Channels(typename F::Pixel p, uint32_t (&c)[3]) {
  if constexpr (F::kFields) {
    for (int i = 0; i < 3; ++i) {
      const uint32_t mask = F::kMasks[i];
      c[i] = ((p & mask) >> F::Shift(mask)) << (8 - F::Width(mask));
    }
  } else {
    for (int i = 0; i < 3; ++i) c[i] = F::ByteOf(p, 2 - i);
  }
}

// first * h + second * (255 - h) >> 8 per 8-bit channel, packed.
template <class F>
typename F::Pixel MaskCrossBlend(typename F::Pixel first, typename F::Pixel second, uint32_t h) {
  uint32_t a[3];
  uint32_t b[3];
  Channels<F>(first, a);
  Channels<F>(second, b);
  uint8_t c[3];
  for (int i = 0; i < 3; ++i) c[i] = static_cast<uint8_t>((a[i] * h + b[i] * (255 - h)) >> 8);
  return F::Pack(c[0], c[1], c[2]);
}

}  // namespace

void MaskCrossPixels(int32_t code, const PixelRows& out, const PixelRows& first, const PixelRows& second,
                     const AlphaRows& mask, int32_t width, int32_t height, int32_t level) {
  WithFormat(code, [&]<class F>() {
    constexpr int n = F::kBytes;
    for (int32_t y = 0; y < height; ++y) {
      uint8_t* o = out.Row(y);
      const uint8_t* a = first.Row(y);
      const uint8_t* b = second.Row(y);
      const uint8_t* m = mask.Row(y);
      for (int32_t x = 0; x < width; ++x) {
        const int32_t t = int32_t{m[x]} - level;
        const size_t at = static_cast<size_t>(x) * n;
        if (t > 7) {
          std::memcpy(o + at, a + at, n);
        } else if (t <= 0) {
          std::memcpy(o + at, b + at, n);
        } else {
          F::Store(o + at, MaskCrossBlend<F>(F::Load(a + at), F::Load(b + at), static_cast<uint32_t>(36 * t)));
        }
      }
    }
  });
}

void RipplePixels(int32_t code, const PixelRows& out, const PixelRows& work, const TransitionTables& tables,
                  int32_t amplitude, int32_t phase) {
  WithFormat(code, [&]<class F>() {
    constexpr int n = F::kBytes;
    const int32_t width = tables.Width();
    const int32_t height = tables.Height();
    const int32_t lastX = width - 2;
    for (int32_t j = 0; j < tables.RippleBlocksY(); ++j) {
      const int32_t y = TransitionTables::kRippleBlock * j;
      const int32_t rows = std::min(2, height - y);
      for (int32_t i = 0; i < tables.RippleBlocksX(); ++i) {
        const int32_t x = TransitionTables::kRippleBlock * i;
        // The phase may be negative: two's complement AND wraps it into 0..1023.
        const int32_t wave = tables.Wave((tables.RipplePhase(i, j) + phase) & 1023);
        const int32_t sx = std::clamp(x + tables.Displacement(wave, amplitude), 0, lastX);
        const size_t bytes = static_cast<size_t>(std::min(2, width - x)) * n;
        for (int32_t r = 0; r < rows; ++r)
          std::memcpy(out.Row(y + r) + static_cast<size_t>(x) * n, work.Row(y + r) + static_cast<size_t>(sx) * n,
                      bytes);
      }
    }
  });
}

}  // namespace zan
