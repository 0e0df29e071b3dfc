#pragma once
// Picture files for tests, written from the file layouts: BMP files in the three forms the
// game uses (24-bit, 24-bit with an appended alpha plane, 32-bit with an alpha byte) and eye
// definition files.

#include <algorithm>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/ByteReader.h"
#include "pixels/PixelFormat.h"

namespace zan::test {

enum class BmpForm { kRgb24, kRgb24Alpha, kArgb32 };

// A w x h picture; colour and alpha are functions of (x, y), y counted from the top. The
// alpha function is used by the forms that carry alpha (255 when none is given).
inline std::vector<uint8_t> MakeBmp(int32_t width, int32_t height, BmpForm form,
                                    const std::function<Rgb(int32_t, int32_t)>& colour,
                                    const std::function<uint8_t(int32_t, int32_t)>& alpha = {}) {
  const bool wide = form == BmpForm::kArgb32;
  const int32_t row = wide ? 4 * width : (3 * width + 3) & ~3;
  std::vector<uint8_t> f(54 + static_cast<size_t>(row) * height);
  StoreU16(&f[0], 0x4D42);
  StoreU16(&f[6], form == BmpForm::kRgb24Alpha ? 1 : 0);
  StoreU32(&f[10], 54);
  StoreU32(&f[14], 40);
  StoreU32(&f[18], static_cast<uint32_t>(width));
  StoreU32(&f[22], static_cast<uint32_t>(height));
  StoreU16(&f[26], 1);
  StoreU16(&f[28], wide ? 32 : 24);
  auto alphaAt = [&](int32_t x, int32_t y) { return alpha ? alpha(x, y) : uint8_t{255}; };
  // Rows bottom-up.
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* r = &f[54 + static_cast<size_t>(height - 1 - y) * row];
    for (int32_t x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      uint8_t* p = r + (wide ? 4 : 3) * x;
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
      if (wide) p[3] = alphaAt(x, y);
    }
  }
  if (form == BmpForm::kRgb24Alpha)
    for (int32_t y = height - 1; y >= 0; --y)
      for (int32_t x = 0; x < width; ++x) f.push_back(alphaAt(x, y));
  return f;
}

// One colour, and one alpha in the forms that carry it.
inline std::vector<uint8_t> FlatBmp(int32_t width, int32_t height, BmpForm form, Rgb c, uint8_t alpha = 255) {
  return MakeBmp(width, height, form, [c](int32_t, int32_t) { return c; },
                 [alpha](int32_t, int32_t) { return alpha; });
}

struct EyeFrame {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t duration = 0;
};

// An eye definition file of 1392 bytes: up to 40 frames, the loop limit, the frame sheet's
// name and the draw mode (1: lightening).
inline std::vector<uint8_t> EyeDefinitionFile(const std::string& sheet, const std::vector<EyeFrame>& frames,
                                              int32_t loopLimit = 0, uint8_t drawMode = 0) {
  std::vector<uint8_t> b(1392, 0);
  for (size_t i = 0; i < frames.size(); ++i) {
    uint8_t* e = &b[i * 28];
    StoreU32(e, static_cast<uint32_t>(frames[i].x));
    StoreU32(e + 4, static_cast<uint32_t>(frames[i].y));
    StoreU32(e + 8, static_cast<uint32_t>(frames[i].width));
    StoreU32(e + 12, static_cast<uint32_t>(frames[i].height));
    StoreU32(e + 24, static_cast<uint32_t>(frames[i].duration));
  }
  StoreU32(&b[1124], static_cast<uint32_t>(loopLimit));
  std::memcpy(&b[1129], sheet.data(), std::min<size_t>(sheet.size(), 259));
  b[1389] = drawMode;
  return b;
}

}  // namespace zan::test
