#pragma once
// Picture files of the game: Windows BMP in the three forms the engine reads (24-bit,
// 24-bit followed by an alpha plane, 32-bit with an alpha byte per pixel), plus PNG
// previews for looking at them.

#include <cstdint>
#include <filesystem>
#include <vector>

#include "Raster.h"
#include "base/Result.h"

namespace zan::assetgen {

enum class BmpForm {
  Rgb24,       // opaque, no alpha
  Rgb24Alpha,  // 24-bit rows, bfReserved1 = 1, then one opacity byte per pixel, bottom-up
  Argb32,      // B, G, R, A per pixel
};

// Fully transparent pixels are written as pure green (0, 255, 0), the engine's transparent
// colour for keyed copies, so a picture drawn either keyed or with its alpha looks right.
std::vector<uint8_t> EncodeBmp(const Canvas& picture, BmpForm form, bool keyTransparent = false);

// Flat colours without dithering (hit masks, where a colour is an identifier).
std::vector<uint8_t> EncodeBmpExact(int width, int height, const std::vector<uint8_t>& rgb);

Status WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
Status WritePng(const std::filesystem::path& path, const Canvas& picture);

}  // namespace zan::assetgen
