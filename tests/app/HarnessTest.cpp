#include "app/Harness.h"

#include <gtest/gtest.h>

#include "platform/headless/HeadlessWindow.h"

namespace zan {
namespace {

using Kind = InputEvent::Kind;

// Runs frames like the main loop: feed input, take at most one event.
std::vector<InputEvent> Drive(Harness& h, HeadlessWindow& w, uint64_t frames) {
  std::vector<InputEvent> taken;
  for (uint64_t f = 0; f < frames; ++f) {
    h.BeforeFrame(f, w);
    InputEvent e;
    if (w.TakeEvent(&e)) taken.push_back(e);
  }
  return taken;
}

TEST(HarnessTest, AClickArrivesAsMovePressReleaseOneEventAFrame) {
  Harness h;
  HeadlessWindow w;
  auto t = InputTimeline::Parse("2 click 10 20\n2 key Return");
  ASSERT_TRUE(t.ok());
  h.SetTimeline(std::move(*t));
  auto taken = Drive(h, w, 10);
  ASSERT_EQ(taken.size(), 5u);
  EXPECT_EQ(taken[0].kind, Kind::kPointerMove);
  EXPECT_EQ(taken[0].x, 10);
  EXPECT_EQ(taken[0].y, 20);
  EXPECT_TRUE(taken[1].IsButton(Kind::kButtonDown, PointerButton::kLeft));
  EXPECT_TRUE(taken[2].IsKey(Kind::kKeyDown, Key::kReturn));
  EXPECT_TRUE(taken[3].IsButton(Kind::kButtonUp, PointerButton::kLeft));
  EXPECT_EQ(taken[3].x, 10);
  EXPECT_EQ(taken[3].y, 20);
  EXPECT_TRUE(taken[4].IsKey(Kind::kKeyUp, Key::kReturn));
}

TEST(HarnessTest, ATapReachesTheQueueAsPressAndReleaseTogether) {
  Harness h;
  HeadlessWindow w;
  auto t = InputTimeline::Parse("2 tap 30 40");
  ASSERT_TRUE(t.ok());
  h.SetTimeline(std::move(*t));
  h.BeforeFrame(0, w);
  h.BeforeFrame(1, w);
  h.BeforeFrame(2, w);  // the pointer move
  InputEvent e;
  ASSERT_TRUE(w.TakeEvent(&e));
  EXPECT_EQ(e.kind, Kind::kPointerMove);
  h.BeforeFrame(3, w);
  EXPECT_EQ(w.Queue().Size(), 2u);
  ASSERT_TRUE(w.TakeEvent(&e));
  EXPECT_TRUE(e.IsButton(Kind::kButtonDown, PointerButton::kLeft));
  EXPECT_EQ(e.x, 30);
  ASSERT_TRUE(w.TakeEvent(&e));
  EXPECT_TRUE(e.IsButton(Kind::kButtonUp, PointerButton::kLeft));
  EXPECT_EQ(e.y, 40);
}

// A drag that leaves the window: positions left of and above it arrive negative, as a
// captured pointer reports them.
TEST(HarnessTest, PositionsOutsideTheWindowArriveNegative) {
  Harness h;
  HeadlessWindow w;
  auto t = InputTimeline::Parse("1 press 10 20\n3 move -5 -7\n5 release -5 -7");
  ASSERT_TRUE(t.ok()) << t.error().message;
  h.SetTimeline(std::move(*t));
  auto taken = Drive(h, w, 8);
  ASSERT_EQ(taken.size(), 4u);  // move, press, move, release: the release moves no further
  EXPECT_EQ(taken[2].kind, InputEvent::Kind::kPointerMove);
  EXPECT_EQ(taken[2].x, -5);
  EXPECT_EQ(taken[2].y, -7);
  EXPECT_TRUE(taken[3].IsButton(InputEvent::Kind::kButtonUp, PointerButton::kLeft));
  EXPECT_EQ(taken[3].x, -5);
  EXPECT_EQ(taken[3].y, -7);
}

// An input action takes its turn with the events: it goes to the sink in the frame it comes
// up, never into the window's queue.
TEST(HarnessTest, AnActionGoesToTheSinkInItsTurn) {
  Harness h;
  HeadlessWindow w;
  std::vector<std::pair<uint64_t, int32_t>> fired;
  uint64_t frame = 0;
  h.SetActionSink([&](int32_t action) { fired.push_back({frame, action}); });
  auto t = InputTimeline::Parse("2 click 10 20\n2 action 20\n9 action 19");
  ASSERT_TRUE(t.ok()) << t.error().message;
  h.SetTimeline(std::move(*t));
  std::vector<InputEvent> taken;
  for (; frame < 12; ++frame) {
    h.BeforeFrame(frame, w);
    InputEvent e;
    if (w.TakeEvent(&e)) taken.push_back(e);
  }
  ASSERT_EQ(taken.size(), 3u);  // move (2), press (3), then the action (4), release (5)
  EXPECT_TRUE(taken[2].IsButton(Kind::kButtonUp, PointerButton::kLeft));
  EXPECT_EQ(fired, (std::vector<std::pair<uint64_t, int32_t>>{{4, 20}, {9, 19}}));
}

TEST(HarnessTest, NothingIsFedIntoAQueueThatHoldsAMessage) {
  Harness h;
  HeadlessWindow w;
  h.SetClickEvery(2);
  w.PostEvent(InputEvent::KeyDown(Key::kSpace));
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
    InputEvent e;
    if (w.TakeEvent(&e)) {
      presses += e.IsButton(Kind::kButtonDown, PointerButton::kLeft);
      releases += e.IsButton(Kind::kButtonUp, PointerButton::kLeft);
      EXPECT_EQ(e.x, 400);
      EXPECT_EQ(e.y, 300);
    }
    if (h.AfterFrame(f)) break;
  }
  EXPECT_EQ(f, 11u);
  EXPECT_EQ(presses, 2);  // frames 4 and 8; the press of frame 12 never came
  EXPECT_EQ(releases, 2);
}

}  // namespace
}  // namespace zan
