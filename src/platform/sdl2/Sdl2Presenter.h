#pragma once
// Sdl2Presenter: shows frames through an SDL renderer. The frame is uploaded into a streaming
// texture in the frame's own pixel format (SDL converts where the renderer needs it) and
// drawn scaled to the window's logical size of width x height: the picture fills the window,
// or in full screen (desktop full screen: the window takes the whole screen at the
// desktop's resolution) the screen with its aspect kept and black bars. The logical size
// also maps pointer positions back to the frame's pixels. Leaving full screen gives the
// window back its own size.
//
// Where no scaling is needed (the window at the frame's size) and the renderer is SDL's
// software one, which draws into the window's own surface, the changed rectangle is copied
// straight into that surface and only it goes to the screen: no texture, no copy of the
// whole frame, no clearing. The texture is made when the renderer first needs it.

#include <cstdint>

#include "platform/Presenter.h"

struct SDL_Rect;
struct SDL_Renderer;
struct SDL_Texture;

namespace zan {

class Sdl2Window;

class Sdl2Presenter : public Presenter {
 public:
  explicit Sdl2Presenter(Sdl2Window& window);
  ~Sdl2Presenter() override;

  DisplayPixelFormat DisplayFormat() const override { return format_; }
  void SetDisplayFormat(const DisplayPixelFormat& format) override { format_ = format; }
  bool Open(int32_t width, int32_t height) override;
  void Close() override;
  bool IsOpen() const override { return renderer_ != nullptr; }
  void Present(const FrameView& frame, const FrameRect& rect) override;
  uint32_t RefreshInterval() const override { return refreshInterval_; }
  bool SetFullScreen(bool on) override;
  bool IsFullScreen() const override { return fullScreen_; }

 private:
  // A texture for frames in `format`; false when SDL has none (logged).
  bool MakeTexture(const DisplayPixelFormat& format);
  // Copies `area` of the frame into the window's surface and shows it there; false where
  // the renderer must draw (scaled, or a renderer other than the software one).
  bool PresentToWindowSurface(const FrameView& frame, SDL_Rect area);

  Sdl2Window& window_;
  DisplayPixelFormat format_;
  DisplayPixelFormat textureFormat_;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool software_ = false;         // the renderer draws into the window's own surface
  bool textureCurrent_ = false;   // the texture holds the last frame shown
  bool surfaceCurrent_ = false;   // the window's surface holds the last frame shown
  int32_t width_ = 0;
  int32_t height_ = 0;
  bool fullScreen_ = false;
  uint32_t refreshInterval_ = 1000 / 60;  // ms, from the display's refresh rate
  int windowWidth_ = 0;  // the window's size before full screen
  int windowHeight_ = 0;
};

}  // namespace zan
