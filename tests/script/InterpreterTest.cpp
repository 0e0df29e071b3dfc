// The interpreter on the headless clock: click, timed, auto and skip waits, text into the
// message area, the command table, game modes, the timed-wait task.

#include "script/Interpreter.h"

#include <gtest/gtest.h>

#include "ScriptTestGame.h"
#include "script/DelayTask.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,x,0,0,100\n"
    "INT,g_scene_mode,0,0,1\n";

class InterpreterTest : public ::testing::Test {
 protected:
  void Play(const char* script, bool readFlags = true) {
    game.WriteArchives({{"main.txt", script}, {"other.txt", "[far]<Mov x, 50>\n"}},
                       {{"variable.csv", kVariables}});
    game.Open(readFlags);
    game.Game().StartGame("main.txt");
  }
  Interpreter& G() { return game.Game(); }
  uint32_t Now() { return game.Platform().GetClock().Milliseconds(); }
  // Frames of `ms` each until `done` holds; false when it still does not after `limit`.
  template <typename Done>
  bool FramesUntil(Done done, uint32_t ms, int limit = 1000) {
    for (int i = 0; i < limit && !done(); ++i) game.Frames(1, ms);
    return done();
  }

  ScriptTestGame game{"gamemain"};
};

TEST_F(InterpreterTest, TextGoesToTheAreaAndAClickAdvancesThePage) {
  Play("【話し手】\n一ページ目[label]です。<KW>\n<Inc x>二ページ目<KW>\n<Inc x>\n");
  game.Frames(1);
  MessageArea& area = G().CurrentArea();
  EXPECT_EQ(area.SpeakerName(), Sjis("話し手"));
  EXPECT_EQ(area.Text(), Sjis("一ページ目です。"));
  EXPECT_FALSE(area.IsAllShown());  // it types itself out
  EXPECT_TRUE(G().ClickWait());
  game.Frames(20);
  EXPECT_TRUE(area.IsAllShown());
  EXPECT_EQ(game.Var("x"), 0);  // the page waits for the player
  game.Click();
  game.Frames(1);
  EXPECT_EQ(game.Var("x"), 1);
  // The area was not cleared: the page continues after a line break.
  EXPECT_EQ(area.Text(), Sjis("一ページ目です。\r\n二ページ目"));
}

TEST_F(InterpreterTest, AScriptEndingWithoutAWaitLeavesItsLastPageUnshown) {
  Play("<Mov x, 1>最後の文\n<Mov x, 2>\n");
  game.Frames(5);
  EXPECT_EQ(game.Var("x"), 2);
  EXPECT_TRUE(G().CurrentArea().HoldsText());
  EXPECT_FALSE(G().CurrentArea().IsAllShown());
  EXPECT_GE(G().ReadPosition(), G().Record().Size());  // idle
}

TEST_F(InterpreterTest, AClickDuringATimedWaitIsConsumedWithoutAdvancing) {
  Play("<TW 500>待ち<KW>\n<Inc x>\n");
  game.Frames(1, 10);
  EXPECT_TRUE(G().Timed().active);
  game.Frames(2, 10);
  G().Click();  // pending during the wait
  game.Frames(10, 10);
  EXPECT_EQ(G().GetClickState(), kClickReleased);  // still pending: the update ends early
  game.Frames(60, 10);  // the wait ends, the page is presented, the click is consumed
  EXPECT_FALSE(G().Timed().active);
  EXPECT_TRUE(G().ClickWait());
  EXPECT_EQ(G().GetClickState(), kClickNone);
  game.Frames(10);
  EXPECT_EQ(game.Var("x"), 0);
}

TEST_F(InterpreterTest, ATimedWaitResumesByItselfAfterItsDuration) {
  Play("<TW x>\n<Mov x, 9>\n");  // the duration is a numeric argument: x = 0, no wait
  game.Frames(2, 1);
  EXPECT_EQ(game.Var("x"), 9);
  Play("<Mov x, 40><TW x>\n<Mov x, 1>\n");
  const uint32_t start = Now();
  ASSERT_TRUE(FramesUntil([&] { return game.Var("x") == 1; }, 1));
  // Started at the first frame, done at the first update 40 ms later.
  EXPECT_EQ(Now() - start, 41u);
}

