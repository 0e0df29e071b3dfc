// The yes/no dialog, frame by frame as the game runs it (its task, then the frame compositor):
// the pictures of each kind, the fade in and out, the darkened screen, the keys and the
// mouse, one answer per ticket, what it takes of the input, and confirmations switched off.

#include "screens/YesNoDialog.h"

#include <gtest/gtest.h>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScreenTestGame.h"
#include "base/DiagnosticLog.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "platform/VirtualClock.h"
#include "script/Options.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

using test::BmpForm;
using Kind = InputEvent::Kind;

constexpr Rgb kBackground{200, 120, 40};
constexpr Rgb kQuitPanel{40, 60, 120}, kLoadPanel{60, 120, 40}, kTitlePanel{120, 40, 60};
constexpr Rgb kYesNormal{10, 20, 30}, kNoNormal{30, 20, 10}, kYesHover{250, 240, 230}, kNoHover{230, 240, 250};
constexpr Rgb kKey{0, 255, 0};

// A panel in one colour, its top-left pixel the transparent colour (no alpha of its own).
std::vector<uint8_t> Panel(Rgb colour) {
  return test::MakeBmp(240, 160, BmpForm::kRgb24,
                       [colour](int32_t x, int32_t y) { return x == 0 && y == 0 ? kKey : colour; });
}

// The buttons' picture: hovered looks on top, yes on the left; the picture has alpha.
std::vector<uint8_t> Buttons() {
  return test::MakeBmp(192, 64, BmpForm::kArgb32, [](int32_t x, int32_t y) {
    if (y < 32) return x < 96 ? kYesHover : kNoHover;
    return x < 96 ? kYesNormal : kNoNormal;
  });
}

// The background of the frame, drawn first in every frame as the story's stage would be.
class Backdrop : public FrameLayer {
 public:
  void Draw(Surface& frame) override { frame.FillAll(kBackground.r, kBackground.g, kBackground.b); }
};

using test::Toward;
Rgb Toward(Rgb x, Rgb y, int a) { return {Toward(x.r, y.r, a), Toward(x.g, y.g, a), Toward(x.b, y.b, a)}; }
// The screen behind a dialog drawn at opacity o: darkened by o / 4.
Rgb Darkened(int opacity) { return Toward(kBackground, {0, 0, 0}, opacity / 4); }
// A part blended at opacity o over the darkened screen: weight ((o + 1) x 256) >> 8.
Rgb Faded(Rgb part, int opacity) { return Toward(Darkened(opacity), part, opacity == 0 ? 0 : opacity + 1); }

// Points of the dialog on the screen.
constexpr int32_t kPanelX = 280, kPanelY = 184;
constexpr int32_t kYesX = kPanelX + 15 + 48, kNoX = kPanelX + 131 + 48, kButtonY = kPanelY + 101 + 16;

class YesNoDialogTest : public ::testing::Test {
 protected:
  YesNoDialogTest()
      : game({{"QUIT_dialog.bmp", Panel(kQuitPanel)},
              {"Load_dialog.bmp", Panel(kLoadPanel)},
              {"TITLEreturn_dialog.bmp", Panel(kTitlePanel)},
              {"dialog_button.bmp", Buttons()}},
             {}) {}
  void SetUp() override {
    SetSurfaceFormatCode(kFormat8888);
    ASSERT_TRUE(frame.Create(800, 600));
    tasks.AddTask(&story, kOrderScreen);
    tasks.AddTask(&compositor, kOrderDraw);
    compositor.Add(Layer::kStage, backdrop, story);
    dialog = std::make_unique<YesNoDialog>(tasks, compositor, game.Data(), options, mouse);
  }
  void TearDown() override { dialog.reset(); }

