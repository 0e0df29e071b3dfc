#pragma once
// The part of a frame that differs from the picture on the screen: the smallest rectangle
// holding every pixel of `area` whose bytes differ between the two (same size and format),
// so that only that part is copied and shown.

#include <cstdint>

#include "pixels/Pixels.h"
#include "platform/Presenter.h"

namespace zan {

// Right and bottom exclusive; empty when nothing in `area` differs. `area` is cut to the
// smaller of the two pictures.
FrameRect ChangedArea(const PixelRows& frame, const PixelRows& screen, int32_t bytesPerPixel,
                      const FrameRect& area);

}  // namespace zan
