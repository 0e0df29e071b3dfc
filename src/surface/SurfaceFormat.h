#pragma once
// The pixel formats of the display and the one its surfaces take. The display fixes the
// surface format once when it starts (from the presenter's format, which --pixel-format
// chooses); every surface made afterwards by Surface::Create or a picture load takes it.

#include <cstdint>

#include "platform/Presenter.h"

namespace zan {

// The pixel-format code of a display format: 8888, 888, 565 or 555 for the four layouts
// (bit count and channel masks), 0 for anything else.
int32_t PixelFormatCodeOf(const DisplayPixelFormat& format);
// The display format of a device format code (the 32-bit layout for anything else).
DisplayPixelFormat DisplayFormatOf(int32_t code);

// The format code new surfaces take; 0 (the 24-bit bitmap) until the display sets it.
int32_t SurfaceFormatCode();
void SetSurfaceFormatCode(int32_t code);

}  // namespace zan
