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

}  // namespace zan
