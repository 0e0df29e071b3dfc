// The text buffer: automatic breaks and the line-breaking rules as a table of cases, the
// layout's positions, alignment and ruby, the limits of the buffer, and the stored record.

#include "message/TextBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "base/ShiftJis.h"
#include "message/LineBreakRules.h"
#include "message/MessageArea.h"

namespace zan {
namespace {

// UTF-8 with LF to Shift-JIS with CR LF.
std::string Text(std::string_view utf8) {
  std::string out;
  for (char c : Sjis(utf8)) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

// The characters of each laid-out line (in UTF-8), by the cells' line indexes.
std::vector<std::string> Lines(const TextBuffer& b) {
  std::vector<std::string> sjis;
  for (int32_t i = 0; i < b.Count(); ++i) {
    const TextCell& c = b.Cell(i);
    if (c.kind != kCellFullWidth && c.kind != kCellHalfWidth) continue;
    if (static_cast<size_t>(c.line) >= sjis.size()) sjis.resize(static_cast<size_t>(c.line) + 1);
    sjis[static_cast<size_t>(c.line)] += c.Text();
  }
  std::vector<std::string> lines;
  for (const std::string& line : sjis) lines.push_back(SjisToUtf8(line));
  return lines;
}

std::unique_ptr<TextBuffer> NewBuffer() {
  auto b = std::make_unique<TextBuffer>();
  b->Clear();
  return b;
}

struct BreakCase {
  const char* what;
  const char* text;  // UTF-8, LF for CR LF
  int32_t limit;     // characters per line
  std::vector<std::string> lines;
};

const BreakCase kBreakCases[] = {
    {"a full line breaks before the next character", "あいうえおか", 5, {"あいうえお", "か"}},
    {"a closing bracket at the limit hangs", "あいうえお」か", 5, {"あいうえお」", "か"}},
    {"a closing parenthesis at the limit hangs", "あいうえお）か", 5, {"あいうえお）", "か"}},
    {"a comma at the limit hangs", "あいうえお、か", 5, {"あいうえお、", "か"}},
    {"a full stop and a bracket both hang", "あいうえお。」か", 5, {"あいうえお。」", "か"}},
    {"a small kana at the limit hangs", "あいうえおっか", 5, {"あいうえおっ", "か"}},
    {"a small katakana at the limit hangs", "アイウエオャカ", 5, {"アイウエオャ", "カ"}},
    {"an opening bracket never ends a line", "あいうえ「おか」", 5, {"あいうえ", "「おか」"}},
    {"an opening parenthesis never ends a line", "あいうえ（おか）", 5, {"あいうえ", "（おか）"}},
    {"an opening bracket before a manual break moves down", "あいう「\nえお", 5, {"あいう", "「えお"}},
    {"a closing bracket after a manual break moves up", "あいう\n」えお", 5, {"あいう」", "えお"}},
    {"two closing marks after a manual break both move up", "あいう\n」。えお", 5, {"あいう」。", "えお"}},
    {"ordinary characters break anywhere", "あいうえおかきくけこさ", 5, {"あいうえお", "かきくけこ", "さ"}},
    {"half-width characters count half", "abcdefghijk", 5, {"abcdefghij", "k"}},
    {"a half-width parenthesis is not in the tables", "abcdefghij)k", 5, {"abcdefghij", ")k"}},
    {"a break right at the limit gives no empty line", "あいうえお\nかき", 5, {"あいうえお", "かき"}},
    {"a later break after an automatic one is kept", "あいうえおかき\nく", 5, {"あいうえお", "かき", "く"}},
};

class LineBreakTest : public ::testing::TestWithParam<BreakCase> {};

TEST_P(LineBreakTest, LinesAsExpected) {
  const BreakCase& c = GetParam();
  auto b = NewBuffer();
  LayoutSettings s;
  s.charsPerLine = c.limit;
  ASSERT_TRUE(b->AppendText(Text(c.text), TextBuffer::kCells, s));
  EXPECT_EQ(Lines(*b), c.lines) << c.what;
  // Within a line the characters stand left to right, in order (a character moved across a
  // break stands where the break was).
  for (int32_t i = 1; i < b->Count(); ++i) {
    const TextCell& before = b->Cell(i - 1);
    const TextCell& here = b->Cell(i);
    if (here.kind <= kCellHalfWidth && before.kind <= kCellHalfWidth && before.line == here.line)
      EXPECT_LT(before.x, here.x) << c.what << " cell " << i;
  }
  // No line starts with a line-start-forbidden character, none ends with an opening one.
  for (int32_t i = 0; i + 1 < b->Count(); ++i) {
    const TextCell& here = b->Cell(i);
    const TextCell& next = b->Cell(i + 1);
    if (here.kind == kCellBreak) EXPECT_FALSE(IsLineStartForbidden(next.Text())) << c.what;
    if (next.kind == kCellBreak) EXPECT_FALSE(IsLineEndForbidden(here.Text())) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinsoku, LineBreakTest, ::testing::ValuesIn(kBreakCases));

TEST(LineBreakRulesTest, TablesHoldDoubleByteCharactersOnly) {
  for (const char* c : {"°", "’", "”", "‰", "′", "″", "℃", "、", "。", "々", "〉", "》", "」", "』", "】",
                        "〕", "゛", "゜", "ゝ", "ゞ", "・", "ヽ", "ヾ", "！", "％", "）", "？", "ぁ", "ッ", "ヵ"})
    EXPECT_TRUE(IsLineStartForbidden(Sjis(c))) << c;
  for (const char* c : {"‘", "“", "〈", "《", "「", "『", "【", "〔", "＄", "（", "［", "｛", "￡", "￥"})
    EXPECT_TRUE(IsLineEndForbidden(Sjis(c))) << c;
  for (const char* c : {"あ", "」", "!", ")", "(", ""}) EXPECT_FALSE(IsLineEndForbidden(Sjis(c))) << c;
  for (const char* c : {"あ", "「", "!", ")", "?", ""}) EXPECT_FALSE(IsLineStartForbidden(Sjis(c))) << c;
}

TEST(TextBufferTest, SixtyOneHalfWidthCharactersBreakAfterTheSixtieth) {
  auto b = NewBuffer();
  LayoutSettings s;
  ASSERT_TRUE(b->AppendText(std::string(61, 'x'), TextBuffer::kCells, 20, Rgb{1, 2, 3}, s));
  ASSERT_EQ(b->Count(), 62);
  EXPECT_EQ(b->Cell(60).kind, kCellBreak);
  const TextCell& last = b->Cell(61);
  EXPECT_EQ(last.kind, kCellHalfWidth);
  EXPECT_EQ(last.line, 1);
  EXPECT_EQ(last.x, 0);
  EXPECT_EQ(last.size, 20);
  EXPECT_EQ(last.Colour(), (Rgb{1, 2, 3}));
  EXPECT_FLOAT_EQ(b->LineLength(), 0.5f);
  // Half-width cells advance size / 2 - 1.
  EXPECT_EQ(b->Cell(1).x, 9);
}

TEST(TextBufferTest, ABreakAtTheLimitIsDroppedAndLeavesTwoExtraCharacters) {
  auto b = NewBuffer();
  LayoutSettings s;
  s.charsPerLine = 5;
  ASSERT_TRUE(b->AppendText(Text("あいうえお\n"), TextBuffer::kCells, s));
  EXPECT_EQ(b->Cell(5).kind, kCellBreak);
  EXPECT_EQ(b->Cell(6).kind, kCellDroppedBreak);
  EXPECT_FLOAT_EQ(b->LineLength(), -2.0f);
  // The dropped break takes no advance.
  ASSERT_TRUE(b->AppendText(Text("かきくけこさしす"), TextBuffer::kCells, s));
  EXPECT_EQ(Lines(*b), (std::vector<std::string>{"あいうえお", "かきくけこさし", "す"}));
}

TEST(TextBufferTest, EmptyTextAndZeroMaximumStillTakeACell) {
  auto b = NewBuffer();
  LayoutSettings s;
  ASSERT_TRUE(b->AppendText("", 5, s));
  EXPECT_EQ(b->Count(), 1);
  EXPECT_EQ(b->Cell(0).kind, kCellHalfWidth);
  EXPECT_TRUE(b->Cell(0).Text().empty());
  EXPECT_FLOAT_EQ(b->LineLength(), 0.5f);
  ASSERT_TRUE(b->AppendText("abc", 0, s));
  EXPECT_EQ(b->Count(), 2);
  EXPECT_EQ(b->Cell(1).kind, 0);  // taken in as the clear left it
}

TEST(TextBufferTest, AFullBufferKeepsFourHundredCells) {
  auto b = NewBuffer();
  LayoutSettings s;
  s.charsPerLine = 1000;
  std::string text;
  for (int i = 0; i < 401; ++i) text += Sjis("字");
  EXPECT_FALSE(b->AppendText(text, 1000, s));
  EXPECT_EQ(b->Count(), TextBuffer::kCells);
  EXPECT_FALSE(b->AppendText("a", 5, s));
  EXPECT_EQ(b->Count(), TextBuffer::kCells);
  b->AppendIcon(0, 18, {});
  EXPECT_EQ(b->Count(), TextBuffer::kCells);
  // Twenty lines fill the arrays; more lines go on below, sharing the last entry.
  auto lines = NewBuffer();
  s.charsPerLine = 2;
  ASSERT_TRUE(lines->AppendText(std::string(100, 'a'), 400, s));
  EXPECT_EQ(lines->Cell(lines->Count() - 1).line, TextBuffer::kLines - 1);
  EXPECT_GT(lines->Cell(lines->Count() - 1).y, lines->Cell(lines->LineEnd(18)).y);
}

TEST(TextBufferTest, AlignmentCentresAndEndsLines) {
  auto b = NewBuffer();
  LayoutSettings s;
  s.fontSize = 18;
  ASSERT_TRUE(b->AppendText(Text("あいうえおかきくけこ"), TextBuffer::kCells, s));
  EXPECT_EQ(b->AlignmentOffset(0, s), 0);
  s.alignment = 1;
  EXPECT_EQ(b->AlignmentOffset(0, s), (800 - 180) / 2);
  EXPECT_EQ(b->CellPosition(0, s).x, 310);
  s.alignment = 2;
  EXPECT_EQ(b->AlignmentOffset(0, s), 620);
  // Vertical writing aligns within the area's height.
  b->SetVertical(1);
  s.alignment = 1;
  EXPECT_EQ(b->AlignmentOffset(0, s), (400 - 180) / 2);
}

TEST(TextBufferTest, CellPositionsAddOffsetsRubySpaceAndSitOnTheLineBottom) {
  auto b = NewBuffer();
  LayoutSettings s;
  s.xOffset = 40;
  s.yOffset = 30;
  ASSERT_TRUE(b->AppendText(Sjis("あ"), 5, 18, {}, s));
  ASSERT_TRUE(b->AppendText(Sjis("大"), 5, 36, {}, s));
  // Line height: 18 + 3, then 36 + 3. The small cell sits on the bottom: 30 + 10 + (39 - 18).
  EXPECT_EQ(b->LineHeight(0), 39);
  EXPECT_EQ(b->CellPosition(0, s), (TextPoint{40, 30 + 10 + 21}));
  EXPECT_EQ(b->CellPosition(1, s), (TextPoint{40 + 17, 30 + 10 + 3}));
  // The second line starts one line height lower plus another ruby space.
  ASSERT_TRUE(b->AppendText(Text("\nい"), 5, 18, {}, s));
  EXPECT_EQ(b->CellPosition(3, s), (TextPoint{40, 30 + 39 + 20 + 3}));
  // Vertical: x = area width - line height - (y before the bottom adjustment), y = x.
  b->SetVertical(1);
  EXPECT_EQ(b->CellPosition(0, s), (TextPoint{800 - 39 - 40, 40}));
  // Without the gaps lines follow each other directly.
  b->SetVertical(0);
  s.rubySpaceOn = 0;
  EXPECT_EQ(b->CellPosition(3, s).y, 30 + 39 + 3);
}

TEST(TextBufferTest, RubyIsCentredOverItsCells) {
  auto b = NewBuffer();
  LayoutSettings s;
  s.fontSize = 18;
  ASSERT_TRUE(b->AppendRubyText(Sjis("灯台"), 10, Sjis("とう"), s));
  ASSERT_EQ(b->RubyCount(), 1);
  EXPECT_EQ(b->Ruby(0).first, 0);
  EXPECT_EQ(b->Ruby(0).last, 1);
  // 36 pixels of base, 4 bytes of ruby: 18 + 5 j - 10, ruby size above the line top.
  const TextPoint base = b->CellPosition(0, s);
  EXPECT_EQ(b->RubyCharPosition(0, 0, s), (TextPoint{base.x + 8, base.y - 10 + (18 - 21)}));
  EXPECT_EQ(b->RubyCharPosition(0, 2, s).x, base.x + 18);
  // A base that begins a new line: the ruby stands over it, not over the break before it.
  auto wrapped = NewBuffer();
  s.charsPerLine = 5;
  ASSERT_TRUE(wrapped->AppendText(Sjis("あいうえお"), 10, s));
  ASSERT_TRUE(wrapped->AppendRubyText(Sjis("星空"), 10, 24, {1, 2, 3}, Sjis("ほし"), s));
  ASSERT_EQ(wrapped->Cell(5).kind, kCellBreak);
  EXPECT_EQ(wrapped->Ruby(0).first, 6);
  EXPECT_EQ(wrapped->Ruby(0).last, 7);
  EXPECT_EQ(wrapped->Cell(6).size, 24);
  EXPECT_EQ(wrapped->Cell(6).Colour(), (Rgb{1, 2, 3}));
  const TextPoint star = wrapped->CellPosition(6, s);
  EXPECT_EQ(wrapped->RubyCharPosition(0, 0, s).x, star.x + 24 - 10);
  EXPECT_GT(wrapped->RubyCharPosition(0, 0, s).y, wrapped->CellPosition(0, s).y);
  // Twenty rubies at most.
  for (int i = 1; i < TextBuffer::kRubies; ++i) EXPECT_TRUE(b->AddRuby("r", 0, 0));
  EXPECT_FALSE(b->AddRuby("r", 0, 0));
}

TEST(TextBufferTest, RevealingAndShowingAll) {
  auto b = NewBuffer();
  LayoutSettings s;
  ASSERT_TRUE(b->AppendRubyText(Sjis("星空"), 10, Sjis("ほし"), s));
  EXPECT_FALSE(b->IsAllShown());
  EXPECT_TRUE(b->SetCellState(0, 1));
  EXPECT_EQ(b->Ruby(0).state, 1);
  EXPECT_FALSE(b->SetCellState(2, 1));
  EXPECT_FALSE(b->SetCellState(-1, 1));
  EXPECT_TRUE(b->ShowAll());
  EXPECT_TRUE(b->IsAllShown());
  EXPECT_EQ(b->Cell(1).state, TextBuffer::kShown);
  EXPECT_FALSE(b->ShowAll());
}

TEST(TextBufferTest, IconsTakeTheirWidthAndSpeakerNamesAreCut) {
  auto b = NewBuffer();
  LayoutSettings s;
  b->AppendIcon(-1, 24, {});
  ASSERT_TRUE(b->AppendText("a", 5, 24, {}, s));
  EXPECT_EQ(b->Cell(0).kind, kCellIcon);
  EXPECT_EQ(b->Cell(0).icon, -1);
  EXPECT_EQ(b->Cell(1).x, 23);
  EXPECT_EQ(b->Characters(), "a");
  std::string name;
  for (int i = 0; i < 20; ++i) name += Sjis("名");
  b->SetSpeakerName(name);
  EXPECT_EQ(b->SpeakerName().size(), 30u);  // whole characters within 31 bytes
}

TEST(MessageAreaRecordTest, AWrittenRecordReadsBackByteForByte) {
  auto area = std::make_unique<MessageArea>();
  MessageLayout layout;
  area->Settings().SetSize(22);
  area->Settings().SetColour({10, 20, 30});
  area->Settings().SetPicture("win.bmp");
  area->Settings().homeX = 48;
  area->SetWindowPosition(0, 400);
  area->Append(Text("【名前】は\n一行目<と>二行目"), layout);
  area->AppendRuby(Sjis("星"), Sjis("ほし"), layout);
  area->SetSpeakerName(Sjis("灯"));
  area->Buffer().StartMark(3, -1);
  area->Buffer().SetMarkText(3, "choice");

  std::vector<uint8_t> bytes(MessageAreaRecord::kSize);
  area->Record().Encode(std::span<uint8_t, MessageAreaRecord::kSize>(bytes));
  ASSERT_EQ(bytes.size(), 21260u);
  auto back = std::make_unique<MessageAreaRecord>();
  MessageAreaRecord::Decode(std::span<const uint8_t, MessageAreaRecord::kSize>(bytes), *back);
  std::vector<uint8_t> again(MessageAreaRecord::kSize);
  back->Encode(std::span<uint8_t, MessageAreaRecord::kSize>(again));
  EXPECT_EQ(again, bytes);
  // Fields at their offsets.
  auto i32 = [&](size_t at) {
    int32_t v;
    std::memcpy(&v, &bytes[at], 4);
    return v;
  };
  EXPECT_EQ(i32(14400), area->Buffer().Count());
  EXPECT_EQ(i32(15688), 1);                          // ruby count
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[21136])), Sjis("灯"));
  EXPECT_EQ(i32(21176), 400);                        // window y
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[21180])), "win.bmp");
  EXPECT_EQ(bytes[21180 + 40], 10);                  // current colour
  EXPECT_EQ(i32(21180 + 48), 22);
  EXPECT_EQ(i32(21180 + 52), 22);
  EXPECT_EQ(i32(21180 + 64), 48);                    // text home x
  EXPECT_EQ(i32(8), 22);                             // first cell's size
}

