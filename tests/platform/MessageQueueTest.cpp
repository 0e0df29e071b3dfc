#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

namespace zan {
namespace {

TEST(MessageQueueTest, TakesMessagesInOrderAndByFilter) {
  MessageQueue q;
  q.Post({WM_KEYDOWN, VK_SPACE, 0});
  q.Post({WM_LBUTTONUP, 0, 0});
  q.Post({WM_KEYDOWN, VK_RETURN, 0});
  WindowMessage m;
  ASSERT_TRUE(q.Peek(&m, WM_LBUTTONUP, WM_LBUTTONUP, true));
  EXPECT_EQ(m.message, WM_LBUTTONUP);
  ASSERT_TRUE(q.Peek(&m, 0, 0, false));  // peeking without removal keeps it
  EXPECT_EQ(m.wParam, VK_SPACE);
  ASSERT_TRUE(q.Peek(&m, 0, 0, true));
  ASSERT_TRUE(q.Peek(&m, 0, 0, true));
  EXPECT_EQ(m.wParam, VK_RETURN);
  EXPECT_FALSE(q.Peek(&m, 0, 0, true));
}

TEST(MessageQueueTest, ConsecutivePointerMovesMergeIntoTheLatest) {
  MessageQueue q;
  q.Post({WM_MOUSEMOVE, 0, MakeLParam(1, 1)});
  q.Post({WM_MOUSEMOVE, 0, MakeLParam(2, 2)});
  q.Post({WM_LBUTTONDOWN, 0, MakeLParam(2, 2)});
  q.Post({WM_MOUSEMOVE, 0, MakeLParam(3, 3)});
  EXPECT_EQ(q.Size(), 3u);
  WindowMessage m;
  q.Peek(&m, 0, 0, true);
  EXPECT_EQ(m.lParam, MakeLParam(2, 2));
}

TEST(MessageQueueTest, QuitComesAfterEveryEarlierMessage) {
  MessageQueue q;
  q.Post({WM_KEYUP, VK_RETURN, 0});
  q.PostQuit(3);
  WindowMessage m;
  q.Peek(&m, 0, 0, true);
  EXPECT_EQ(m.message, WM_KEYUP);
  ASSERT_TRUE(q.Peek(&m, 0, 0, true));
  EXPECT_EQ(m.message, WM_QUIT);
  EXPECT_EQ(m.wParam, 3u);
  EXPECT_FALSE(q.Peek(&m, 0, 0, true));
}

TEST(WindowMessageTest, ParameterPacking) {
  EXPECT_EQ(LowWord(static_cast<uintptr_t>(MakeLParam(799, 599))), 799);
  EXPECT_EQ(HighWord(static_cast<uintptr_t>(MakeLParam(799, 599))), 599);
  EXPECT_EQ(WheelDelta(MakeWheelWParam(-120, MK_LBUTTON)), -120);
  EXPECT_EQ(WheelDelta(MakeWheelWParam(240, 0)), 240);
  EXPECT_EQ(LowWord(MakeWheelWParam(-120, MK_LBUTTON)), MK_LBUTTON);
}

}  // namespace
}  // namespace zan
