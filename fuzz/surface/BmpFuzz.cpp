// The BMP reader on arbitrary bytes: as a bitmap, as a picture loaded into a 16-bit and a
// 32-bit surface, and as a mask plane.

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/DiagnosticLog.h"
#include "surface/AlphaPlane.h"
#include "surface/Bitmap.h"
#include "surface/Surface.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool quiet = [] {
    zan::Diagnostics().SetEcho(false);
    return true;
  }();
  (void)quiet;
  const std::span<const uint8_t> file(data, size);
  zan::Bitmap bitmap;
  if (bitmap.CreateFromBMP(file) == zan::ReadResult::kOk) {
    zan::AlphaPlane mask;
    mask.FromPixels24(bitmap.Pixels());
  }
  for (int32_t format : {565, 8888}) {
    zan::Surface surface;
    surface.LoadBMPInFormat(file, "fuzz.bmp", format);
  }
  return 0;
}