  // One frame of the game; the opacity it drew at.
  int Frame() {
    tasks.RunFrame();
    return dialog->Opacity();
  }
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  // An event as the window hands it: the pointer state first, then the dialog.
  bool Event(const InputEvent& e) {
    mouse.HandleEvent(e);
    return dialog->HandleEvent(e);
  }
  void Key(zan::Key key) {
    test::KeyEvents([this](const InputEvent& e) { Event(e); }, key);
  }
  void Click(int32_t x, int32_t y) {
    test::ClickEvents([this](const InputEvent& e) { Event(e); }, x, y);
  }
  // Frames until the question is answered; the answer, and how many frames it took.
  DialogAnswer WaitForAnswer(DialogTicket ticket, int& frames) {
    frames = 0;
    while (dialog->AnswerOf(ticket) == DialogAnswer::kPending && frames < 100) {
      Frame();
      ++frames;
    }
    return dialog->AnswerOf(ticket);
  }
  // Opens a question and runs its fade-in; fully shown from the next frame on.
  DialogTicket Shown(DialogKind kind = DialogKind::kQuit) {
    const DialogTicket t = dialog->Ask(kind);
    Frames(6);
    return t;
  }
  Rgb At(int32_t x, int32_t y) { return test::Colour(frame, x, y); }

  test::ScreenTestGame game;
  VirtualClock clock;
  TaskScheduler tasks{clock};
  Surface frame;
  FrameCompositor compositor{tasks, frame};
  Task story{"story"};
  Backdrop backdrop;
  OptionsBlock options;
  MouseState mouse;
  std::unique_ptr<YesNoDialog> dialog;
};

TEST_F(YesNoDialogTest, EveryKindHasItsPictureAndTheTarotChoiceTheLoadQuestions) {
  const std::pair<DialogKind, std::string> kinds[] = {
      {DialogKind::kQuit, "QUIT_dialog.bmp"},          {DialogKind::kQuitDuringReplay, "QUIT_dialog.bmp"},
      {DialogKind::kReturnToTitle, "TITLEreturn_dialog.bmp"}, {DialogKind::kReturnDuringReplay, "dlg_return.bmp"},
      {DialogKind::kQuitFromScreen, "QUIT_dialog.bmp"},  {DialogKind::kLoad, "Load_dialog.bmp"},
      {DialogKind::kSaveCommand, "Save_dialog.bmp"},     {DialogKind::kOverwrite, "Save_dialog.bmp"},
      {DialogKind::kDelete, "delete_dialog.bmp"},        {DialogKind::kTarot, "Load_dialog.bmp"},
  };
  for (const auto& [kind, picture] : kinds) EXPECT_EQ(YesNoDialog::PictureOf(kind), picture);
  // Shown: the tarot choice's panel is the load question's.
  Shown(DialogKind::kTarot);
  Frame();
  EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), kLoadPanel);
}

TEST_F(YesNoDialogTest, ThePanelFadesInOverSixFramesOverTheScreenDarkenedByAQuarter) {
  Event(InputEvent::PointerMove(10, 10));
  const DialogTicket t = dialog->Ask(DialogKind::kQuit);
  ASSERT_TRUE(t.Valid());
  EXPECT_TRUE(dialog->IsOpen());
  EXPECT_EQ(dialog->OrderKey(), kOrderDialog);
  std::vector<int> opacities;
  for (int i = 0; i < 8; ++i) {
    opacities.push_back(Frame());
    if (opacities.back() == 100) {
      EXPECT_EQ(At(5, 5), Darkened(100));
      EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), Faded(kQuitPanel, 100));
      // The buttons fade with it, over the faded panel.
      EXPECT_EQ(At(kYesX, kButtonY), Toward(Faded(kQuitPanel, 100), kYesNormal, 101));
      EXPECT_EQ(At(kPanelX, kPanelY), Darkened(100));          // the transparent colour
    }
  }
  EXPECT_EQ(opacities, (std::vector<int>{0, 50, 100, 150, 200, 250, 255, 255}));
  // Fully shown: the panel where it belongs, the buttons at their places.
  EXPECT_EQ(At(5, 5), Darkened(255));
  EXPECT_EQ(At(799, 599), Darkened(255));
  EXPECT_EQ(At(kPanelX + 1, kPanelY), kQuitPanel);
  EXPECT_EQ(At(kPanelX, kPanelY + 1), kQuitPanel);
  EXPECT_EQ(At(kPanelX + 239, kPanelY + 159), kQuitPanel);
  EXPECT_EQ(At(kPanelX + 240, kPanelY + 159), Darkened(255));
  EXPECT_EQ(At(kPanelX - 1, kPanelY + 10), Darkened(255));
  EXPECT_EQ(At(kPanelX, kPanelY), Darkened(255));
  EXPECT_EQ(At(kPanelX + 15, kPanelY + 101), kYesNormal);
  EXPECT_EQ(At(kPanelX + 15 + 95, kPanelY + 101 + 31), kYesNormal);
  EXPECT_EQ(At(kPanelX + 15 + 96, kPanelY + 101), kQuitPanel);
  EXPECT_EQ(At(kPanelX + 131, kPanelY + 101), kNoNormal);
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kPending);
}

