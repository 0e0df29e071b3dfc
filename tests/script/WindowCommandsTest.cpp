// The message window commands through the interpreter: what they do to the current area's
// settings and text, and what the interpreter does with their results.

#include <gtest/gtest.h>

#include "../surface/TestSurfaces.h"
#include "ScriptTestGame.h"
#include "surface/SurfaceFormat.h"
#include "message/MessageArea.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,n,0,-100000,100000\n"
    "INT,x,0,0,100\n"
    "STR,s,文字\n";

class WindowCommandsTest : public ::testing::Test {
 protected:
  void Play(const std::string& script) {
    game.WriteArchives({{"main.txt", script}}, {{"variable.csv", kVariables},
                                                {"iconlist.csv", "番号,名前,画像\n1,星,star.bmp\n"}});
    game.Open();
    game.Game().StartGame("main.txt");
    game.Frames(1);
  }
  Interpreter& G() { return game.Game(); }
  MessageArea& Area() { return G().CurrentArea(); }
  WindowSettings& Settings() { return Area().Settings(); }
  // The colours of the page's character cells, in order.
  std::vector<Rgb> CellColours() {
    std::vector<Rgb> colours;
    const TextBuffer& b = Area().Buffer();
    for (int32_t i = 0; i < b.Count(); ++i) colours.push_back(b.Cell(i).Colour());
    return colours;
  }

  ScriptTestGame game{"wincommands"};
};

TEST_F(WindowCommandsTest, ColourAndSizeChangesApplyToTheTextBetween) {
  Play("<WinDefFontColor 1, 2, 3><WinDefFontSize 20>a<WinFontColor 255, 0, 0><WinFontSize 30>b"
       "</WinFontColor></WinFontSize>c<KW>\n");
  EXPECT_EQ(CellColours(), (std::vector<Rgb>{{1, 2, 3}, {255, 0, 0}, {1, 2, 3}}));
  const TextBuffer& b = Area().Buffer();
  EXPECT_EQ(b.Cell(0).size, 20);
  EXPECT_EQ(b.Cell(1).size, 30);
  EXPECT_EQ(b.Cell(2).size, 20);
  EXPECT_EQ(Settings().sizeCopy, 20);
  EXPECT_EQ(Settings().defaultSizeCopy, 20);
  // The layout was handed the current area's settings at the wait.
  EXPECT_EQ(G().Areas().Layout().Settings().textColour, (Rgb{1, 2, 3}));
}

TEST_F(WindowCommandsTest, NumbersAndStringsJoinThePage) {
  Play("<Mov n, -1234><WinNumber n, Full, Comma>|<WinNumber n>|<WinNumber n, , Comma>|"
       "<WinNumber s>|<WinString s>|<WinString n>|<WinString nothing><KW>\n");
  EXPECT_EQ(Area().Text(), Sjis("－１，２３４|-1234|-1,234||文字|-1234|"));
  // Six full-width characters: minus, one, comma, two, three, four.
  EXPECT_EQ(Area().Buffer().Cell(5).kind, kCellFullWidth);
  EXPECT_EQ(Area().Buffer().Cell(6).Text(), "|");
}

TEST_F(WindowCommandsTest, RubyIconsAndTheSpeaker) {
  Play("【灯】<WinRubi 灯台,とうだい>と<WinEmo 星><WinEmo 月><KW>\n");
  const TextBuffer& b = Area().Buffer();
  ASSERT_EQ(b.RubyCount(), 1);
  EXPECT_EQ(b.Ruby(0).first, 0);
  EXPECT_EQ(b.Ruby(0).last, 1);
  EXPECT_EQ(std::string(b.Ruby(0).text), Sjis("とうだい"));
  ASSERT_EQ(b.Count(), 5);
  EXPECT_EQ(b.Cell(3).kind, kCellIcon);
  EXPECT_EQ(b.Cell(3).icon, 0);
  EXPECT_EQ(b.Cell(4).icon, -1);  // not in the list
  EXPECT_EQ(Area().SpeakerName(), Sjis("灯"));
}

