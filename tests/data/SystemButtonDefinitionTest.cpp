// system1.lib, written as the build stores it and read back as the game reads it.

#include "data/SystemButtonDefinition.h"

#include <gtest/gtest.h>

#include "TestArchiveWriter.h"
#include "base/ShiftJis.h"
#include "data/LibScramble.h"

namespace zan {
namespace {

Result<SystemButtonDefinition> Read(std::string_view utf8) {
  std::vector<uint8_t> bytes = testing::ScrambledLib(utf8);
  UnscrambleLib(bytes, LibKey());
  return ReadSystemButtonDefinition({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
}

const std::string kHeadings =
    "見出し1\n見出し2\n見出し3\n見出し4\n見出し5\n見出し6\n見出し7\n見出し8\n見出し9\n";

// Five state lines whose values are the state's number times `step` plus `base`.
std::string States(int base, int step = 1) {
  std::string lines;
  for (int s = 0; s < 5; ++s) {
    lines += "状態" + std::to_string(s);
    for (int i = 1; i <= 7; ++i) lines += "," + std::to_string(base + s * step + i);
    lines += "\n";
  }
  return lines;
}

std::vector<std::string> Described(const SystemButtonDefinition& def) {
  std::vector<std::string> lines;
  for (const DefinitionProblem& p : def.problems) lines.push_back(SjisToUtf8(DescribeProblem("system1.lib", p)));
  return lines;
}

TEST(SystemButtonDefinitionTest, PicturesThenSixLineButtonRecords) {
  auto def = Read(
      "システムボタン定義\n"
      "テスト\n"
      "画像0,btn.bmp\n"
      "画像1,×なし\n"
      "画像2,\n"
      "画像3,chip.bmp\n"
      "□画像定義終了ここまで\n" +
      kHeadings +
      "台,×,システムボタン,×,絶対,表示\n"
      "状態0,99,100,200,0,0,300,20\n"
      "状態1,99,100,200,0,0,300,20\n"
      "状態2,99,100,200,0,0,300,20\n"
      "状態3,99,100,200,0,0,300,20\n"
      "状態4,99,100,200,0,0,300,20\n"
      "ボタン1,○,スキップ,○,0,表示\n"
      "状態0,0,10,5,0,0,64,20\n"
      "状態1,0,11,5,64,0,64,20\n"
      "状態2,0,12,5,128,0,64,20\n"
      "状態3,3,13,5,192,,64,20\n"
      "ヒント,0,10,-24,0,140,180,22\n"
      "ボタン2,×,ロード,,1,非表示\n" +
      States(0) +
      "別,○,セーブ,×,絶対,\n" +
      States(100) +
      "□定義終了\n"
      "後,○,決定,×,0,表示\n");
  ASSERT_TRUE(def.ok()) << def.error().message;
  EXPECT_EQ(Described(*def), std::vector<std::string>{});

  ASSERT_EQ(def->pictures.size(), 4u);
  EXPECT_EQ(def->pictures[0].file, "btn.bmp");
  EXPECT_EQ(def->pictures[0].line, 3);
  EXPECT_EQ(def->pictures[0].label, Sjis("画像0"));
  EXPECT_TRUE(def->pictures[0].Loads());
  EXPECT_FALSE(def->pictures[1].Loads());  // "×": keeps its number, loads nothing
  EXPECT_FALSE(def->pictures[2].Loads());  // empty
  EXPECT_EQ(def->pictures[3].number, 3);
  EXPECT_EQ(def->pictures[3].file, "chip.bmp");

  ASSERT_EQ(def->buttons.size(), 4u);
  EXPECT_EQ(def->absolute, (std::vector<int32_t>{0, 3}));
  const SystemButton& base = def->buttons[0];
  EXPECT_EQ(base.name, Sjis("システムボタン"));
  EXPECT_EQ(base.action, 0);
  EXPECT_FALSE(base.responds);
  EXPECT_EQ(base.parent, SystemButton::kAbsolute);
  EXPECT_TRUE(base.visible);
  EXPECT_EQ(base.states[0].picture, 99);

  const SystemButton& skip = def->buttons[1];
  EXPECT_EQ(skip.number, 1);
  EXPECT_EQ(skip.line, 23);
  EXPECT_EQ(skip.action, 8);
  EXPECT_TRUE(skip.responds);
  EXPECT_TRUE(skip.draggable);
  EXPECT_EQ(skip.parent, 0);
  EXPECT_TRUE(skip.visible);
  const SystemButtonState& disabled = skip.states[3];
  EXPECT_EQ(disabled.picture, 3);
  EXPECT_EQ(disabled.x, 13);
  EXPECT_EQ(disabled.sourceX, 192);
  EXPECT_EQ(disabled.sourceY, 0);  // empty: every button starts zero, nothing comes from above
  EXPECT_EQ(disabled.width, 64);
  EXPECT_EQ(disabled.height, 20);
  EXPECT_EQ(skip.states[4].y, -24);

  const SystemButton& load = def->buttons[2];
  EXPECT_FALSE(load.responds);
  EXPECT_FALSE(load.draggable);  // an empty flag is not "○"
  EXPECT_FALSE(load.visible);
  EXPECT_EQ(load.parent, 1);
  EXPECT_EQ(load.states[2].picture, 3);  // States(0): state 2, field 1 = 0 + 2 + 1
  EXPECT_EQ(load.states[4].height, 11);

  EXPECT_TRUE(def->buttons[3].visible);  // an empty visibility field: shown
  EXPECT_EQ(def->buttons[3].action, 9);

  // Positions add the parent's position in the same state, one level only.
  EXPECT_EQ(def->Position(0, 0), (std::array<int32_t, 2>{100, 200}));
  EXPECT_EQ(def->Position(1, 0), (std::array<int32_t, 2>{110, 205}));
  EXPECT_EQ(def->Position(1, 2), (std::array<int32_t, 2>{112, 205}));
  EXPECT_EQ(def->Position(2, 0), (std::array<int32_t, 2>{2 + 10, 3 + 5}));
  EXPECT_EQ(def->Position(2, 3), (std::array<int32_t, 2>{5 + 13, 6 + 5}));
  EXPECT_EQ(def->Position(4, 0), (std::array<int32_t, 2>{0, 0}));
  EXPECT_EQ(def->Position(1, 5), (std::array<int32_t, 2>{0, 0}));
}

TEST(SystemButtonDefinitionTest, PositionsStayWithinThirtyTwoBits) {
  auto def = Read("h\nh\n□画像定義終了\n" + kHeadings + "p,○,決定,×,絶対,表示\n" +
                  "s,0,100,-100,0,0,1,1\n" + States(0).substr(States(0).find('\n') + 1) +
                  "c,○,決定,×,0,表示\n" + "s,0,2147483647,-2147483648,0,0,1,1\n" +
                  States(0).substr(States(0).find('\n') + 1) + "□定義終了\n");
  ASSERT_TRUE(def.ok()) << def.error().message;
  EXPECT_EQ(def->Position(1, 0), (std::array<int32_t, 2>{2147483647, -2147483647 - 1}));
}

TEST(SystemButtonDefinitionTest, NoButtonsWhenTheEndFollowsTheHeadings) {
  auto def = Read("h\nh\n□画像定義終了\n" + kHeadings + "□定義終了\n");
  ASSERT_TRUE(def.ok()) << def.error().message;
  EXPECT_TRUE(def->pictures.empty());
  EXPECT_TRUE(def->buttons.empty());
  EXPECT_TRUE(def->problems.empty());
}

TEST(SystemButtonDefinitionTest, WithoutItsSectionEndsNothingIsBuilt) {
  struct Case {
    std::string text;
    std::string error;
  };
  const std::string record = "b,○,決定,×,絶対,表示\n" + States(0);
  const Case cases[] = {
      {"h\nh\npic,a.bmp\n" + kHeadings + record + "□定義終了\n",
       "no line after the two header lines starts with \"□画像定義終了\" (the end of the "
       "pictures): no buttons are built"},
      // The marker in a header line is skipped with it.
      {"□画像定義終了\nh\n" + kHeadings + record + "□定義終了\n",
       "no line after the two header lines starts with \"□画像定義終了\" (the end of the "
       "pictures): no buttons are built"},
      {"h\nh\n□画像定義終了\n" + kHeadings + record,
       "no line after the headings starts with \"□定義終了\" (the end of the buttons): no "
       "buttons are built"},
      {"h\nh\n□画像定義終了\n見出し\n□定義終了\n" + kHeadings.substr(0, 20),
       "no line after the headings starts with \"□定義終了\" (the end of the buttons): no "
       "buttons are built; line 5 is one of the 9 heading lines after line 3 and is skipped "
       "with them"},
  };
  for (const Case& c : cases) {
    auto def = Read(c.text);
    ASSERT_FALSE(def.ok());
    EXPECT_EQ(SjisToUtf8(def.error().message), c.error);
  }
}

TEST(SystemButtonDefinitionTest, AnIncompleteRecordBeforeTheEndIsNotRead) {
  auto def = Read("h\nh\n□画像定義終了\n" + kHeadings + "b,○,決定,×,絶対,表示\n" + States(0) +
                  "c,○,取消,×,絶対,表示\n状態0,1,2,3,4,5,6,7\n状態1,1,2,3,4,5,6,7\n□定義終了\n");
  ASSERT_TRUE(def.ok()) << def.error().message;
  ASSERT_EQ(def->buttons.size(), 1u);
  EXPECT_EQ(def->absolute, std::vector<int32_t>{0});
  EXPECT_EQ(Described(*def), std::vector<std::string>{
                                 "system1.lib: line 19 (button 1): lines 19..21 are 3 of the 6 lines "
                                 "of a button record before the end line: not read"});
}

TEST(SystemButtonDefinitionTest, FieldsThatDoNotReadAsMeantAreNamed) {
  const std::string text =
      "h\nh\n□画像定義終了\n" + kHeadings +
      "a,o,決定,×,絶対,表示\n" + States(0) +           // button 0: a Latin o is no mark
      "b,○,次へ,×,7,隠す\n" + States(0) +              // 1: no action, parent 7, odd visibility
      "c,○,取消,はい,2,表示\n" + States(0) +           // 2: its own parent; "はい" is no mark
      "d,×,決定,×,-1,表示\n" + States(0) +             // 3: -1 as a number
      "e,×,決定,×,x,表示\n"                            // 4: a parent that is no number
      "状態0,1,2,3\n状態1,1,2,3,4,5,6,7,8\n"
      "状態2,1,2,3,4,5,6,7\n状態3,1,2,3,4,5,6,7\n状態4,1,2,3,4,5,6,7\n"
      "□定義終了\n";
  auto def = Read(text);
  ASSERT_TRUE(def.ok()) << def.error().message;
  ASSERT_EQ(def->buttons.size(), 5u);
  EXPECT_FALSE(def->buttons[0].responds);
  EXPECT_EQ(def->buttons[1].parent, 7);
  EXPECT_TRUE(def->buttons[1].visible);
  EXPECT_EQ(def->buttons[3].parent, -1);
  EXPECT_EQ(def->absolute, std::vector<int32_t>{0});
  EXPECT_EQ(def->buttons[4].parent, 0);
  EXPECT_EQ(def->buttons[4].states[0].sourceX, 0);
  EXPECT_EQ(def->PositionParent(1), -1);  // out of range: no position added
  EXPECT_EQ(def->PositionParent(2), -1);
  EXPECT_EQ(def->PositionParent(4), 0);
  const std::vector<std::string> expected = {
      "system1.lib: line 13 (button 0), field 1 (responds): \"o\" is not \"○\" or \"×\": read as \"×\"",
      "system1.lib: line 19 (button 1), field 5 (visibility): \"隠す\" is not \"非表示\": the button starts shown",
      "system1.lib: line 19 (button 1), field 2 (name): \"次へ\" is not an action name: the button responds but does nothing",
      "system1.lib: line 19 (button 1), field 4 (parent): 7 is not a button number (0..4)",
      "system1.lib: line 25 (button 2), field 3 (draggable): \"はい\" is not \"○\" or \"×\": read as \"×\"",
      "system1.lib: line 25 (button 2), field 4 (parent): the button is its own parent",
      "system1.lib: line 31 (button 3), field 4 (parent): -1 as a number: the button is drawn as "
      "absolute but is not in the absolute list; write \"絶対\"",
      "system1.lib: line 37 (button 4), field 4 (parent): \"x\" is not a whole number; read as 0",
      "system1.lib: line 38 (button 4 state 0): has 4 fields, not 8: fields 4..7 read as empty",
      "system1.lib: line 39 (button 4 state 1): has 9 fields; only the first 8 are read",
  };
  EXPECT_EQ(Described(*def), expected);
}

}  // namespace
}  // namespace zan
