#pragma once
// Clipping of rectangles against surfaces. Arithmetic is done in 64 bits, so no position or
// size that a caller passes can overflow.

#include <cstdint>
#include <optional>

namespace zan {

// A rectangle clipped against bounds: its position inside the bounds, how far into the
// requested rectangle it starts, and its size.
struct ClippedRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Clips (x, y, w, h) against bounds W x H; nullopt when nothing is left (empty sizes, empty
// bounds, or the rectangle wholly outside).
std::optional<ClippedRect> ClipRectangle(int64_t x, int64_t y, int64_t w, int64_t h, int64_t boundsW,
                                         int64_t boundsH);

// A copy clipped against both surfaces: destination (dx, dy) takes source (sx, sy), over
// width x height, all inside both surfaces.
struct ClippedCopy {
  int32_t dx = 0;
  int32_t dy = 0;
  int32_t sx = 0;
  int32_t sy = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Clips the copy of (sx, sy, w, h) from a sourceW x sourceH surface to (dx, dy) on a
// destW x destH surface; nullopt when nothing is left.
std::optional<ClippedCopy> ClipCopy(int64_t dx, int64_t dy, int64_t w, int64_t h, int64_t destW,
                                    int64_t destH, int64_t sx, int64_t sy, int64_t sourceW,
                                    int64_t sourceH);

// A fill: the copy of a rectangle onto itself.
inline std::optional<ClippedCopy> ClipFill(int64_t x, int64_t y, int64_t w, int64_t h,
                                           int64_t boundsW, int64_t boundsH) {
  return ClipCopy(x, y, w, h, boundsW, boundsH, x, y, boundsW, boundsH);
}

}  // namespace zan
