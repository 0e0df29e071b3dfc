#pragma once
// Reads a PNG file back as bytes R, G, B (empty when it cannot), and a screenshot read back
// for checks by position and by counts of pixels in a region.

#include <png.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "pixels/PixelFormat.h"

namespace zan::test {

inline std::vector<uint8_t> ReadPng(const std::string& path, int* width, int* height) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
  *width = static_cast<int>(image.width);
  *height = static_cast<int>(image.height);
  return rgb;
}

struct Screenshot {
  std::vector<uint8_t> rgb;
  int width = 0;
  int height = 0;

  static Screenshot Read(const std::string& path) {
    Screenshot s;
    s.rgb = ReadPng(path, &s.width, &s.height);
    return s;
  }
  Rgb At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
  // Pixels in [x0, x1) x [y0, y1) that pass `test`.
  int Count(int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& test) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += test(At(x, y)) ? 1 : 0;
    return n;
  }
};

}  // namespace zan::test
