#pragma once
// Sdl2Window: the game window on an SDL2 video driver. SDL events become input events:
// keys (auto-repeat marked), buttons, pointer moves and the wheel in the game's pixels
// (the renderer's logical size), focus, the close box as a close request, a window that
// must be drawn again as kRedraw, and a quit request from the system (a signal) as kQuit.

#include <functional>
#include <string>

#include "platform/Window.h"

struct SDL_Renderer;
struct SDL_Window;
union SDL_Event;

namespace zan {

class Sdl2Window : public Window {
 public:
  Sdl2Window();
  ~Sdl2Window() override;

  bool Create(std::string_view titleSjis, int width, int height) override;
  void Destroy() override;
  bool IsCreated() const override { return window_ != nullptr; }
  void Show() override;
  void SetTitle(std::string_view titleSjis) override;
  std::string Title() const override { return title_; }
  void SetClientSize(int width, int height) override;
  void CentreOnScreen() override;
  void Minimise() override;
  void DisableTextInput() override;
  ScreenSize DesktopSize() const override;

  SDL_Window* Native() const { return window_; }
  // The renderer drawing into the window: pointer positions the renderer does not map itself
  // (the wheel's) are mapped through it, and `onDestroy` runs before the window goes.
  void SetRenderer(SDL_Renderer* renderer, std::function<void()> onDestroy);

  // Translates one SDL event into events on the queue (exposed for tests).
  void Translate(const SDL_Event& event);

 protected:
  void PumpEvents() override;

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  std::function<void()> onDestroy_;
  std::string title_;
};

}  // namespace zan
