#include "surface/Surface.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "pixels/Blend.h"
#include "surface/SurfaceFormat.h"
#include "pixels/PixelOps.h"
#include "pixels/ZoomPixels.h"

namespace zan {
namespace {

// The pixels of a surface for one operation; false without a pixel address.
class Locked {
 public:
  explicit Locked(Surface& surface) : surface_(surface), bits_(surface.Bits()) {}
  explicit operator bool() const { return bits_ != nullptr; }
  PixelRows View() const {
    return PixelRows{bits_, surface_.Pitch(), surface_.Width(), surface_.Height()};
  }

 private:
  Surface& surface_;
  uint8_t* bits_;
};

bool SameFormat(const Surface& a, const Surface& b) {
  return a.FormatCode() == b.FormatCode();
}

}  // namespace

Surface::Surface() { SetName("CDirectDrawSurface"); }

Surface::~Surface() { Release(); }

// --- Creation --------------------------------------------------------------------------------

bool Surface::Create(int32_t width, int32_t height) {
  if (CreateInFormat(width, height, SurfaceFormatCode()) != CreatePixelsResult::kOk) return false;
  ClearDirty();
  return true;
}

void Surface::TakeDescription(DeviceSurface* surface) {
  const PixelRows memory = surface->Memory();
  cachedBits_ = memory.bits;
  desc_ = Description{memory.width, memory.height - 2, memory.pitch, memory.bits};
}

CreatePixelsResult Surface::CreateInFormat(int32_t width, int32_t height, int32_t formatCode) {
  if (formatCode == kFormatBitmap) {
    formatCode_ = kFormatBitmap;
    return Bitmap::Create(width, height, 1, 24) ? CreatePixelsResult::kOk
                                                : CreatePixelsResult::kBitmapUnavailable;
  }
  if (Device() != nullptr) return CreatePixelsResult::kAlreadyCreated;
  if (!IsDeviceFormat(formatCode) || height <= 0) return CreatePixelsResult::kUnavailable;
  owned_ = DeviceSurface::Make(width, height + 2, BytesPerPixel(formatCode));
  if (!owned_) return CreatePixelsResult::kUnavailable;
  Alpha().Create(width, height);
  SetHasAlpha(1);
  formatCode_ = formatCode;
  TakeDescription(owned_.get());
  ClearDirty();
  return CreatePixelsResult::kOk;
}

bool Surface::LoadBMP(std::span<const uint8_t> file, std::string_view name) {
  if (!LoadBMPInFormat(file, name, SurfaceFormatCode())) return false;
  ClearDirty();
  return true;
}

bool Surface::LoadBMPInFormat(std::span<const uint8_t> file, std::string_view name,
                              int32_t formatCode) {
  if (formatCode == kFormatBitmap) {
    formatCode_ = kFormatBitmap;
    return ReadImage(file, name) == ReadResult::kOk;
  }
  if (Device() != nullptr) return false;
  Bitmap picture;
  if (picture.ReadImage(file, name) != ReadResult::kOk) return false;
  return LoadPicture(picture, name, formatCode);
}

bool Surface::LoadPicture(const Bitmap& picture, std::string_view name, int32_t formatCode) {
  if (!IsDeviceFormat(formatCode)) return false;
  const int32_t w = picture.BitmapWidth();
  const int32_t h = picture.BitmapHeight();
  owned_ = DeviceSurface::Make(w, h + 2, BytesPerPixel(formatCode));
  if (!owned_) return false;
  formatCode_ = formatCode;
  TakeDescription(owned_.get());
  ConvertPixels(formatCode, View(), kFormatBitmap, picture.Pixels());
  Alpha().Destroy();
  Alpha().Create(w, h);
  if (picture.HasAlpha()) {
    SetHasAlpha(1);
    Alpha().CopyRaw(std::span<const uint8_t>(picture.Alpha().Data(), static_cast<size_t>(w) * h));
  } else {
    SetHasAlpha(0);
  }
  fileName_ = std::string(name);
  ClearDirty();
  return true;
}

void Surface::Attach(DeviceSurface* surface, int32_t formatCode) {
  if (surface == nullptr) return;
  owned_.reset();
  attached_ = surface;
  TakeDescription(surface);
  formatCode_ = formatCode;
}

void Surface::Release() {
  if (!IsDeviceMode()) Bitmap::Destroy();
  Alpha().Destroy();
  fileName_.clear();
  owned_.reset();
  attached_ = nullptr;
  cachedBits_ = nullptr;
  desc_ = {};
}

// --- Pixels ----------------------------------------------------------------------------------

uint8_t* Surface::Bits() { return IsDeviceMode() ? cachedBits_ : BitmapBits(); }

PixelRows Surface::View() const {
  if (!IsDeviceMode()) return Pixels();
  if (Device() == nullptr) return {};
  return PixelRows{cachedBits_, desc_.pitch, desc_.width, desc_.height};
}

int32_t Surface::Width() const { return IsDeviceMode() ? desc_.width : BitmapWidth(); }
int32_t Surface::Height() const { return IsDeviceMode() ? desc_.height : BitmapHeight(); }
int32_t Surface::Pitch() const { return IsDeviceMode() ? desc_.pitch : BitmapPitch(); }

const std::string& Surface::GetFileName() const {
  return IsDeviceMode() ? fileName_ : BitmapFileName();
}

DrawResult Surface::Fill(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t r,
                         uint8_t g, uint8_t b) {
  if (!IsDeviceMode()) {
    Bitmap::Fill(x, y, width, height, r, g, b);
    return DrawResult::kOk;
  }
  if (Device() == nullptr) return DrawResult::kNoPixelMemory;
  Locked lock(*this);
  if (!lock) return DrawResult::kNoPixels;
  auto c = ClipFill(x, y, width, height, Width(), Height());
  if (!c) return DrawResult::kClippedAway;
  AddDirtyRect(c->dx, c->dy, c->width, c->height);
  FillPixels(formatCode_, lock.View(), *c, {r, g, b});
  return DrawResult::kOk;
}

DrawResult Surface::FillAll(uint8_t r, uint8_t g, uint8_t b) {
  return Fill(0, 0, Width(), Height(), r, g, b);
}

DrawResult Surface::Blt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                        Surface& source, int32_t sx, int32_t sy, int32_t mode) {
  if (!IsDeviceMode()) {
    if (source.IsDeviceMode()) return DrawResult::kOtherFormat;
    return Bitmap::Blt(dx, dy, width, height, source, sx, sy, mode);
  }
  if (Device() == nullptr || source.Device() == nullptr) return DrawResult::kNoPixelMemory;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  std::optional<ClippedCopy> c;
  {
    Locked to(*this);
    Locked from(source);
    if (!to || !from) return DrawResult::kNoPixels;
    c = ClipCopy(dx, dy, width, height, Width(), Height(), sx, sy, source.Width(), source.Height());
    if (!c) return DrawResult::kClippedAway;
    if (mode != 2) {
      AddDirtyRect(c->dx, c->dy, c->width, c->height);
      if (mode == 0) {
        CopyPixels(formatCode_, to.View(), from.View(), *c);
      } else {
        KeyedCopyPixels(formatCode_, to.View(), from.View(), *c);
      }
      return DrawResult::kOk;
    }
  }
  AddDirtyRect(c->dx, c->dy, c->width, c->height);
  InnerAlphaBlt(c->dx, c->dy, c->width, c->height, source, c->sx, c->sy);
  return DrawResult::kOk;
}

