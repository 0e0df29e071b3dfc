#include "base/ShiftJis.h"

#include <gtest/gtest.h>

#include <array>

namespace zan {
namespace {

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

TEST(ShiftJisTest, KnownCodePage932Characters) {
  struct Case {
    const char* utf8;
    std::string sjis;
  } cases[] = {
      {"【", Bytes({0x81, 0x79})},
      {"】", Bytes({0x81, 0x7A})},
      {"ぬらり", Bytes({0x82, 0xCA, 0x82, 0xE7, 0x82, 0xE8})},
      {"～", Bytes({0x81, 0x60})},  // full-width tilde: CP932, not plain Shift_JIS
      {"－", Bytes({0x81, 0x7C})},  // full-width hyphen-minus
      {"ﾌｧｲﾙ", Bytes({0xCC, 0xA7, 0xB2, 0xD9})},  // half-width katakana are single bytes
      {"ABC", "ABC"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Sjis(c.utf8), c.sjis) << c.utf8;
    EXPECT_EQ(SjisToUtf8(c.sjis), c.utf8) << c.utf8;
  }
}

TEST(ShiftJisTest, LeadBytes) {
  EXPECT_FALSE(IsSjisLeadByte(0x80));
  EXPECT_TRUE(IsSjisLeadByte(0x81));
  EXPECT_TRUE(IsSjisLeadByte(0x9F));
  EXPECT_FALSE(IsSjisLeadByte(0xA0));
  EXPECT_FALSE(IsSjisLeadByte(0xDF));
  EXPECT_TRUE(IsSjisLeadByte(0xE0));
  EXPECT_TRUE(IsSjisLeadByte(0xFC));
  EXPECT_FALSE(IsSjisLeadByte(0xFD));
  EXPECT_FALSE(IsSjisLeadByte('A'));
}

TEST(ShiftJisTest, TextWithoutAShiftJisFormIsRefused) {
  EXPECT_FALSE(TryUtf8ToSjis("smile \xF0\x9F\x98\x80").has_value());
  EXPECT_FALSE(TryUtf8ToSjis("\xFF broken").has_value());
  EXPECT_EQ(TryUtf8ToSjis("既に"), Bytes({0x8A, 0xF9, 0x82, 0xC9}));
}

TEST(ShiftJisTest, BrokenShiftJisNeverFailsToDisplay) {
  // A lone lead byte at the end and an invalid trail byte become replacement characters.
  std::string text = SjisToUtf8(Bytes({'a', 0x81}));
  EXPECT_EQ(text, "a\xEF\xBF\xBD");
  text = SjisToUtf8(Bytes({0x81, 0x20, 'b'}));
  EXPECT_EQ(text.back(), 'b');
  EXPECT_NE(text.find("\xEF\xBF\xBD"), std::string::npos);
}

// The cut every stored text takes: the longest prefix within the limit that ends on a
// character boundary. A double-byte character that would straddle the limit is left out
// whole; a lone lead byte at the very end of the text is a character of one byte.
TEST(ShiftJisTest, TextIsCutAtACharacterBoundary) {
  const std::string a = Bytes({0x82, 0xA0});  // あ
  struct Case {
    std::string text;
    size_t limit;
    std::string kept;
  } cases[] = {
      {"abc", 5, "abc"},
      {"abcdef", 3, "abc"},
      {"ab" + a, 4, "ab" + a},            // fits exactly
      {"ab" + a, 3, "ab"},                // the character would be cut in two
      {a + a + a, 5, a + a},
      {"ab" + Bytes({0x81}), 3, "ab" + Bytes({0x81})},  // a lone trailing lead byte
      {"ab" + Bytes({0x81}), 2, "ab"},
      {Bytes({0xE0, 0x40, 0xFC}), 2, Bytes({0xE0, 0x40})},
      {Bytes({0xCC, 0xA7}), 1, Bytes({0xCC})},  // half-width katakana are single bytes
      {"", 4, ""},
      {a, 0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CutToCharacters(c.text, c.limit), c.kept) << c.text << " " << c.limit;
}

// A fixed field: zero-filled, the text cut so that its NUL fits.
TEST(ShiftJisTest, AFixedFieldKeepsItsTerminatorAndWholeCharacters) {
  const std::string a = Bytes({0x82, 0xA0});
  struct Case {
    std::string text;
    std::string field;  // all 6 bytes
  } cases[] = {
      {"abc", std::string("abc\0\0\0", 6)},
      {"abcdefgh", std::string("abcde\0", 6)},
      {"abcd" + a, std::string("abcd\0\0", 6)},     // あ would need bytes 4 and 5: the NUL's place
      {"abc" + a, "abc" + a + std::string(1, '\0')},
      {"abcd" + Bytes({0x81}), "abcd" + Bytes({0x81}) + std::string(1, '\0')},
  };
  for (const Case& c : cases) {
    std::array<char, 6> field;
    field.fill('x');
    StoreField(field, c.text);
    EXPECT_EQ(std::string(field.data(), field.size()), c.field) << c.text;
  }
}

}  // namespace
}  // namespace zan
