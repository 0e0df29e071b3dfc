#include "app/GameApp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>

#include "app/KeyConfig.h"
#include "base/ShiftJis.h"
#include "script/Interpreter.h"
#include "screens/TitleScreen.h"
#include "screens/YesNoDialog.h"
#include "platform/headless/HeadlessPlatform.h"
#include "core/Task.h"

namespace zan {
namespace {

class GameAppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = std::filesystem::temp_directory_path() / ("zan_gameapp_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "run");
    std::filesystem::create_directories(root / "game");
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    platform.GetMessageBoxes().SetQuiet(true);
  }
  void TearDown() override {
    std::filesystem::remove_all(root);
  }
  std::filesystem::path root;
  HeadlessPlatform platform;
  Harness harness;
};

TEST_F(GameAppTest, RunsTheFrameLimitOnTheVirtualClockAndShutsDown) {
  harness.SetFrameLimit(300);
  GameApp app(platform, harness);
  ASSERT_TRUE(app.CheckSingleInstance());
  ASSERT_TRUE(app.LocateGameData(0, (root / "game").string()));
  EXPECT_EQ(app.Run(800, 600), 0);
  EXPECT_EQ(app.FrameCount(), 299u);
  // 300 frames paced at 30 a second: the last deadline is at 9999 ms, then the 1 ms sleep.
  EXPECT_EQ(platform.GetClock().Milliseconds(), 10000u);
  EXPECT_FALSE(platform.GetWindow().IsCreated());
  EXPECT_EQ(app.ErrorReport().LogPath(), (root / "game").string() + "/GameErrorLog.txt");
  EXPECT_FALSE(InstanceLock::IsHeld("torami_trial_app"));  // released at shut-down
}

TEST_F(GameAppTest, TheDisplayPresentsTheBlackBackBufferLastInEveryFrame) {
  // Without --start the title opens and plays its opening: 2000 + 250 ms of fades, 3000 +
  // 1000 ms of waits, then 1000 + 2000 + 6 x 1000 ms of fades, 15250 ms (under 470 frames at
  // 30 a second). This game has none of its pictures and no menu: every picture is black,
  // and after the opening the title waits, changing nothing.
  constexpr uint64_t kAfterCross = 480;
  harness.SetFrameLimit(kAfterCross + 10);
  GameApp app(platform, harness);
  app.LocateGameData(0, (root / "game").string());
  uint64_t composedAfterCross = 0;
  size_t presentsAfterCross = 0;
  bool drawTaskLast = false;
  bool compositorBeforeIt = false;
  int32_t spareWidth = 0;
  harness.AddFrameHook([&](uint64_t frame) {
    if (frame == kAfterCross) {
      composedAfterCross = app.Compositor().ComposedFrames();
      presentsAfterCross = platform.GetPresenter().PresentCount();
    }
    // Not made at start-up; made when asked for.
    if (std::as_const(app).SpareSurface(0).Width() == 0) spareWidth = app.SpareSurface(0).Width();
    drawTaskLast = app.Tasks().TailTask().Previous() == &app.GetDisplay();
    compositorBeforeIt = app.GetDisplay().Previous() == &app.Compositor();
  });
  app.Run(800, 600);
  EXPECT_TRUE(drawTaskLast);
  // The frame is composed last in phase 1, at the display's key.
  EXPECT_TRUE(compositorBeforeIt);
  EXPECT_EQ(app.Compositor().OrderKey(), kOrderDraw);
  EXPECT_EQ(app.GetDisplay().OrderKey(), kOrderDraw);
  EXPECT_EQ(app.GetDisplay().PixelFormatCode(), 8888);
  HeadlessPresenter& screen = platform.GetPresenter();
  // Once the opening is over, the frames change nothing: none is composed or presented.
  EXPECT_GT(composedAfterCross, 0u);
  EXPECT_EQ(app.Compositor().ComposedFrames(), composedAfterCross);
  EXPECT_GE(app.Compositor().UndrawnFrames(), 10u);
  EXPECT_EQ(screen.PresentCount(), presentsAfterCross);
  ASSERT_EQ(screen.Screen().width, 800);
  EXPECT_EQ(screen.Screen().pixels[(599 * 800 + 799) * 4 + 2], 0);
  // Without system4.lib every button is zeroed: the title waits in its menu.
  EXPECT_EQ(app.Title().Phase(), TitleScreen::kMenuPhase);
  EXPECT_EQ(spareWidth, 800);
  EXPECT_EQ(std::as_const(app).SpareSurface(0).Width(), 0);  // released at shut-down
  EXPECT_EQ(std::as_const(app).SpareSurface(1).Width(), 0);  // never asked for
}

TEST_F(GameAppTest, ADisplayInAnUnknownPixelFormatStopsTheGame) {
  platform.GetPresenter().SetDisplayFormat({16, 0x0F00, 0x00F0, 0x000F});
  harness.SetFrameLimit(10);
  GameApp app(platform, harness);
  app.LocateGameData(0, (root / "game").string());
  app.Run(800, 600);
  EXPECT_TRUE(app.StartFailed());
  EXPECT_EQ(app.GetDisplay().PixelFormatCode(), 0);
  auto& shown = platform.GetMessageBoxes().History();
  ASSERT_FALSE(shown.empty());  // after the start-up's own (the empty game folder's)
  EXPECT_EQ(shown.back().text, Sjis("DirectDrawに対応していません。"));
  EXPECT_EQ(shown.back().caption, "ERROR");
  EXPECT_FALSE(platform.GetPresenter().IsFullScreen());
}

TEST_F(GameAppTest, FullScreenTogglesBothWaysAndLosingTheFocusLeavesIt) {
  harness.SetFrameLimit(7);
  GameApp app(platform, harness);
  app.LocateGameData(0, (root / "game").string());
  std::vector<bool> fullScreen;
  harness.AddFrameHook([&](uint64_t frame) {
    if (frame == 0 || frame == 1) app.ToggleFullScreen();
    if (frame == 2) app.ToggleFullScreen(1);
    if (frame == 3) platform.GetWindow().PostEvent(InputEvent::Of(InputEvent::Kind::kFocusLost));
    if (frame == 5) EXPECT_TRUE(app.DoAction(kActionScreenMode, 0));  // the 画面変更 key
    fullScreen.push_back(platform.GetPresenter().IsFullScreen());
  });
  app.Run(800, 600);
  // The deactivation posted after frame 3 is taken in frame 4.
  EXPECT_EQ(fullScreen, (std::vector<bool>{true, false, true, true, false, true, true}));
}

TEST_F(GameAppTest, TheCloseBoxAsksToQuitInsteadOfClosingTheWindow) {
  auto t = InputTimeline::Parse("3 close\n20 close");
  ASSERT_TRUE(t.ok());
  harness.SetTimeline(std::move(*t));
  harness.SetFrameLimit(100);
  GameApp app(platform, harness);
  app.LocateGameData(0, (root / "game").string());
  bool closedDirectly = false;
  std::vector<uint64_t> open;
  harness.AddFrameHook([&](uint64_t frame) {
    closedDirectly = closedDirectly || !platform.GetWindow().IsCreated();
    if (app.Dialog().IsOpen()) open.push_back(frame);
  });
  app.Run(800, 600);
  EXPECT_FALSE(closedDirectly);
  // Nobody answers: the question stays from the frame of the request to the end, and the
  // second request asks nothing more.
  EXPECT_EQ(app.FrameCount(), 99u);
  ASSERT_FALSE(open.empty());
  EXPECT_EQ(open.front(), 3u);
  EXPECT_EQ(open.size(), 97u);
  EXPECT_TRUE(app.QuitRequestPending());
}

TEST_F(GameAppTest, YesToTheQuitQuestionEndsTheLoopWhenThePanelHasFadedOut) {
  // Left chooses yes in the shown panel, Enter confirms at frame 41 (its release).
  auto t = InputTimeline::Parse("3 close\n30 key Left\n40 key Return");
  ASSERT_TRUE(t.ok());
  harness.SetTimeline(std::move(*t));
  harness.SetFrameLimit(200);
  GameApp app(platform, harness);
  app.LocateGameData(0, (root / "game").string());
  app.Run(800, 600);
  // The fade-out draws at 255, 205, 155, 105, 55 and 5 (frames 42..47); the dialog ends in
  // the next frame and the loop after it.
  EXPECT_EQ(app.FrameCount(), 48u);
  EXPECT_FALSE(app.QuitRequestPending());
}

TEST_F(GameAppTest, ASecondCopyIsRefusedAndTheStartMenuNamedFirst) {
  GameApp first(platform, harness);
  ASSERT_TRUE(first.CheckSingleInstance());
  GameApp second(platform, harness);
  EXPECT_FALSE(second.CheckSingleInstance());
  auto& shown = platform.GetMessageBoxes().History();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, Sjis("既にゲームが起動されています。"));
  EXPECT_EQ(shown[0].caption, Sjis("ＴＯＲＡＭＩTRIAL Ver."));
  EXPECT_EQ(shown[0].kind, kErrorBox);

