// zanarc lib-show: definition files shown with their meaning, whatever form they are in.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "TestArchiveWriter.h"
#include "ZanarcFixture.h"
#include "base/ShiftJis.h"
#include "zanarc/LibShow.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes Utf8Bytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

class LibShowTest : public ZanarcTest {
 protected:
  // Writes `bytes` as `name` and shows it.
  Outcome Show(const std::string& name, const Bytes& bytes) {
    testing::WriteBytes(P(name), bytes);
    return Zanarc({"lib-show", P(name)});
  }
};

bool HasLine(const std::string& text, const std::string& line) {
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) {
    if (l == line) return true;
  }
  return false;
}

const std::string kTitle =
    "タイトル,10\n"
    "項目,メモ,X,Y,幅,高さ,通常X,通常Y,上X,上Y,押下X,押下Y,無効X,無効Y\n"
    "はじめから,新規,300,320,200,40,0,0,200,0,400,0,600,0\n"
    "ロード,,,370,,,0,40,200,40,400,40,600,40\n"
    "おまけ,,-1,420,0,40,-1,80,,,,,,\n";

TEST_F(LibShowTest, AButtonTableShowsEachItemWithItsMeaning) {
  Outcome r = Show("system4.lib", testing::ScrambledLib(kTitle));
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(HasLine(r.out, "system4.lib: title menu")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "read as scrambled, as stored in system.arc")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "a button table of 14 fields; the screen reads 10 rows (line k + 2 is item k)"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "   1    300    320    200     40         0,0       200,0       400,0       600,0  "
                             "new game (main.txt)  [はじめから / 新規]"))
      << r.out;
  // Item 2 takes x, width and height from item 1 (marked ^).
  EXPECT_TRUE(HasLine(r.out, "   2   300^    370   200^    40^        0,40      200,40      400,40      600,40  "
                             "load  [ロード]"))
      << r.out;
  // Item 3: no width, so never hit; its sources keep the sign; states 1..3 come from item 2.
  EXPECT_TRUE(HasLine(r.out, "   3     -1    420      0     40       -1,80     200,40^     400,40^     600,40^  "
                             "prologue skip (pskip.txt; when g_pskip is 1) (no area: never hit)  [おまけ]"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "items 4..10: no row; all zero, never hit")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "no problems")) << r.out;
}

TEST_F(LibShowTest, ScrambledPlainAndSourceFormsShowTheSameRows) {
  const Outcome scrambled = Show("system4.lib", testing::ScrambledLib(kTitle));
  const Outcome plain = Show("system4.lib", testing::GameBytes(kTitle));
  const Outcome source = Show("system4.lib", Utf8Bytes(kTitle));
  EXPECT_TRUE(HasLine(plain.out, "read as Shift-JIS text, not scrambled")) << plain.out;
  EXPECT_TRUE(HasLine(source.out, "read as UTF-8 source text")) << source.out;
  auto rows = [](const std::string& out) { return out.substr(out.find("a button table")); };
  EXPECT_EQ(rows(plain.out), rows(scrambled.out));
  EXPECT_EQ(rows(source.out), rows(scrambled.out));
  EXPECT_EQ(plain.code, 0);
  EXPECT_EQ(source.code, 0);

  // A file of ASCII alone, scrambled or not.
  const std::string ascii = "t,1\nh\na,,1,2,3,4,5,6,7,8,9,10,11,12\n";
  EXPECT_EQ(DefinitionTextOf(testing::ScrambledLib(ascii))->form, LibForm::kScrambled);
  EXPECT_EQ(DefinitionTextOf(testing::ScrambledLib(ascii))->text, testing::GameText(ascii));
  EXPECT_EQ(DefinitionTextOf(testing::GameBytes(ascii))->form, LibForm::kShiftJis);
  EXPECT_EQ(DefinitionTextOf(Utf8Bytes(ascii))->form, LibForm::kShiftJis);  // the same bytes
  // UTF-8 without a Shift-JIS form is refused with its line.
  auto refused = DefinitionTextOf(Utf8Bytes("t,1\nh\n😀,,1\n"));
  ASSERT_FALSE(refused.ok());
  EXPECT_NE(refused.error().message.find("line 3"), std::string::npos) << refused.error().message;
}

TEST_F(LibShowTest, ProblemsNameTheirLineRowAndFieldAndFail) {
  Outcome r = Show("system4.lib", testing::ScrambledLib(kTitle + "四,,10,20,幅,40,0,0,0,0,0,0,0,0\n"
                                                                  "五,,1,2\n"));
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(HasLine(r.out, "2 problems:")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "  system4.lib: line 6 (item 4), field 4 (width): \"幅\" is not a whole "
                             "number; read as 0"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "  system4.lib: line 7 (item 5): has 4 fields, not 14: fields 4..13 keep "
                             "the values of the row above"))
      << r.out;
}

TEST_F(LibShowTest, GalleryStatesAtMinusOneAreNotDrawnAndTheEightFieldTableHasOneSource) {
  Outcome gallery = Show("system6-1.lib", testing::ScrambledLib("g,1\nh\n前,,40,10,32,32,-1,0,0,0,32,0,-1,5\n"));
  EXPECT_EQ(gallery.code, 0) << gallery.out;
  EXPECT_TRUE(HasLine(gallery.out, "system6-1.lib: CG gallery")) << gallery.out;
  EXPECT_TRUE(HasLine(gallery.out, "   1     40     10     32     32   not drawn         0,0        32,0   not drawn  "
                                   "previous page  [前]"))
      << gallery.out;

  Outcome spots = Show("system5-2.lib", testing::ScrambledLib("s,1\nh\n枠,,10,20,30,40,5,6\n"));
  EXPECT_EQ(spots.code, 0) << spots.out;
  EXPECT_TRUE(HasLine(spots.out, "   1     10     20     30     40         5,6  (not used)  [枠]")) << spots.out;
  EXPECT_TRUE(HasLine(spots.out, "items 2..23: no row; all zero, never hit")) << spots.out;
}

