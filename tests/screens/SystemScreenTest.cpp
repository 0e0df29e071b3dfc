// A screen built on the kit: opened with its button table and pictures, drawn in place of
// the story, clicked with the mouse or the keys, closed by Escape, blocked while the
// question it asked shows, and refused when its table is missing.

#include "screens/SystemScreen.h"

#include <gtest/gtest.h>

#include <fstream>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScreenRig.h"
#include "ScreenTestGame.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "platform/ReceiverList.h"
#include "platform/VirtualClock.h"
#include "screens/SystemSounds.h"
#include "screens/YesNoDialog.h"
#include "script/Options.h"
#include "sound/SoundManager.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using test::BmpForm;

constexpr Rgb kBackground{30, 40, 50}, kStory{200, 200, 200};
constexpr Rgb kLooks[4] = {{200, 0, 0}, {0, 0, 200}, {200, 200, 0}, {90, 90, 90}};

// The title's table: three buttons of 20 x 10 in a row; the other seven items have no row.
const char* kTable =
    "タイトル,10\n"
    "項目,メモ,X,Y,幅,高さ,通常X,通常Y,上X,上Y,押下X,押下Y,無効X,無効Y\n"
    "一,,10,10,20,10,0,0,20,0,40,0,60,0\n"
    "二,,40,10,,,,,,,,,,\n"
    "三,,70,10,,,,,,,,,,\n";

class TestScreen : public SystemScreen {
 public:
  using SystemScreen::SystemScreen;
  std::vector<int32_t> clicked;
  int cancels = 0;
  int frames = 0;
  DialogTicket question;

 protected:
  void OnButton(int32_t number) override {
    clicked.push_back(number);
    if (number == 3) question = services_.dialog.Ask(DialogKind::kQuitFromScreen);
  }
  void OnCancel() override {
    ++cancels;
    SystemScreen::OnCancel();
  }
  void OnFrame() override { ++frames; }
};

class StoryLayer : public FrameLayer {
 public:
  void Draw(Surface& frame) override { frame.FillAll(kStory.r, kStory.g, kStory.b); }
};

class SystemScreenTest : public test::ScreenRig {
 protected:
  SystemScreenTest()
      : ScreenRig({{"chip.bmp", test::MakeBmp(80, 10, BmpForm::kRgb24, [](int32_t x, int32_t) { return kLooks[x / 20]; })},
                   {"bg.bmp", test::FlatBmp(100, 60, BmpForm::kRgb24, kBackground)}},
                  {{"system4.lib", testing::ScrambledLib(kTable)}}) {}
  void SetUp() override {
    SetUpFrame(100, 60);
    tasks.AddTask(&story, kOrderScreen);
    compositor.Add(Layer::kStage, storyLayer, story);
  }
  bool Open() {
    return screen.OpenScreen(&caller, [this] { ++callbacks; }, {DefinitionFileId::kTitle, "bg.bmp", "chip.bmp"});
  }

  TestScreen screen{services, "CTitle", "CTitle::test"};
  Task story{"story"};
  StoryLayer storyLayer;
  GameTask caller{tasks, "caller", "caller"};
  int callbacks = 0;
};

TEST_F(SystemScreenTest, ItOpensWithItsTableAndIsDrawnInPlaceOfTheStory) {
  tasks.RunFrame();
  EXPECT_EQ(At(50, 50), kStory);
  Event(InputEvent::PointerMove(45, 15));
  ASSERT_TRUE(Open());
  EXPECT_TRUE(screen.IsRunning());
  EXPECT_EQ(screen.OrderKey(), kOrderScreen);
  EXPECT_FALSE(Open());  // open already
  ASSERT_EQ(screen.Buttons().Count(), 10);
  EXPECT_EQ(screen.Buttons().Selected(), 2);  // under the pointer from the start
  tasks.RunFrame();
  EXPECT_EQ(At(50, 50), kBackground);
  EXPECT_EQ(At(10, 10), kLooks[0]);
  EXPECT_EQ(At(29, 19), kLooks[0]);
  EXPECT_EQ(At(30, 15), kBackground);  // drawn at its size, 20 x 10
  EXPECT_EQ(At(45, 15), kLooks[1]);    // hovered
  EXPECT_EQ(At(89, 19), kLooks[0]);    // the empty fields took the row above's
  EXPECT_EQ(At(90, 15), kBackground);
  EXPECT_EQ(screen.frames, 1);
}

