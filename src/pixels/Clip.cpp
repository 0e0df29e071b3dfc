#include "pixels/Clip.h"

namespace zan {
namespace {

// One axis of ClipRectangle: position, offset and length.
struct Span {
  int64_t position;
  int64_t offset;
  int64_t length;
};

Span ClipAxis(int64_t x, int64_t w, int64_t bound) {
  Span s = x < 0 ? Span{0, -x, x + w} : Span{x, 0, w};
  if (x + w > bound) s.length -= x + w - bound;
  return s;
}

}  // namespace

std::optional<ClippedRect> ClipRectangle(int64_t x, int64_t y, int64_t w, int64_t h, int64_t boundsW,
                                         int64_t boundsH) {
  if (w <= 0 || h <= 0 || boundsW <= 0 || boundsH <= 0 || x >= boundsW || y >= boundsH ||
      x + w - 1 < 0 || y + h - 1 < 0)
    return std::nullopt;
  Span sx = ClipAxis(x, w, boundsW);
  Span sy = ClipAxis(y, h, boundsH);
  return ClippedRect{static_cast<int32_t>(sx.position), static_cast<int32_t>(sy.position),
                     static_cast<int32_t>(sx.offset),   static_cast<int32_t>(sy.offset),
                     static_cast<int32_t>(sx.length),   static_cast<int32_t>(sy.length)};
}

std::optional<ClippedCopy> ClipCopy(int64_t dx, int64_t dy, int64_t w, int64_t h, int64_t destW,
                                    int64_t destH, int64_t sx, int64_t sy, int64_t sourceW,
                                    int64_t sourceH) {
  auto source = ClipRectangle(sx, sy, w, h, sourceW, sourceH);
  if (!source) return std::nullopt;
  auto dest = ClipRectangle(dx, dy, w, h, destW, destH);
  if (!dest) return std::nullopt;
  // The clipped source, placed where it lands relative to the clipped destination.
  const int64_t px = dx + (source->x - sx) - dest->x;
  const int64_t py = dy + (source->y - sy) - dest->y;
  auto common = ClipRectangle(px, py, source->width, source->height, dest->width, dest->height);
  if (!common) return std::nullopt;
  return ClippedCopy{common->x + dest->x,
                     common->y + dest->y,
                     static_cast<int32_t>(common->x + source->x - px),
                     static_cast<int32_t>(common->y + source->y - py),
                     common->width,
                     common->height};
}

}  // namespace zan