TEST_F(YesNoDialogTest, LeftAndRightChooseEnterConfirmsAndThePointerAtRestDoesNotOverrule) {
  Event(InputEvent::PointerMove(kYesX, kButtonY));  // the pointer rests on yes
  const DialogTicket t = Shown();
  Frame();
  EXPECT_EQ(At(kYesX, kButtonY), kYesHover);  // chosen by where the pointer is
  Key(Key::kRight);
  Frame();
  EXPECT_EQ(At(kYesX, kButtonY), kYesNormal);
  EXPECT_EQ(At(kNoX, kButtonY), kNoHover);
  Key(Key::kLeft);
  Frame();
  EXPECT_EQ(At(kYesX, kButtonY), kYesHover);
  Key(Key::kRight);
  Key(Key::kReturn);
  int frames = 0;
  EXPECT_EQ(WaitForAnswer(t, frames), DialogAnswer::kNo);
  // The frame Enter is taken in, six frames of fade-out (255 .. 5), and the frame it ends in.
  EXPECT_EQ(frames, 8);
  EXPECT_FALSE(dialog->IsOpen());
}

TEST_F(YesNoDialogTest, ThePanelFadesOutFrom255InStepsOf50AndThenTheQuestionIsAnswered) {
  const DialogTicket t = Shown();
  Frame();
  Click(kYesX, kButtonY);
  std::vector<int> opacities;
  while (dialog->AnswerOf(t) == DialogAnswer::kPending && opacities.size() < 20) {
    EXPECT_TRUE(dialog->IsOpen());
    opacities.push_back(Frame());
  }
  EXPECT_EQ(opacities, (std::vector<int>{255, 255, 205, 155, 105, 55, 5, 0}));
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kYes);
  // Nothing of it is drawn any more.
  Frame();
  EXPECT_EQ(At(5, 5), kBackground);
  EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), kBackground);
}

TEST_F(YesNoDialogTest, EscapeDuringTheFadeInOnlyChoosesNo) {
  const DialogTicket t = dialog->Ask(DialogKind::kQuit);
  Frame();
  Key(Key::kEscape);
  Frames(10);
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kPending);
  EXPECT_EQ(At(kNoX, kButtonY), kNoHover);
  Key(Key::kReturn);
  int frames = 0;
  EXPECT_EQ(WaitForAnswer(t, frames), DialogAnswer::kNo);

  // Fully shown, Escape answers no at once.
  const DialogTicket second = Shown();
  Frame();
  Key(Key::kEscape);
  EXPECT_EQ(WaitForAnswer(second, frames), DialogAnswer::kNo);
  EXPECT_EQ(frames, 8);
}

