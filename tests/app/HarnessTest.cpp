#include "app/Harness.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindow.h"

namespace zan {
namespace {

// Runs frames like the main loop: feed input, take at most one message.
std::vector<WindowMessage> Drive(Harness& h, HeadlessWindow& w, uint64_t frames) {
  std::vector<WindowMessage> taken;
  for (uint64_t f = 0; f < frames; ++f) {
    h.BeforeFrame(f, w);
    WindowMessage m;
    if (w.PeekMessage(&m, 0, 0, true)) taken.push_back(m);
  }
  return taken;
}

TEST(HarnessTest, AClickArrivesAsMovePressReleaseOneMessageAFrame) {
  Harness h;
  HeadlessWindow w;
  auto t = InputTimeline::Parse("2 click 10 20\n2 key Return");
  ASSERT_TRUE(t.ok());
  h.SetTimeline(std::move(*t));
  auto taken = Drive(h, w, 10);
  ASSERT_EQ(taken.size(), 5u);
  EXPECT_EQ(taken[0].message, WM_MOUSEMOVE);
  EXPECT_EQ(taken[0].lParam, MakeLParam(10, 20));
  EXPECT_EQ(taken[1].message, WM_LBUTTONDOWN);
  EXPECT_EQ(taken[1].wParam & MK_LBUTTON, MK_LBUTTON);
  EXPECT_EQ(taken[2].message, WM_KEYDOWN);
  EXPECT_EQ(taken[3].message, WM_LBUTTONUP);
  EXPECT_EQ(taken[3].lParam, MakeLParam(10, 20));
  EXPECT_EQ(taken[4].message, WM_KEYUP);
}

// A drag that leaves the window: positions left of and above it travel as the low and high
// words of lParam in two's complement, as a captured pointer reports them.
TEST(HarnessTest, PositionsOutsideTheWindowArriveAsSixteenBitWords) {
  Harness h;
  HeadlessWindow w;
  auto t = InputTimeline::Parse("1 press 10 20\n3 move -5 -7\n5 release -5 -7");
  ASSERT_TRUE(t.ok()) << t.error().message;
  h.SetTimeline(std::move(*t));
  auto taken = Drive(h, w, 8);
  ASSERT_EQ(taken.size(), 4u);  // move, press, move, release: the release moves no further
  EXPECT_EQ(taken[2].message, WM_MOUSEMOVE);
  EXPECT_EQ(LowWord(static_cast<uintptr_t>(taken[2].lParam)), 0x10000 - 5);
  EXPECT_EQ(HighWord(static_cast<uintptr_t>(taken[2].lParam)), 0x10000 - 7);
  EXPECT_EQ(taken[3].message, WM_LBUTTONUP);
  EXPECT_EQ(taken[3].lParam, taken[2].lParam);
}

TEST(HarnessTest, NothingIsFedIntoAQueueThatHoldsAMessage) {
  Harness h;
  HeadlessWindow w;
  h.SetClickEvery(2);
  w.PostMessage({WM_KEYDOWN, VK_SPACE, 0});
  h.BeforeFrame(2, w);
  EXPECT_EQ(w.Queue().Size(), 1u);
}

TEST(HarnessTest, ClickEveryKFramesAndTheFrameLimit) {
  Harness h;
  HeadlessWindow w;
  h.SetClickEvery(4);
  h.SetFrameLimit(12);
  int presses = 0, releases = 0;
  uint64_t f = 0;
  for (;; ++f) {
    h.BeforeFrame(f, w);
    WindowMessage m;
    if (w.PeekMessage(&m, 0, 0, true)) {
      presses += m.message == WM_LBUTTONDOWN;
      releases += m.message == WM_LBUTTONUP;
      EXPECT_EQ(m.lParam, MakeLParam(400, 300));
    }
    if (h.AfterFrame(f)) break;
  }
  EXPECT_EQ(f, 11u);
  EXPECT_EQ(presses, 2);  // frames 4 and 8; the press of frame 12 never came
  EXPECT_EQ(releases, 2);
}

}  // namespace
}  // namespace zan
