#pragma once
// Reads a PNG file back as bytes R, G, B (empty when it cannot), and a screenshot read back
// for checks by position and by counts of pixels in a region.

#include <png.h>

#include <cstring>
#include <functional>
#include <stdexcept>
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

inline void CheckInside(int x, int y, int width, int height) {
  if (x < 0 || y < 0 || x >= width || y >= height)
    throw std::out_of_range("pixel " + std::to_string(x) + "," + std::to_string(y) + " outside the " +
                            std::to_string(width) + "x" + std::to_string(height) + " screenshot");
}

// What a screenshot of a screen in pixel format `format` shows of a colour: the 16-bit
// formats keep the top 5 bits of each channel (6 of 565's green), and a field of n bits is
// widened back to 8 by repeating its bits from the top (v5 -> v5 * 8 + v5 / 4, v6 -> v6 * 4 +
// v6 / 16, as a display shows it); 888 and 8888 keep every bit.
inline Rgb ShownColour(int format, Rgb c) {
  auto keep = [](uint8_t v, int bits) {
    const int f = v >> (8 - bits);
    return static_cast<uint8_t>(bits == 5 ? f * 8 + f / 4 : f * 4 + f / 16);
  };
  if (format == 565) return {keep(c.r, 5), keep(c.g, 6), keep(c.b, 5)};
  if (format == 555) return {keep(c.r, 5), keep(c.g, 5), keep(c.b, 5)};
  return c;
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
  // A pixel; one outside the picture (or of a picture that could not be read) throws, which
  // fails the test that asked instead of reading past the bytes.
  Rgb At(int x, int y) const {
    CheckInside(x, y, width, height);
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