DrawResult Surface::StretchBlt(int32_t dx, int32_t dy, int32_t dw, int32_t dh,
                               Surface& source, int32_t sx, int32_t sy,
                               int32_t sw, int32_t sh) {
  if (dw < 1 || dh < 1 || sw < 1 || sh < 1) return DrawResult::kEmpty;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  // Clipped in destination scale, then taken back to the source part that maps onto it.
  const double rx = static_cast<double>(dw) / sw;
  const double ry = static_cast<double>(dh) / sh;
  auto scaled = [](double v) { return static_cast<int64_t>(std::trunc(v)); };
  auto c = ClipCopy(dx, dy, dw, dh, Width(), Height(), scaled(sx * rx), scaled(sy * ry),
                    scaled(source.Width() * rx), scaled(source.Height() * ry));
  if (!c) return DrawResult::kClippedAway;
  PixelBox from{static_cast<int32_t>(std::trunc(c->sx / rx)), static_cast<int32_t>(std::trunc(c->sy / ry)),
                static_cast<int32_t>(std::trunc(c->width / rx)),
                static_cast<int32_t>(std::trunc(c->height / ry))};
  // Rounding must never reach past the source.
  from.width = std::min(from.width, source.Width() - from.x);
  from.height = std::min(from.height, source.Height() - from.y);
  if (from.width < 1 || from.height < 1) return DrawResult::kClippedAway;
  Locked to(*this);
  Locked fromLock(source);
  if (!to || !fromLock) return DrawResult::kNoPixels;
  StretchPixels(formatCode_, to.View(), PixelBox{c->dx, c->dy, c->width, c->height},
                fromLock.View(), from);
  return DrawResult::kOk;
}

