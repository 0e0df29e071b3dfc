#include "weather/WeatherDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "pixels/Clip.h"
#include "pixels/PixelFormat.h"
#include "surface/Surface.h"
#include "weather/WeatherTables.h"

namespace zan {
namespace {

int64_t FloorDiv(int64_t n, int64_t d) {
  const int64_t q = n / d;
  return (n % d != 0 && ((n < 0) != (d < 0))) ? q - 1 : q;
}

// Every colour channel of `add` added to that of `p`, saturating at the channel's maximum; the
// fourth byte of a 32-bit pixel stays.
template <class F>
typename F::Pixel AddChannels(typename F::Pixel p, typename F::Pixel add) {
  typename F::Pixel out = 0;
  if constexpr (F::kFields) {
    for (uint32_t mask : F::kMasks) out |= std::min((p & mask) + (add & mask), mask);
  } else {
    out = p & ~uint32_t{0xFFFFFF};
    for (int i = 0; i < 3; ++i)
      out |= std::min<uint32_t>(uint32_t{F::ByteOf(p, i)} + F::ByteOf(add, i), 255) << (8 * i);
  }
  return out;
}

// A pixel lightened toward white by amount 0..255.
template <class F>
typename F::Pixel Lighten(typename F::Pixel p, uint32_t amount) {
  if constexpr (F::kCode == kFormat565) {
    return AddChannels<F>(p, ((amount >> 3) << 11) | ((amount >> 2) << 5) | (amount >> 3));
  } else if constexpr (F::kFields) {
    return F::Toward(p, F::kMasks[0] | F::kMasks[1] | F::kMasks[2], amount);
  } else {
    return F::Toward(p, 0xFFFFFFFF, amount);
  }
}

// Cohen-Sutherland clipping of a line to 0..maxX, 0..maxY; false when nothing is left.
// Intersections are taken in 128 bits, so no coordinate a caller passes can overflow them.
bool ClipLine(int64_t& x0, int64_t& y0, int64_t& x1, int64_t& y1, int64_t maxX, int64_t maxY) {
  enum : int { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8 };
  auto code = [&](int64_t x, int64_t y) {
    return (x < 0 ? kLeft : x > maxX ? kRight : 0) | (y < 0 ? kTop : y > maxY ? kBottom : 0);
  };
  // The coordinate on the other axis where the line meets `at` on this one.
  auto meet = [](int64_t a0, int64_t b0, int64_t a1, int64_t b1, int64_t at) {
    return b0 + static_cast<int64_t>(static_cast<__int128>(b1 - b0) * (at - a0) / (a1 - a0));
  };
  int c0 = code(x0, y0);
  int c1 = code(x1, y1);
  while (c0 | c1) {
    if (c0 & c1) return false;
    const bool first = c0 != 0;
    const int c = first ? c0 : c1;
    int64_t x = 0;
    int64_t y = 0;
    if (c & kTop) {
      x = meet(y0, x0, y1, x1, 0);
    } else if (c & kBottom) {
      x = meet(y0, x0, y1, x1, maxY);
      y = maxY;
    } else if (c & kRight) {
      y = meet(x0, y0, x1, y1, maxX);
      x = maxX;
    } else {
      y = meet(x0, y0, x1, y1, 0);
    }
    if (first) {
      x0 = x;
      y0 = y;
      c0 = code(x0, y0);
    } else {
      x1 = x;
      y1 = y;
      c1 = code(x1, y1);
    }
  }
  return true;
}

// An exact floor division n / d (d > 0) that steps n by a fixed amount without dividing again.
class FloorStepper {
 public:
  FloorStepper(__int128 n, int64_t d, int64_t step) : d_(d) {
    const __int128 q = n / d;
    const __int128 r = n % d;
    q_ = static_cast<int64_t>(r < 0 ? q - 1 : q);
    r_ = static_cast<int64_t>(r < 0 ? r + d : r);
    dq_ = FloorDiv(step, d);
    dr_ = step - dq_ * d;
  }
  int64_t Value() const { return q_; }
  void Step() {
    q_ += dq_;
    r_ += dr_;
    if (r_ >= d_) {
      r_ -= d_;
      ++q_;
    }
  }

