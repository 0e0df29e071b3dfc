// Full screen in the SDL2 backend on a real X server without a window manager. ctest runs
// these under Xvfb (tests/platform/sdl2/under-xvfb.sh); run directly they are skipped
// unless ZAN_TEST_X_SERVER is set and DISPLAY names a server.

#include "platform/sdl2/Sdl2Presenter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "XServerWindow.h"
#include "platform/sdl2/Sdl2Window.h"

namespace zan {
namespace {

constexpr int kGameWidth = 800;
constexpr int kGameHeight = 600;

class Sdl2FullScreenTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("ZAN_TEST_X_SERVER") == nullptr)
      GTEST_SKIP() << "needs an X server of its own: ctest runs it under Xvfb";
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X server: DISPLAY is not set";
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    // As the game does: made at 400 x 400, then sized and centred.
    if (!window.Create("test", 400, 400))
      GTEST_SKIP() << "no X server at " << display << ": " << SDL_GetError();
    window.SetClientSize(kGameWidth, kGameHeight);
    window.CentreOnScreen();
    window.Show();
    ASSERT_TRUE(presenter.Open(kGameWidth, kGameHeight));
    SDL_DisplayMode mode;
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &mode), 0) << SDL_GetError();
    desktopWidth = mode.w;
    desktopHeight = mode.h;
    Settle();
  }

  // Lets the X server and SDL agree on the window: events are taken as the game takes them.
  void Settle() {
    for (int i = 0; i < 30; ++i) {
      std::vector<uint8_t> frame(static_cast<size_t>(kGameWidth) * kGameHeight * 4, 0x80);
      presenter.Present(FrameView{frame.data(), kGameWidth * 4, kGameWidth, kGameHeight,
                                  presenter.DisplayFormat()},
                        FrameRect{0, 0, kGameWidth, kGameHeight});
      InputEvent e;
      while (window.TakeEvent(&e)) {
      }
      SDL_Delay(10);
    }
  }

  struct Size {
    int w = 0;
    int h = 0;
    friend bool operator==(const Size&, const Size&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Size& s) { return out << s.w << "x" << s.h; }
  };
  Size WindowSize() {
    Size s;
    SDL_GetWindowSize(window.Native(), &s.w, &s.h);
    return s;
  }
  Size ServerWindowSize() {
    Size s;
    test::ServerWindowSize(window.Native(), &s.w, &s.h);
    return s;
  }
  Size OutputSize() {
    Size s;
    SDL_GetRendererOutputSize(SDL_GetRenderer(window.Native()), &s.w, &s.h);
    return s;
  }

  // The game pixel a pointer at window pixel (x, y) reaches the game as.
  InputEvent PointerAt(int x, int y) {
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.windowID = SDL_GetWindowID(window.Native());
    motion.motion.x = x;
    motion.motion.y = y;
    SDL_PushEvent(&motion);  // the renderer maps it as it is queued
    InputEvent e;
    InputEvent last;
    while (window.TakeEvent(&e))
      if (e.kind == InputEvent::Kind::kPointerMove) last = e;
    return last;
  }

  // Full screen: the window covers the desktop, the picture is scaled by the smaller ratio
  // and centred (black bars on the other axis), and the pointer maps back to game pixels.
  void ExpectFullScreen() {
    EXPECT_TRUE(presenter.IsFullScreen());
    EXPECT_TRUE(SDL_GetWindowFlags(window.Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(WindowSize(), (Size{desktopWidth, desktopHeight}));
    EXPECT_EQ(ServerWindowSize(), (Size{desktopWidth, desktopHeight}));
    EXPECT_EQ(OutputSize(), (Size{desktopWidth, desktopHeight}));
    const double scale = std::min(static_cast<double>(desktopWidth) / kGameWidth,
                                  static_cast<double>(desktopHeight) / kGameHeight);
    const double left = (desktopWidth - kGameWidth * scale) / 2;
    const double top = (desktopHeight - kGameHeight * scale) / 2;
    InputEvent centre = PointerAt(desktopWidth / 2, desktopHeight / 2);
    EXPECT_NEAR(centre.x, kGameWidth / 2, 1);
    EXPECT_NEAR(centre.y, kGameHeight / 2, 1);
    InputEvent corner = PointerAt(static_cast<int>(left + 10 * scale), static_cast<int>(top + 20 * scale));
    EXPECT_NEAR(corner.x, 10, 1);
    EXPECT_NEAR(corner.y, 20, 1);
  }

  // The window: the game's own size, one window pixel a game pixel.
  void ExpectWindow() {
    EXPECT_FALSE(presenter.IsFullScreen());
    EXPECT_FALSE(SDL_GetWindowFlags(window.Native()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(WindowSize(), (Size{kGameWidth, kGameHeight}));
    EXPECT_EQ(ServerWindowSize(), (Size{kGameWidth, kGameHeight}));
    EXPECT_EQ(OutputSize(), (Size{kGameWidth, kGameHeight}));
    InputEvent corner = PointerAt(799, 599);
    EXPECT_EQ(corner.x, 799);
    EXPECT_EQ(corner.y, 599);
  }

  Sdl2Window window;
  Sdl2Presenter presenter{window};
  int desktopWidth = 0;
  int desktopHeight = 0;
};

TEST_F(Sdl2FullScreenTest, FullScreenFollowsTheDesktopAndTogglesBackExactly) {
  ASSERT_NE(desktopWidth, kGameWidth) << "the server's screen must differ from the game's size";
  ExpectWindow();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(presenter.SetFullScreen(true));
    Settle();
    ExpectFullScreen();
    ASSERT_TRUE(presenter.SetFullScreen(false));
    window.CentreOnScreen();
    Settle();
    ExpectWindow();
  }
}

}  // namespace
}  // namespace zan
