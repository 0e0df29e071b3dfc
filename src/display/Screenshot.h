#pragma once
// Screenshots: a view of pixels in any format written as an 8-bit RGB PNG (libpng), and
// hashes of the picture shown, to compare runs frame by frame.

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
// A 64-bit hash (FNV-1a over 8-byte words, the last bytes of a row one by one) of the pixels
// of `view` (`bytesPerPixel` each), row by row without the padding.
uint64_t HashPixels(const PixelRows& view, int32_t bytesPerPixel);
// The hash of the frame as the display last showed it.
uint64_t ScreenHash(Display& draw);

}  // namespace zan