bool Surface::CopyFromBitmap(const Bitmap& bitmap) {
  if (bitmap.BitmapWidth() != Width() || bitmap.BitmapHeight() != Height()) return false;
  Locked lock(*this);
  if (!lock || !bitmap.IsCreated()) return false;
  dirty_ = DirtyRect{0, 0, Width(), Height()};
  ConvertPixels(formatCode_, lock.View(), kFormatBitmap, bitmap.Pixels());
  return true;
}

bool Surface::Save(std::string_view path) {
  if (!IsDeviceMode()) return SaveBMP(path);
  if (Device() == nullptr) return false;
  Bitmap copy;
  return copy.Create(Width(), Height(), 1, 24) && copy.CopyFromSurface(*this) && copy.SaveBMP(path);
}

// --- Blending --------------------------------------------------------------------------------

DrawResult Surface::InnerAlphaBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                  Surface& source, int32_t sx, int32_t sy) {
  if (&source == this) return DrawResult::kSameSurface;
  if (!SameFormat(*this, source) || !source.Alpha().IsAllocated()) return DrawResult::kOk;
  Locked to(*this);
  Locked from(source);
  if (!to || !from) return DrawResult::kOk;
  // Callers pass a clipped rectangle; clipping again keeps a careless one inside both.
  auto c = ClipCopy(dx, dy, width, height, Width(), Height(), sx, sy, source.Width(), source.Height());
  if (c) AlphaBlendPixels(formatCode_, to.View(), from.View(), source.Alpha().View(), *c);
  return DrawResult::kOk;
}

DrawResult Surface::BitBltAlpha(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                Surface& source, int32_t sx, int32_t sy,
                                uint8_t opacity) {
  if (&source == this) return DrawResult::kSameSurface;
  if (!IsDeviceMode()) {
    static const std::string message =
        Sjis("CDirectDrawSurface::BitBltAlpha(MMX off)で謎のピクセルフォーマットが…");
    Diagnostics().LogText(LogLevel::kWarning, message);
    return DrawResult::kOk;
  }
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  if (!source.Alpha().IsAllocated()) return DrawResult::kNoAlpha;
  Locked to(*this);
  Locked from(source);
  if (!to || !from) return DrawResult::kNoPixels;
  auto c = ClipCopy(dx, dy, width, height, Width(), Height(), sx, sy, source.Width(), source.Height());
  if (!c) return DrawResult::kClippedAway;
  OpacityBlendPixels(formatCode_, to.View(), from.View(), source.Alpha().View(), *c, opacity);
  return DrawResult::kOk;
}

void Surface::CrossFade(Surface& first, int32_t x, int32_t y, int32_t width,
                                   int32_t height, Surface& second, int32_t x2,
                                   int32_t y2, uint8_t level) {
  if (level == 0) return;
  if (level == 255) {
    Blt(x, y, width, height, second, x2, y2, 0);
    return;
  }
  if (!SameFormat(*this, first) || !SameFormat(*this, second)) return;
  Locked out(*this);
  Locked a(first);
  Locked b(second);
  if (!out || !a || !b) return;
  // The rectangle inside this surface and the first, then inside the second.
  auto one = ClipCopy(x, y, width, height, Width(), Height(), x, y, first.Width(), first.Height());
  if (!one) return;
  auto two = ClipCopy(one->dx, one->dy, one->width, one->height, Width(), Height(),
                      int64_t{x2} + (one->dx - x), int64_t{y2} + (one->dy - y), second.Width(),
                      second.Height());
  if (!two) return;
  AddDirtyRect(two->dx, two->dy, two->width, two->height);
  CrossFadePixels(formatCode_, out.View(), a.View(), b.View(),
                  TripleRect{two->dx, two->dy, two->sx, two->sy, two->width, two->height}, level);
}

