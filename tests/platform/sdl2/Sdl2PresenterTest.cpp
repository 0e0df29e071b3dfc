// The SDL2 presenter on SDL's dummy video driver: no display needed.

#include "platform/sdl2/Sdl2Presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
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

// The colour of the window's surface at (x, y), 0xRRGGBB.
uint32_t WindowPixel(SDL_Window* window, int x, int y) {
  SDL_Surface* s = SDL_GetWindowSurface(window);
  if (s == nullptr || x >= s->w || y >= s->h) return 0xFFFFFFFFu;
  uint32_t value = 0;
  std::memcpy(&value, static_cast<const uint8_t*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel,
              s->format->BytesPerPixel);
  uint8_t r, g, b;
  SDL_GetRGB(value, s->format, &r, &g, &b);
  return uint32_t{r} << 16 | uint32_t{g} << 8 | b;
}

// An 800 x 600 frame of 32-bit pixels.
struct Frame {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(800 * 600, 0x112233);
  void Fill(int left, int top, int right, int bottom, uint32_t colour) {
    for (int y = top; y < bottom; ++y) std::fill(&pixels[y * 800 + left], &pixels[y * 800 + right], colour);
  }
  FrameView View() const {
    return FrameView{reinterpret_cast<const uint8_t*>(pixels.data()), 800 * 4, 800, 600,
                     DisplayPixelFormat{32, 0xFF0000, 0xFF00, 0xFF}};
  }
};

// Unscaled, only the changed rectangle reaches the window; after frames drawn scaled (or the
// other way round) the whole frame goes to the screen, however small the rectangle.
TEST_F(Sdl2PresenterTest, ShowsTheChangedRectangleAndTheWholeFrameAfterAScaleChange) {
  presenter.SetDisplayFormat(DisplayPixelFormat{32, 0xFF0000, 0xFF00, 0xFF});
  ASSERT_TRUE(presenter.Open(800, 600));
  Frame frame;
  presenter.Present(frame.View(), FrameRect{0, 0, 800, 600});
  EXPECT_EQ(WindowPixel(window.Native(), 400, 300), 0x112233u);

  frame.Fill(100, 100, 200, 150, 0x445566);
  frame.Fill(600, 500, 610, 510, 0x778899);  // changed, but outside the rectangle shown
  presenter.Present(frame.View(), FrameRect{100, 100, 200, 150});
  EXPECT_EQ(WindowPixel(window.Native(), 150, 125), 0x445566u);
  EXPECT_EQ(WindowPixel(window.Native(), 605, 505), 0x112233u);
  EXPECT_EQ(WindowPixel(window.Native(), 99, 99), 0x112233u);

  // Full screen on the dummy driver's 1024 x 768 desktop: 1.28 times, no bars.
  ASSERT_TRUE(presenter.SetFullScreen(true));
  SDL_Surface* screen = SDL_GetWindowSurface(window.Native());
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(screen->w, 1024);
  presenter.Present(frame.View(), FrameRect{0, 0, 1, 1});
  EXPECT_EQ(WindowPixel(window.Native(), 192, 160), 0x445566u);  // (150, 125) scaled
  EXPECT_EQ(WindowPixel(window.Native(), 775, 646), 0x778899u);  // (605, 505) scaled
  EXPECT_EQ(WindowPixel(window.Native(), 512, 384), 0x112233u);

  ASSERT_TRUE(presenter.SetFullScreen(false));
  frame.Fill(300, 300, 400, 400, 0xAABBCC);
  presenter.Present(frame.View(), FrameRect{0, 0, 1, 1});
  ASSERT_EQ(SDL_GetWindowSurface(window.Native())->w, 800);
  EXPECT_EQ(WindowPixel(window.Native(), 350, 350), 0xAABBCCu);
  EXPECT_EQ(WindowPixel(window.Native(), 605, 505), 0x778899u);
  EXPECT_EQ(WindowPixel(window.Native(), 150, 125), 0x445566u);
}

TEST_F(Sdl2PresenterTest, ClosesBeforeTheWindowGoes) {
  ASSERT_TRUE(presenter.Open(800, 600));
  window.Destroy();
  EXPECT_FALSE(presenter.IsOpen());
}

}  // namespace
}  // namespace zan