  InstanceLock menu;
  ASSERT_TRUE(menu.Acquire("torami_trial_menu"));
  GameApp third(platform, harness);
  EXPECT_FALSE(third.CheckSingleInstance());
  EXPECT_EQ(shown.back().text,
            Sjis("起動メニューが起動されています、起動メニューを終了して再度起動して下さい。"));
}

TEST_F(GameAppTest, ArchivesAreFoundWithoutRegardToCase) {
  std::ofstream(root / "game" / "MSG.ARC") << "x";
  GameApp app(platform, harness);
  ASSERT_TRUE(app.LocateGameData(0, (root / "game").string()));
  EXPECT_EQ(app.InstallPath(), (root / "game").string() + "/");
  EXPECT_EQ(app.SlotPath(0), (root / "game" / "MSG.ARC").string());
  EXPECT_EQ(app.SlotPath(4), (root / "game" / "system.arc").string());
}

TEST_F(GameAppTest, StartUpLoadsTheDefinitionsAndTablesOfTheGame) {
  harness.SetFrameLimit(2);
  GameApp app(platform, harness);
  ASSERT_TRUE(app.LocateGameData(0, ZAN_TINY_GAME_DIR));
  app.Run(800, 600);
  EXPECT_EQ(app.ArchiveMode(), 1);
  EXPECT_TRUE(platform.GetMessageBoxes().History().empty());
  ASSERT_TRUE(app.KeyConfigDefinition().has_value());
  const auto& keys = *app.KeyConfigDefinition();
  const std::string header = Sjis("キー設定,動作\r\n");
  EXPECT_EQ(std::string(keys.begin(), keys.end()).substr(0, header.size()), header);
  ASSERT_TRUE(app.SystemButtonDefinition().has_value());
  EXPECT_EQ(app.EventCgList().Find("EV01.BMP"), 0);
  ASSERT_NE(app.PictureAbbreviations().Find(Sjis("背景")), nullptr);
  EXPECT_STREQ(app.PictureAbbreviations().Find(Sjis("背景"))->textA, "bg01.bmp");
}

