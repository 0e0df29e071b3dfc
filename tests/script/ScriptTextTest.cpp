// The script text format: elements, tags, arguments and labels, as tables of cases.

#include "script/ScriptText.h"

#include <gtest/gtest.h>

#include "ScriptTestGame.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

using testing::GameText;

// Reads every element of a text from position 0.
std::vector<std::string> Elements(std::string_view text, bool keepBreaks = false) {
  std::vector<std::string> out;
  std::string element;
  for (int32_t pos = 0; pos < static_cast<int32_t>(text.size());) {
    pos = ReadElement(text, pos, element, keepBreaks);
    if (pos > static_cast<int32_t>(text.size())) break;  // text after the last tag
    out.push_back(element);
  }
  return out;
}

TEST(ScriptText, ElementsOfTheTextFormat) {
  struct Case {
    const char* name;
    const char* text;  // UTF-8 with LF
    std::vector<const char*> elements;
  };
  const Case cases[] = {
      {"text then tag", "こんにちは<KW>\n", {"こんにちは", "<KW>"}},
      {"line end after a tag at a page start is dropped", "<KW>\n次のページ<KW>\n",
       {"<KW>", "次のページ", "<KW>"}},
      {"line breaks inside text stay", "一行目\n二行目<KW>\n", {"一行目\n二行目", "<KW>"}},
      {"line comment", "文// 注釈 <Mov a,1>\n<KW>\n", {"文\n", "<KW>"}},
      {"block comment", "文/* <Mov a,1> [x] */続き<KW>\n", {"文続き", "<KW>"}},
      {"labels are not shown", "[top]前[mid]後<KW>\n", {"前後", "<KW>"}},
      {"comment inside a tag", "<Mov a, /* 2 */ 3>\n", {"<Mov a,  3>"}},
      {"greater-than protected by parentheses", "<If x, (a>3)>\n", {"<If x, (a>3)>"}},
      {"greater-than ends an unprotected tag", "<If x, a>3>\n", {"<If x, a>"}},  // "3>" is then text after the last tag
      {"text after the last tag is never shown", "<KW>\n見えない", {"<KW>"}},
      {"trail bytes equal to '[' or ']' open no label", "ラーメン‐<KW>\n", {"ラーメン‐", "<KW>"}},
      {"tabs and spaces stay", "\t a b <KW>\n", {"\t a b ", "<KW>"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> expected;
    for (const char* e : c.elements) expected.push_back(GameText(e));
    EXPECT_EQ(Elements(GameText(c.text)), expected) << c.name;
  }
}

TEST(ScriptText, LeadingBreaksAreKeptWhenTheAreaHoldsText) {
  const std::string text = GameText("\n続き<KW>\n");
  std::string element;
  ReadElement(text, 0, element, false);
  EXPECT_EQ(element, Sjis("続き"));
  ReadElement(text, 0, element, true);
  EXPECT_EQ(element, GameText("\n続き"));
}

TEST(ScriptText, OverlongTextIsCutAtACharacterAndTheTagStillFollows) {
  // 1021 single bytes, then double-byte characters: the first one still fits below 1022
  // held bytes, the next does not.
  const std::string text = std::string(1021, 'a') + Sjis("ああ") + "<KW>\r\n";
  std::string element;
  ElementInfo cuts;
  const int32_t next = ReadElement(text, 0, element, false, &cuts);
  EXPECT_TRUE(cuts.textOverflow);
  EXPECT_EQ(element.size(), 1023u);
  EXPECT_EQ(element.substr(1021), Sjis("あ"));
  ReadElement(text, next, element, false);
  EXPECT_EQ(element, "<KW>");
}

TEST(ScriptText, OverlongTagsAreCutAndStillClose) {
  const std::string text = "<Mov a," + std::string(400, '1') + ">\r\n<KW>\r\n";
  std::string element;
  ElementInfo cuts;
  const int32_t next = ReadElement(text, 0, element, false, &cuts);
  EXPECT_TRUE(cuts.tagCut);
  EXPECT_EQ(element.size(), 259u);
  EXPECT_EQ(element.back(), '>');
  ReadElement(text, next, element, false);
  EXPECT_EQ(element, "<KW>");  // reading goes on after the real end of the tag
}

TEST(ScriptText, CommandNamesAndArguments) {
  struct Case {
    const char* tag;
    const char* name;
    std::vector<const char*> args;
  };
  const Case cases[] = {
      {"<KW>", "KW", {}},
      {"<KW >", "KW", {}},
      {"<Mov a,1>", "Mov", {"a", "1"}},
      {"<Mov\t a , 1 >", "Mov", {"a", "1"}},
      {"<Mov a,,1>", "Mov", {"a", "", "1"}},
      {"<Mov 　a　,\r\n1>", "Mov", {"a", "1"}},            // full-width spaces, CR LF
      {"<Jump (x,y)>", "Jump", {"(x", "y)"}},               // commas split inside parentheses
      {"<If lbl, (a>3), |, b=2>", "If", {"lbl", "(a>3)", "|", "b=2"}},
      {"<\r\n WinFontColor 255,0,0>", "WinFontColor", {"255", "0", "0"}},
      {"</WinFontColor>", "/WinFontColor", {}},
      {"<Mov表 a,1>", "Mov", {"a", "1"}},                   // double-byte characters are no name
      {"<SoundPlay 7, ボイス.ogg>", "SoundPlay", {"7", "ボイス.ogg"}},
  };
  for (const Case& c : cases) {
    const std::string tag = Sjis(c.tag);
    const CommandName name = GetCommandName(tag);
    EXPECT_EQ(name.name, c.name) << c.tag;
    ASSERT_EQ(CountArgs(tag, name.offset), static_cast<int32_t>(c.args.size())) << c.tag;
    const auto args = GetArgs(tag, name.offset);
    ASSERT_EQ(args.size(), c.args.size()) << c.tag;
    for (size_t i = 0; i < c.args.size(); ++i) {
      std::string arg;
      EXPECT_TRUE(GetArg(tag, static_cast<int32_t>(i), arg)) << c.tag;
      EXPECT_EQ(arg, Sjis(c.args[i])) << c.tag << " argument " << i;
      EXPECT_EQ(args[i], Sjis(c.args[i])) << c.tag << " argument " << i;
    }
    std::string beyond = "x";
    EXPECT_FALSE(GetArg(tag, static_cast<int32_t>(c.args.size()), beyond)) << c.tag;
    EXPECT_EQ(beyond, "") << c.tag;
  }
}

TEST(ScriptText, AtMostFiftyArgumentsAreTakenApart) {
  std::string tag = "<Mov a";
  for (int i = 0; i < 70; ++i) tag += "," + std::to_string(i);
  tag += ">";
  const CommandName name = GetCommandName(tag);
  EXPECT_EQ(CountArgs(tag, name.offset), 71);
  const auto args = GetArgs(tag, name.offset);
  ASSERT_EQ(args.size(), 50u);
  EXPECT_EQ(args[49], "48");
}

TEST(ScriptText, LabelScan) {
  const std::string text = GameText(
      "[top]文[二つ目]\n/* [コメント] */// [行コメント]\n[(a]b)]<KW>[top]\n[" +
      std::string(80, 'x') + "]");
  int cut = 0;
  const auto labels = ScanLabels(text, &cut);
  ASSERT_EQ(labels.size(), 5u);
  EXPECT_EQ(labels[0].name, "top");
  EXPECT_EQ(labels[0].position, 5);
  EXPECT_EQ(labels[1].name, Sjis("二つ目"));
  EXPECT_EQ(labels[2].name, "(a]b)");  // a "]" inside parentheses does not close
  EXPECT_EQ(labels[3].name, "top");    // the same name twice: both kept, the first wins
  EXPECT_EQ(labels[4].name, std::string(63, 'x'));
  EXPECT_EQ(cut, 1);
}

TEST(ScriptText, SpecialTags) {
  EXPECT_TRUE(IsTextWaitTag("<KW>"));
  EXPECT_TRUE(IsTextWaitTag("<kw>"));
  EXPECT_FALSE(IsTextWaitTag("<KW 1>"));
  EXPECT_TRUE(IsTextWaitTag("<TW 100>"));
  EXPECT_TRUE(IsTextWaitTag("<tw>"));
  EXPECT_TRUE(IsChoicePointTag("<SltAdd a,b>"));
  EXPECT_TRUE(IsChoicePointTag("<sltadd>"));
  EXPECT_FALSE(IsChoicePointTag("<SltRun>"));
}

}  // namespace
}  // namespace zan
