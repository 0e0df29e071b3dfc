// Variables, the numeric argument rule, arithmetic, "If", jumps, calls and returns.

#include "script/VariableTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "ScriptTestGame.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

using testing::GameText;
using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,a,0,-1000,1000\n"
    "INT,b,4,0,10\n"
    "INT,wrap,0,-2147483648,2147483647\n"
    "INT,変数,3,0,9\n"
    "STR,s,はじめ\n"
    "STR,G_name,\n"
    "INT,G_flag,0,0,1\n"
    "INT,a_name_that_is_much_longer_than_thirty_one_bytes,1,0,5\n";

TEST(Variable, LoadsTheTableAndClamps) {
  VariableTable vars;
  vars.LoadText(GameText(kVariables));
  ASSERT_EQ(vars.Ints().size(), 6u);
  ASSERT_EQ(vars.Strings().size(), 2u);
  EXPECT_EQ(vars.Ints()[1].row, 1);
  EXPECT_EQ(vars.Strings()[0].row, 4);
  EXPECT_EQ(vars.Ints()[5].name, "a_name_that_is_much_longer_than");  // 31 bytes kept
  EXPECT_EQ(vars.IntValue(Sjis("変数")), 3);
  std::string text;
  EXPECT_TRUE(vars.StringValue("S", &text));  // names ignore case
  EXPECT_EQ(text, Sjis("はじめ"));

  struct Case {
    int32_t set;
    int32_t stored;
  } cases[] = {{-1, 0}, {0, 0}, {9, 9}, {10, 10}, {11, 10}, {-2000000000, 0}};
  for (const Case& c : cases) {
    EXPECT_TRUE(vars.SetInt("b", c.set));
    EXPECT_EQ(vars.IntValue("b"), c.stored) << c.set;
  }
  EXPECT_FALSE(vars.SetInt("nobody", 1));
  EXPECT_EQ(vars.IntValue("nobody"), 0);
  EXPECT_TRUE(vars.SetString("s", std::string(300, 'x')));
  vars.StringValue("s", &text);
  EXPECT_EQ(text.size(), 255u);
}

TEST(Variable, NumericArgumentRule) {
  VariableTable vars;
  vars.LoadText(GameText(kVariables));
  vars.SetInt("a", 42);
  EXPECT_EQ(vars.Evaluate("a"), 42);
  EXPECT_EQ(vars.Evaluate("A"), 42);
  EXPECT_EQ(vars.Evaluate("17"), 17);
  EXPECT_EQ(vars.Evaluate("-5x"), -5);
  EXPECT_EQ(vars.Evaluate(""), 0);
  EXPECT_EQ(vars.Evaluate("s"), 0);  // a string variable counts as text
}

TEST(Variable, RecordsRoundTrip) {
  VariableTable vars;
  vars.LoadText(GameText(kVariables));
  vars.SetString("s", Sjis("文字列"));
  std::array<uint8_t, VariableTable::kIntRecordSize> intRecord{};
  VariableTable::EncodeInt(vars.Ints()[3], intRecord);
  EXPECT_EQ(intRecord[0], 3);                      // row
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&intRecord[4])), Sjis("変数"));
  EXPECT_EQ(intRecord[36], 3);                     // value
  EXPECT_EQ(intRecord[44], 9);                     // maximum
  const auto back = VariableTable::DecodeInt(intRecord);
  EXPECT_EQ(back.name, vars.Ints()[3].name);
  EXPECT_EQ(back.maximum, 9);
  std::array<uint8_t, VariableTable::kStringRecordSize> stringRecord{};
  VariableTable::EncodeString(vars.Strings()[0], stringRecord);
  EXPECT_EQ(VariableTable::DecodeString(stringRecord).value, Sjis("文字列"));
  // A record without terminators never reads outside itself.
  stringRecord.fill('x');
  EXPECT_EQ(VariableTable::DecodeString(stringRecord).value.size(), VariableTable::kStringSize);
  EXPECT_EQ(VariableTable::DecodeString(stringRecord).name.size(), VariableTable::kNameSize);
}

class CommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.WriteArchives({{"main.txt", "[top]\n[second]\n"},
                        {"sub.txt", "[entry]\n[deep]\n"},
                        {"only.txt", "本文<KW>\n"}},
                       {{"variable.csv", kVariables}});
    game.Open();
    game.Variables().LoadVariables(game.Data());
    game.Script().LoadScript(game.Game().Record(), "main.txt");
  }
  void Run(const char* tag) { game.Game().DispatchCommand(Sjis(tag)); }
  int32_t V(const char* name) { return game.Var(Sjis(name)); }
  std::string S(const char* name) {
    std::string text;
    game.Variables().StringValue(Sjis(name), &text);
    return text;
  }

  ScriptTestGame game{"commands"};
};

TEST_F(CommandTest, Arithmetic) {
  struct Case {
    const char* tag;
    const char* target;
    int32_t expected;
  } cases[] = {
      {"<Mov a, 7>", "a", 7},       {"<Add a, b>", "a", 11},  {"<Sub a, 20>", "a", -9},
      {"<Mul a, -3>", "a", 27},     {"<Div a, 4>", "a", 6},   {"<Div a, 0>", "a", 6},
      {"<Mod a, 4>", "a", 2},       {"<Mod a, 0>", "a", 2},   {"<Inc a>", "a", 3},
      {"<Dec a>", "a", 2},          {"<Mov a, 5000>", "a", 1000},
      {"<Div a, -7>", "a", -142},   {"<Mod a, -7>", "a", -2},  // truncation toward zero
      {"<Mov wrap, -2147483648>", "wrap", INT32_MIN},
      {"<Div wrap, -1>", "wrap", INT32_MIN},  // the one overflowing quotient wraps
      {"<Mod wrap, -1>", "wrap", 0},
      {"<Mov wrap, -2147483648>", "wrap", INT32_MIN},
      {"<Sub wrap, 1>", "wrap", INT32_MAX},   // 32-bit wrap-around
      {"<Mul wrap, 2>", "wrap", -2},
      {"<Mov 変数, 100>", "変数", 9},
      {"<Mov nobody, 1>", "a", -2},
  };
  for (const auto& c : cases) {
    Run(c.tag);
    EXPECT_EQ(V(c.target), c.expected) << c.tag;
  }
}

TEST_F(CommandTest, StringAssignments) {
  Run("<Mov s, a>");  // an integer variable's decimal text
  EXPECT_EQ(S("s"), "0");
  Run("<Mov a, 12>");
  Run("<Add s, a>");
  EXPECT_EQ(S("s"), "012");
  Run("<Add s, テキスト>");  // not a variable: the text itself
  EXPECT_EQ(S("s"), Sjis("012テキスト"));
  Run("<Mov G_name, s>");  // another string variable's text
  EXPECT_EQ(S("G_name"), Sjis("012テキスト"));
  Run("<Mov b, s>");  // a numeric argument naming a string variable is text: 0
  EXPECT_EQ(V("b"), 0);
}

TEST_F(CommandTest, RandomNumbersStayInTheirRangeAndAnInvertedRangeIsTurned) {
  game.Variables().SeedRandom(12345);
  std::set<int32_t> seen;
  for (int i = 0; i < 200; ++i) {
    Run("<Rnd a, 3, 6>");
    seen.insert(V("a"));
    Run("<Rnd b, 9, 7>");
    EXPECT_GE(V("b"), 7);
    EXPECT_LE(V("b"), 9);
  }
  EXPECT_EQ(seen, (std::set<int32_t>{3, 4, 5, 6}));
  Run("<Rnd wrap, -2147483648, 2147483647>");  // the whole range divides by nothing odd
}

TEST_F(CommandTest, IfConditionsAndConnectors) {
  Interpreter& g = game.Game();
  struct Case {
    const char* tag;
    bool jumps;
  } cases[] = {
      {"<If second, (a>3)>", true},          // a = 4 below
      {"<If second, (a>4)>", false},
      {"<If second, a=4>", true},
      {"<If second, a==4>", true},
      {"<If second, a!=4>", false},
      {"<If second, a<=4, &, (b>=4)>", true},
      {"<If second, a<=4, &, b>=4>", false},  // the unprotected ">" ends the tag: "b" alone
      {"<If second, a=1, |, b=4>", true},
      {"<If second, a=4, |, b=1>", true},
      {"<If second, a=1, |, b=1>", false},
      {"<If second, a=4, and, b=1>", false},
      {"<If second, a=4, and, b=4>", true},
      {"<If second, a=1, and, b=4, |, a=4>", true},
      {"<If second, a>", false},          // no operator: false
      {"<If second, a=<4>", false},       // an unknown operator is false
      {"<If second, ( a  =  4 )>", true},
      {"<If sub.txt, deep, a=4>", true},
      {"<If nowhere, a=4>", false},       // a missing label changes nothing
  };
  for (const auto& c : cases) {
    game.Script().LoadScript(g.Record(), "main.txt");
    g.SetReadPosition(0);
    Run("<Mov a, 4>");
    Run("<Mov b, 4>");
    Run(c.tag);
    EXPECT_EQ(g.ReadPosition() != 0, c.jumps) << c.tag;
  }
  EXPECT_EQ(g.Record().name, "main.txt");
  game.Script().LoadScript(g.Record(), "main.txt");
  Run("<If sub.txt, deep, a=4>");
  EXPECT_EQ(g.Record().name, "sub.txt");
  EXPECT_EQ(g.ReadPosition(), ScriptLoader::FindLabel(g.Record(), "deep"));
}

