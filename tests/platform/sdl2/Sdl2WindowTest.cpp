// The SDL2 window's event translation on SDL's dummy video driver: SDL events in, the
// engine's input events out.

#include "platform/sdl2/Sdl2Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/GameWindow.h"

namespace zan {
namespace {

using Kind = InputEvent::Kind;

class Sdl2WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_TRUE(window.Create("test", 800, 600));
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    window.Queue().Clear();
  }
  uint32_t Id() { return SDL_GetWindowID(window.Native()); }
  SDL_Event Button(bool down, uint8_t button, int x, int y) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = Id();
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    return e;
  }
  SDL_Event KeyEvent(bool down, SDL_Keycode key, bool repeat = false) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = Id();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat ? 1 : 0;
    e.key.keysym.sym = key;
    return e;
  }
  SDL_Event WindowEvent(SDL_WindowEventID what) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = Id();
    e.window.event = what;
    return e;
  }
  std::vector<InputEvent> Taken() {
    std::vector<InputEvent> out;
    InputEvent e;
    while (window.TakeEvent(&e)) out.push_back(e);
    return out;
  }
  Sdl2Window window;
};

TEST_F(Sdl2WindowTest, SdlEventsBecomeTheEnginesEvents) {
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = Id();
  wheel.wheel.y = -2;
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;  // a flipped wheel: two notches away
  wheel.wheel.mouseX = 5;
  wheel.wheel.mouseY = 6;
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = Id();
  motion.motion.x = 12;
  motion.motion.y = 34;
  SDL_Event unknownKey = KeyEvent(true, SDLK_CAPSLOCK);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  const SDL_Event in[] = {
      KeyEvent(true, SDLK_RETURN),       KeyEvent(true, SDLK_KP_ENTER, true),
      KeyEvent(false, SDLK_F11),         KeyEvent(true, SDLK_s),
      KeyEvent(true, SDLK_7),            KeyEvent(true, SDLK_PAGEUP),
      KeyEvent(true, SDLK_RCTRL),        unknownKey,
      Button(true, SDL_BUTTON_LEFT, 1, 2), Button(false, SDL_BUTTON_RIGHT, 3, 4),
      Button(true, SDL_BUTTON_MIDDLE, 5, 6), Button(true, SDL_BUTTON_X1, 7, 8),
      motion,                            wheel,
      WindowEvent(SDL_WINDOWEVENT_CLOSE), WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST),
      WindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), WindowEvent(SDL_WINDOWEVENT_EXPOSED),
      quit,
  };
  for (const SDL_Event& e : in) window.Translate(e);
  const std::vector<InputEvent> out = Taken();
  ASSERT_EQ(out.size(), 17u);  // Caps Lock and the fifth button are of no use to the game
  EXPECT_TRUE(out[0].IsKey(Kind::kKeyDown, Key::kReturn));
  EXPECT_FALSE(out[0].repeat);
  EXPECT_TRUE(out[1].IsKey(Kind::kKeyDown, Key::kReturn));
  EXPECT_TRUE(out[1].repeat);
  EXPECT_TRUE(out[2].IsKey(Kind::kKeyUp, Key::kF11));
  EXPECT_TRUE(out[3].IsKey(Kind::kKeyDown, Key::kS));
  EXPECT_TRUE(out[4].IsKey(Kind::kKeyDown, Key::k7));
  EXPECT_TRUE(out[5].IsKey(Kind::kKeyDown, Key::kPageUp));
  EXPECT_TRUE(out[6].IsKey(Kind::kKeyDown, Key::kControl));
  EXPECT_TRUE(out[7].IsButton(Kind::kButtonDown, PointerButton::kLeft));
  EXPECT_EQ(out[7].x, 1);
  EXPECT_EQ(out[7].y, 2);
  EXPECT_TRUE(out[8].IsButton(Kind::kButtonUp, PointerButton::kRight));
  EXPECT_EQ(out[8].y, 4);
  EXPECT_TRUE(out[9].IsButton(Kind::kButtonDown, PointerButton::kMiddle));
  EXPECT_EQ(out[10].kind, Kind::kPointerMove);
  EXPECT_EQ(out[10].x, 12);
  EXPECT_EQ(out[10].y, 34);
  EXPECT_EQ(out[11].kind, Kind::kWheel);
  EXPECT_EQ(out[11].notches, 2);
  EXPECT_EQ(out[11].x, 5);
  EXPECT_EQ(out[12].kind, Kind::kCloseRequest);
  EXPECT_EQ(out[13].kind, Kind::kFocusLost);
  EXPECT_EQ(out[14].kind, Kind::kFocusGained);
  EXPECT_EQ(out[15].kind, Kind::kRedraw);
  EXPECT_EQ(out[16].kind, Kind::kQuit);  // after everything queued before it
  EXPECT_EQ(out[16].exitCode, 0);
}

// What the game does with a pointer button: it handles it, then drops the whole clicks
// queued behind it (as GameApp's input routing does).
class ClickCounter : public EventReceiver {
 public:
  explicit ClickCounter(Window& window) : window_(window) {}
  bool HandleEvent(const InputEvent& event) override {
    if (event.kind != Kind::kButtonDown && event.kind != Kind::kButtonUp) return false;
    window_.DropQueuedClicks();
    if (event.kind == Kind::kButtonDown) pressed_ = true;
    if (event.kind == Kind::kButtonUp && pressed_) {
      pressed_ = false;
      ++clicks;
    }
    return false;
  }
  int clicks = 0;

 private:
  Window& window_;
  bool pressed_ = false;
};

TEST_F(Sdl2WindowTest, APressAndItsReleaseArrivingTogetherAreOneClick) {
  GameWindow game(window);
  ASSERT_TRUE(game.Create("test"));
  ClickCounter counter(window);
  game.RegisterReceiver(&counter);
  // One event a frame, as the main loop takes them.
  auto runFrames = [&](int frames) {
    for (int i = 0; i < frames; ++i) {
      InputEvent e;
      if (window.TakeEvent(&e)) game.Dispatch(e);
    }
  };
  // A fast click: X delivers the press and the release together.
  SDL_Event down = Button(true, SDL_BUTTON_LEFT, 100, 200);
  SDL_Event up = Button(false, SDL_BUTTON_LEFT, 100, 200);
  SDL_PushEvent(&down);
  SDL_PushEvent(&up);
  runFrames(4);
  EXPECT_EQ(counter.clicks, 1);

  // Three fast clicks piled up during a slow frame: the first counts, the two queued
  // behind it are dropped whole.
  for (int i = 0; i < 3; ++i) {
    SDL_PushEvent(&down);
    SDL_PushEvent(&up);
  }
  runFrames(8);
  EXPECT_EQ(counter.clicks, 2);
  EXPECT_EQ(window.Queue().Size(), 0u);
}

}  // namespace
}  // namespace zan