TEST_F(SystemScreenTest, TheMouseAndTheKeysClickItsButtonsAndEscapeClosesIt) {
  ASSERT_TRUE(Open());
  Click(15, 15);
  tasks.RunFrame();
  Click(0, 0);  // the zeroed items do not catch the corner
  tasks.RunFrame();
  Event(InputEvent::PointerMove(95, 55));
  Key(Key::kRight);  // from no selection: the leftmost
  Key(Key::kRight);
  tasks.RunFrame();
  EXPECT_EQ(At(45, 15), kLooks[1]);  // the focus looks like the hover
  Key(Key::kReturn);
  tasks.RunFrame();
  EXPECT_EQ(screen.clicked, (std::vector<int32_t>{1, 2}));
  EXPECT_EQ(callbacks, 0);
  Key(Key::kEscape);
  tasks.RunFrame();
  EXPECT_EQ(screen.cancels, 1);
  EXPECT_EQ(callbacks, 1);
  EXPECT_FALSE(screen.IsRunning());
  tasks.RunFrame();
  EXPECT_EQ(At(50, 50), kStory);
  // Closed, it hears nothing.
  Click(15, 15);
  tasks.RunFrame();
  EXPECT_EQ(screen.clicked.size(), 2u);
}

TEST_F(SystemScreenTest, WhileItsQuestionShowsTheButtonsAreBlocked) {
  ASSERT_TRUE(Open());
  Click(75, 15);  // button 3 asks
  tasks.RunFrame();
  ASSERT_TRUE(screen.question.Valid());
  EXPECT_TRUE(dialog.IsOpen());
  for (int i = 0; i < 8; ++i) tasks.RunFrame();
  // The pointer over button 1 behind the dialog: no hover, and its click is the dialog's.
  Click(15, 15);
  Key(Key::kDown);
  for (int i = 0; i < 3; ++i) tasks.RunFrame();
  EXPECT_EQ(screen.Buttons().Selected(), 0);
  EXPECT_EQ(screen.clicked, (std::vector<int32_t>{3}));
  Key(Key::kEscape);  // answers no
  for (int i = 0; i < 10; ++i) tasks.RunFrame();
  EXPECT_EQ(dialog.AnswerOf(screen.question), DialogAnswer::kNo);
  EXPECT_EQ(screen.cancels, 0);  // the dialog's Escape never reached the screen
  EXPECT_EQ(screen.Buttons().Selected(), 1);  // the pointer rests on button 1
  EXPECT_TRUE(screen.IsRunning());
}

TEST_F(SystemScreenTest, WithoutItsButtonTableTheScreenDoesNotOpen) {
  test::ScreenTestGame bare({}, {});
  ScreenServices bareServices{tasks, compositor, bare.Data(), options, sounds, dialog, mouse};
  TestScreen lonely{bareServices, "CConfig", "CConfig::test"};
  EXPECT_FALSE(lonely.OpenScreen(&caller, {}, {DefinitionFileId::kConfig, "", "chip.bmp"}));
  EXPECT_FALSE(lonely.IsRunning());
  // The game data reader said which file it missed.
  std::ifstream log(bare.Dir() / "GameErrorLog.txt", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  EXPECT_NE(text.find("system3-1.lib"), std::string::npos) << SjisToUtf8(text);
}

TEST_F(SystemScreenTest, AScreenThatCanWaitWithoutItsTableOpensWithEveryButtonZeroed) {
  test::ScreenTestGame bare({}, {});
  ScreenServices bareServices{tasks, compositor, bare.Data(), options, sounds, dialog, mouse};
  TestScreen title{bareServices, "CTitle", "CTitle::test"};
  ScreenLayout layout{DefinitionFileId::kTitle, "", "chip.bmp"};
  layout.tableRequired = false;
  ASSERT_TRUE(title.OpenScreen(&caller, {}, layout));
  EXPECT_TRUE(title.IsRunning());
  // Every item the screen reads, none with an area: nothing can be hit, not even at 0, 0.
  ASSERT_EQ(title.Buttons().Count(), Definition(DefinitionFileId::kTitle).rowLimit);
  for (int32_t n = 1; n <= title.Buttons().Count(); ++n) EXPECT_FALSE(title.Buttons().Button(n).rect.HasArea()) << n;
  EXPECT_EQ(title.Buttons().HitTest(0, 0), 0);
}

}  // namespace
}  // namespace zan
