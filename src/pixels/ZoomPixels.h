#pragma once
// Scaled copies with bilinear filtering, on plain memory in one format code (0 = the bitmap).
// The caller has sized and clipped the copy (ZoomMap); these only walk its pixels.
//
// Each destination pixel (i, j) of the clipped rectangle reads the source at the 16.16
// positions u = (baseX + i) * stepX, v = (baseY + j) * stepY: the integer parts pick the
// top-left sample, the 8 bits below them are the filter weights fx, fy. The right and lower
// neighbours are clamped to the source's last column and row.
//
// The filter, per format family:
//   byte formats (888, 8888, bitmap): P[a][255 - f] + P[b][f] with the product table, along x on
//     both rows, then along y;
//   565: each colour field in place, ((b - a) * f + a * 255 + 255) >> 8, along x then y, the
//     field masked only at the end; 555 likewise with (a * (255 - f) + b * f) >> 8;
//   the alpha samples, in every format, by the byte formats' filter.
// The destination pixel then moves toward the filtered colour by a weight: the table blend
// in the byte formats, the same in-place step as the filter in 565 and 555.
//
// ZoomPixels is the fast path (rows filtered once and reused, SIMD row kernels in every format);
// ZoomPixelsReference computes every pixel alone, straight from the formulas. Both give the
// same bytes, which the tests check.

#include <cstdint>

#include "pixels/PixelFormat.h"
#include "pixels/Pixels.h"

namespace zan {

enum class ZoomKind {
  // Per-pixel alpha (ZoomAlphaBlt): weight = the filtered alpha. A pixel whose top-left alpha
  // sample is 0 is left alone (in 565: only when all four are 0). The destination's alpha
  // plane takes min(255, byte + weight).
  kAlpha,
  // Alpha times an opacity 1..255 (ZoomBlendBlt): weight e = (a' * (opacity + 1)) >> 8, a'
  // the filtered alpha + 1 when it is above 0, at most 255. A pixel whose four alpha samples
  // are all 0 is left alone. The destination's alpha plane is not touched.
  kBlend,
};

// A sized and clipped scaled copy.
struct ZoomMap {
  int32_t dx = 0;  // the clipped destination rectangle
  int32_t dy = 0;
  int32_t width = 0;
  int32_t height = 0;
  int64_t baseX = 0;  // the scaled-picture offset of the rectangle's first pixel
  int64_t baseY = 0;
  uint64_t stepX = 0;  // 16.16 source steps
  uint64_t stepY = 0;
  ZoomKind kind = ZoomKind::kAlpha;
  uint8_t opacity = 255;  // kBlend only
};

// A writable alpha plane (the destination's, for kAlpha).
struct PlaneRows {
  uint8_t* data = nullptr;
  int32_t pitch = 0;
  uint8_t* Row(int32_t y) const { return data + static_cast<ptrdiff_t>(y) * pitch; }
};

// `src` and `srcAlpha` are the whole source (same size); `dstAlpha` is used by kAlpha only.
void ZoomPixels(int32_t code, const PixelRows& dst, const PlaneRows& dstAlpha, const PixelRows& src,
                const AlphaRows& srcAlpha, const ZoomMap& map);
void ZoomPixelsReference(int32_t code, const PixelRows& dst, const PlaneRows& dstAlpha,
                         const PixelRows& src, const AlphaRows& srcAlpha, const ZoomMap& map);

// Each pixel of the rectangle (already clipped to both) becomes the grey of its plane byte v,
// packed for the format (565: R v >> 3, G v >> 2, B v >> 3; 888 and 8888: v in every byte).
void ShowPlanePixels(int32_t code, const PixelRows& dst, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const AlphaRows& plane, int32_t px, int32_t py);

}  // namespace zan
