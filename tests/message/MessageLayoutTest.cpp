// Drawing through the layout: a page rendered into a glyph surface (with and without the
// layout's offsets, in the read-text colour), plain text for the name plate and screens,
// uniform layout and choice marks.

#include "message/MessageLayout.h"

#include <gtest/gtest.h>

#include <memory>

#include "../surface/TestSurfaces.h"
#include "FakeFontInk.h"
#include "base/ShiftJis.h"
#include "message/GlyphRasterizer.h"

namespace zan {
namespace {

using test::FakeFontInk;
using test::MakeSurface;

class MessageLayoutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(rasterizer.InitRasterizer(fonts).ok());
    fonts.Set({{0, 0}});  // one ink sample at each glyph's top-left corner
    layout.Settings().style = 0;
    buffer = std::make_unique<TextBuffer>();
    buffer->Clear();
  }
  // Output pixels with a mask set.
  std::vector<TextPoint> Inked(Surface& s) {
    std::vector<TextPoint> points;
    for (int32_t y = 0; y < s.Height(); ++y)
      for (int32_t x = 0; x < s.Width(); ++x)
        if (s.Alpha().At(x, y) != 0) points.push_back({x, y});
    return points;
  }

  FakeFontInk fonts;
  GlyphRasterizer rasterizer;
  MessageLayout layout{&rasterizer, nullptr};
  std::unique_ptr<TextBuffer> buffer;
};

TEST_F(MessageLayoutTest, APageIsRenderedAtItsCellPositions) {
  LayoutSettings& s = layout.Settings();
  s.xOffset = 10;
  s.yOffset = 20;
  ASSERT_TRUE(buffer->AppendText(Sjis("あい") + "\r\n" + Sjis("う"), 10, 16, {255, 0, 0}, s));
  auto surface = MakeSurface(8888, 120, 100);
  ASSERT_TRUE(buffer->RenderText(*surface, 2, 3, false, true, layout));
  // 16-pixel characters advance 16 - 1 pixels; a line is 16 + 3 high and a character sits
  // on its bottom (+3); each line lies below its ruby space (10). Drawn at (2, 3), offsets
  // (10, 20): x = 2 + 10 + 15 per character; y = 3 + 20 + 10 + 3 on the first line and
  // 3 + 20 + 19 + 2 * 10 + 3 on the second.
  const std::vector<TextPoint> expected = {{12, 36}, {27, 36}, {12, 65}};
  EXPECT_EQ(Inked(*surface), expected);
  EXPECT_EQ(test::Colour(*surface, expected[0].x, expected[0].y), (Rgb{255, 0, 0}));
  EXPECT_EQ(rasterizer.Weight(), 1000);  // text is drawn heavy

  // Without the offsets, and in the read-text colour; clearing first.
  s.readTextColour = {0, 0, 160};
  ASSERT_TRUE(buffer->RenderTextAt(*surface, 2, 3, true, true, layout));
  const std::vector<TextPoint> at = Inked(*surface);
  ASSERT_EQ(at.size(), 3u);
  EXPECT_EQ(at[0].x, expected[0].x - 10);
  EXPECT_EQ(at[0].y, expected[0].y - 20);
  EXPECT_EQ(test::Colour(*surface, at[0].x, at[0].y), (Rgb{0, 0, 160}));

  Surface empty;
  EXPECT_FALSE(buffer->RenderText(empty, 0, 0, false, true, layout));
}

TEST_F(MessageLayoutTest, RubyIsDrawnSmallAboveItsBase) {
  LayoutSettings& s = layout.Settings();
  s.xOffset = 10;  // the ruby is wider than its base: it starts left of it
  s.yOffset = 20;
  ASSERT_TRUE(buffer->AppendRubyText(Sjis("星"), 10, Sjis("ほし"), s));
  auto surface = MakeSurface(565, 60, 60);
  fonts.characters.clear();
  ASSERT_TRUE(buffer->RenderText(*surface, 0, 0, false, true, layout));
  EXPECT_EQ(fonts.characters, (std::vector<std::string>{Sjis("星"), Sjis("ほ"), Sjis("し")}));
  EXPECT_EQ(fonts.last.cellHeight, 10);  // the ruby size, plain
  const TextPoint ruby = buffer->RubyCharPosition(0, 0, s);
  EXPECT_EQ(surface->Alpha().At(ruby.x, ruby.y), 255);
}

TEST_F(MessageLayoutTest, PlainTextAdvancesByCharacterAndLine) {
  auto surface = MakeSurface(8888, 100, 80);
  layout.Settings().textColour = {1, 2, 3};
  ASSERT_TRUE(layout.DrawPlainText(Sjis("名") + "a\r\n" + "b", *surface, 4, 5, 20));
  EXPECT_EQ(Inked(*surface), (std::vector<TextPoint>{{4, 5}, {24, 5}, {4, 25}}));
  EXPECT_EQ(test::Colour(*surface, 24, 5), (Rgb{1, 2, 3}));
  // Vertical: lines run down from the right edge.
  auto vertical = MakeSurface(8888, 100, 80);
  layout.SetVertical(1);
  EXPECT_EQ(rasterizer.Escapement(), 2700);
  ASSERT_TRUE(layout.DrawPlainText("a\r\nb", *vertical, 4, 5, 20));
  EXPECT_EQ(Inked(*vertical), (std::vector<TextPoint>{{55, 4}, {75, 4}}));
  Surface empty;
  EXPECT_FALSE(layout.DrawPlainText("a", empty, 0, 0, 20));
}

TEST_F(MessageLayoutTest, UniformLayoutAndChoiceMarks) {
  LayoutSettings& s = layout.Settings();
  ASSERT_TRUE(buffer->AppendText(Sjis("あ"), 5, 18, {}, s));
  ASSERT_TRUE(buffer->AppendText(Sjis("い") + "\r\nb", 5, 30, {}, s));
  buffer->LayoutLinesUniform(24);
  EXPECT_EQ(buffer->Cell(0).size, 24);
  EXPECT_EQ(buffer->Cell(1).x, 24);  // full width, no overlap
  EXPECT_EQ(buffer->LineHeight(0), 24);
  EXPECT_EQ(buffer->Cell(3).y, 24);

  buffer->StartMark(2, -1);
  ASSERT_TRUE(buffer->AppendText(Sjis("選ぶ"), 5, s));
  buffer->EndMark(2, -1);
  buffer->SetMarkText(2, Sjis("選ぶ"));
  const ChoiceMark* mark = buffer->Mark(2);
  ASSERT_NE(mark, nullptr);
  EXPECT_EQ(mark->active, 1);
  EXPECT_EQ(mark->first, 4);
  EXPECT_EQ(mark->last, 5);
  EXPECT_EQ(std::string(mark->text), Sjis("選ぶ"));
  EXPECT_EQ(buffer->Mark(20), nullptr);
  buffer->StartMark(-1, 0);  // ignored
}

}  // namespace
}  // namespace zan
