#include "data/TextFields.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/ShiftJis.h"

namespace zan {
namespace {

struct ScanCase {
  const char* what;
  std::string data;
  int32_t start;
  size_t outSize;
  const char* d1;
  const char* d2;
  std::string field;  // the bytes of out up to out.size(), NULs dropped from the end
  int32_t next;
  bool terminated;
};

TEST(TextFieldsTest, ScanField) {
  const std::string so = Sjis("ソ");     // 0x83 0x5C
  const std::string comma2 = "\x81\x2C";  // a double-byte character whose trail byte is ','
  const std::string lf2 = "\x83\x0A";     // a lead byte followed by an LF byte
  const std::vector<ScanCase> cases = {
      {"plain field", "ab,cd", 0, 260, ",", nullptr, "ab", 3, true},
      {"second field from its start", "ab,cd", 3, 260, ",", nullptr, "cd", 6, true},
      {"no delimiter: to the end, length + 1", "abc", 0, 260, ",", nullptr, "abc", 4, true},
      {"empty field", ",x", 0, 260, ",", nullptr, "", 1, true},
      {"trail byte 0x2C is not a comma", comma2 + "a,b", 0, 260, ",", nullptr, comma2 + "a", 4, true},
      {"trail byte 0x0A is not a line end", lf2 + "x\ny", 0, 260, "\n", nullptr, lf2 + "x", 4, true},
      {"either delimiter ends the field", "line\r\nnext", 0, 260, "\n", "\r", "line", 5, true},
      {"double-byte text kept whole", so + so + ",", 0, 260, ",", nullptr, so + so, 5, true},
      {"field of exactly out size: no terminator", "abcd,", 0, 4, ",", nullptr, "abcd", 5, false},
      {"longer field cut at out size", "abcdef,", 0, 4, ",", nullptr, "abcd", 7, false},
      {"one shorter than out: terminated", "abc,", 0, 4, ",", nullptr, "abc", 4, true},
      {"lead byte alone at the end is one character", "a\x83", 0, 260, ",", nullptr, "a\x83", 3, true},
      {"field past 1023 bytes cut there", std::string(1500, 'x') + ",y", 0, 2000, ",", nullptr,
       std::string(1023, 'x'), 1501, true},
      {"start beyond the data", "ab", 5, 260, ",", nullptr, "", 6, true},
  };
  for (const ScanCase& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<char> out(c.outSize + 1, '#');  // one guard byte past the buffer
    EXPECT_EQ(ScanField(c.data, c.start, std::span<char>(out.data(), c.outSize), c.d1, c.d2), c.next);
    EXPECT_EQ(out[c.outSize], '#');
    std::string got(out.data(), c.outSize);
    if (c.terminated) {
      EXPECT_EQ(got.substr(0, c.field.size() + 1), c.field + '\0');
    } else {
      EXPECT_EQ(got, c.field);
    }
  }
}

TEST(TextFieldsTest, LinesAndSkipping) {
  const std::string text = "header,1\r\nrow a\r\nlast";
  EXPECT_EQ(SkipPast(text, "\n"), 10);  // steps over the header, CR included
  char line[260];
  EXPECT_EQ(ReadLine(text, line), 10);  // the line, then two bytes of line end
  EXPECT_STREQ(line, "header,1");
  EXPECT_EQ(ReadLine(std::string_view(text).substr(10), line), 7);
  EXPECT_STREQ(line, "row a");
  // A last line without its end is still read; the step goes past the end of the data.
  EXPECT_EQ(ReadLine(std::string_view(text).substr(17), line), 6);
  EXPECT_STREQ(line, "last");
  EXPECT_EQ(SkipPast("no line end", "\n"), 12);

  std::vector<std::string> rows;
  ForEachTableLine(text, 1, [&](std::string_view row) {
    rows.emplace_back(row);
    return true;
  });
  EXPECT_EQ(rows, (std::vector<std::string>{"row a", "last"}));
  rows.clear();
  ForEachTableLine("only a header", 3, [&](std::string_view row) {
    rows.emplace_back(row);
    return true;
  });
  EXPECT_TRUE(rows.empty());
}

TEST(TextFieldsTest, GetFieldAndDropField) {
  char out[260];
  std::strcpy(out, "unchanged");
  EXPECT_FALSE(GetField("a,,c", out, ",", 1));  // an empty field leaves out as it was
  EXPECT_STREQ(out, "unchanged");
  EXPECT_TRUE(GetField("a,,c", out, ",", 2));
  EXPECT_STREQ(out, "c");
  EXPECT_TRUE(GetField("a,,c", out, ",", 0));
  EXPECT_STREQ(out, "a");
  std::strcpy(out, "unchanged");
  EXPECT_FALSE(GetField("a,,c", out, ",", 5));  // a missing field looks the same
  EXPECT_STREQ(out, "unchanged");
  const std::string comma2 = "\x81\x2C";
  EXPECT_TRUE(GetField("x" + comma2 + "y,z", out, ",", 0));
  EXPECT_EQ(std::string(out), "x" + comma2 + "y");
  EXPECT_TRUE(GetField("x" + comma2 + "y,z", out, ",", 1));
  EXPECT_STREQ(out, "z");

  // A fixed array passed whole: only its text up to the NUL counts.
  char line[16] = "p,q";
  std::memset(line + 4, 'z', sizeof line - 4);
  EXPECT_TRUE(GetField(std::string_view(line, sizeof line), out, ",", 1));
  EXPECT_STREQ(out, "q");

  // A field longer than out is cut and stays terminated.
  char small[4];
  EXPECT_TRUE(GetField("abcdef", small, ",", 0));
  EXPECT_STREQ(small, "abc");

  char rest[260];
  DropField("one,two,three", rest, ",");
  EXPECT_STREQ(rest, "two,three");
  DropField("single", rest, ",");
  EXPECT_STREQ(rest, "");
}

TEST(TextFieldsTest, IntegerFields) {
  struct Case {
    const char* line;
    int32_t index;
    bool found;
    int32_t value;
  };
  const std::vector<Case> cases = {
      {"x,12,y", 1, true, 12},  {"x,-7", 1, true, -7},  {"x,  +42abc", 1, true, 42},
      {"x,abc", 1, true, 0},    {"x,,3", 1, false, 555}, {"x,99999999999", 1, true, INT32_MAX},
      {"x,-99999999999", 1, true, INT32_MIN}, {"5", 0, true, 5}, {"x", 3, false, 555},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    int32_t value = 555;
    EXPECT_EQ(GetIntField(c.line, &value, ",", c.index), c.found);
    EXPECT_EQ(value, c.value);
  }
}

TEST(TextFieldsTest, FormatNumber) {
  struct Case {
    int32_t value;
    bool fullWidth;
    bool separators;
    std::string expected;  // UTF-8
  };
  const std::vector<Case> cases = {
      {0, false, false, "0"},
      {0, true, true, "０"},
      {123, false, true, "123"},  // no separator in front
      {1234, false, true, "1,234"},
      {1234567, false, true, "1,234,567"},
      {1234567, true, true, "１，２３４，５６７"},
      {-5, true, false, "－５"},
      {-1234, false, true, "-1,234"},
      {1234, false, false, "1234"},
      {INT32_MIN, false, true, "-2,147,483,648"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    char out[64];
    FormatNumber(out, c.value, c.fullWidth, c.separators);
    EXPECT_EQ(SjisToUtf8(out), c.expected);
  }
  // A short buffer keeps whole characters and its terminator.
  char out[4];
  FormatNumber(out, 1234, true, false);
  EXPECT_EQ(SjisToUtf8(out), "１");
}

TEST(TextFieldsTest, PointInRectIncludesAllFourEdges) {
  EXPECT_TRUE(PointInRect(10, 20, 10, 20, 5, 5));
  EXPECT_TRUE(PointInRect(15, 25, 10, 20, 5, 5));  // right and bottom edges
  EXPECT_FALSE(PointInRect(16, 25, 10, 20, 5, 5));
  EXPECT_FALSE(PointInRect(15, 26, 10, 20, 5, 5));
  EXPECT_FALSE(PointInRect(9, 20, 10, 20, 5, 5));
  EXPECT_FALSE(PointInRect(10, 19, 10, 20, 5, 5));
  EXPECT_TRUE(PointInRect(INT32_MAX, 0, INT32_MAX - 1, 0, INT32_MAX, 0));  // no overflow
}

}  // namespace
}  // namespace zan
