#include "surface/SurfaceRegistry.h"

#include <algorithm>
#include <string>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "surface/Surface.h"
#include "pixels/PixelFormat.h"

namespace zan {

int32_t PixelFormatCodeOf(const DisplayPixelFormat& f) {
  const bool rgb8 = f.redMask == 0xFF0000 && f.greenMask == 0x00FF00 && f.blueMask == 0x0000FF;
  if (f.bitsPerPixel == 32 && rgb8) return kFormat8888;
  if (f.bitsPerPixel == 24 && rgb8) return kFormat888;
  if (f.bitsPerPixel == 16 && f.redMask == 0xF800 && f.greenMask == 0x07E0 && f.blueMask == 0x001F)
    return kFormat565;
  if (f.bitsPerPixel == 16 && f.redMask == 0x7C00 && f.greenMask == 0x03E0 && f.blueMask == 0x001F)
    return kFormat555;
  return kFormatBitmap;
}

DisplayPixelFormat DisplayFormatOf(int32_t code) {
  switch (code) {
    case kFormat888: return {24, 0xFF0000, 0x00FF00, 0x0000FF};
    case kFormat565: return {16, 0xF800, 0x07E0, 0x001F};
    case kFormat555: return {16, 0x7C00, 0x03E0, 0x001F};
    default: return {32, 0xFF0000, 0x00FF00, 0x0000FF};
  }
}

SurfaceRegistry::SurfaceRegistry() : EventReceiver("CDirectDrawManager") {}

int32_t SurfaceRegistry::Init(Presenter* presenter, int32_t gdiOnly) {
  static const std::string failed = Sjis("DirectDrawManagerの初期化に失敗");
  Diagnostics().LogText(LogLevel::kDebug, "CDirectDrawManager::Init()");
  device_.reset();
  registry_.clear();
  presenter_ = presenter;
  formatCode_ = kFormatBitmap;
  gdiOnly_ = gdiOnly != 0 ? 1 : 0;
  if (gdiOnly_) {
    Diagnostics().LogText(LogLevel::kWarning, failed);
    return DDERR_GENERIC;
  }
  // The device is this process's software device; it exists whenever there is a screen to
  // present to.
  const int32_t created = presenter != nullptr ? DD_OK : DDERR_GENERIC;
  ZAN_DEBUG("DirectDrawCreate = %d", created);
  if (created != DD_OK) {
    Diagnostics().LogText(LogLevel::kWarning, DeviceErrorName(created));
    Diagnostics().LogText(LogLevel::kWarning, failed);
    return created;
  }
  device_.emplace();
  ZAN_DEBUG("SetCooperativeLevel = %d", DD_OK);
  return DD_OK;
}

void SurfaceRegistry::Shutdown() {
  device_.reset();
  presenter_ = nullptr;
  pictureArchive_ = nullptr;
  registry_.clear();
  formatCode_ = kFormatBitmap;
  gdiOnly_ = 0;
}

int32_t SurfaceRegistry::CreatePrimary(Surface& primary, int32_t width,
                                          int32_t height) {
  static const std::string failed = Sjis("PrimarySurfaceの作成に失敗");
  if (!device_ || presenter_ == nullptr || !presenter_->Open(width, height)) {
    Diagnostics().LogText(LogLevel::kWarning, failed);
    return DDERR_GENERIC;
  }
  ZAN_DEBUG("CreateClipper = %d", DD_OK);
  ZAN_DEBUG("SetHWnd = %d", DD_OK);
  formatCode_ = PixelFormatCodeOf(presenter_->DisplayFormat());
  primaryWidth_ = width;
  primaryHeight_ = height;
  primary.SetDisplaySurface(true);
  // A display in no known layout has no surface this program can draw to.
  if (formatCode_ == kFormatBitmap) return DD_OK;
  if (primary.Device() == nullptr) {
    const int32_t result =
        primary.CreateOnDevice(&*device_, width, height, DDSCAPS_VIDEOMEMORY, formatCode_);
    if (result != 0) {
      Diagnostics().LogText(LogLevel::kWarning, failed);
      formatCode_ = kFormatBitmap;
      return result;
    }
  }
  Register(&primary);
  return DD_OK;
}

void SurfaceRegistry::Register(Surface* surface) {
  if (!IsRegistered(surface)) registry_.push_back(surface);
}

void SurfaceRegistry::Unregister(const Surface* surface) {
  registry_.erase(std::remove(registry_.begin(), registry_.end(), surface), registry_.end());
}

bool SurfaceRegistry::IsRegistered(const Surface* surface) const {
  return std::find(registry_.begin(), registry_.end(), surface) != registry_.end();
}

void SurfaceRegistry::RestoreLostSurfaces() {
  if (formatCode_ == kFormatBitmap) return;
  Diagnostics().LogText(LogLevel::kDebug, "check surface lost");
  // A snapshot: making a surface again registers it anew.
  const std::vector<Surface*> surfaces = registry_;
  for (Surface* s : surfaces) {
    if (!IsRegistered(s) || s->Restore() == 0) continue;
    if (s->IsDisplaySurface()) {
      s->Release();
      CreatePrimary(*s, primaryWidth_, primaryHeight_);
      continue;
    }
    const std::string name = s->GetFileName();
    const int32_t w = s->Width();
    const int32_t h = s->Height();
    const uint32_t kind = s->MemoryKind();
    s->Release();
    if (!name.empty()) {
      s->Load(name);
    } else if (s->CreateOnDevice(Device(), w, h, kind, formatCode_) == 0) {
      Register(s);
    }
  }
}

void SurfaceRegistry::ReloadAllSurfaces() {
  if (formatCode_ == kFormatBitmap) return;
  Diagnostics().LogText(LogLevel::kDebug, "CDirectDrawManager::Reload");
  const std::vector<Surface*> surfaces = registry_;
  for (Surface* s : surfaces) {
    if (!IsRegistered(s)) continue;
    const std::string name = s->GetFileName();
    const int32_t w = s->Width();
    const int32_t h = s->Height();
    const uint32_t kind = s->MemoryKind();
    s->ReleaseDevice();
    if (s->IsDisplaySurface()) {
      CreatePrimary(*s, primaryWidth_, primaryHeight_);
    } else if (!name.empty()) {
      s->LoadOnDevice(Device(), name, kind, formatCode_, pictureArchive_);
    } else {
      s->CreateOnDevice(Device(), w, h, kind, formatCode_);
    }
  }
}

SurfaceRegistry& Surfaces() {
  static SurfaceRegistry manager;
  return manager;
}

}  // namespace zan