 private:
  int64_t d_;
  int64_t q_ = 0;
  int64_t r_ = 0;
  int64_t dq_ = 0;
  int64_t dr_ = 0;
};

}  // namespace

int32_t DrawLine(Surface& target, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t amount) {
  const PixelRows view = target.View();
  if (!view) return kDrawNoPixels;
  int64_t ax = x0;
  int64_t ay = y0;
  int64_t bx = x1;
  int64_t by = y1;
  if (!ClipLine(ax, ay, bx, by, int64_t{view.width} - 1, int64_t{view.height} - 1)) return kDrawClipped;
  const uint32_t a = static_cast<uint32_t>(std::clamp(amount, 0, 255));
  const AlphaPlane& plane = target.Alpha();
  const bool planed = plane.IsAllocated() && plane.Width() >= view.width && plane.Height() >= view.height;
  const uint8_t protectFrom = target.IsDeviceMode() ? 1 : 255;
  WithFormat(target.FormatCode(), [&]<class F>() {
    auto plot = [&](int64_t x, int64_t y) {
      if (planed && plane.At(static_cast<int32_t>(x), static_cast<int32_t>(y)) >= protectFrom) return;
      uint8_t* p = view.Row(static_cast<int32_t>(y)) + x * F::kBytes;
      F::Store(p, Lighten<F>(F::Load(p), a));
    };
    // Bresenham: the major axis steps every pixel, the minor one when the error passes half.
    const int64_t dx = std::abs(bx - ax);
    const int64_t dy = std::abs(by - ay);
    const bool xMajor = dx >= dy;
    const int64_t major = xMajor ? dx : dy;
    const int64_t minor = xMajor ? dy : dx;
    int64_t x = ax;
    int64_t y = ay;
    int64_t& along = xMajor ? x : y;
    int64_t& aside = xMajor ? y : x;
    const int64_t alongStep = (xMajor ? bx < ax : by < ay) ? -1 : 1;
    const int64_t asideStep = (xMajor ? by < ay : bx < ax) ? -1 : 1;
    int64_t error = 2 * minor - major;
    for (int64_t i = 0; i <= major; ++i, along += alongStep) {
      plot(x, y);
      if (error > 0) {
        aside += asideStep;
        error -= 2 * major;
      }
      error += 2 * minor;
    }
  });
  target.AddDirty(static_cast<int32_t>(std::min(ax, bx)), static_cast<int32_t>(std::min(ay, by)),
                  static_cast<int32_t>(std::max(ax, bx) + 1), static_cast<int32_t>(std::max(ay, by) + 1));
  return kDrawn;
}

int32_t AddStretchBlt(Surface& target, int32_t x, int32_t y, int32_t width, int32_t height, const Surface& source) {
  if (width <= 0 || height <= 0) return kDrawNothing;
  const PixelRows out = target.View();
  const PixelRows in = source.View();
  if (!out || !in || in.width <= 0 || in.height <= 0 || source.FormatCode() != target.FormatCode())
    return kDrawNoPixels;
  const auto clip = ClipRectangle(x, y, width, height, out.width, out.height);
  if (!clip) return kDrawClipped;
  // 16.16 steps: (i x step) >> 16 stays below the source size for every i below the size drawn.
  const int64_t stepX = int64_t{in.width} * 65536 / width;
  const int64_t stepY = int64_t{in.height} * 65536 / height;
  WithFormat(target.FormatCode(), [&]<class F>() {
    for (int32_t j = 0; j < clip->height; ++j) {
      const uint8_t* from = in.Row(static_cast<int32_t>(((clip->offsetY + j) * stepY) >> 16));
      uint8_t* to = out.Row(clip->y + j) + static_cast<ptrdiff_t>(clip->x) * F::kBytes;
      for (int32_t i = 0; i < clip->width; ++i, to += F::kBytes) {
        const int64_t sx = ((clip->offsetX + i) * stepX) >> 16;
        F::Store(to, AddChannels<F>(F::Load(to), F::Load(from + sx * F::kBytes)));
      }
    }
  });
  target.AddDirty(clip->x, clip->y, clip->x + clip->width, clip->y + clip->height);
  return kDrawn;
}

int32_t RotateBlt(Surface& target, const WeatherTables& tables, int32_t x, int32_t y, const Surface& source,
                  int32_t sx, int32_t sy, int32_t width, int32_t height, int32_t rotation, int32_t scale) {
  if (scale < 4 || width <= 0 || height <= 0) return kDrawNothing;
  const PixelRows out = target.View();
  const PixelRows in = source.View();
  if (!out || !in || source.FormatCode() != target.FormatCode()) return kDrawNoPixels;
  // The box's centre in half pixels, and a half side that holds every pixel whose centre can
  // map into the rectangle: half the scaled rectangle's diagonal, and one more.
  const int64_t cx2 = 2 * int64_t{x} + width;
  const int64_t cy2 = 2 * int64_t{y} + height;
  const double half = std::max(width, height) * static_cast<double>(scale) / 2048.0;
  const int64_t reach = static_cast<int64_t>(std::ceil(half * std::sqrt(2.0))) + 1;
  const int64_t left = std::max<int64_t>(FloorDiv(cx2, 2) - reach, 0);
  const int64_t right = std::min<int64_t>(FloorDiv(cx2, 2) + reach, int64_t{out.width} - 1);
  const int64_t top = std::max<int64_t>(FloorDiv(cy2, 2) - reach, 0);
  const int64_t bottom = std::min<int64_t>(FloorDiv(cy2, 2) + reach, int64_t{out.height} - 1);
  if (left > right || top > bottom) return kDrawClipped;

  // What the source offers: the rectangle cut to the source surface.
  const int64_t fromX = std::max<int64_t>(sx, 0);
  const int64_t toX = std::min<int64_t>(int64_t{sx} + width, in.width);
  const int64_t fromY = std::max<int64_t>(sy, 0);
  const int64_t toY = std::min<int64_t>(int64_t{sy} + height, in.height);
  const int64_t c = tables.Cosine(rotation);
  const int64_t s = tables.Sine(rotation);
  // For a target pixel (px, py) at (dx, dy) half pixels from the box's centre, the source
  // position is floor((2 sx scale + width scale + dx c + dy s) / (2 scale)) across and
  // floor((2 sy scale + height scale - dx s + dy c) / (2 scale)) down.
  const int64_t divisor = 2 * int64_t{scale};
  WithFormat(target.FormatCode(), [&]<class F>() {
    for (int64_t py = top; py <= bottom; ++py) {
      const int64_t dx = 2 * left + 1 - cx2;
      const int64_t dy = 2 * py + 1 - cy2;
      FloorStepper u(static_cast<__int128>(2 * int64_t{sx} + width) * scale + static_cast<__int128>(dx) * c +
                         static_cast<__int128>(dy) * s,
                     divisor, 2 * c);
      FloorStepper v(static_cast<__int128>(2 * int64_t{sy} + height) * scale - static_cast<__int128>(dx) * s +
                         static_cast<__int128>(dy) * c,
                     divisor, -2 * s);
      uint8_t* to = out.Row(static_cast<int32_t>(py)) + left * F::kBytes;
      for (int64_t px = left; px <= right; ++px, to += F::kBytes, u.Step(), v.Step()) {
        const int64_t ux = u.Value();
        const int64_t vy = v.Value();
        if (ux < fromX || ux >= toX || vy < fromY || vy >= toY) continue;
        const typename F::Pixel p = F::Load(in.Row(static_cast<int32_t>(vy)) + ux * F::kBytes);
        if (!F::IsKey(p)) F::Store(to, p);
      }
    }
  });
  target.AddDirty(static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(right + 1),
                  static_cast<int32_t>(bottom + 1));
  return kDrawn;
}

}  // namespace zan
