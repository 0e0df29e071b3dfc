#include "Bmp.h"

#include <cstdio>
#include <fstream>

#include <png.h>

namespace zan::assetgen {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
  b[at] = static_cast<uint8_t>(v);
  b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// The 54-byte file and info headers; the file is sized to hold everything.
std::vector<uint8_t> Headers(int w, int h, int bits, uint32_t imageSize, uint32_t fileSize, bool alphaPlane) {
  std::vector<uint8_t> b(fileSize, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, fileSize);
  Put16(b, 6, alphaPlane ? 1 : 0);
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(w));
  Put32(b, 22, static_cast<uint32_t>(h));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<uint16_t>(bits));
  Put32(b, 34, imageSize);
  Put32(b, 38, 2835);  // 72 dpi
  Put32(b, 42, 2835);
  return b;
}

std::vector<uint8_t> Encode(int w, int h, const std::vector<uint8_t>& rgba, BmpForm form) {
  if (form == BmpForm::Argb32) {
    uint32_t image = static_cast<uint32_t>(w) * h * 4;
    std::vector<uint8_t> b = Headers(w, h, 32, image, 54 + image, false);
    for (int y = 0; y < h; ++y) {
      size_t row = 54 + static_cast<size_t>(h - 1 - y) * w * 4;
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
        b[row + x * 4 + 0] = p[2];
        b[row + x * 4 + 1] = p[1];
        b[row + x * 4 + 2] = p[0];
        b[row + x * 4 + 3] = p[3];
      }
    }
    return b;
  }
  uint32_t pitch = (static_cast<uint32_t>(w) * 3 + 3) & ~3u;
  uint32_t image = pitch * h;
  bool plane = form == BmpForm::Rgb24Alpha;
  uint32_t size = 54 + image + (plane ? static_cast<uint32_t>(w) * h : 0);
  std::vector<uint8_t> b = Headers(w, h, 24, image, size, plane);
  for (int y = 0; y < h; ++y) {
    size_t row = 54 + static_cast<size_t>(h - 1 - y) * pitch;
    size_t alphaRow = 54 + image + static_cast<size_t>(h - 1 - y) * w;
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      b[row + x * 3 + 0] = p[2];
      b[row + x * 3 + 1] = p[1];
      b[row + x * 3 + 2] = p[0];
      if (plane) b[alphaRow + x] = p[3];
    }
  }
  return b;
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const Canvas& c, BmpForm form, bool keyTransparent) {
  std::vector<uint8_t> rgba = c.ToRgba8();
  for (size_t i = 0; i < rgba.size(); i += 4) {
    if (keyTransparent && rgba[i + 3] == 0) {
      rgba[i] = 0;
      rgba[i + 1] = 255;
      rgba[i + 2] = 0;
    }
    if (form == BmpForm::Rgb24) rgba[i + 3] = 255;
  }
  return Encode(c.width(), c.height(), rgba, form);
}

std::vector<uint8_t> EncodeBmpExact(int w, int h, const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> rgba(static_cast<size_t>(w) * h * 4);
  for (size_t i = 0, n = static_cast<size_t>(w) * h; i < n; ++i) {
    rgba[i * 4] = rgb[i * 3];
    rgba[i * 4 + 1] = rgb[i * 3 + 1];
    rgba[i * 4 + 2] = rgb[i * 3 + 2];
    rgba[i * 4 + 3] = 255;
  }
  return Encode(w, h, rgba, BmpForm::Rgb24);
}

Status WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) return MakeError("cannot write " + path.string());
  return {};
}

Status WritePng(const std::filesystem::path& path, const Canvas& c) {
  std::error_code ec;
  std::filesystem::create_directories(path.parent_path(), ec);
  std::vector<uint8_t> rgba = c.ToRgba8();
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(c.width());
  image.height = static_cast<png_uint_32>(c.height());
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr))
    return MakeError("cannot write " + path.string() + ": " + image.message);
  return {};
}

}  // namespace zan::assetgen
