#pragma once
// Reads a PNG file back as bytes R, G, B (empty when it cannot).

#include <png.h>

#include <cstring>
#include <string>
#include <vector>

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

}  // namespace zan::test
