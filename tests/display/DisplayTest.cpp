#include "display/Display.h"

#include <gtest/gtest.h>

#include "../surface/TestSurfaces.h"
#include "surface/SurfaceFormat.h"
#include "platform/GameWindow.h"
#include "platform/headless/HeadlessPlatform.h"

namespace zan {
namespace {

class DisplayTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform.GetMessageBoxes().SetQuiet(true);
    ASSERT_TRUE(window.Create("test"));
  }
  void Init(int32_t format) {
    platform.GetPresenter().SetDisplayFormat(DisplayFormatOf(format));
    draw.InitDisplay(window, kW, kH);
  }
  // The screen's pixel, as a raw word of the display format.
  uint32_t Screen(int32_t x, int32_t y) {
    const FrameView f = platform.GetPresenter().Screen();
    const int bytes = static_cast<int>(f.format.bitsPerPixel / 8);
    uint32_t v = 0;
    std::memcpy(&v, f.pixels + y * f.pitch + x * bytes, static_cast<size_t>(bytes));
    return v;
  }
  static constexpr int32_t kW = 8, kH = 6;
  HeadlessPlatform platform;
  GameWindow window{platform.GetWindow()};
  Display draw{platform};
};

class DrawFormatTest : public DisplayTest, public ::testing::WithParamInterface<int32_t> {};

TEST_P(DrawFormatTest, OnlyTheDirtyRectangleIsPresented) {
  {
    const int32_t format = GetParam();
    Init(format);
    EXPECT_EQ(draw.PixelFormatCode(), format);
    EXPECT_EQ(draw.BackBuffer().FormatCode(), format);
    EXPECT_EQ(SurfaceFormatCode(), format);  // the surfaces made from now on
    EXPECT_EQ(draw.Primary().FormatCode(), format);
    EXPECT_EQ(draw.GetFrameTimer().Rate(), 30u);
    HeadlessPresenter& screen = platform.GetPresenter();
    const uint64_t before = screen.PresentCount();
    ASSERT_EQ(before, 0u);
    const uint32_t red = PackColour(format, {255, 0, 0});
    // The screen has no picture yet: the first frame goes to it whole.
    draw.BackBuffer().Fill(0, 0, 1, 1, 255, 0, 0);
    const uint32_t start = platform.GetClock().Milliseconds();
    draw.Present();
    EXPECT_EQ(platform.GetClock().Milliseconds() - start, 33u);  // paced
    EXPECT_EQ(screen.PresentCount(), before + 1);
    EXPECT_EQ(screen.LastRect(), (FrameRect{0, 0, kW, kH}));
    EXPECT_EQ(Screen(0, 0), red);
    EXPECT_FALSE(draw.BackBuffer().IsDirty());
    // Then only what differs from the screen within the dirty rectangle: a fill of three
    // by two whose top-left pixel is red already shows as the rest of it.
    draw.BackBuffer().Fill(2, 1, 3, 2, 255, 0, 0);
    test::SetRaw(draw.BackBuffer(), 2, 1, red);
    draw.Present();
    EXPECT_EQ(screen.PresentCount(), before + 2);
    EXPECT_EQ(screen.LastRect(), (FrameRect{2, 1, 5, 3}));
    EXPECT_EQ(Screen(4, 2), red);
    EXPECT_EQ(Screen(5, 2), 0u);
    EXPECT_FALSE(draw.BackBuffer().IsDirty());
    // Pixels drawn without marking stay off the screen until something marks them.
    test::SetRaw(draw.BackBuffer(), 7, 5, red);
    draw.Present();
    EXPECT_EQ(screen.PresentCount(), before + 2);
    EXPECT_EQ(Screen(7, 5), 0u);
    // A marked area that differs nowhere from the screen presents nothing.
    draw.BackBuffer().AddDirty(0, 0, 2, 2);
    draw.Present();
    EXPECT_EQ(screen.PresentCount(), before + 2);
    EXPECT_FALSE(draw.BackBuffer().IsDirty());
  }
  EXPECT_TRUE(window.Receivers().Contains(&draw.GetDisplayMode()));
  EXPECT_EQ(draw.GetDisplayMode().Name(), "CDraw");
}

INSTANTIATE_TEST_SUITE_P(Formats, DrawFormatTest, ::testing::Values(555, 565, 888, 8888));

TEST_F(DisplayTest, FullScreenKeepsTheFrameAndShowsItWholeOnce) {
  Init(565);
  HeadlessPresenter& screen = platform.GetPresenter();
  draw.BackBuffer().Fill(0, 0, kW, kH, 0, 0, 255);
  draw.SetFullScreen(1);
  EXPECT_TRUE(screen.IsFullScreen());
  EXPECT_TRUE(draw.IsFullScreen());
  EXPECT_EQ(test::Raw(draw.BackBuffer(), 7, 5), 0x001Fu);
  draw.Present();
  const uint64_t count = screen.PresentCount();
  EXPECT_EQ(screen.LastRect(), (FrameRect{0, 0, kW, kH}));  // the new screen shows it whole
  draw.Present();  // nothing changed: nothing shown
  EXPECT_EQ(screen.PresentCount(), count);
  draw.SetFullScreen(0);
  EXPECT_FALSE(screen.IsFullScreen());

  // On a desktop of the game's own width the window gives way to full screen at once.
  platform.GetWindow().SetDesktopSize({kW, 600});
  draw.SetFullScreen(1);
  draw.SetFullScreen(0);
  EXPECT_TRUE(screen.IsFullScreen());
}

