#include "platform/headless/HeadlessPresenter.h"

#include <gtest/gtest.h>

#include <vector>

namespace zan {
namespace {

TEST(HeadlessPresenterTest, KeepsWhatEachPresentCopied) {
  HeadlessPresenter p;
  p.SetDisplayFormat({16, 0xF800, 0x07E0, 0x001F});
  ASSERT_TRUE(p.Open(4, 3));
  std::vector<uint16_t> frame(4 * 3, 0x1234);
  const FrameView view{reinterpret_cast<const uint8_t*>(frame.data()), 8, 4, 3, p.DisplayFormat()};
  p.Present(view, FrameRect{1, 1, 9, 2});  // clipped to the frame
  const FrameView screen = p.Screen();
  auto at = [&](int x, int y) {
    return static_cast<uint16_t>(screen.pixels[y * screen.pitch + 2 * x] |
                                 (screen.pixels[y * screen.pitch + 2 * x + 1] << 8));
  };
  EXPECT_EQ(at(1, 1), 0x1234);
  EXPECT_EQ(at(3, 1), 0x1234);
  EXPECT_EQ(at(0, 1), 0);
  EXPECT_EQ(at(1, 2), 0);
  EXPECT_EQ(p.PresentCount(), 1u);
  EXPECT_TRUE(p.SetFullScreen(true));
  EXPECT_TRUE(p.IsFullScreen());
  p.Close();
  p.Present(view, FrameRect{0, 0, 4, 3});
  EXPECT_EQ(p.PresentCount(), 1u);  // closed: nothing shown
}

}  // namespace
}  // namespace zan