TEST_F(InterpreterTest, AutoModeAdvancesAfterItsPace) {
  Play("一<KW>\n<Inc x>二<KW>\n<Inc x>\n");
  G().Options().autoPace = 8;  // (11 - 8) x 500 = 1500 ms after the page finished
  G().RequestAuto();
  game.Frames(1, 10);
  EXPECT_EQ(G().Options().autoMode, 1);
  const uint32_t shown = Now() - 10;
  ASSERT_TRUE(FramesUntil([&] { return game.Var("x") != 0; }, 10));
  EXPECT_GE(Now() - shown, 1500u);
  EXPECT_LE(Now() - shown, 1530u);
  G().Options().autoPace = 10;  // 500 ms
  const uint32_t second = Now();
  ASSERT_TRUE(FramesUntil([&] { return game.Var("x") != 1; }, 10));
  EXPECT_LE(Now() - second, 540u);
}

TEST_F(InterpreterTest, SkipRunsOverReadPagesAndStopsAtUnreadOnes) {
  Play("一<KW>\n<Inc x>二<KW>\n<Inc x>三<KW>\n<Inc x>\n");
  game.Frames(1);
  game.Click();
  game.Frames(2);  // pages one and two are read now
  ASSERT_EQ(game.Var("x"), 1);
  G().StartGame("main.txt");  // the same story again
  int32_t rates = 0;
  G().SetFrameRateSink([&](int32_t fps) { rates = rates * 100 + fps; });
  game.Frames(1);
  G().RequestSkip();
  game.Frames(10);
  EXPECT_EQ(game.Var("x"), 2);            // skipped page two, stopped on unread page three
  EXPECT_EQ(G().Options().skipMode, 0);
  EXPECT_EQ(rates, 30);                   // unlimited (0) while skipping, then 30 again
  G().Options().skipUnread = 1;
  G().RequestSkip();
  game.Frames(5);
  EXPECT_EQ(game.Var("x"), 3);
  EXPECT_EQ(G().Options().skipMode, 1);   // nothing unread stops it now
}

TEST_F(InterpreterTest, SkipCancelsTimedWaitsAndEveryPageIsReadWithoutATable) {
  Play("一<KW>\n<TW 100000><Inc x>二<KW>\n<Inc x>\n", false);
  game.Frames(1);
  G().RequestSkip();
  game.Frames(5);
  EXPECT_EQ(game.Var("x"), 2);
}

TEST_F(InterpreterTest, ClicksFromTheWindowAndAHiddenWindow) {
  Play("一<KW>\n<Inc x>二<KW>\n<Inc x>\n");
  game.Frames(1);
  G().ToggleWindowHiddenByPlayer();
  G().Click();  // only shows the window again
  game.Frames(3);
  EXPECT_FALSE(G().WindowHiddenByPlayer());
  EXPECT_EQ(game.Var("x"), 0);
  G().Start();
  game.Tasks().SweepEndedTasks();
  // Button events reach the interpreter's own receiver: a press, held after.
  G().InputReceiver().HandleEvent(InputEvent::ButtonDown(PointerButton::kLeft, 0, 0));
  EXPECT_EQ(G().GetClickState(), kClickPressed);
  game.Frames(1);
  EXPECT_EQ(G().GetClickState(), kClickHeld);
  G().Options().rightClickAction = 0;
  G().InputReceiver().HandleEvent(InputEvent::ButtonUp(PointerButton::kRight, 0, 0));
  EXPECT_EQ(G().Options().skipRequest, 1);
  G().InputReceiver().HandleEvent(InputEvent::KeyDown(Key::kUp));
  EXPECT_EQ(G().Input().arrow, ArrowKey::kUp);

  // When the key configuration already runs the right-button action for the release
  // (right button -> 取消), the receiver leaves it alone: one release, one action.
  G().Options().rightClickAction = 1;
  G().SetRightButtonMappedToCancel(true);
  G().InputReceiver().HandleEvent(InputEvent::ButtonUp(PointerButton::kRight, 0, 0));
  EXPECT_FALSE(G().WindowHiddenByPlayer());
  G().RightButtonAction();  // what the 取消 action does
  EXPECT_TRUE(G().WindowHiddenByPlayer());
}