TEST_F(YesNoDialogTest, ClicksAwayFromTheButtonsAndDuringTheFadeDoNothing) {
  const DialogTicket t = dialog->Ask(DialogKind::kQuit);
  Frame();
  Click(kYesX, kButtonY);  // during the fade-in: dropped
  Frames(8);
  EXPECT_TRUE(dialog->IsOpen());
  for (const auto& [x, y] : {std::pair{kPanelX + 120, kPanelY + 40},  // the panel
                             std::pair{kPanelX + 120, kButtonY},       // between the buttons
                             std::pair{10, 10},                        // outside the panel
                             std::pair{kPanelX + 15 + 97, kButtonY}}) {
    Click(x, y);
    Frames(10);
    EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kPending) << x << "," << y;
  }
  // Enter without a choice does nothing either.
  Key(Key::kReturn);
  Frames(10);
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kPending);
  // The buttons' edges are theirs: the last pixel of the no button answers.
  Click(kPanelX + 131 + 96, kPanelY + 101 + 32);
  int frames = 0;
  EXPECT_EQ(WaitForAnswer(t, frames), DialogAnswer::kNo);
}

TEST_F(YesNoDialogTest, EachQuestionKeepsItsOwnAnswer) {
  const DialogTicket first = Shown(DialogKind::kReturnToTitle);
  Frame();
  EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), kTitlePanel);
  // A second question while one shows is refused, and a refused ticket is no.
  const DialogTicket refused = dialog->Ask(DialogKind::kQuit);
  EXPECT_FALSE(refused.Valid());
  EXPECT_EQ(dialog->AnswerOf(refused), DialogAnswer::kNo);
  Click(kYesX, kButtonY);
  int frames = 0;
  ASSERT_EQ(WaitForAnswer(first, frames), DialogAnswer::kYes);

  const DialogTicket second = Shown(DialogKind::kQuit);
  EXPECT_NE(second.id, first.id);
  EXPECT_EQ(dialog->AnswerOf(first), DialogAnswer::kYes);  // still the first one's
  EXPECT_EQ(dialog->AnswerOf(second), DialogAnswer::kPending);
  Frame();
  Click(kNoX, kButtonY);
  ASSERT_EQ(WaitForAnswer(second, frames), DialogAnswer::kNo);
  EXPECT_EQ(dialog->AnswerOf(first), DialogAnswer::kYes);
  EXPECT_EQ(dialog->AnswerOf(DialogTicket{}), DialogAnswer::kNo);
}

TEST_F(YesNoDialogTest, WithConfirmationsOffEveryQuestionIsYesAtOnceAndNothingShows) {
  options.askConfirmation = 0;
  for (int kind = 0; kind <= 9; ++kind) {
    const DialogTicket t = dialog->Ask(static_cast<DialogKind>(kind));
    ASSERT_TRUE(t.Valid());
    EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kYes) << kind;
    EXPECT_FALSE(dialog->IsOpen());
  }
  Frame();
  EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), kBackground);
  // A kind that is no question is refused (and logged), whatever the setting.
  Diagnostics().SetEcho(false);
  for (const int32_t kind : {-1, 10}) {
    const DialogTicket t = dialog->Ask(static_cast<DialogKind>(kind));
    EXPECT_FALSE(t.Valid());
    EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kNo);
  }
  Diagnostics().SetEcho(true);
  options.askConfirmation = 1;
  EXPECT_FALSE(dialog->Ask(static_cast<DialogKind>(10)).Valid());
  EXPECT_FALSE(dialog->IsOpen());
}

TEST_F(YesNoDialogTest, AQuestionAskedAlwaysShowsWithConfirmationsOff) {
  options.askConfirmation = 0;
  const DialogTicket t = dialog->AskAlways(DialogKind::kDelete);
  ASSERT_TRUE(t.Valid());
  EXPECT_TRUE(dialog->IsOpen());
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kPending);
  // Meanwhile another question is refused, asked always or not.
  EXPECT_FALSE(dialog->AskAlways(DialogKind::kDelete).Valid());
}