DrawResult Surface::MaskBlend(Surface& first, Surface& second, const AlphaPlane& mask) {
  if (!SameFormat(*this, first) || !SameFormat(*this, second)) return DrawResult::kOtherFormat;
  Locked out(*this);
  Locked a(first);
  Locked b(second);
  if (!out || !a || !b || !mask.IsAllocated()) return DrawResult::kNoPixels;
  const int32_t w = std::min({first.Width(), Width(), second.Width(), mask.Width()});
  const int32_t h = std::min({first.Height(), Height(), second.Height(), mask.Height()});
  if (w <= 0 || h <= 0) return DrawResult::kOk;
  AddDirty(0, 0, w, h);
  MaskBlendPixels(formatCode_, out.View(), a.View(), b.View(), mask.View(), w, h);
  return DrawResult::kOk;
}

DrawResult Surface::ColorBlend(uint8_t amount, uint8_t r, uint8_t g, uint8_t b) {
  Locked lock(*this);
  if (!lock) return DrawResult::kNoPixels;
  ColorBlendPixels(formatCode_, lock.View(), ClippedCopy{0, 0, 0, 0, Width(), Height()}, amount,
                   {r, g, b});
  return DrawResult::kOk;
}

DrawResult Surface::FillBlend(int32_t x, int32_t y, int32_t width, int32_t height,
                              uint8_t amount, uint8_t r, uint8_t g, uint8_t b) {
  Locked lock(*this);
  if (!lock) return DrawResult::kNoPixels;
  auto c = ClipFill(x, y, width, height, Width(), Height());
  if (!c) return DrawResult::kClippedAway;
  ColorBlendPixels(formatCode_, lock.View(), *c, amount, {r, g, b});
  return DrawResult::kOk;
}

DrawResult Surface::ScreenBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                              Surface& source, int32_t sx, int32_t sy) {
  Locked to(*this);
  if (!to) return DrawResult::kNoPixels;
  Locked from(source);
  if (!from) return DrawResult::kNoPixels;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  auto c = ClipCopy(dx, dy, width, height, Width(), Height(), sx, sy, source.Width(), source.Height());
  if (!c) return DrawResult::kClippedAway;
  ScreenPixels(formatCode_, to.View(), from.View(), *c);
  return DrawResult::kOk;
}

DrawResult Surface::KeyReplaceBlt(int32_t dx, int32_t dy, int32_t width, int32_t height,
                                  Surface& source, int32_t sx, int32_t sy,
                                  uint8_t r, uint8_t g, uint8_t b) {
  if (IsDeviceMode() && (Device() == nullptr || source.Device() == nullptr))
    return DrawResult::kNoPixelMemory;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  Locked to(*this);
  Locked from(source);
  if (!to || !from) return DrawResult::kNoPixels;
  auto c = ClipCopy(dx, dy, width, height, Width(), Height(), sx, sy, source.Width(), source.Height());
  if (!c) return DrawResult::kClippedAway;
  AddDirtyRect(c->dx, c->dy, c->width, c->height);
  KeyReplacePixels(formatCode_, to.View(), from.View(), *c, {r, g, b});
  return DrawResult::kOk;
}

void Surface::Invert() {
  Locked lock(*this);
  if (lock) InvertPixels(formatCode_, lock.View());
}

void Surface::Mono() {
  Locked lock(*this);
  if (lock) MonoPixels(formatCode_, lock.View());
}

DrawResult Surface::Noise(int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!IsDeviceMode()) return DrawResult::kOk;
  Locked lock(*this);
  if (!lock) return DrawResult::kNoPixels;
  if (auto c = ClipFill(x, y, width, height, Width(), Height()))
    NoisePixels(formatCode_, lock.View(), *c);
  return DrawResult::kOk;
}

// --- Scaled copies ---------------------------------------------------------------------------

namespace {

// Source steps in 16.16 fixed point: the source size over the scaled size.
uint64_t ZoomStep(int64_t sourceSize, int64_t scaledSize) {
  return (static_cast<uint64_t>(sourceSize) << 16) / static_cast<uint64_t>(scaledSize);
}

PlaneRows WritablePlane(AlphaPlane& plane) {
  return plane.IsAllocated() ? PlaneRows{plane.Data(), plane.Width()} : PlaneRows{};
}

}  // namespace