TEST_F(InterpreterTest, AnEndlessLoopLetsTheFrameEnd) {
  Play("[loop]<Jump loop>\n");
  game.Frames(2);  // returns: the loop goes on in the next frame
  EXPECT_TRUE(G().IsRunning());
}

TEST_F(InterpreterTest, GameModesAndDemos) {
  Play("<DemoRun other.txt, far><Mov x, 1><KW>\n");
  game.Frames(1);
  EXPECT_EQ(G().Mode(), kModeDemo);
  EXPECT_EQ(game.Var("g_scene_mode"), 1);
  G().EndDemo();  // as any released key does in the demo
  EXPECT_EQ(G().Mode(), kModeStory);
  EXPECT_EQ(game.Var("g_scene_mode"), 0);
  EXPECT_EQ(G().Record().name, "other.txt");
  G().SetClickWait(false);
  game.Frames(1);
  EXPECT_EQ(game.Var("x"), 50);
  for (GameMode mode : {kModeGalleryReplay, kModeSceneReplay, kModeMusicRoom, kModeTreasureGallery,
                        kModeDemo}) {
    G().SetGameMode(mode);
    EXPECT_EQ(game.Var("g_scene_mode"), mode >= 2 ? 1 : 0) << mode;
  }
}

TEST_F(InterpreterTest, TitleReturnEndsTheStoryAndWritesTheStateFiles) {
  Play("一<KW>\n<TitleReturn>\n<Mov x, 1>\n");
  game.Frames(1);
  game.Click();
  game.Frames(3);
  EXPECT_FALSE(G().IsRunning());
  EXPECT_EQ(game.Var("x"), 0);
  EXPECT_TRUE(std::filesystem::exists(game.Dir() / "sys" / "kidoku.dat"));
  EXPECT_TRUE(std::filesystem::exists(game.Dir() / "sys" / "option.dat"));
}

TEST(CommandTable, TheWholeCatalogueInItsOrder) {
  CommandTable table;
  EXPECT_EQ(table.Size(), 118u);
  EXPECT_EQ(table.NameAt(0), "ImageCreate");
  EXPECT_EQ(table.NameAt(117), "WebJump");
  EXPECT_LT(table.Position("SoundLoopPos"), table.Position("ZoomCreate"));
  EXPECT_LT(table.Position("ZoomFade"), table.Position("SoundFade"));
  EXPECT_LT(table.Position("SoundFade"), table.Position("Update"));
  EXPECT_EQ(table.Position("/winfontcolor"), table.Position("/WinFontColor"));
  EXPECT_EQ(table.Position("NoSuchCommand"), -1);
  EXPECT_EQ(table.Find("ImageLoad"), nullptr);  // known, handled by a later family
  EXPECT_FALSE(table.SetHandler("NoSuchCommand", [](const CommandCall&) {
    return DispatchResult::kContinue;
  }));
  EXPECT_TRUE(table.SetHandler("imageload", [](const CommandCall&) {
    return DispatchResult::kStopFrame;
  }));
  EXPECT_NE(table.Find("IMAGELOAD"), nullptr);
}

TEST(Delay, CallsBackAfterItsDuration) {
  HeadlessPlatform platform;
  TaskScheduler tasks{platform.GetClock()};
  DelayTask wait(tasks);
  GameTask caller(tasks, "Caller", "caller");
  bool done = false;
  wait.Start(100, &caller, [&] { done = true; });
  uint32_t elapsed = 0;
  while (!done && elapsed < 1000) {
    tasks.RunFrame();
    platform.GetClock().Advance(1);
    ++elapsed;
  }
  EXPECT_TRUE(done);
  // 100 ms: steps of 1 ms, factor 2: 255 is reached at 128 ms.
  EXPECT_EQ(elapsed, 129u);
}

}  // namespace
}  // namespace zan
