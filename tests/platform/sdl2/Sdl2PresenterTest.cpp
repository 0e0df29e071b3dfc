// The SDL2 presenter on SDL's dummy video driver: no display needed.

#include "platform/sdl2/Sdl2Presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl2/Sdl2Window.h"

namespace zan {
namespace {

class Sdl2PresenterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_TRUE(window.Create("test", 800, 600));
  }
  Sdl2Window window;
  Sdl2Presenter presenter{window};
};

TEST_F(Sdl2PresenterTest, ShowsFramesInEveryFormatAndSwitchesFullScreen) {
  for (DisplayPixelFormat format : {DisplayPixelFormat{16, 0x7C00, 0x03E0, 0x1F},
                                    DisplayPixelFormat{16, 0xF800, 0x07E0, 0x1F},
                                    DisplayPixelFormat{24, 0xFF0000, 0xFF00, 0xFF},
                                    DisplayPixelFormat{32, 0xFF0000, 0xFF00, 0xFF}}) {
    presenter.Close();
    presenter.SetDisplayFormat(format);
    ASSERT_TRUE(presenter.Open(800, 600)) << format.bitsPerPixel;
    const int32_t pitch = 800 * static_cast<int32_t>(format.bitsPerPixel / 8);
    std::vector<uint8_t> frame(static_cast<size_t>(pitch) * 600, 0x80);
    presenter.Present(FrameView{frame.data(), pitch, 800, 600, format}, FrameRect{10, 10, 900, 20});
  }
  EXPECT_TRUE(presenter.SetFullScreen(true));
  EXPECT_TRUE(presenter.IsFullScreen());
  EXPECT_TRUE(SDL_GetWindowFlags(window.Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_TRUE(presenter.SetFullScreen(false));
  EXPECT_FALSE(SDL_GetWindowFlags(window.Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
}

TEST_F(Sdl2PresenterTest, PointerPositionsStayInTheFramesPixelsWhenScaled) {
  ASSERT_TRUE(presenter.Open(800, 600));
  SDL_SetWindowSize(window.Native(), 1600, 1200);  // as a full screen twice the size
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  window.Queue().Clear();

  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = SDL_GetWindowID(window.Native());
  motion.motion.x = 800;
  motion.motion.y = 600;
  SDL_PushEvent(&motion);  // the renderer maps it as it is queued
  SDL_Event wheel{};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = motion.motion.windowID;
  wheel.wheel.y = 1;
  wheel.wheel.mouseX = 1598;
  wheel.wheel.mouseY = 2;
  SDL_PushEvent(&wheel);

  InputEvent e;
  ASSERT_TRUE(window.TakeEvent(&e));
  EXPECT_EQ(e.kind, InputEvent::Kind::kPointerMove);
  EXPECT_EQ(e.x, 400);
  EXPECT_EQ(e.y, 300);
  ASSERT_TRUE(window.TakeEvent(&e));
  EXPECT_EQ(e.kind, InputEvent::Kind::kWheel);
  EXPECT_EQ(e.x, 799);
  EXPECT_EQ(e.y, 1);
  EXPECT_EQ(e.notches, 1);
}

TEST_F(Sdl2PresenterTest, ClosesBeforeTheWindowGoes) {
  ASSERT_TRUE(presenter.Open(800, 600));
  window.Destroy();
  EXPECT_FALSE(presenter.IsOpen());
}

}  // namespace
}  // namespace zan
