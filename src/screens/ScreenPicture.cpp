#include "screens/ScreenPicture.h"

#include "pixels/PixelFormat.h"
#include "stage/PictureFiles.h"

namespace zan {
namespace {

// The alpha plane of a keyed picture: 0 on the colour key, 255 elsewhere.
void AlphaFromKey(Surface& picture) {
  const PixelRows view = picture.View();
  AlphaPlane& alpha = picture.Alpha();
  alpha.Destroy();
  if (!view || alpha.Create(view.width, view.height) != CreatePixelsResult::kOk) return;
  WithFormat(picture.FormatCode(), [&]<class F>() {
    for (int32_t y = 0; y < view.height; ++y) {
      const uint8_t* from = view.Row(y);
      uint8_t* to = alpha.Row(y);
      for (int32_t x = 0; x < view.width; ++x) to[x] = F::IsKey(F::Load(from + x * F::kBytes)) ? 0 : 255;
    }
  });
}

}  // namespace

bool ScreenPicture::Load(GameData& data, std::string_view name) {
  Release();
  if (!LoadImageFile(data, name, pixels_) || Empty()) {
    Release();
    return false;
  }
  TakePixels();
  return true;
}

void ScreenPicture::TakePixels() {
  keyed_ = pixels_.HasAlpha() == 0;
  if (keyed_) AlphaFromKey(pixels_);
}

void ScreenPicture::Release() {
  pixels_.Release();
  keyed_ = false;
}

bool ScreenPicture::Empty() const { return !pixels_.View(); }

void ScreenPicture::DrawPart(Surface& target, int32_t x, int32_t y, int32_t width, int32_t height,
                             int32_t sx, int32_t sy, uint8_t opacity) {
  if (Empty() || opacity == 0) return;
  if (opacity == 255)
    target.Blt(x, y, width, height, pixels_, sx, sy, keyed_ ? 1 : 2);
  else
    target.BitBltAlpha(x, y, width, height, pixels_, sx, sy, opacity);
}

void ScreenPicture::DrawWhole(Surface& target, int32_t x, int32_t y) {
  if (!Empty()) target.Blt(x, y, Width(), Height(), pixels_, 0, 0, 0);
}

}  // namespace zan
