#pragma once
// Pixel operations that copy or set pixels, on plain memory in one format code. Rectangles
// are already clipped to both views by the caller (Clip.h); an unknown code does nothing.

#include <cstdint>

#include "pixels/Clip.h"
#include "pixels/PixelFormat.h"
#include "pixels/Pixels.h"

namespace zan {

void FillPixels(int32_t code, const PixelRows& dst, const ClippedCopy& rect, Rgb colour);
// Row copy; a copy within one view is right even where source and destination overlap.
void CopyPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c);
// Copies every source pixel that is not the colour key (pure green).
void KeyedCopyPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c);
// As the keyed copy, but a pure magenta source pixel is written as `colour`.
void KeyReplacePixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c,
                      Rgb colour);

struct PixelBox {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
// Nearest-neighbour scaled copy of `from` in src onto `to` in dst (both inside their views).
void StretchPixels(int32_t code, const PixelRows& dst, const PixelBox& to, const PixelRows& src,
                   const PixelBox& from);

// Converts a whole view from one format to another (sizes taken from dst): colours are
// unpacked to 8 bits a channel and packed again by the packing rules.
void ConvertPixels(int32_t dstCode, const PixelRows& dst, int32_t srcCode, const PixelRows& src);
// The colour of one pixel.
Rgb PixelColour(int32_t code, const PixelRows& view, int32_t x, int32_t y);

// Negative of every pixel (555 keeps its top bit clear, 8888 its top byte 0).
void InvertPixels(int32_t code, const PixelRows& view);
// Grey of every pixel: (R + G + B) / 3 with the fields widened by a shift. Device formats only.
void MonoPixels(int32_t code, const PixelRows& view);
// Random greys, one per horizontal pair of pixels (an odd last column stays). Device formats
// only. The generator is process-wide: state = state * 1103515245 + 12345 per pair, grey =
// bits 16..23 of the new state; it starts at 1.
void NoisePixels(int32_t code, const PixelRows& view, const ClippedCopy& rect);
uint32_t NoiseState();
void SetNoiseState(uint32_t state);

}  // namespace zan
