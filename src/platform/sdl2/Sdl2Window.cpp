#include "platform/sdl2/Sdl2Window.h"

#include <SDL.h>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/sdl2/Sdl2Keys.h"

namespace zan {
Sdl2Window::Sdl2Window() = default;

Sdl2Window::~Sdl2Window() { Destroy(); }

bool Sdl2Window::Create(std::string_view titleSjis, int width, int height) {
  if (window_) return true;
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    ZAN_WARN("SDL video: %s", SDL_GetError());
    return false;
  }
  title_ = titleSjis;
  window_ = SDL_CreateWindow(SjisToUtf8(titleSjis).c_str(), SDL_WINDOWPOS_CENTERED,
                             SDL_WINDOWPOS_CENTERED, width, height, SDL_WINDOW_HIDDEN);
  if (!window_) {
    ZAN_WARN("SDL_CreateWindow: %s", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return false;
  }
  return true;
}

void Sdl2Window::SetRenderer(SDL_Renderer* renderer, std::function<void()> onDestroy) {
  renderer_ = renderer;
  onDestroy_ = std::move(onDestroy);
}

void Sdl2Window::Destroy() {
  if (!window_) return;
  if (onDestroy_) {
    auto onDestroy = std::move(onDestroy_);
    onDestroy();
  }
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void Sdl2Window::Show() {
  if (window_) SDL_ShowWindow(window_);
}

void Sdl2Window::SetTitle(std::string_view titleSjis) {
  title_ = titleSjis;
  if (window_) SDL_SetWindowTitle(window_, SjisToUtf8(titleSjis).c_str());
}

void Sdl2Window::SetClientSize(int width, int height) {
  if (window_) SDL_SetWindowSize(window_, width, height);
}

void Sdl2Window::CentreOnScreen() {
  if (window_) SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void Sdl2Window::Minimise() {
  if (window_) SDL_MinimizeWindow(window_);
}

void Sdl2Window::DisableTextInput() { SDL_StopTextInput(); }

ScreenSize Sdl2Window::DesktopSize() const {
  SDL_DisplayMode mode;
  int display = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return {800, 600};
  return {mode.w, mode.h};
}

void Sdl2Window::PumpEvents() {
  if (!window_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) Translate(event);
}

void Sdl2Window::Translate(const SDL_Event& event) {
  using Kind = InputEvent::Kind;
  switch (event.type) {
    case SDL_QUIT:
      queue_.PostQuit(0);
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          queue_.Post(InputEvent::Of(Kind::kCloseRequest));
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          queue_.Post(InputEvent::Of(Kind::kFocusGained));
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          queue_.Post(InputEvent::Of(Kind::kFocusLost));
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          queue_.Post(InputEvent::Of(Kind::kRedraw));
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const Key key = KeyFromSdl(event.key.keysym.sym);
      if (key == Key::kNone) break;
      queue_.Post(event.type == SDL_KEYDOWN ? InputEvent::KeyDown(key, event.key.repeat != 0)
                                            : InputEvent::KeyUp(key));
      break;
    }
    case SDL_MOUSEMOTION:
      queue_.Post(InputEvent::PointerMove(event.motion.x, event.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      PointerButton button;
      switch (event.button.button) {
        case SDL_BUTTON_LEFT: button = PointerButton::kLeft; break;
        case SDL_BUTTON_RIGHT: button = PointerButton::kRight; break;
        case SDL_BUTTON_MIDDLE: button = PointerButton::kMiddle; break;
        default: return;
      }
      queue_.Post(event.type == SDL_MOUSEBUTTONDOWN
                      ? InputEvent::ButtonDown(button, event.button.x, event.button.y)
                      : InputEvent::ButtonUp(button, event.button.x, event.button.y));
      break;
    }
    case SDL_MOUSEWHEEL: {
      int notches = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
      if (notches == 0) break;
      int x = event.wheel.mouseX;
      int y = event.wheel.mouseY;
      if (renderer_ != nullptr) {
        // The renderer maps motion and buttons to its logical size, but not the wheel.
        float lx = 0, ly = 0;
        SDL_RenderWindowToLogical(renderer_, x, y, &lx, &ly);
        x = static_cast<int>(lx);
        y = static_cast<int>(ly);
      }
      queue_.Post(InputEvent::Wheel(notches, x, y));
      break;
    }
    default:
      break;
  }
}

}  // namespace zan
