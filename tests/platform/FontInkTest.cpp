// The font ink service: face names resolve to IPA Gothic, characters come out as ink maps
// of their cell, vertical forms stand upright, and glyphs are kept.

#include "platform/FreeTypeFontInk.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "JapaneseFont.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

// The inked rows and columns of a map.
struct Extent {
  int32_t left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Extent InkExtent(const GlyphInk& ink) {
  Extent e;
  for (int32_t y = ink.top; y < ink.top + ink.height; ++y)
    for (int32_t x = ink.left; x < ink.left + ink.width; ++x)
      if (ink.At(x, y)) {
        e.left = std::min(e.left, x);
        e.top = std::min(e.top, y);
        e.right = std::max(e.right, x);
        e.bottom = std::max(e.bottom, y);
      }
  return e;
}

class FontInkTest : public ::testing::Test {
 protected:
  void SetUp() override { ZAN_SKIP_WITHOUT_JAPANESE_FONT(); }
  const GlyphInk& Ink(const char* utf8, int32_t cell, bool vertical = false, bool bold = false) {
    character = Sjis(utf8);
    return fonts.Ink({face, cell, character, vertical, bold});
  }
  FreeTypeFontInk fonts;
  std::string face = Sjis("ＭＳ ゴシック");
  std::string character;
};

TEST_F(FontInkTest, WindowsFaceNamesAndUnknownFacesDrawInIpaGothic) {
  ASSERT_TRUE(fonts.OpenFace(face).ok()) << fonts.OpenFace(face).error().message;
  const std::string file = fonts.FaceFile(face);
  EXPECT_FALSE(file.empty());
  EXPECT_EQ(fonts.FaceFile(Sjis("ＭＳ 明朝")), file);
  EXPECT_EQ(fonts.FaceFile("No Such Face"), file);
  EXPECT_EQ(fonts.FaceFile(""), file);
  EXPECT_EQ(fonts.FaceFile(Sjis("@ＭＳ ゴシック")), file);
  // The file is IPA Gothic by its own name table, read here by FreeType directly.
  FT_Library library = nullptr;
  ASSERT_EQ(FT_Init_FreeType(&library), 0);
  FT_Face ft = nullptr;
  ASSERT_EQ(FT_New_Face(library, file.c_str(), 0, &ft), 0) << file;
  EXPECT_STREQ(ft->family_name, "IPAGothic") << file;
  FT_Done_Face(ft);
  FT_Done_FreeType(library);
}

TEST_F(FontInkTest, ACharacterIsInkedInsideItsCell) {
  // 一: one horizontal stroke across the full-width cell, above the baseline.
  const Extent one = InkExtent(Ink("一", 48));
  ASSERT_GE(one.right, 0);
  EXPECT_GE(one.left, 0);
  EXPECT_LT(one.right, 48);
  EXPECT_GT(one.right - one.left, 4 * (one.bottom - one.top + 1));
  EXPECT_GT(one.top, 10);
  EXPECT_LT(one.bottom, 40);
  // 国 fills most of its cell; A stays in the left half (a half-width advance).
  const Extent box = InkExtent(Ink("国", 48));
  EXPECT_GE(box.top, 0);
  EXPECT_LT(box.bottom, 48);
  EXPECT_GT(box.bottom - box.top, 30);
  const Extent a = InkExtent(Ink("A", 48));
  EXPECT_GE(a.left, 0);
  EXPECT_LT(a.right, 24);
  // Bold adds one column of ink on the right of every stroke.
  const GlyphInk& bold = Ink("一", 48, false, true);
  EXPECT_EQ(InkExtent(bold).right, one.right + 1);
}

TEST_F(FontInkTest, VerticalWritingUsesUprightVerticalFormsAndTurnsHalfWidthCharacters) {
  // 「 in a vertical line is the corner bracket turned: its ink lies in the cell's right half
  // and top, where the horizontal one lies top-left.
  const Extent flat = InkExtent(Ink("「", 48));
  const Extent upright = InkExtent(Ink("「", 48, true));
  EXPECT_NE(flat.left, upright.left);
  // 、 moves to the upper right of the cell.
  const Extent comma = InkExtent(Ink("、", 48));
  const Extent verticalComma = InkExtent(Ink("、", 48, true));
  EXPECT_GT(verticalComma.left, comma.left);
  EXPECT_LT(verticalComma.top, comma.top);
  // 国 has no vertical form: the same ink.
  const GlyphInk kuni = Ink("国", 48);
  const GlyphInk& kuniVertical = Ink("国", 48, true);
  EXPECT_EQ(kuni.bits, kuniVertical.bits);
  // A half-width character is turned a quarter clockwise: (x, y) -> (47 - y, x).
  const GlyphInk a = Ink("A", 48);
  const GlyphInk& turned = Ink("A", 48, true);
  int32_t compared = 0;
  for (int32_t y = 0; y < 48; ++y)
    for (int32_t x = 0; x < 24; ++x) {
      EXPECT_EQ(a.At(x, y), turned.At(47 - y, x));
      compared += a.At(x, y) ? 1 : 0;
    }
  EXPECT_GT(compared, 50);
}

TEST_F(FontInkTest, GlyphsAreKeptPerCharacterSizeAndDirection) {
  const GlyphInk* first = &Ink("星", 36);
  const size_t kept = fonts.CachedGlyphs();
  EXPECT_EQ(&Ink("星", 36), first);
  EXPECT_EQ(fonts.CachedGlyphs(), kept);
  Ink("星", 40);
  Ink("星", 36, true);
  EXPECT_EQ(fonts.CachedGlyphs(), kept + 2);
}

TEST_F(FontInkTest, NothingToDrawGivesAnEmptyMap) {
  EXPECT_EQ(Ink("国", 0).width, 0);
  EXPECT_EQ(Ink("国", FontInk::kMaxCellHeight + 1).width, 0);
  EXPECT_EQ(fonts.Ink({face, 48, "", false, false}).width, 0);
  EXPECT_EQ(fonts.Ink({face, 48, "\x85\x40", false, false}).width, 0);  // no CP932 character
  EXPECT_LT(InkExtent(Ink(" ", 48)).right, 0);  // a blank is all background
}

}  // namespace
}  // namespace zan