TEST_F(WindowCommandsTest, AreasPositionsHomesAndAlignment) {
  Play("<WinCurrent 2><WinPos 480, 40><WinMsgHome 40, 50><WinAlign 中><WinAlign 斜め>"
       "<WinMsgLength ON>縦<KW>\n<WinCurrent 7><WinCurrent 1><WinAlign 右><KW>\n");
  EXPECT_EQ(G().CurrentAreaIndex(), 2);
  EXPECT_EQ(Area().WindowX(), 480);
  EXPECT_EQ(Settings().homeY, 50);
  EXPECT_EQ(Settings().alignment, 1);  // other text keeps the alignment
  EXPECT_EQ(Settings().vertical, 1);
  EXPECT_EQ(Area().Vertical(), 1);
  const LayoutSettings& l = G().Areas().Layout().Settings();
  EXPECT_EQ(l.xOffset, 40);
  EXPECT_EQ(l.yOffset, 50);
  EXPECT_EQ(l.vertical, 1);
  // Without a window picture the area is the screen: 800 - 2 x 40, 600 - 50.
  EXPECT_EQ(l.areaWidth, 720);
  EXPECT_EQ(l.areaHeight, 550);
  game.Click();
  game.Frames(1);
  EXPECT_EQ(G().CurrentAreaIndex(), 1);  // 7 is no area
  EXPECT_EQ(Settings().alignment, 2);
  EXPECT_EQ(G().Areas().Area(2).Settings().alignment, 1);
}

TEST_F(WindowCommandsTest, ShowingHidingAndFadesFollowSkipAndEffects) {
  Play("");
  auto run = [&](const char* tag) { return G().DispatchCommand(tag); };
  EXPECT_EQ(run("<WinOn ON>"), DispatchResult::kWindowChanged);
  EXPECT_EQ(Settings().hidden, 0);
  EXPECT_EQ(Settings().fade, 255);
  EXPECT_TRUE(G().WindowShown());
  EXPECT_EQ(run("<WinOff>"), DispatchResult::kWindowChanged);
  EXPECT_EQ(Settings().hidden, 1);
  EXPECT_EQ(Settings().fade, 0);
  EXPECT_FALSE(G().WindowShown());
  EXPECT_EQ(run("<WinFrame ON, ON>"), DispatchResult::kWindowChanged);
  EXPECT_EQ(Settings().hidden, 0);
  EXPECT_EQ(Settings().fade, 255);
  EXPECT_EQ(run("<WinFrame OFF>"), DispatchResult::kWindowChanged);
  EXPECT_EQ(Settings().hidden, 1);
  EXPECT_EQ(Settings().fade, 0);
  // With effects off or while skipping the change is immediate even when asked to fade.
  G().Options().noEffects = 1;
  run("<WinOn ON>");
  EXPECT_EQ(Settings().fade, 0);
  G().Options().noEffects = 0;
  G().SetSkipMode(1);
  run("<WinOff ON>");
  EXPECT_EQ(Settings().hidden, 1);
  EXPECT_EQ(Settings().fade, 0);
}

TEST_F(WindowCommandsTest, WinClearEmptiesThePageAndTheSpeaker) {
  Play("【灯】一<WinCurrent 1>二<WinClear 0><KW>\n<WinClear><Mov x, 1><KW>\n");
  EXPECT_FALSE(G().Areas().Area(0).HoldsText());
  EXPECT_TRUE(G().Areas().Area(0).SpeakerName().empty());
  EXPECT_TRUE(Area().HoldsText());
  game.Click();
  game.Frames(1);
  EXPECT_EQ(game.Var("x"), 1);
  EXPECT_FALSE(Area().HoldsText());
}

