#pragma once
// SurfaceRegistry: the display device, the display's pixel-format code, and the registry
// of every surface that must be made again when the device loses it. One process-wide
// object (Surfaces()); surfaces register themselves when created or loaded and
// leave when released.

#include <cstdint>
#include <optional>
#include <vector>

#include "surface/DeviceSurface.h"
#include "platform/EventReceiver.h"
#include "platform/Presenter.h"

namespace zan {

class Archive;
class Surface;

// The pixel-format code of a display format: 8888, 888, 565 or 555 for the four layouts
// (bit count and channel masks), 0 for anything else.
int32_t PixelFormatCodeOf(const DisplayPixelFormat& format);
// The display format of a device format code (the 32-bit layout for anything else).
DisplayPixelFormat DisplayFormatOf(int32_t code);

class SurfaceRegistry : public EventReceiver {
 public:
  SurfaceRegistry();

  // Sets up the device over the presenter: 0, or the failure's code. Logs each step; with
  // gdiOnly set there is no device (the display falls back to format code 0).
  int32_t Init(Presenter* presenter, int32_t gdiOnly);
  // The display is going away: no device, no presenter, an empty registry, code 0.
  void Shutdown();

  const DisplayDevice* Device() const { return device_ ? &*device_ : nullptr; }
  Presenter* GetPresenter() const { return presenter_; }
  bool IsGdiOnly() const { return gdiOnly_ != 0; }
  int32_t GetPixelFormatCode() const { return formatCode_; }
  void SetPixelFormatCode(int32_t code) { formatCode_ = code; }
  // The picture archive (slot 1) that pictures are loaded again from after a display change.
  void SetPictureArchive(const Archive* archive) { pictureArchive_ = archive; }

  // Makes `primary` the wrapper of the screen: opens the presenter at width x height, takes
  // the display's pixel-format code, creates the screen's surface and registers it. 0, or
  // the failure's code (the format code then stays 0).
  int32_t CreatePrimary(Surface& primary, int32_t width, int32_t height);

  void Register(Surface* surface);
  void Unregister(const Surface* surface);
  void ClearRegistry() { registry_.clear(); }
  bool IsRegistered(const Surface* surface) const;
  size_t RegisteredCount() const { return registry_.size(); }

  // Every registered surface whose Restore fails is made again: the primary by the display,
  // a picture by loading its file again, any other surface blank at its size.
  void RestoreLostSurfaces();
  // After a display change: every registered surface gets a new device surface; pictures
  // are loaded again from the picture archive, other surfaces are blank.
  void ReloadAllSurfaces();

 private:
  std::optional<DisplayDevice> device_;
  Presenter* presenter_ = nullptr;
  const Archive* pictureArchive_ = nullptr;
  int32_t formatCode_ = 0;
  int32_t gdiOnly_ = 0;
  int32_t primaryWidth_ = 0;
  int32_t primaryHeight_ = 0;
  std::vector<Surface*> registry_;
};

SurfaceRegistry& Surfaces();

}  // namespace zan
