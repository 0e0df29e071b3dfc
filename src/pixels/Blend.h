#pragma once
// The blending operations on plain memory, one format code each (0 = the bitmap). Rectangles
// are already clipped by the caller. The arithmetic of each family is in the format traits
// (PixelFormat.h); the weighted ones run through the row kernels (BlendKernels.h).

#include <cstdint>

#include "pixels/Clip.h"
#include "pixels/PixelFormat.h"
#include "pixels/Pixels.h"

namespace zan {

// Per-pixel alpha: each destination pixel moves toward its source pixel by the source's
// alpha byte (16-bit: weight a + 1 out of 256 when a > 0; bytes: the table blend; bitmap:
// ((s - d) * a + 255 * d + 255) >> 8). `alpha` is indexed like the source.
void AlphaBlendPixels(int32_t code, const PixelRows& dst, const PixelRows& src,
                      const AlphaRows& alpha, const ClippedCopy& c);

// Alpha times an opacity: e = (o' * a') >> 8 with o' and a' widened like a 16-bit alpha; the
// byte formats clamp e to 255. Device formats only (a bitmap code draws nothing).
void OpacityBlendPixels(int32_t code, const PixelRows& dst, const PixelRows& src,
                        const AlphaRows& alpha, const ClippedCopy& c, uint8_t opacity);

// The same width x height rectangle of three views: out at (x, y) becomes first at (x, y)
// cross-faded toward second at (x2, y2) by level 1..254.
struct TripleRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t x2 = 0;
  int32_t y2 = 0;
  int32_t width = 0;
  int32_t height = 0;
};
void CrossFadePixels(int32_t code, const PixelRows& out, const PixelRows& first,
                     const PixelRows& second, const TripleRect& r, uint8_t level);

// out = first moved toward second by the mask byte of each pixel (16-bit: m + 1 out of 256
// when m > 0; bytes: the table blend), width x height from the top-left corner.
void MaskBlendPixels(int32_t code, const PixelRows& out, const PixelRows& first,
                     const PixelRows& second, const AlphaRows& mask, int32_t width, int32_t height);

// Each pixel of the rectangle moves toward a colour by `amount` (16-bit: out of 256 with the
// colour reduced to the format; bytes: the table blend of every byte).
void ColorBlendPixels(int32_t code, const PixelRows& view, const ClippedCopy& rect, uint8_t amount,
                      Rgb colour);

// Lightening: each channel d + floor(s * (M - d) / (M + 1)); key-coloured source pixels skip.
void ScreenPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c);

}  // namespace zan
