// The BMP reader on arbitrary bytes: as a bitmap, as a picture loaded into a 16-bit and a
// 32-bit surface, and as a mask plane.

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/ErrorLog.h"
#include "graphics/AlphaPlane.h"
#include "graphics/DIB.h"
#include "graphics/DirectDrawSurface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::ErrorLog().SetEcho(false);
    return true;
  }();
  (void)quiet;
  const std::span<const uint8_t> file(data, size);
  zan::CDIB dib;
  if (dib.CreateFromBMP(file) == 0) {
    zan::CAlphaPlane mask;
    mask.FromPixels24(dib.Pixels());
  }
  static const zan::DisplayDevice device;
  for (int32_t format : {565, 8888}) {
    zan::CDirectDrawSurface surface;
    surface.LoadBMPOnDevice(&device, file, "fuzz.bmp", zan::DDSCAPS_SYSTEMMEMORY, format);
  }
  return 0;
}
