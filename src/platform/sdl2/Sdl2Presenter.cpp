#include "platform/sdl2/Sdl2Presenter.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "base/DiagnosticLog.h"
#include "platform/sdl2/Sdl2Window.h"

namespace zan {
namespace {

uint32_t SdlFormatOf(const DisplayPixelFormat& format) {
  return SDL_MasksToPixelFormatEnum(static_cast<int>(format.bitsPerPixel), format.redMask,
                                    format.greenMask, format.blueMask, 0);
}

}  // namespace

Sdl2Presenter::Sdl2Presenter(Sdl2Window& window) : window_(window) {}

Sdl2Presenter::~Sdl2Presenter() { Close(); }

bool Sdl2Presenter::Open(int32_t width, int32_t height) {
  if (renderer_ != nullptr && width == width_ && height == height_) return true;
  Close();
  SDL_Window* native = window_.Native();
  if (native == nullptr) return false;
  // Smooth scaling: a full screen is seldom a whole multiple of the game's size.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  // The software renderer on the window's own surface: frames change seldom and little, and
  // a GL driver would cost some 60 MiB and a quarter of a second to load (SDL_RENDER_DRIVER
  // in the environment still chooses another).
  SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  renderer_ = SDL_CreateRenderer(native, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(native, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    ZAN_WARN("SDL_CreateRenderer: %s", SDL_GetError());
    return false;
  }
  width_ = width;
  height_ = height;
  SDL_RenderSetLogicalSize(renderer_, width, height);
  SDL_DisplayMode mode;
  const int display = SDL_GetWindowDisplayIndex(native);
  if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate > 0)
    refreshInterval_ = 1000 / static_cast<uint32_t>(mode.refresh_rate);
  SDL_RendererInfo info;
  software_ = SDL_GetRendererInfo(renderer_, &info) == 0 && std::strcmp(info.name, "software") == 0;
  surfaceCurrent_ = false;
  // The software renderer shows unscaled frames without a texture; it makes one when first
  // scaling.
  if (software_ ? SdlFormatOf(format_) == SDL_PIXELFORMAT_UNKNOWN : !MakeTexture(format_)) {
    ZAN_WARN("SDL has no pixel format of %u bits a pixel, masks %X %X %X", format_.bitsPerPixel,
             format_.redMask, format_.greenMask, format_.blueMask);
    Close();
    return false;
  }
  window_.SetRenderer(renderer_, [this] { Close(); });
  return true;
}

bool Sdl2Presenter::MakeTexture(const DisplayPixelFormat& format) {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  textureCurrent_ = false;
  const uint32_t sdlFormat = SdlFormatOf(format);
  texture_ = sdlFormat == SDL_PIXELFORMAT_UNKNOWN
                 ? nullptr
                 : SDL_CreateTexture(renderer_, sdlFormat, SDL_TEXTUREACCESS_STREAMING, width_, height_);
  if (texture_ == nullptr) {
    ZAN_WARN("SDL_CreateTexture (%u bits a pixel): %s", format.bitsPerPixel, SDL_GetError());
    return false;
  }
  textureFormat_ = format;
  return true;
}

void Sdl2Presenter::Close() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (renderer_ != nullptr) window_.SetRenderer(nullptr, nullptr);
  texture_ = nullptr;
  renderer_ = nullptr;
  textureCurrent_ = false;
  surfaceCurrent_ = false;
}

void Sdl2Presenter::Present(const FrameView& frame, const FrameRect& rect) {
  if (renderer_ == nullptr || frame.pixels == nullptr) return;
  SDL_Rect area;
  area.x = std::max(rect.left, 0);
  area.y = std::max(rect.top, 0);
  area.w = std::min({rect.right, frame.width, width_}) - area.x;
  area.h = std::min({rect.bottom, frame.height, height_}) - area.y;
  if (PresentToWindowSurface(frame, area)) return;
  if ((!(frame.format == textureFormat_) || texture_ == nullptr) && !MakeTexture(frame.format)) return;
  if (!textureCurrent_) {
    // Frames went to the window's surface meanwhile, or the texture is new: all of it.
    area = SDL_Rect{0, 0, std::min(frame.width, width_), std::min(frame.height, height_)};
  }
  if (area.w > 0 && area.h > 0) {
    const int bytes = static_cast<int>(frame.format.bitsPerPixel / 8);
    SDL_UpdateTexture(texture_, &area, frame.pixels + static_cast<ptrdiff_t>(area.y) * frame.pitch + area.x * bytes,
                      frame.pitch);
  }
  textureCurrent_ = true;
  surfaceCurrent_ = false;
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

bool Sdl2Presenter::PresentToWindowSurface(const FrameView& frame, SDL_Rect area) {
  if (!software_) return false;
  SDL_Window* native = window_.Native();
  SDL_Surface* target = SDL_GetWindowSurface(native);
  if (target == nullptr || target->w != width_ || target->h != height_) {
    surfaceCurrent_ = false;
    return false;
  }
  if (!surfaceCurrent_) {
    // The renderer drew last, or the surface is new: all of the frame.
    area = SDL_Rect{0, 0, std::min(frame.width, width_), std::min(frame.height, height_)};
  }
  if (area.w > 0 && area.h > 0) {
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(frame.pixels), frame.width, frame.height,
        static_cast<int>(frame.format.bitsPerPixel), frame.pitch, SdlFormatOf(frame.format));
    if (source == nullptr) {
      ZAN_WARN("SDL_CreateRGBSurfaceWithFormatFrom: %s", SDL_GetError());
      return false;
    }
    SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
    SDL_Rect to = area;
    const bool copied = SDL_BlitSurface(source, &area, target, &to) == 0;
    SDL_FreeSurface(source);
    if (!copied) {
      ZAN_WARN("SDL_BlitSurface to the window: %s", SDL_GetError());
      surfaceCurrent_ = false;
      return false;
    }
    SDL_UpdateWindowSurfaceRects(native, &area, 1);
  }
  surfaceCurrent_ = true;
  textureCurrent_ = false;
  return true;
}

bool Sdl2Presenter::SetFullScreen(bool on) {
  SDL_Window* native = window_.Native();
  if (native == nullptr) return false;
  if (on == fullScreen_) return true;
  if (on) {
    // The window's own size, to go back to. The window first covers its display itself:
    // desktop full screen asks the window manager to do it, and an X server without one
    // leaves the window as it was while SDL takes it for the display's size (the picture
    // would be scaled for a screen the window does not cover).
    SDL_GetWindowSize(native, &windowWidth_, &windowHeight_);
    SDL_Rect bounds;
    const int display = SDL_GetWindowDisplayIndex(native);
    if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) == 0) {
      SDL_SetWindowBordered(native, SDL_FALSE);
      SDL_SetWindowPosition(native, bounds.x, bounds.y);
      SDL_SetWindowSize(native, bounds.w, bounds.h);
    }
  }
  const bool switched = SDL_SetWindowFullscreen(native, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
  if (!switched) ZAN_WARN("SDL_SetWindowFullscreen: %s", SDL_GetError());
  if (!on || !switched) {
    // Back to the window's own size and frame (the caller centres it).
    SDL_SetWindowBordered(native, SDL_TRUE);
    if (windowWidth_ > 0 && windowHeight_ > 0) SDL_SetWindowSize(native, windowWidth_, windowHeight_);
  }
  if (switched) fullScreen_ = on;
  surfaceCurrent_ = false;  // the window's surface is made anew for its new size
  return switched;
}

}  // namespace zan