TEST_F(CommandTest, JumpsCallsAndReturns) {
  Interpreter& g = game.Game();
  const int32_t second = ScriptLoader::FindLabel(g.Record(), "second");
  Run("<Jump SECOND>");
  EXPECT_EQ(g.ReadPosition(), second);
  Run("<Jump missing>");
  EXPECT_EQ(g.ReadPosition(), second);

  g.SetReadPosition(3);
  Run("<JumpR sub.txt, entry>");
  EXPECT_EQ(g.Record().name, "sub.txt");
  ASSERT_EQ(g.Record().returns.Count(), 1);
  Run("<JumpR deep>");
  Run("<JumpR missing>");  // not found: nothing pushed
  EXPECT_EQ(g.Record().returns.Count(), 2);
  Run("<Return>");
  EXPECT_EQ(g.Record().name, "sub.txt");
  Run("<Return>");
  EXPECT_EQ(g.Record().name, "main.txt");
  EXPECT_EQ(g.ReadPosition(), 3);
  Run("<Return>");  // empty: nothing happens
  EXPECT_EQ(g.ReadPosition(), 3);

  Run("<JumpR top>");
  Run("<JumpClear>");
  EXPECT_EQ(g.Record().returns.Count(), 0);
}

TEST_F(CommandTest, CallsNestAtMostAHundredDeep) {
  Interpreter& g = game.Game();
  for (int i = 0; i < 100; ++i) Run("<JumpR second>");
  EXPECT_EQ(g.Record().returns.Count(), 100);
  g.SetReadPosition(1);
  Run("<JumpR sub.txt, entry>");  // refused: no jump, no overrun
  EXPECT_EQ(g.Record().returns.Count(), 100);
  EXPECT_EQ(g.Record().name, "main.txt");
  EXPECT_EQ(g.ReadPosition(), 1);
  for (int i = 0; i < 100; ++i) Run("<Return>");
  EXPECT_EQ(g.Record().returns.Count(), 0);
}

TEST_F(CommandTest, AJumpIntoAScriptWithoutTheLabelStartsItFromTheTop) {
  Interpreter& g = game.Game();
  g.SetReadPosition(9);
  Run("<JumpR only.txt, missing>");
  EXPECT_EQ(g.Record().name, "only.txt");
  EXPECT_EQ(g.ReadPosition(), 0);
  EXPECT_EQ(g.Record().returns.Count(), 0);
}

TEST_F(CommandTest, AScriptThatCannotBeReadLeavesNothingOfTheOldOne) {
  Interpreter& g = game.Game();
  Run("<Jump gone.txt, top>");
  EXPECT_EQ(g.Record().name, "");
  EXPECT_EQ(g.Record().Size(), 0);
  EXPECT_TRUE(g.Record().labels.empty());
  Run("<Jump second>");  // no labels left to find
  EXPECT_EQ(g.ReadPosition(), 0);
  // The same name is tried again later.
  Run("<Jump main.txt, second>");
  EXPECT_EQ(g.Record().name, "main.txt");
}

}  // namespace
}  // namespace zan

