#include "platform/EventQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zan {
namespace {

using Kind = InputEvent::Kind;

std::vector<InputEvent> TakeAll(EventQueue& q) {
  std::vector<InputEvent> out;
  InputEvent e;
  while (q.Take(&e)) out.push_back(e);
  return out;
}

TEST(EventQueueTest, TakesEventsInOrder) {
  EventQueue q;
  q.Post(InputEvent::KeyDown(Key::kSpace));
  q.Post(InputEvent::ButtonUp(PointerButton::kLeft, 1, 2));
  q.Post(InputEvent::KeyDown(Key::kReturn, true));
  auto taken = TakeAll(q);
  ASSERT_EQ(taken.size(), 3u);
  EXPECT_TRUE(taken[0].IsKey(Kind::kKeyDown, Key::kSpace));
  EXPECT_TRUE(taken[1].IsButton(Kind::kButtonUp, PointerButton::kLeft));
  EXPECT_EQ(taken[1].x, 1);
  EXPECT_EQ(taken[1].y, 2);
  EXPECT_TRUE(taken[2].IsKey(Kind::kKeyDown, Key::kReturn));
  EXPECT_TRUE(taken[2].repeat);
}

TEST(EventQueueTest, ConsecutivePointerMovesMergeIntoTheLatest) {
  EventQueue q;
  q.Post(InputEvent::PointerMove(1, 1));
  q.Post(InputEvent::PointerMove(2, 2));
  q.Post(InputEvent::ButtonDown(PointerButton::kLeft, 2, 2));
  q.Post(InputEvent::PointerMove(3, 3));
  EXPECT_EQ(q.Size(), 3u);
  InputEvent e;
  ASSERT_TRUE(q.Take(&e));
  EXPECT_EQ(e.kind, Kind::kPointerMove);
  EXPECT_EQ(e.x, 2);
}

TEST(EventQueueTest, QuitComesAfterEveryEarlierEvent) {
  EventQueue q;
  q.Post(InputEvent::KeyUp(Key::kReturn));
  q.PostQuit(3);
  auto taken = TakeAll(q);
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0].kind, Kind::kKeyUp);
  EXPECT_EQ(taken[1].kind, Kind::kQuit);
  EXPECT_EQ(taken[1].exitCode, 3);
}

// Events written as short words: "L+" left press, "L-" left release (R, M the other
// buttons), "k+" / "k-" Space down / up, "r+" Return down, "r-" Return up, "m" a move.
InputEvent Parse(const std::string& w) {
  const bool down = w.size() > 1 && w[1] == '+';
  switch (w[0]) {
    case 'L': case 'R': case 'M': {
      const PointerButton b = w[0] == 'L' ? PointerButton::kLeft
                              : w[0] == 'R' ? PointerButton::kRight : PointerButton::kMiddle;
      return down ? InputEvent::ButtonDown(b, 0, 0) : InputEvent::ButtonUp(b, 0, 0);
    }
    case 'k': return down ? InputEvent::KeyDown(Key::kSpace) : InputEvent::KeyUp(Key::kSpace);
    case 'r': return down ? InputEvent::KeyDown(Key::kReturn) : InputEvent::KeyUp(Key::kReturn);
    default: return InputEvent::PointerMove(0, 0);
  }
}

std::string Word(const InputEvent& e) {
  std::string w;
  switch (e.kind) {
    case Kind::kButtonDown:
    case Kind::kButtonUp:
      w = e.button == PointerButton::kLeft ? "L" : e.button == PointerButton::kRight ? "R" : "M";
      return w + (e.kind == Kind::kButtonDown ? "+" : "-");
    case Kind::kKeyDown:
    case Kind::kKeyUp:
      w = e.key == Key::kSpace ? "k" : "r";
      return w + (e.kind == Kind::kKeyDown ? "+" : "-");
    default:
      return "m";
  }
}

TEST(EventQueueTest, OnlyWholeClicksQueuedBehindAreDropped) {
  struct Case {
    std::vector<std::string> queued;
    std::vector<std::string> left;
  } cases[] = {
      // The release of the press just taken stays: a fast click or a tap is one click.
      {{"L-"}, {"L-"}},
      {{"R-"}, {"R-"}},
      // Clicks that piled up behind it go whole.
      {{"L-", "L+", "L-", "L+", "L-"}, {"L-"}},
      {{"L+", "L-", "R+", "R-"}, {}},
      // A key press and its release, auto-repeats included, are a whole click too.
      {{"L-", "k+", "k+", "k+", "k-"}, {"L-"}},
      {{"r+", "r-", "m"}, {"m"}},
      // A press still held stays, and so does what is not a click.
      {{"L+"}, {"L+"}},
      {{"L-", "m", "L+", "m"}, {"L-", "m", "L+", "m"}},
      {{"k-", "M-"}, {"k-", "M-"}},
      // Each press pairs with the first release of its own button.
      {{"L+", "R-", "L-", "R-"}, {"R-", "R-"}},
  };
  for (const Case& c : cases) {
    EventQueue q;
    for (const std::string& w : c.queued) q.Post(Parse(w));
    EXPECT_EQ(q.DropQueuedClicks(), c.queued.size() - c.left.size());
    std::vector<std::string> left;
    for (const InputEvent& e : TakeAll(q)) left.push_back(Word(e));
    EXPECT_EQ(left, c.left) << ::testing::PrintToString(c.queued);
  }
}

}  // namespace
}  // namespace zan