DrawResult Surface::ZoomAlphaBlt(int32_t x, int32_t y, Surface& source, int64_t scale) {
  const int64_t width = scale * source.Width() / 1024;
  const int64_t height = scale * source.Height() / 1024;
  if (width <= 0 || height <= 0) return DrawResult::kEmpty;
  if (&source == this) return DrawResult::kSameSurface;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  Locked to(*this);
  if (!to) return DrawResult::kNoPixels;
  if (!Alpha().IsAllocated()) return DrawResult::kNoAlpha;
  Locked from(source);
  if (!from) return DrawResult::kNoPixels;
  if (!source.Alpha().IsAllocated()) return DrawResult::kNoAlpha;
  auto c = ClipRectangle(x, y, width, height, Width(), Height());
  if (!c) return DrawResult::kClippedAway;
  ZoomMap map{c->x, c->y, c->width, c->height, c->offsetX, c->offsetY,
              ZoomStep(source.Width(), width), ZoomStep(source.Height(), height), ZoomKind::kAlpha, 255};
  ZoomPixels(formatCode_, to.View(), WritablePlane(Alpha()), from.View(), source.Alpha().View(), map);
  return DrawResult::kOk;
}

DrawResult Surface::ZoomBlendBlt(int32_t x, int32_t y, Surface& source,
                                 int32_t sx, int32_t sy, int32_t width, int32_t height,
                                 int64_t scale, int32_t opacity) {
  if (!IsDeviceMode() || opacity < 1 || opacity > 255) return DrawResult::kOk;
  if (&source == this) return DrawResult::kSameSurface;
  if (!SameFormat(*this, source)) return DrawResult::kOtherFormat;
  // The source rectangle is cut to the source; one that starts outside it holds nothing.
  if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height()) return DrawResult::kEmpty;
  const int64_t w = std::min<int64_t>(width, source.Width() - sx);
  const int64_t h = std::min<int64_t>(height, source.Height() - sy);
  const int64_t scaledW = static_cast<int64_t>(static_cast<double>(w) * static_cast<double>(scale) / 1024.0);
  const int64_t scaledH = static_cast<int64_t>(static_cast<double>(h) * static_cast<double>(scale) / 1024.0);
  if (w <= 0 || h <= 0 || scaledW <= 0 || scaledH <= 0) return DrawResult::kEmpty;
  Locked to(*this);
  if (!to) return DrawResult::kOk;
  Locked from(source);
  if (!from) return DrawResult::kNoPixels;
  if (!source.Alpha().IsAllocated()) return DrawResult::kNoAlpha;
  auto c = ClipRectangle(x, y, scaledW, scaledH, Width(), Height());
  if (!c) return DrawResult::kClippedAway;
  // The rectangle's place in the scaled source, so that the clipped pixels read on from it.
  const int64_t originX = int64_t{sx} * scale / 1024;
  const int64_t originY = int64_t{sy} * scale / 1024;
  ZoomMap map{c->x, c->y, c->width, c->height, originX + c->offsetX, originY + c->offsetY,
              ZoomStep(w, scaledW), ZoomStep(h, scaledH), ZoomKind::kBlend, static_cast<uint8_t>(opacity)};
  ZoomPixels(formatCode_, to.View(), PlaneRows{}, from.View(), source.Alpha().View(), map);
  return DrawResult::kOk;
}

DrawResult Surface::ShowPlane(int32_t x, int32_t y, int32_t width, int32_t height,
                              const AlphaPlane& plane, int32_t px, int32_t py) {
  if (!IsDeviceMode()) return DrawResult::kOk;
  Locked to(*this);
  if (!to) return DrawResult::kNoPixels;
  if (!plane.IsAllocated()) return DrawResult::kOk;
  if (auto c = ClipCopy(x, y, width, height, Width(), Height(), px, py, plane.Width(), plane.Height()))
    ShowPlanePixels(formatCode_, to.View(), c->dx, c->dy, c->width, c->height, plane.View(), c->sx, c->sy);
  return DrawResult::kOk;
}

// --- Dirty rectangle -------------------------------------------------------------------------

void Surface::AddDirty(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (dirty_.Empty()) {
    dirty_ = DirtyRect{left, top, right, bottom};
    return;
  }
  dirty_.left = std::min(dirty_.left, left);
  dirty_.top = std::min(dirty_.top, top);
  dirty_.right = std::max(dirty_.right, right);
  dirty_.bottom = std::max(dirty_.bottom, bottom);
}

}  // namespace zan
