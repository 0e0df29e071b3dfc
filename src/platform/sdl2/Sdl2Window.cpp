#include "platform/sdl2/Sdl2Window.h"

#include <SDL.h>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/sdl2/Sdl2Keys.h"

namespace zan {
namespace {

uintptr_t MouseKeyFlags() {
  uint32_t buttons = SDL_GetMouseState(nullptr, nullptr);
  SDL_Keymod mods = SDL_GetModState();
  uintptr_t flags = 0;
  if (buttons & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
  if (buttons & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
  if (buttons & SDL_BUTTON_MMASK) flags |= MK_MBUTTON;
  if (mods & KMOD_SHIFT) flags |= MK_SHIFT;
  if (mods & KMOD_CTRL) flags |= MK_CONTROL;
  return flags;
}

}  // namespace

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
  switch (event.type) {
    case SDL_QUIT:
      queue_.PostQuit(0);
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          queue_.Post({WM_SYSCOMMAND, SC_CLOSE, 0});
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          queue_.Post({WM_ACTIVATEAPP, 1, 0});
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          queue_.Post({WM_ACTIVATEAPP, 0, 0});
          break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          queue_.Post({WM_PAINT, 0, 0});
          break;
        default:
          break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      uint32_t vk = VirtualKeyFromSdl(event.key.keysym.sym);
      if (vk == 0) break;
      intptr_t lParam = (event.type == SDL_KEYDOWN && event.key.repeat) ? kKeyRepeatFlag : 0;
      queue_.Post({event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, vk, lParam});
      break;
    }
    case SDL_MOUSEMOTION:
      queue_.Post({WM_MOUSEMOVE, MouseKeyFlags(), MakeLParam(event.motion.x, event.motion.y)});
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      bool down = event.type == SDL_MOUSEBUTTONDOWN;
      uint32_t message = 0;
      switch (event.button.button) {
        case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
        case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
        case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
        default: break;
      }
      if (message != 0)
        queue_.Post({message, MouseKeyFlags(), MakeLParam(event.button.x, event.button.y)});
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
      queue_.Post({WM_MOUSEWHEEL, MakeWheelWParam(notches * WHEEL_DELTA, MouseKeyFlags()),
                   MakeLParam(x, y)});
      break;
    }
    default:
      break;
  }
}

}  // namespace zan
