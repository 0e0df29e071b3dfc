#pragma once
// The pixel work of the transitions that the blend kernels do not cover, on plain memory in
// one format code (0 = the bitmap), written once over the format traits. Views cover the
// screen (the tables' size); an unknown code draws nothing.

#include <cstdint>

#include "pixels/Pixels.h"
#include "transition/TransitionTables.h"

namespace zan {

// The mask cross at `level` over width x height from the top-left corner, per pixel with mask
// byte m: the first picture where m - level > 7, the second where m <= level, and between
// them first * h + second * (255 - h) >> 8 per channel with h = 36 * (m - level). Channels are
// taken at 8 bits by shifting each field up (as packed) and packed back.
void MaskCrossPixels(int32_t code, const PixelRows& out, const PixelRows& first, const PixelRows& second,
                     const AlphaRows& mask, int32_t width, int32_t height, int32_t level);

// The water ripple: every 2 x 2 block of `out` at (x, y), x and y even, takes the block at
// (sx, y) of `work`, sx = x + D[S[(Q + phase) AND 1023]][amplitude] clamped to 0..width - 2,
// with the displacement D, the wave S and the block's phase Q of the tables. `out` and `work`
// must not overlap.
void RipplePixels(int32_t code, const PixelRows& out, const PixelRows& work, const TransitionTables& tables,
                  int32_t amplitude, int32_t phase);

}  // namespace zan
