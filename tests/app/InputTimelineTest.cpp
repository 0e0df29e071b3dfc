#include "app/InputTimeline.h"

#include <gtest/gtest.h>

namespace zan {
namespace {

using Kind = TimelineAction::Kind;

TEST(InputTimelineTest, ParsesEveryEvent) {
  auto t = InputTimeline::Parse(
      "# a comment line\r\n"
      "10 click 100 200   # trailing comment\n"
      "\n"
      "12 rclick 5 6\n"
      "20 key Return\n"
      "21 keydown Ctrl\n"
      "22 keyup Ctrl\n"
      "30 wheel down\n"
      "31 move 7 8\n"
      "32 press 1 2\n"
      "33 release 1 2\n"
      "34 tap 9 8\n"
      "40 key F12\n"
      "41 key S\n"
      "50 close\n"
      "51 action 19");
  ASSERT_TRUE(t.ok()) << t.error().message;
  auto at = [&](uint64_t f) { return t->ActionsAt(f); };
  ASSERT_EQ(at(10).size(), 1u);
  EXPECT_EQ(at(10)[0].kind, Kind::kPress);
  EXPECT_EQ(at(10)[0].x, 100);
  EXPECT_EQ(at(11)[0].kind, Kind::kRelease);
  EXPECT_EQ(at(12)[0].button, PointerButton::kRight);
  EXPECT_EQ(at(20)[0].kind, Kind::kKeyDown);
  EXPECT_EQ(at(20)[0].key, Key::kReturn);
  EXPECT_EQ(at(21)[0].kind, Kind::kKeyUp);  // "20 key" releases at 21, after...
  ASSERT_EQ(at(21).size(), 2u);
  EXPECT_EQ(at(21)[1].key, Key::kControl);  // ...and before the later line's keydown
  EXPECT_EQ(at(30)[0].wheelNotches, -1);
  EXPECT_EQ(at(31)[0].kind, Kind::kMove);
  ASSERT_EQ(at(34).size(), 1u);  // a tap is one action: press and release together
  EXPECT_EQ(at(34)[0].kind, Kind::kTap);
  EXPECT_EQ(at(34)[0].x, 9);
  EXPECT_TRUE(at(35).empty());
  EXPECT_EQ(at(40)[0].key, Key::kF12);
  EXPECT_EQ(at(41)[1].key, Key::kS);
  EXPECT_EQ(at(50)[0].kind, Kind::kClose);
  EXPECT_EQ(at(51)[0].kind, Kind::kAction);
  EXPECT_EQ(at(51)[0].action, 19);
  EXPECT_EQ(t->LastFrame(), 51u);
}

TEST(InputTimelineTest, MalformedLinesNameTheirLineNumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"1 click 1 2\nx click 1 2", "line 2"},
      {"5", "line 1"},
      {"5 click 1", "line 1"},
      {"5 click -32769 2", "line 1"},
      {"5 move 1 32768", "line 1"},
      {"5 move 1 1\n7 click 1 1\n6 key Return", "line 3"},
      {"5 tap 1", "line 1"},
      {"\n\n5 key Meta", "line 3"},
      {"5 wheel left", "line 1"},
      {"5 close now", "line 1"},
      {"5 action", "line 1"},
      {"5 action 0", "line 1"},
      {"5 action 31", "line 1"},
      {"5 action quit", "line 1"},
      {"5 jump", "line 1"},
  };
  for (const auto& [text, where] : cases) {
    auto t = InputTimeline::Parse(text);
    ASSERT_FALSE(t.ok()) << text;
    EXPECT_NE(t.error().message.find(where), std::string::npos) << t.error().message;
  }
}

// A drag that leaves the window reports positions outside it, negative ones included, as
// far as a signed 16-bit client coordinate reaches; events of one frame may share it.
TEST(InputTimelineTest, PointerPositionsOutsideTheWindowAndEventsOfOneFrame) {
  auto t = InputTimeline::Parse("5 press 400 300\n6 move -20 -32768\n6 move 32767 900\n7 release -1 -1");
  ASSERT_TRUE(t.ok()) << t.error().message;
  ASSERT_EQ(t->ActionsAt(6).size(), 2u);
  EXPECT_EQ(t->ActionsAt(6)[0].x, -20);
  EXPECT_EQ(t->ActionsAt(6)[0].y, -32768);
  EXPECT_EQ(t->ActionsAt(6)[1].x, 32767);
  EXPECT_EQ(t->ActionsAt(7)[0].y, -1);
}

TEST(InputTimelineTest, KeyNames) {
  EXPECT_EQ(InputTimeline::KeyFromName("PageUp"), Key::kPageUp);
  EXPECT_EQ(InputTimeline::KeyFromName("BackSpace"), Key::kBackspace);
  EXPECT_EQ(InputTimeline::KeyFromName("F1"), Key::kF1);
  EXPECT_EQ(InputTimeline::KeyFromName("F11"), Key::kF11);
  EXPECT_EQ(InputTimeline::KeyFromName("Z"), Key::kZ);
  EXPECT_EQ(InputTimeline::KeyFromName("F13"), Key::kNone);
  EXPECT_EQ(InputTimeline::KeyFromName("F0"), Key::kNone);
  EXPECT_EQ(InputTimeline::KeyFromName("return"), Key::kNone);
}

}  // namespace
}  // namespace zan
