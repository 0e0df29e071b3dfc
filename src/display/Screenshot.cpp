#include "display/Screenshot.h"

#include <png.h>

#include <cstring>
#include <vector>

#include "display/Display.h"
#include "pixels/PixelFormat.h"
#include "pixels/PixelOps.h"

namespace zan {

Status WritePng(const std::string& path, int32_t code, const PixelRows& view) {
  if (!view || BytesPerPixel(code) == 0) return MakeError("no picture to write to " + path);
  // Colours widened to bytes B, G, R, rows without padding.
  std::vector<uint8_t> bgr(static_cast<size_t>(view.width) * view.height * 3);
  ConvertPixels(kFormat888, PixelRows{bgr.data(), view.width * 3, view.width, view.height}, code, view);
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(view.width);
  image.height = static_cast<png_uint_32>(view.height);
  image.format = PNG_FORMAT_BGR;
  if (!png_image_write_to_file(&image, path.c_str(), 0, bgr.data(), view.width * 3, nullptr)) {
    std::string why = image.message;
    png_image_free(&image);
    return MakeError("cannot write " + path + ": " + why);
  }
  return {};
}

Status SaveScreenshot(Display& draw, const std::string& path) {
  // Without a device format the back buffer itself is what the window shows.
  if (draw.PixelFormatCode() == kFormatBitmap)
    return WritePng(path, kFormatBitmap, draw.BackBuffer().View());
  return WritePng(path, draw.Primary().FormatCode(), draw.Primary().View());
}

uint64_t HashPixels(const PixelRows& view, int32_t bytesPerPixel) {
  constexpr uint64_t kPrime = 0x100000001B3ull;
  uint64_t hash = 0xCBF29CE484222325ull;
  if (!view || bytesPerPixel <= 0) return hash;
  const size_t bytes = static_cast<size_t>(view.width) * bytesPerPixel;
  for (int32_t y = 0; y < view.height; ++y) {
    const uint8_t* row = view.Row(y);
    size_t i = 0;
    for (; i + 8 <= bytes; i += 8) {
      uint64_t word;
      std::memcpy(&word, row + i, 8);
      hash = (hash ^ word) * kPrime;
    }
    for (; i < bytes; ++i) hash = (hash ^ row[i]) * kPrime;
  }
  return hash;
}

uint64_t ScreenHash(Display& draw) {
  if (draw.PixelFormatCode() == kFormatBitmap) return HashPixels(draw.BackBuffer().View(), 3);
  return HashPixels(draw.Primary().View(), BytesPerPixel(draw.Primary().FormatCode()));
}

}  // namespace zan