TEST_F(LibShowTest, TheKeyMapShowsEachInputsAction) {
  Outcome r = Show("system2.lib", testing::ScrambledLib("入力,動作\n"
                                                        "00 ホイール奥,バックログ\n"
                                                        "01 （なし）,\n"
                                                        "02 左クリック,決定\n"
                                                        "03 右クリック,ClickR\n"));
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(HasLine(r.out, "system2.lib: the actions of the keys and mouse buttons")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "    0  wheel away            16 backlog                        00 ホイール奥 -> バックログ"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "    1  -                     -                                 01 （なし）")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "    2  left button           1 decide                          02 左クリック -> 決定"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "    3  right button          none                              03 右クリック -> ClickR"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "inputs 4..35: no line; no action")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "  system2.lib: line 5 (input 3), field 1 (action): \"ClickR\" is not an "
                             "action name: the input fires nothing"))
      << r.out;
}

TEST_F(LibShowTest, SystemButtonsShowPicturesButtonsAndScreenPositions) {
  const std::string text =
      "h\nh\n画像0,btn.bmp\n画像1,×\n□画像定義終了\n"
      "1\n2\n3\n4\n5\n6\n7\n8\n9\n"
      "台,×,システムボタン,×,絶対,表示\n"
      "状態0,99,350,402,0,0,448,20\n状態1,99,350,402,0,0,448,20\n状態2,99,350,402,0,0,448,20\n"
      "状態3,99,350,402,0,0,448,20\n状態4,99,350,402,0,0,448,20\n"
      "ボタン1,○,スキップ,×,0,非表示\n"
      "状態0,0,10,0,0,0,64,20\n状態1,0,10,0,64,0,64,20\n状態2,1,10,0,128,0,64,20\n"
      "状態3,0,10,0,192,0,64,20\n状態4,0,0,-24,0,140,180,22\n"
      "□定義終了\n";
  Outcome r = Show("system1.lib", testing::ScrambledLib(text));
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_TRUE(HasLine(r.out, "system1.lib: the system buttons over the game screen")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "   0  btn.bmp  [画像0]")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "   1  (none: ×)  [画像1]")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "   0  システムボタン: no action; absolute 0; shown; does not respond (always "
                             "drawn disabled)"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "        normal        picture  99 (none)  at 350,402  from 0,0  size 448x20"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "   1  スキップ: action 8 skip; child of button 0; hidden; responds")) << r.out;
  EXPECT_TRUE(HasLine(r.out, "        pressed       picture   1 (none)  at 360,402 (own 10,0)  from 128,0  size 64x20"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "        hover picture picture   0  at 350,378 (own 0,-24)  from 0,140  size 180x22"))
      << r.out;
  EXPECT_TRUE(HasLine(r.out, "absolute list: 0=button 0")) << r.out;

  Outcome unfinished = Show("system1.lib", testing::ScrambledLib(text.substr(0, text.find("□定義終了"))));
  EXPECT_EQ(unfinished.code, 1);
  EXPECT_EQ(unfinished.err,
            "zanarc: system1.lib: no line after the headings starts with \"□定義終了\" (the end of the "
            "buttons): no buttons are built\n");
}

TEST_F(LibShowTest, TheDemosDefinitionFilesReadCleanly) {
  for (const char* name : {"system1.lib", "system2.lib"}) {
    const fs::path source = fs::path(ZAN_GAME_SOURCE_DIR) / "system" / name;
    Outcome r = Zanarc({"lib-show", source.string()});
    EXPECT_EQ(r.code, 0) << name << "\n" << r.out << r.err;
    EXPECT_TRUE(HasLine(r.out, "read as UTF-8 source text")) << r.out;
    EXPECT_TRUE(HasLine(r.out, "no problems")) << r.out;
  }
}

TEST_F(LibShowTest, TheNameChoosesTheGrammarAndTheCommandLineIsChecked) {
  testing::WriteBytes(P("menu.lib"), testing::ScrambledLib(kTitle));
  Outcome unknown = Zanarc({"lib-show", P("menu.lib")});
  EXPECT_EQ(unknown.code, 1);
  EXPECT_NE(unknown.err.find("menu.lib is not the name of a definition file"), std::string::npos) << unknown.err;
  EXPECT_EQ(unknown.out, "");

  Outcome as = Zanarc({"lib-show", "--as", "SYSTEM4.LIB", P("menu.lib")});
  EXPECT_EQ(as.code, 0) << as.err;
  EXPECT_TRUE(HasLine(as.out, "system4.lib: title menu")) << as.out;

  EXPECT_EQ(Zanarc({"lib-show", "--as", "system9.lib", P("menu.lib")}).code, 2);
  EXPECT_EQ(Zanarc({"lib-show"}).code, 2);
  EXPECT_EQ(Zanarc({"lib-show", "a.lib", "b.lib"}).code, 2);
  EXPECT_EQ(Zanarc({"list", "--as", "system4.lib", "x.arc"}).code, 2);
  Outcome missing = Zanarc({"lib-show", P("system4.lib")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("system4.lib"), std::string::npos) << missing.err;

  const Outcome help = Zanarc({"--help"});
  EXPECT_NE(help.out.find("zanarc lib-show [--as NAME] FILE"), std::string::npos);
}

}  // namespace
}  // namespace zan