namespace zan {
namespace {

// variable.csv rows a game may get wrong: each is read without harm, as the columns say.
TEST(VariableFile, MalformedRowsAreReadAsTheirColumnsSay) {
  VariableTable vars;
  Diagnostics().LogText(LogLevel::kDebug, "before variable.csv");
  vars.LoadText(GameText(
      "種類,名前,初期値,最小,最大\n"
      "INT\n"                   // row 0: no name, every number 0
      "INT,short,7\n"           // row 1: no range: [0, 0]
      "INT,upside,5,10,0\n"     // row 2: minimum above maximum
      "INT,outside,50,0,10\n"   // row 3: a start value out of its range is kept until set
      "INT,words,x1,y,z\n"      // row 4: no digits: 0
      "STR\n"                   // row 5: a string without a name or a value
      "str,lower,あ,1,2\n"      // row 6: the kind ignores case; extra columns are not read
      "\n"));
  ASSERT_EQ(vars.Ints().size(), 5u);
  ASSERT_EQ(vars.Strings().size(), 2u);
  struct Row {
    const char* name;
    int32_t row, value, minimum, maximum;
  };
  const Row rows[] = {{"", 0, 0, 0, 0}, {"short", 1, 7, 0, 0}, {"upside", 2, 5, 10, 0},
                      {"outside", 3, 50, 0, 10}, {"words", 4, 0, 0, 0}};
  for (size_t i = 0; i < std::size(rows); ++i) {
    const VariableTable::IntVariable& v = vars.Ints()[i];
    EXPECT_EQ(v.name, rows[i].name);
    EXPECT_EQ(v.row, rows[i].row) << rows[i].name;
    EXPECT_EQ(v.value, rows[i].value) << rows[i].name;
    EXPECT_EQ(v.minimum, rows[i].minimum) << rows[i].name;
    EXPECT_EQ(v.maximum, rows[i].maximum) << rows[i].name;
  }
  EXPECT_EQ(vars.Strings()[0].row, 5);
  EXPECT_EQ(vars.Strings()[1].name, "lower");
  EXPECT_EQ(vars.Strings()[1].value, Sjis("あ"));
  // Setting clamps: below the minimum gives the minimum, at or above the maximum the maximum;
  // an upside-down range gives its minimum below it and its maximum from there up.
  struct Set {
    const char* name;
    int32_t set, stored;
  } sets[] = {{"short", 9, 0}, {"outside", 50, 10}, {"outside", 5, 5},
              {"upside", 3, 10}, {"upside", 10, 0}, {"upside", 20, 0}};
  for (const Set& s : sets) {
    EXPECT_TRUE(vars.SetInt(s.name, s.set));
    EXPECT_EQ(vars.IntValue(s.name), s.stored) << s.name << " " << s.set;
  }
  // A line for the range that cannot hold a value, and none for the rows after it.
  EXPECT_EQ(Diagnostics().LastMessage(), "variable.csv: row 2 (upside): minimum 10 above maximum 0");
}

TEST(VariableFile, AMissingFileLeavesBothTablesEmpty) {
  ScriptTestGame game{"no_variables"};
  game.WriteArchives({{"main.txt", "\n"}}, {{"other.csv", "x\n"}});
  game.Open();
  game.Variables().LoadText(GameText(kVariables));
  EXPECT_FALSE(game.Variables().LoadVariables(game.Data()));
  EXPECT_TRUE(game.Variables().Ints().empty());
  EXPECT_TRUE(game.Variables().Strings().empty());
}

// Names and string values are cut at a character boundary: a double-byte character that
// would straddle the limit is left out whole, a lone lead byte at the end counts as one.
TEST(VariableFile, NamesAndValuesAreCutAtCharacterBoundaries) {
  const std::string thirty(30, 'n');
  const std::string value254(254, 'v');
  VariableTable vars;
  vars.LoadText(GameText("種類,名前,初期値,最小,最大\n") + "INT," + thirty + Sjis("あ") + ",1,0,9\r\n" +
                "STR,s," + value254 + Sjis("い") + "\r\n");
  ASSERT_EQ(vars.Ints().size(), 1u);
  EXPECT_EQ(vars.Ints()[0].name, thirty);        // 30 + 2 > 31: the whole character goes
  EXPECT_EQ(vars.Strings()[0].value, value254);  // 254 + 2 > 255
  ASSERT_TRUE(vars.SetString("s", std::string(254, 'w') + "\x81"));
  std::string lone;
  vars.StringValue("s", &lone);
  EXPECT_EQ(lone, std::string(254, 'w') + "\x81");  // a lone lead byte at the end fits as one
  ASSERT_TRUE(vars.SetString("s", std::string(253, 'w') + Sjis("う")));
  std::string text;
  vars.StringValue("s", &text);
  EXPECT_EQ(text, std::string(253, 'w') + Sjis("う"));  // 255 bytes exactly
}

}  // namespace
}  // namespace zan