TEST_F(DisplayTest, LosingTheFocusLeavesFullScreenAndKeepsTheFrame) {
  Init(8888);
  draw.BackBuffer().Fill(0, 0, kW, kH, 10, 20, 30);
  draw.SetFullScreen(1);
  window.Dispatch(InputEvent::Of(InputEvent::Kind::kFocusLost));
  EXPECT_FALSE(platform.GetPresenter().IsFullScreen());
  EXPECT_FALSE(draw.IsFullScreen());
  EXPECT_EQ(test::Colour(draw.BackBuffer(), 3, 3), (Rgb{10, 20, 30}));
  window.Dispatch(InputEvent::Of(InputEvent::Kind::kFocusGained));
  EXPECT_FALSE(platform.GetPresenter().IsFullScreen());
}

TEST_F(DisplayTest, TheWindowClosingClosesThePresenter) {
  Init(565);
  ASSERT_TRUE(platform.GetPresenter().IsOpen());
  window.Destroy();
  EXPECT_FALSE(platform.GetPresenter().IsOpen());
}

TEST_F(DisplayTest, ARedrawShowsTheWholeFrameAgain) {
  Init(8888);
  draw.BackBuffer().FillAll(9, 9, 9);
  draw.Present();
  const uint64_t count = platform.GetPresenter().PresentCount();
  const uint32_t start = platform.GetClock().Milliseconds();
  window.Dispatch(InputEvent::Of(InputEvent::Kind::kRedraw));
  EXPECT_EQ(platform.GetPresenter().PresentCount(), count + 1);
  EXPECT_EQ(platform.GetPresenter().LastRect().right, kW);
  EXPECT_EQ(platform.GetClock().Milliseconds(), start);  // not paced

  int replaced = 0;
  draw.SetReplacementPresenter([&] { ++replaced; });
  draw.BackBuffer().FillAll(1, 1, 1);
  draw.Present();
  EXPECT_EQ(replaced, 1);
  EXPECT_EQ(platform.GetPresenter().PresentCount(), count + 1);
}

TEST_F(DisplayTest, UnpacedFramesAreShownAtMostOncePerRefreshWithWhatGathered) {
  Init(8888);
  HeadlessPresenter& screen = platform.GetPresenter();
  screen.SetRefreshInterval(16);
  draw.Present();  // shown whole, then 33 ms paced
  draw.SetFrameRate(0);
  draw.BackBuffer().Fill(0, 0, 1, 1, 255, 0, 0);
  draw.Present();  // the last present was 33 ms ago
  const uint64_t count = screen.PresentCount();
  EXPECT_EQ(screen.LastRect(), (FrameRect{0, 0, 1, 1}));
  draw.BackBuffer().Fill(2, 1, 1, 1, 0, 255, 0);
  draw.Present();
  draw.BackBuffer().Fill(5, 4, 1, 1, 0, 0, 255);
  draw.Present();
  EXPECT_EQ(screen.PresentCount(), count);  // no time went by: nothing shown
  EXPECT_EQ(Screen(2, 1), 0u);
  platform.GetClock().Advance(15);
  draw.Present();
  EXPECT_EQ(screen.PresentCount(), count);
  platform.GetClock().Advance(1);
  draw.Present();  // a refresh later, the two changes go together
  EXPECT_EQ(screen.PresentCount(), count + 1);
  EXPECT_EQ(screen.LastRect(), (FrameRect{2, 1, 6, 5}));
  EXPECT_EQ(Screen(5, 4), PackColour(8888, {0, 0, 255}));
  // Paced again, every changed frame is shown.
  draw.SetFrameRate(30);
  draw.BackBuffer().Fill(7, 0, 1, 1, 255, 0, 0);
  draw.Present();
  EXPECT_EQ(screen.PresentCount(), count + 2);
}

TEST_F(DisplayTest, AnUnknownDisplayFormatFallsBackToTheBitmap) {
  platform.GetPresenter().SetDisplayFormat({16, 0x0F00, 0x00F0, 0x000F});
  draw.InitDisplay(window, kW, kH);
  EXPECT_EQ(draw.PixelFormatCode(), 0);
  EXPECT_EQ(SurfaceFormatCode(), 0);
  EXPECT_FALSE(draw.BackBuffer().IsDeviceMode());
  draw.BackBuffer().FillAll(1, 2, 3);
  draw.Present();
  const FrameView shown = platform.GetPresenter().Screen();
  EXPECT_EQ(shown.format.bitsPerPixel, 24u);
  EXPECT_EQ(shown.pixels[0], 3);  // bytes B, G, R
}

}  // namespace
}  // namespace zan