TEST_F(GameAppTest, AGameWithoutDataStillStartsAndSaysWhatIsMissing) {
  harness.SetFrameLimit(2);
  GameApp app(platform, harness);
  ASSERT_TRUE(app.LocateGameData(0, (root / "game").string()));
  EXPECT_EQ(app.Run(800, 600), 0);
  const auto& shown = platform.GetMessageBoxes().History();
  ASSERT_EQ(shown.size(), 7u);  // five archives, then the two definition files
  EXPECT_EQ(shown[0].text, (root / "game" / "msg.arc").string() + Sjis("ファイルが見当たりません") + "\n");
  EXPECT_EQ(shown[5].text, Sjis("system2.lib がありません。"));
  EXPECT_EQ(shown[5].caption, "ERROR");
  EXPECT_EQ(shown[6].text, Sjis("system1.lib がありません。"));
  EXPECT_FALSE(app.KeyConfigDefinition().has_value());
  EXPECT_EQ(app.EventCgList().Find("ev01.bmp"), std::nullopt);
  std::ifstream log(root / "game" / "GameErrorLog.txt", std::ios::binary);
  std::string first;
  std::getline(log, first);
  EXPECT_NE(first.find(Sjis("[×]アーカイブデータがありませんでした")), std::string::npos);
}