TEST(MessageAreaRecordTest, AnyRecordReadFromAFileStaysInRange) {
  std::mt19937 random(7);
  std::vector<uint8_t> bytes(MessageAreaRecord::kSize);
  LayoutSettings s;
  for (int round = 0; round < 20; ++round) {
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    auto record = std::make_unique<MessageAreaRecord>();
    MessageAreaRecord::Decode(std::span<const uint8_t, MessageAreaRecord::kSize>(bytes), *record);
    TextBuffer& b = record->buffer;
    EXPECT_GE(b.Count(), 0);
    EXPECT_LE(b.Count(), TextBuffer::kCells);
    EXPECT_LE(b.RevealCursor(), b.Count());
    EXPECT_GE(record->settings.size, 0);
    // Layout and positions work on whatever it holds.
    for (int32_t i = 0; i < b.Count(); ++i) b.CellPosition(i, s);
    for (int32_t r = 0; r < b.RubyCount(); ++r) b.RubyCharPosition(r, 3, s);
    b.AppendText("abc", 10, s);
    b.ShowAll();
    EXPECT_TRUE(b.IsAllShown());
  }
}

// The page record's text fields (the speaker's name, a ruby, a choice mark's text) keep
// whole characters and their terminator, whatever the text given.
TEST(TextBufferFieldsTest, TextFieldsAreCutAtCharacterBoundaries) {
  const std::string a = Sjis("あ");
  auto b = std::make_unique<TextBuffer>();
  b->Clear();
  b->SetSpeakerName(std::string(30, 's') + a);  // 32 bytes: the character would take the NUL's place
  EXPECT_EQ(b->SpeakerName(), std::string(30, 's'));
  b->SetSpeakerName(std::string(29, 's') + a);
  EXPECT_EQ(b->SpeakerName(), std::string(29, 's') + a);
  b->SetSpeakerName(std::string(30, 's') + "\x81");  // a lone lead byte at the end is one byte
  EXPECT_EQ(b->SpeakerName(), std::string(30, 's') + "\x81");
  ASSERT_EQ(b->AddRuby(std::string(29, 'r') + a + a, 0, 0), 1);
  EXPECT_EQ(std::string(b->Ruby(0).text), std::string(29, 'r') + a);
  b->StartMark(0, 0);
  b->SetMarkText(0, std::string(258, 'm') + a);
  ASSERT_NE(b->Mark(0), nullptr);
  EXPECT_EQ(std::string(b->Mark(0)->text), std::string(258, 'm'));
}

}  // namespace
}  // namespace zan
