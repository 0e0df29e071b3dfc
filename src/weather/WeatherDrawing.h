#pragma once
// The drawing the weather does into a target surface, in the target's pixel format (any of
// the device formats or the 24-bit bitmap), written once over the format traits. Each clips
// to the target, never reads outside a source surface, extends the target's dirty rectangle
// by what it may have changed, and draws nothing between surfaces of different formats.

#include <cstdint>

namespace zan {

class Surface;
class WeatherTables;

// Results of the drawing operations.
constexpr int32_t kDrawn = 0;
constexpr int32_t kDrawNothing = 1;     // nothing to draw: empty size, scale too small
constexpr int32_t kDrawClipped = 2;     // wholly outside the target
constexpr int32_t kDrawNoPixels = 3;    // a surface without pixels, or formats that differ

// Lightens the pixels of the line from (x0, y0) to (x1, y1), both ends included, by `amount`
// (0..255) toward white: 555 each field (d (256 - amount) + max amount) >> 8; 565 each field
// saturating-added with the grey (amount >> 3, amount >> 2, amount >> 3); the byte formats
// every byte table-blended toward 255. The line is clipped to the target (Cohen-Sutherland,
// integer intersections truncated toward zero) and walked with Bresenham's steps (a tie
// steps the minor axis late). A pixel whose alpha byte protects it stays: any non-zero byte
// in the device formats, 255 in the bitmap.
int32_t DrawLine(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount);

// The whole source scaled to width x height at (x, y) by nearest neighbour (steps of source
// size x 65536 / destination size in 16.16 fixed point), each colour channel saturating-added
// to the target.
int32_t AddStretchBlt(Surface& target, int32_t x, int32_t y, int32_t width, int32_t height, const Surface& source);

// The source rectangle (sx, sy, width, height) rotated by `rotation` steps of 1024 a turn
// (clockwise on the screen; any value, taken modulo 1024) and scaled by scale / 1024 about the
// centre of the box (x, y, width, height). Each target pixel whose centre maps into the
// rectangle takes the source pixel there unless it is the colour key. The source position is
// the rectangle's centre plus the pixel's offset from the box's centre turned back by the
// tables' sine and cosine and divided by the scale, rounded down; it is computed exactly in
// integers and stepped along a row without drift. Parts of the rectangle outside the source
// surface are not drawn. Scales below 4 draw nothing.
int32_t RotateBlt(Surface& target, const WeatherTables& tables, int32_t x, int32_t y, const Surface& source,
                  int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t rotation, int32_t scale);

}  // namespace zan
