// Choices through the interpreter on the virtual clock: the entries "SltAdd" fills and what
// the read flags make of them, hovering by the arrow keys, the selection effect's timing
// and what a finished choice leaves in the history, the countdown's timeout, and the mask
// choice's entries and hit test.

#include <gtest/gtest.h>

#include "../surface/TestPictures.h"
#include "ScriptTestGame.h"
#include "data/TextFields.h"
#include "script/ChoiceMenu.h"

namespace zan {
namespace {

using test::BmpForm;
using test::FlatBmp;
using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,chosen,0,0,100\n"
    "INT,after,0,0,100\n";

// Two choices, an entry outside 0..4 between them; each label records its entry.
const char* kTwoChoices = R"(前のページ
<SltDel>
<SltAdd 0, a0, 一つ目>
<SltAdd 1, a1, 二つ目>
<SltRun>
[a0]
<Mov chosen, 1>
<Jump second>
[a1]
<Mov chosen, 2>
[second]
<SltAdd 7, nowhere, 外>
<SltDel>
<SltAdd 0, b0, 三つ目>
<SltAdd 1, b1, 四つ目>
<SltRun>
[b0]
<Mov chosen, 3>
<Jump end>
[b1]
<Mov chosen, 4>
[end]
<Mov after, 1>
)";

InputEvent PointerAt(int32_t x, int32_t y) { return InputEvent::PointerMove(x, y); }

class ChoicesTest : public ::testing::Test {
 protected:
  void Play(const std::map<std::string, std::string>& scripts, bool readFlags = true) {
    game.WriteArchives(scripts, {{"variable.csv", kVariables}});
    game.WritePictures({{"選択肢.bmp", FlatBmp(800, 48, BmpForm::kArgb32, {20, 20, 90})},
                        {"選択肢_ON.bmp", FlatBmp(800, 48, BmpForm::kArgb32, {200, 200, 20})},
                        {"mask.bmp", test::MakeBmp(800, 600, BmpForm::kRgb24, [](int32_t x, int32_t) {
                           return x < 400 ? Rgb{10, 20, 30} : Rgb{0, 0, 0};
                         })},
                        {"over.bmp", FlatBmp(10, 10, BmpForm::kArgb32, {255, 0, 255})}});
    game.Open(readFlags);
    // The pointer rests off every button (the story is not running yet: no move is noted).
    G().InputReceiver().HandleEvent(PointerAt(0, 599));
    G().StartGame("main.txt");
    game.Frames(1);
  }
  void NewGame() {
    G().StartGame("main.txt");
    game.Frames(1);
  }
  Interpreter& G() { return game.Game(); }
  ChoiceMenu& C() { return G().Choices(); }
  // The pointer moved, as the window tells the interpreter.
  void MovePointer(int32_t x, int32_t y) {
    G().InputReceiver().HandleEvent(PointerAt(x, y));
    game.Frames(1);
  }
  void PressKey(zan::Key key) {
    G().InputReceiver().HandleEvent(InputEvent::KeyDown(key));
    game.Frames(1);
  }
  // Hovers entry `index` with the arrow keys from wherever the hover is, then clicks.
  void Choose(int32_t index) {
    for (int i = 0; i < ChoiceMenu::kEntries && C().Hovered() != index; ++i) PressKey(Key::kDown);
    game.Click();
  }
  const ChoiceEntry& Entry(int32_t i) { return C().State().entries[i]; }