TEST_F(WindowCommandsTest, WinClearKeepsTheFinishedPageInTheHistory) {
  // With the current area empty, clearing another records nothing.
  Play("一<WinCurrent 1><WinClear 0><WinCurrent 0>【灯】<WinFontSize 30>二<WinRubi 星,ほし><KW>\n"
       "<WinClear><KW>\n<WinClear><Mov x, 1><KW>\n");
  const Backlog& history = G().History();
  EXPECT_EQ(history.Count(), 0);
  G().History().SetVoice(0, "v.ogg");
  game.Click();
  game.Frames(1);
  ASSERT_EQ(history.Count(), 1);
  const TextBuffer& page = history.Page(0).buffer;
  EXPECT_EQ(page.Characters(), Sjis("二星\r\n"));  // the line end after "<KW>" joined the page
  EXPECT_EQ(page.SpeakerName(), Sjis("灯"));
  // Laid out again at 18 pixels, nothing revealed: the backlog draws it whole.
  EXPECT_EQ(page.Cell(0).size, Backlog::kTextSize);
  EXPECT_EQ(page.Cell(0).state, 0);
  EXPECT_EQ(page.RevealCursor(), 0);
  EXPECT_EQ(history.PageVoices(0)[0], "v.ogg");
  EXPECT_EQ(history.CurrentVoices()[0], "");
  // An empty page is not kept.
  game.Click();
  game.Frames(1);
  EXPECT_EQ(game.Var("x"), 1);
  EXPECT_EQ(history.Count(), 1);
}

TEST_F(WindowCommandsTest, AClickWaitCopiesVerticalWritingIntoTheArea) {
  Play("一<KW>\n二<KW>\n");
  EXPECT_EQ(Area().Vertical(), 0);
  Settings().vertical = 1;  // as a restored save may leave it
  game.Click();
  game.Frames(1);
  EXPECT_EQ(Area().Vertical(), 1);
}

// The colour a page is drawn in: unread text in its own colour, also when an image's wait
// presents the page before its text wait; read text (a second play) in the read-text colour.
TEST(PageColourTest, UnreadTextKeepsItsColourWhicheverWaitPresentsIt) {
  SetSurfaceFormatCode(8888);
  {
    ScriptTestGame game{"pagecolour"};
    game.WriteArchives({{"main.txt", "<WinDefFontColor 255, 0, 0>"
                                     "一<ImageFade 0, 3, ON, ON>二<KW>\n"}},
                       {{"variable.csv", kVariables}});
    // The colour of the first character's most covered pixel in the glyph surface.
    auto firstColour = [&] {
      MessageArea& area = game.Game().CurrentArea();
      const TextPoint at = area.Buffer().CellPosition(0, game.Game().Areas().Layout().Settings());
      Surface& glyphs = area.GlyphSurface();
      int32_t best = -1;
      Rgb colour{};
      for (int32_t y = at.y; y < at.y + 18; ++y)
        for (int32_t x = at.x; x < at.x + 18; ++x)
          if (glyphs.Alpha().At(x, y) > best) {
            best = glyphs.Alpha().At(x, y);
            colour = test::Colour(glyphs, x, y);
          }
      return colour;
    };
    for (int play = 0; play < 2; ++play) {
      game.Open();
      game.Game().StartGame("main.txt");
      game.Frames(1);  // presented by the fade's wait
      ASSERT_FALSE(game.Game().CurrentArea().Buffer().Count() > 1);
      EXPECT_EQ(firstColour(), play == 0 ? (Rgb{255, 0, 0}) : (Rgb{0, 0, 160})) << "play " << play;
      game.Frames(10);  // presented again by the text wait
      EXPECT_EQ(firstColour(), play == 0 ? (Rgb{255, 0, 0}) : (Rgb{0, 0, 160})) << "play " << play;
      game.Game().SaveReadFlags();
    }
  }
  SetSurfaceFormatCode(0);
}

}  // namespace
}  // namespace zan
