#pragma once
// Screenshots: a view of pixels in any format written as an 8-bit RGB PNG (libpng).

#include <cstdint>
#include <string>

#include "base/Result.h"
#include "pixels/Pixels.h"

namespace zan {

class Display;

// Writes the pixels of `view` (format `code`) to a PNG file at `path` (a native path).
Status WritePng(const std::string& path, int32_t code, const PixelRows& view);
// Writes the frame as the display last showed it.
Status SaveScreenshot(Display& draw, const std::string& path);

}  // namespace zan
