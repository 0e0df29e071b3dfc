#include "base/ShiftJis.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace zan
