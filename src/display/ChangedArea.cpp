#include "display/ChangedArea.h"

#include <algorithm>
#include <cstring>

namespace zan {

FrameRect ChangedArea(const PixelRows& frame, const PixelRows& screen, int32_t bytesPerPixel,
                      const FrameRect& area) {
  const int32_t left = std::max(area.left, 0);
  const int32_t top = std::max(area.top, 0);
  const int32_t right = std::min({area.right, frame.width, screen.width});
  const int32_t bottom = std::min({area.bottom, frame.height, screen.height});
  if (!frame || !screen || right <= left || bottom <= top || bytesPerPixel <= 0) return {};
  const size_t offset = static_cast<size_t>(left) * bytesPerPixel;
  const size_t bytes = static_cast<size_t>(right - left) * bytesPerPixel;
  auto differs = [&](int32_t y) { return std::memcmp(frame.Row(y) + offset, screen.Row(y) + offset, bytes) != 0; };
  int32_t first = top;
  while (first < bottom && !differs(first)) ++first;
  if (first == bottom) return {};
  int32_t last = bottom - 1;
  while (!differs(last)) --last;
  // Columns: the first and last differing byte of any row between, in whole pixels.
  size_t from = bytes;
  size_t to = 0;
  for (int32_t y = first; y <= last; ++y) {
    const uint8_t* a = frame.Row(y) + offset;
    const uint8_t* b = screen.Row(y) + offset;
    size_t i = 0;
    while (i < from && a[i] == b[i]) ++i;
    from = std::min(from, i);
    size_t j = bytes;
    while (j > to && a[j - 1] == b[j - 1]) --j;
    to = std::max(to, j);
  }
  return FrameRect{left + static_cast<int32_t>(from / bytesPerPixel), first,
                   left + static_cast<int32_t>((to + bytesPerPixel - 1) / bytesPerPixel), last + 1};
}

}  // namespace zan