TEST_F(GameAppTest, ButtonEventsDropWholeClicksQueuedBehindButNeverTheirOwnRelease) {
  using Kind = InputEvent::Kind;
  GameApp app(platform, harness);
  Window& w = platform.GetWindow();
  // A right press taken with its own release, a whole key click, a whole left click, and a
  // middle release queued behind it.
  w.PostEvent(InputEvent::ButtonUp(PointerButton::kRight, 0, 0));
  w.PostEvent(InputEvent::KeyDown(Key::kSpace));
  w.PostEvent(InputEvent::KeyUp(Key::kSpace));
  w.PostEvent(InputEvent::ButtonDown(PointerButton::kLeft, 0, 0));
  w.PostEvent(InputEvent::ButtonUp(PointerButton::kLeft, 0, 0));
  w.PostEvent(InputEvent::ButtonUp(PointerButton::kMiddle, 0, 0));
  EXPECT_FALSE(app.HandleEvent(InputEvent::ButtonDown(PointerButton::kRight, 0, 0)));
  InputEvent e;
  ASSERT_TRUE(w.TakeEvent(&e));
  EXPECT_TRUE(e.IsButton(Kind::kButtonUp, PointerButton::kRight));
  ASSERT_TRUE(w.TakeEvent(&e));
  EXPECT_TRUE(e.IsButton(Kind::kButtonUp, PointerButton::kMiddle));
  EXPECT_FALSE(w.TakeEvent(&e));
}

TEST_F(GameAppTest, TheCloseRequestIsTakenAndAsksToQuit) {
  GameApp app(platform, harness);
  EXPECT_FALSE(app.HandleEvent(InputEvent::Of(InputEvent::Kind::kRedraw)));
  EXPECT_FALSE(app.QuitRequestPending());
  EXPECT_TRUE(app.HandleEvent(InputEvent::Of(InputEvent::Kind::kCloseRequest)));
  EXPECT_TRUE(app.QuitRequestPending());
}

TEST_F(GameAppTest, InputActionsFireOnReleaseAndDemosEndOnAnyKey) {
  GameApp app(platform, harness);
  ASSERT_TRUE(app.LocateGameData(0, (root / "game").string()));
  Interpreter& game = app.Game();
  EXPECT_FALSE(app.DoAction(kActionSkip, 1));  // a press never acts
  EXPECT_FALSE(app.DoAction(kActionNone, 0));
  EXPECT_FALSE(app.DoAction(31, 0));
  // Without a story (the title shows) the story's actions do nothing: no skip request is
  // left for the next game, no click for a story that does not run.
  EXPECT_FALSE(app.DoAction(kActionSkip, 0));
  EXPECT_FALSE(app.DoAction(kActionDecide, 0));
  EXPECT_FALSE(app.DoAction(kActionTitle, 0));
  EXPECT_EQ(game.Options().skipRequest, 0);
  EXPECT_EQ(game.GetClickState(), kClickNone);
  EXPECT_FALSE(app.Dialog().IsOpen());
  app.StartStory("main.txt", {});
  EXPECT_TRUE(app.DoAction(kActionDecide, 0));
  EXPECT_EQ(game.GetClickState(), kClickReleased);

  game.SetGameMode(kModeDemo);
  EXPECT_FALSE(app.DoAction(kActionNone, 0));  // ends the demo instead of acting
  EXPECT_EQ(game.Mode(), kModeStory);

  // Losing the focus puts the settings back to the window.
  game.Options().displayMode = 0;
  app.HandleEvent(InputEvent::Of(InputEvent::Kind::kFocusGained));
  EXPECT_EQ(game.Options().displayMode, 0);
  app.HandleEvent(InputEvent::Of(InputEvent::Kind::kFocusLost));
  EXPECT_EQ(game.Options().displayMode, 1);
}

}  // namespace
}  // namespace zan
