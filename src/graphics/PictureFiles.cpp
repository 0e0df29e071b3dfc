#include "graphics/PictureFiles.h"

#include <vector>

#include "data/GameData.h"
#include "graphics/AlphaPlane.h"
#include "graphics/DIB.h"
#include "graphics/DirectDrawSurface.h"

namespace zan {
namespace {

// Reads the picture's bytes and hands them to `decode` (0 on success). `release` empties
// the target first.
template <class Release, class Decode>
int32_t LoadPicture(CGameData& data, std::string_view name, CArchive* archive, Release release,
                    Decode decode) {
  release();
  std::vector<uint8_t> bytes;
  if (data.ReadPicture(name, archive, bytes) == 0) return 0;
  if (bytes.empty()) return 1;  // in no picture archive
  return decode(bytes) == 0 ? 1 : 0;
}

}  // namespace

int32_t LoadImageFile(CGameData& data, std::string_view name, CDirectDrawSurface& surface,
                      CArchive* archive) {
  return LoadPicture(
      data, name, archive, [&] { surface.Release(); },
      [&](const std::vector<uint8_t>& bytes) { return surface.LoadBMP(bytes, name); });
}

int32_t LoadMaskFile(CGameData& data, std::string_view name, CAlphaPlane& mask, CArchive* archive) {
  return LoadPicture(
      data, name, archive, [&] { mask.Destroy(); },
      [&](const std::vector<uint8_t>& bytes) {
        CDIB picture;
        if (picture.ReadImage(bytes, name) != 0) return 1;
        return mask.FromPixels24(picture.Pixels());
      });
}

int32_t LoadDibFile(CGameData& data, std::string_view name, CDIB& bitmap, CArchive* archive) {
  return LoadPicture(
      data, name, archive, [&] { bitmap.Destroy(); },
      [&](const std::vector<uint8_t>& bytes) { return bitmap.ReadImage(bytes, name); });
}

}  // namespace zan