TEST_F(YesNoDialogTest, ItTakesKeysButtonsAndTheWheelUntilItHasFadedOut) {
  const InputEvent taken[] = {InputEvent::KeyDown(Key::kSpace),
                              InputEvent::KeyUp(Key::kSpace),
                              InputEvent::ButtonDown(PointerButton::kRight, 5, 5),
                              InputEvent::ButtonUp(PointerButton::kRight, 5, 5),
                              InputEvent::ButtonUp(PointerButton::kMiddle, 5, 5),
                              InputEvent::ButtonDown(PointerButton::kLeft, 5, 5),
                              InputEvent::ButtonUp(PointerButton::kLeft, 5, 5),
                              InputEvent::Wheel(-1, 5, 5)};
  const InputEvent passed[] = {InputEvent::PointerMove(5, 5), InputEvent::Of(Kind::kCloseRequest),
                               InputEvent::Of(Kind::kFocusLost), InputEvent::Of(Kind::kRedraw)};
  for (const InputEvent& e : taken) EXPECT_FALSE(Event(e));  // nothing shows: nothing taken
  const DialogTicket t = Shown();
  Frame();
  Click(kYesX, kButtonY);
  int frames = 0;
  while (dialog->AnswerOf(t) == DialogAnswer::kPending) {
    for (const InputEvent& e : taken) EXPECT_TRUE(Event(e)) << "frame " << frames;
    for (const InputEvent& e : passed) EXPECT_FALSE(Event(e)) << "frame " << frames;
    Frame();
    ++frames;
  }
  EXPECT_EQ(frames, 8);
  for (const InputEvent& e : taken) EXPECT_FALSE(Event(e));
  // The right click and the rest answered nothing: the click on yes did.
  EXPECT_EQ(dialog->AnswerOf(t), DialogAnswer::kYes);
}

TEST_F(YesNoDialogTest, TheLayerSaysWhenItDrawsOtherwise) {
  // Phase 1 as the game runs it: the dialog's step, then the compositor asks and draws.
  auto step = [&] {
    dialog->Dispatch(1);
    const bool changed = dialog->Changed();
    compositor.Compose();
    return changed;
  };
  dialog->Ask(DialogKind::kQuit);
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(step()) << "fading in, frame " << i;
  EXPECT_TRUE(step());  // fully shown
  EXPECT_FALSE(step());
  EXPECT_FALSE(step());
  Key(Key::kLeft);
  EXPECT_TRUE(step());
  EXPECT_FALSE(step());
  Event(InputEvent::PointerMove(10, 10));  // off the buttons: yes is not chosen any more
  EXPECT_TRUE(step());
  EXPECT_FALSE(step());
}

TEST_F(YesNoDialogTest, WithoutItsPicturesTheDialogStillAnswersAtTheButtonsPlaces) {
  test::ScreenTestGame bare({}, {});
  YesNoDialog plain(tasks, compositor, bare.Data(), options, mouse);
  dialog.reset();
  const DialogTicket t = plain.Ask(DialogKind::kDelete);
  for (int i = 0; i < 7; ++i) tasks.RunFrame();
  EXPECT_EQ(At(kPanelX + 100, kPanelY + 50), Darkened(255));  // only the darkening
  mouse.HandleEvent(InputEvent::PointerMove(kNoX, kButtonY));
  plain.HandleEvent(InputEvent::PointerMove(kNoX, kButtonY));
  plain.HandleEvent(InputEvent::ButtonDown(PointerButton::kLeft, kNoX, kButtonY));
  plain.HandleEvent(InputEvent::ButtonUp(PointerButton::kLeft, kNoX, kButtonY));
  for (int i = 0; i < 10; ++i) tasks.RunFrame();
  EXPECT_EQ(plain.AnswerOf(t), DialogAnswer::kNo);
}

}  // namespace
}  // namespace zan
