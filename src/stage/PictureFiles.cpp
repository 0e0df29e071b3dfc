#include "stage/PictureFiles.h"

#include <vector>

#include "data/GameData.h"
#include "surface/AlphaPlane.h"
#include "surface/Bitmap.h"
#include "surface/Surface.h"

namespace zan {
namespace {

// Reads the picture's bytes and hands them to `decode` (true on success). `release` empties
// the target first.
template <class Release, class Decode>
bool LoadPicture(GameData& data, std::string_view name, Archive* archive, Release release,
                 Decode decode) {
  release();
  std::vector<uint8_t> bytes;
  if (!data.ReadPicture(name, archive, bytes)) return false;
  if (bytes.empty()) return true;  // in no picture archive
  return decode(bytes);
}

}  // namespace

bool LoadImageFile(GameData& data, std::string_view name, Surface& surface, Archive* archive) {
  return LoadPicture(
      data, name, archive, [&] { surface.Release(); },
      [&](const std::vector<uint8_t>& bytes) { return surface.LoadBMP(bytes, name); });
}

bool LoadMaskFile(GameData& data, std::string_view name, AlphaPlane& mask, Archive* archive) {
  return LoadPicture(
      data, name, archive, [&] { mask.Destroy(); },
      [&](const std::vector<uint8_t>& bytes) {
        Bitmap picture;
        return picture.ReadImage(bytes, name) == ReadResult::kOk &&
               mask.FromPixels24(picture.Pixels()) == CreatePixelsResult::kOk;
      });
}

bool LoadBitmapFile(GameData& data, std::string_view name, Bitmap& bitmap, Archive* archive) {
  return LoadPicture(
      data, name, archive, [&] { bitmap.Destroy(); },
      [&](const std::vector<uint8_t>& bytes) {
        return bitmap.ReadImage(bytes, name) == ReadResult::kOk;
      });
}

}  // namespace zan