  ScriptTestGame game{"choices"};
};

TEST_F(ChoicesTest, ArrowKeysWalkTheActiveEntriesAndWrap) {
  Play({{"main.txt", kTwoChoices}});
  ASSERT_TRUE(C().Open());
  EXPECT_EQ(C().Hovered(), -1);
  std::vector<int32_t> hovered;
  for (int i = 0; i < 3; ++i) {
    PressKey(Key::kDown);
    hovered.push_back(C().Hovered());
  }
  EXPECT_EQ(hovered, (std::vector<int32_t>{0, 1, 0}));
  // The pointer off the buttons hovers nothing again; up from none is the last entry.
  MovePointer(400, 500);
  EXPECT_EQ(C().Hovered(), -1);
  PressKey(Key::kUp);
  EXPECT_EQ(C().Hovered(), 1);
  PressKey(Key::kUp);
  EXPECT_EQ(C().Hovered(), 0);
  // The second button row is entry 1's.
  MovePointer(10, 138);
  EXPECT_EQ(C().Hovered(), 1);
  MovePointer(10, 127);
  EXPECT_EQ(C().Hovered(), 0);
  MovePointer(10, 137);
  EXPECT_EQ(C().Hovered(), -1);
  MovePointer(799, 138 + 47);
  EXPECT_EQ(C().Hovered(), 1);
  MovePointer(10, 138 + 48);
  EXPECT_EQ(C().Hovered(), -1);
}

TEST_F(ChoicesTest, FiveEntriesTakeFiveRowsAndTheRowsFollowTheActiveEntries) {
  Play({{"main.txt", "<SltAdd 0, a, 一><SltAdd 1, a, 二><SltAdd 2, a, 三><SltAdd 3, a, 四>"
                     "<SltAdd 4, a, 五><SltRun>\n"}});
  for (int32_t row = 0; row < ChoiceMenu::kEntries; ++row) {
    MovePointer(400, ChoiceMenu::kButtonRows[row]);
    EXPECT_EQ(C().Hovered(), row);
  }
  // Each text's cells are marked under its entry, a line each.
  EXPECT_EQ(G().Areas().choice.Text(), Sjis("一\r\n二\r\n三\r\n四\r\n五\r\n"));
  // An entry left out (a script with a gap) gives its row to the next active entry.
  C().Delete(1);
  ASSERT_TRUE(C().Show());
  MovePointer(400, ChoiceMenu::kButtonRows[1]);
  EXPECT_EQ(C().Hovered(), 2);
  MovePointer(400, ChoiceMenu::kButtonRows[4]);
  EXPECT_EQ(C().Hovered(), -1);
}

TEST_F(ChoicesTest, TheJumpFollowsTheClickAfterFourStepsOf200Milliseconds) {
  Play({{"main.txt", kTwoChoices}});
  PressKey(Key::kDown);
  PressKey(Key::kDown);
  G().Click();
  game.Frames(1);  // the click is taken: the effect starts at this frame's time
  EXPECT_FALSE(C().Open());
  EXPECT_TRUE(C().Selecting());
  game.Frames(24);  // 792 ms after the click
  EXPECT_TRUE(C().Selecting());
  EXPECT_EQ(game.Var("chosen"), 0);
  game.Frames(2);  // the jump at 825 ms, the label's commands in the next frame
  EXPECT_FALSE(C().Selecting());
  EXPECT_EQ(game.Var("chosen"), 2);
  // The second choice is open now: the script ran on from the label.
  EXPECT_TRUE(C().Open());
}

TEST_F(ChoicesTest, AFinishedChoiceLeavesThePageAndTheChoiceTextsInTheHistory) {
  Play({{"main.txt", kTwoChoices}});
  Choose(0);
  game.Frames(30);
  EXPECT_EQ(game.Var("chosen"), 1);
  const Backlog& history = G().History();
  ASSERT_EQ(history.Count(), 2);
  EXPECT_EQ(history.Page(0).buffer.Characters().rfind(Sjis("前のページ"), 0), 0u);
  EXPECT_EQ(history.Page(1).buffer.Characters(), Sjis("一つ目\r\n二つ目\r\n"));
  // Laid out again for the backlog at 18 pixels; the choice marks kept.
  EXPECT_EQ(history.Page(1).buffer.Cell(0).size, Backlog::kTextSize);
  const ChoiceMark* mark = history.Page(1).buffer.Mark(1);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(std::string(mark->text), Sjis("二つ目"));
  // The page was emptied; the choice area holds the next choice's texts.
  EXPECT_FALSE(G().CurrentArea().HoldsText());
  EXPECT_EQ(G().Areas().choice.Text(), Sjis("三つ目\r\n四つ目\r\n"));
}

TEST_F(ChoicesTest, OptionsChosenBeforeComeBackInCyanAndOptionIndexesCountEveryTag) {
  Play({{"main.txt", kTwoChoices}});
  // The entries know their place among the script's "SltAdd" tags.
  EXPECT_EQ(Entry(0).optionIndex, 0);
  EXPECT_EQ(Entry(1).optionIndex, 1);
  EXPECT_EQ(Entry(0).chosenBefore + Entry(1).chosenBefore, 0);
  Choose(1);
  game.Frames(30);
  ASSERT_TRUE(C().Open());
  // The ignored entry 7 still took a place, in the count and in the read-flag cursor.
  EXPECT_EQ(Entry(0).optionIndex, 3);
  EXPECT_EQ(Entry(1).optionIndex, 4);
  Choose(0);
  game.Frames(30);
  EXPECT_EQ(game.Var("chosen"), 3);
  EXPECT_EQ(game.Var("after"), 1);
  EXPECT_EQ(game.ReadFlags().Entries().at(0).choices, (std::vector<uint8_t>{0, 1, 0, 1, 0}));

  // The next play: the chosen options in cyan at 24 pixels, the others in the window's
  // colour.
  NewGame();
  ASSERT_TRUE(C().Open());
  EXPECT_EQ(Entry(0).chosenBefore, 0);
  EXPECT_EQ(Entry(1).chosenBefore, 1);
  const TextBuffer& page = G().Areas().choice.Buffer();
  const ChoiceMark* first = page.Mark(0);
  const ChoiceMark* second = page.Mark(1);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(page.Cell(first->first).Colour(), (Rgb{255, 255, 255}));
  EXPECT_EQ(page.Cell(second->first).Colour(), ChoiceMenu::kChosenColour);
  EXPECT_EQ(page.Cell(second->last).Colour(), ChoiceMenu::kChosenColour);
  EXPECT_EQ(page.Cell(second->first).size, 24);
  Choose(0);
  game.Frames(30);
  EXPECT_EQ(Entry(0).chosenBefore, 1);
  EXPECT_EQ(Entry(1).chosenBefore, 0);
}

TEST_F(ChoicesTest, WithoutReadFlagsNothingIsChosenBefore) {
  Play({{"main.txt", kTwoChoices}}, false);
  Choose(1);
  game.Frames(30);
  NewGame();
  EXPECT_EQ(Entry(1).chosenBefore, 0);
}

TEST_F(ChoicesTest, EntriesAreFilledClearedAndShown) {
  struct Case {
    const char* script;
    bool open;
    int32_t active;  // bit per entry
  };
  const Case cases[] = {
      // No active entry: nothing opens and the script reads on.
      {"<SltRun><Mov after, 1>\n", false, 0},
      {"<SltAdd 0, a, 甲><SltAdd 1, b, 乙><SltDel 0><SltRun><Mov after, 1>\n", true, 0b10},
      {"<SltAdd 0, a, 甲><SltAdd 1, b, 乙><SltDel><SltRun><Mov after, 1>\n", false, 0},
      {"<SltAdd 0, a, 甲><SltDel 5><SltAdd -1, a, 乙><SltRun><Mov after, 1>\n", true, 0b1},
      {"<SltAdd 4, x.txt, b, 乙><SltRun><Mov after, 1>\n", true, 0b10000},
  };
  for (const Case& c : cases) {
    Play({{"main.txt", c.script}});
    EXPECT_EQ(C().Open(), c.open) << c.script;
    EXPECT_EQ(game.Var("after"), c.open ? 0 : 1) << c.script;
    int32_t active = 0;
    for (int32_t i = 0; i < ChoiceMenu::kEntries; ++i) active |= Entry(i).active << i;
    EXPECT_EQ(active, c.active) << c.script;
  }
  EXPECT_EQ(CText(Entry(4).script), "x.txt");
  EXPECT_EQ(CText(Entry(4).label), "b");
  EXPECT_EQ(CText(Entry(4).text), Sjis("乙"));
}

// The choice area's text surface (a full screen with alpha) is made by the first choice
// shown, not by every new game that clears the choices.
TEST_F(ChoicesTest, TheChoiceTextSurfaceIsMadeByTheFirstChoiceShown) {
  Play({{"main.txt", "<Mov after, 1>\n<SltAdd 0, a, 甲><SltRun>\n[a]\n"}});
  ASSERT_TRUE(C().Open());
  EXPECT_TRUE(G().Areas().choice.HasGlyphSurface());
  Play({{"main.txt", "<Mov after, 1>\n"}});
  ASSERT_EQ(game.Var("after"), 1);
  NewGame();
  EXPECT_FALSE(G().Areas().choice.HasGlyphSurface());
}

TEST_F(ChoicesTest, ACountdownJumpsToItsTargetWhenTheTimeRunsOut) {
  Play({{"main.txt", "前<SltAdd 0, a, 甲><SltRunCD3 late>[a]<Mov chosen, 1>[late]<Mov after, 1>\n"}});
  ASSERT_TRUE(C().Open());
  EXPECT_TRUE(C().CountdownActive());
  game.Frames(89);  // 2937 ms after the command
  EXPECT_TRUE(C().Open());
  EXPECT_EQ(game.Var("after"), 0);
  game.Frames(3);
  EXPECT_FALSE(C().Open());
  EXPECT_FALSE(C().CountdownActive());
  EXPECT_EQ(game.Var("chosen"), 0);
  EXPECT_EQ(game.Var("after"), 1);
  // As a choice taken: the page before and the choice page are in the history.
  EXPECT_EQ(G().History().Count(), 2);
}

TEST_F(ChoicesTest, ACountdownInAnotherScriptAndOneWhoseLabelIsMissing) {
  Play({{"main.txt", "<SltAdd 0, a, 甲><SltRunCD5 other.txt, late>[a]<Mov chosen, 1>\n"},
        {"other.txt", "[late]<Mov after, 1>\n"}});
  game.Frames(148);
  EXPECT_EQ(game.Var("after"), 0);
  game.Frames(5);
  EXPECT_EQ(game.Var("after"), 1);
  EXPECT_EQ(G().Record().name, "other.txt");

  // A missing label ends the countdown; the choice waits for a click.
  Play({{"main.txt", "<SltAdd 0, a, 甲><SltRunCD3 nowhere>[a]<Mov chosen, 1>\n"}});
  game.Frames(100);
  EXPECT_TRUE(C().Open());
  EXPECT_FALSE(C().CountdownActive());
  Choose(0);
  game.Frames(30);
  EXPECT_EQ(game.Var("chosen"), 1);
}

TEST_F(ChoicesTest, MaskEntriesTheirFormsAndTheHitTest) {
  Play({{"main.txt", R"(<SltMaskHitSet mask.bmp>
<SltMaskOverSet 0, over.bmp>
<SltMaskAdd 0, red, 10, 20, 30>
<SltMaskAdd 1, other.txt, blue, 0, 0, 0>
<SltMaskOverSet 1, over.bmp>
<SltMaskAdd 10, red, 1, 2, 3>
<SltMaskOverSet -1, over.bmp>
<SltMaskRun>
[red]
<Mov chosen, 1>
)"},
        {"other.txt", "[blue]<Mov chosen, 2>\n"}});
  ASSERT_TRUE(C().MaskOpen());
  const MaskChoiceState& m = C().Mask();
  EXPECT_EQ(CText(m.hitMask), "mask.bmp");
  // The hover picture given before "SltMaskAdd" went with the entry's clearing.
  EXPECT_EQ(CText(m.entries[0].hover), "");
  EXPECT_EQ(CText(m.entries[0].script), "red");
  EXPECT_EQ(CText(m.entries[0].label), "");
  EXPECT_EQ(CText(m.entries[1].hover), "over.bmp");
  EXPECT_EQ(CText(m.entries[1].script), "other.txt");
  EXPECT_EQ(CText(m.entries[1].label), "blue");
  for (int i = 2; i < ChoiceMenu::kMaskEntries; ++i) EXPECT_EQ(CText(m.entries[i].script), "") << i;

  // Left half (10, 20, 30): entry 0; right half black: entry 1 (black), and only entry 1 —
  // the cleared entries are black too. Outside the picture counts as black.
  EXPECT_EQ(C().HitTest(0, 0), 0);
  EXPECT_EQ(C().HitTest(399, 599), 0);
  EXPECT_EQ(C().HitTest(400, 0), 1);
  EXPECT_EQ(C().HitTest(800, 0), 1);
  EXPECT_EQ(C().HitTest(-1, 10), 1);
  C().DeleteMask(1);
  EXPECT_EQ(C().HitTest(400, 0), -1);

  // The script holds while the mask choice waits; a click on the left half takes entry 0.
  game.Frames(5);
  EXPECT_EQ(game.Var("chosen"), 0);
  MovePointer(100, 100);
  game.Click();
  game.Frames(2);
  EXPECT_FALSE(C().MaskOpen());
  EXPECT_EQ(game.Var("chosen"), 1);
}

TEST_F(ChoicesTest, AMaskClickOnAMissingLabelKeepsTheMaskChoiceOpen) {
  Play({{"main.txt", "<SltMaskHitSet mask.bmp><SltMaskAdd 0, nowhere, 10, 20, 30><SltMaskRun><Mov after, 1>\n"}});
  MovePointer(100, 100);
  game.Click();
  game.Frames(3);
  EXPECT_TRUE(C().MaskOpen());
  EXPECT_EQ(game.Var("after"), 0);
  // An empty hit-mask name forgets the mask.
  C().SetHitMask("");
  EXPECT_EQ(CText(C().Mask().hitMask), "");
  EXPECT_EQ(C().HitTest(100, 100), -1);
}


TEST_F(ChoicesTest, ArrowKeysWalkTheMaskEntriesAndAClickTakesThePickedOne) {
  // Entries 0, 2 and 5 have targets; the pointer rests on the black half, which none lists.
  Play({{"main.txt", R"(<SltMaskHitSet mask.bmp>
<SltMaskAdd 0, zero, 1, 1, 1>
<SltMaskAdd 2, two, 2, 2, 2>
<SltMaskAdd 5, five, 10, 20, 30>
<SltMaskRun>
[zero]<Mov chosen, 10><KW>
[two]<Mov chosen, 2><KW>
[five]<Mov chosen, 5><KW>
)"}});
  MovePointer(600, 300);
  ASSERT_TRUE(C().MaskOpen());
  EXPECT_EQ(C().MaskHovered(), -1);
  const struct {
    zan::Key key;
    int32_t picked;
  } walk[] = {{Key::kDown, 0}, {Key::kRight, 2}, {Key::kDown, 5}, {Key::kDown, 0}, {Key::kUp, 5}, {Key::kLeft, 2}};
  for (const auto& step : walk) {
    PressKey(step.key);
    EXPECT_EQ(C().MaskHovered(), step.picked) << static_cast<int>(step.key);
  }
  // Moving the mouse hands the choice back to it: over the listed colour, entry 5.
  MovePointer(100, 100);
  EXPECT_EQ(C().MaskHovered(), 5);
  MovePointer(600, 300);
  EXPECT_EQ(C().MaskHovered(), -1);
  PressKey(Key::kRight);
  PressKey(Key::kRight);
  ASSERT_EQ(C().MaskHovered(), 2);
  game.Click();
  game.Frames(2);
  EXPECT_FALSE(C().MaskOpen());
  EXPECT_EQ(game.Var("chosen"), 2);
}
// An entry's fields (the button's text, the script, the label) keep whole characters and
// their terminator, whatever the script gives.
TEST_F(ChoicesTest, EntryFieldsAreCutAtCharacterBoundaries) {
  Play({{"main.txt", "\n"}});
  const std::string a = Sjis("あ");
  C().Add(0, std::string(30, 's') + a, std::string(62, 'l') + a, std::string(61, 't') + a + a, 0);
  const ChoiceEntry& e = Entry(0);
  EXPECT_EQ(std::string(e.script), std::string(30, 's'));
  EXPECT_EQ(std::string(e.label), std::string(62, 'l'));
  EXPECT_EQ(std::string(e.text), std::string(61, 't') + a);
  C().Add(1, "", "", std::string(62, 't') + "\x81", 1);  // a lone lead byte at the end is one byte
  EXPECT_EQ(std::string(Entry(1).text), std::string(62, 't') + "\x81");
}
}  // namespace
}  // namespace zan
