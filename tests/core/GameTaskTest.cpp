#include "core/GameTask.h"

#include <gtest/gtest.h>

#include "core/TaskScheduler.h"
#include "platform/ReceiverList.h"
#include "platform/VirtualClock.h"

namespace zan {
namespace {

class GameTaskTest : public ::testing::Test {
 protected:
  GameTaskTest() { manager.SetReceivers(&receivers); }
  ReceiverList receivers;
  VirtualClock clock;
  TaskScheduler manager{clock};
};

TEST_F(GameTaskTest, EndCallsTheCallbackOnTheCallerExactlyOnce) {
  GameTask game(manager, "CGameMain", "CGameMain::game"), screen(manager, "CTitle", "CTitle::title");
  int calls = 0;
  game.Start();
  EXPECT_TRUE(screen.Open(&game, [&] {
    ++calls;
    game.Start();
  }));
  game.End();
  manager.RunFrame();
  EXPECT_FALSE(game.IsRunning());
  EXPECT_FALSE(screen.Open(&game, [] {}));  // already running: nothing changes

  screen.End();
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(game.IsRunning());
  EXPECT_EQ(screen.Caller(), nullptr);
  EXPECT_FALSE(screen.HasOnEnd());
  screen.End();
  EXPECT_EQ(calls, 1);
}

TEST_F(GameTaskTest, SuspendAndResumeKeepTheStartKeyCallerAndCallback) {
  GameTask game(manager, "CGameMain", "g"), screen(manager, "CConfig", "c");
  screen.Open(&game, [] {}, kOrderMessage);
  EXPECT_TRUE(screen.Suspend());
  manager.RunFrame();
  EXPECT_FALSE(screen.IsRunning());
  EXPECT_FALSE(screen.Suspend());
  EXPECT_EQ(screen.Resume(), LinkResult::kLinked);
  EXPECT_TRUE(screen.IsRunning());
  EXPECT_EQ(screen.OrderKey(), kOrderMessage);
  EXPECT_EQ(screen.Caller(), &game);
  EXPECT_TRUE(screen.HasOnEnd());
  EXPECT_EQ(screen.Resume(), LinkResult::kAlreadyLinked);  // nothing changes
}

TEST_F(GameTaskTest, RestartingInTheWalkThatEndedItIsLostToTheSweep) {
  GameTask a(manager, "A", "a");
  a.Start();
  a.SetHandler(0, [&] {
    a.End();
    EXPECT_EQ(a.Start(), LinkResult::kAlreadyLinked);  // still linked until the sweep
  });
  manager.RunPhase(0);
  EXPECT_FALSE(a.IsRunning());
}

TEST_F(GameTaskTest, ClickReceiverNoticesReleasesAndEnterWhileRegistered) {
  GameTask screen(manager, "CSaveLoad", "s");
  auto& click = screen.Click();
  EXPECT_EQ(click.Name(), "CSaveLoad");
  screen.Start();
  EXPECT_TRUE(receivers.Contains(&click));

  struct Case {
    InputEvent event;
    bool clicks;
  } cases[] = {
      {InputEvent::ButtonUp(PointerButton::kLeft, 0, 0), true},
      {InputEvent::ButtonUp(PointerButton::kRight, 0, 0), true},
      {InputEvent::KeyUp(Key::kReturn), true},
      {InputEvent::ButtonUp(PointerButton::kMiddle, 0, 0), false},
      {InputEvent::KeyUp(Key::kSpace), false},
      {InputEvent::KeyDown(Key::kReturn), false},
      {InputEvent::ButtonDown(PointerButton::kLeft, 0, 0), false},
  };
  for (const auto& c : cases) {
    click.clicked = click.clickedLatch = 0;
    EXPECT_FALSE(receivers.OfferEvent(c.event, nullptr));
    EXPECT_EQ(click.clicked, c.clicks ? 1 : 0) << static_cast<int>(c.event.kind);
    EXPECT_EQ(click.clickedLatch, c.clicks ? 1 : 0);
  }
  click.enabled = 0;
  click.clicked = 0;
  receivers.OfferEvent(InputEvent::ButtonUp(PointerButton::kLeft, 0, 0), nullptr);
  EXPECT_EQ(click.clicked, 0);

  click.enabled = 1;
  screen.End();
  receivers.OfferEvent(InputEvent::ButtonUp(PointerButton::kLeft, 0, 0), nullptr);
  EXPECT_EQ(click.clicked, 0);
  EXPECT_FALSE(receivers.Contains(&click));
}

TEST_F(GameTaskTest, DestroyedTaskLeavesNoReceiverOrLinkBehind) {
  {
    GameTask temp(manager, "Temp", "t");
    temp.Start(kOrderOverlay);
  }
  EXPECT_EQ(receivers.Count(), 0u);
  int tasks = 0;
  manager.ForEachTask([&](const Task&) { ++tasks; });
  EXPECT_EQ(tasks, 2);
}

}  // namespace
}  // namespace zan
