#include <gtest/gtest.h>

#include "base/ShiftJis.h"
#include "data/CsvRowTable.h"
#include "data/NameList.h"

namespace zan {
namespace {

TEST(NameListTest, SkipsThreeHeadersAndFindsNamesIgnoringAsciiCase) {
  NameList list;
  EXPECT_EQ(list.Find("ev01.bmp"), std::nullopt);  // not loaded
  const std::string ka = Sjis("カ");      // trail byte 'J'
  list.LoadText(Sjis("見出し\r\nfile,memo\r\n----\r\n") + "ev01.bmp,first\r\nEV02.BMP\r\n" + ka +
                "1.bmp,x\r\n" + std::string(40, 'L') + "\r\n,empty\r\nlast");
  ASSERT_TRUE(list.IsLoaded());
  EXPECT_EQ(list.Count(), 6);
  EXPECT_EQ(list.Find("EV01.BMP"), 0);
  EXPECT_EQ(list.Find("ev02.bmp"), 1);
  EXPECT_EQ(list.Find(ka + "1.BMP"), 2);
  EXPECT_EQ(list.Find("\x83\x6a" "1.bmp"), std::nullopt);  // double-byte characters compare exactly
  EXPECT_EQ(list.Name(3), std::string(31, 'L'));  // 31 bytes at most
  EXPECT_EQ(list.Name(4), "");                     // an empty first field is an empty row
  EXPECT_EQ(list.Find("last"), 5);
  EXPECT_EQ(list.Find("missing"), std::nullopt);
  EXPECT_EQ(list.Name(99), "");
}

TEST(NameListTest, KeepsAtMostAThousandRows) {
  std::string text = "h\r\nh\r\nh\r\n";
  for (int i = 0; i < 1005; ++i) text += "n" + std::to_string(i) + "\r\n";
  NameList list;
  list.LoadText(text);
  EXPECT_EQ(list.Count(), NameList::kMaxRows);
  EXPECT_EQ(list.Find("n999"), 999);
  EXPECT_EQ(list.Find("n1000"), std::nullopt);
}

TEST(CsvRowTableTest, RowsTakeFieldsZeroAndTwoToFive) {
  CsvRowTable table;
  table.LoadText("key,memo,a,b,x,y\r\nbg,sky,bg01.bmp,,0,0\r\nst,over,st.bmp,ov.bmp,12,-34\r\nbg,dup,other,,1,1\r\n" +
                 std::string("short"));
  ASSERT_EQ(table.Count(), 4);
  const CsvRow* st = table.Find("st");
  ASSERT_NE(st, nullptr);
  EXPECT_STREQ(st->textA, "st.bmp");
  EXPECT_STREQ(st->textB, "ov.bmp");
  EXPECT_EQ(st->numberA, 12);
  EXPECT_EQ(st->numberB, -34);
  const CsvRow* bg = table.Find("bg");
  ASSERT_NE(bg, nullptr);
  EXPECT_STREQ(bg->textA, "bg01.bmp");  // the first match
  EXPECT_STREQ(bg->textB, "");
  EXPECT_EQ(table.Find("BG"), nullptr);  // keys compare byte for byte
  EXPECT_EQ(table.Find("short")->numberA, 0);
}

TEST(CsvRowTableTest, KeepsAtMostThreeHundredRows) {
  std::string text = "header\r\n";
  for (int i = 0; i < 310; ++i) text += "k" + std::to_string(i) + ",,a,b,1,2\r\n";
  CsvRowTable table;
  table.LoadText(text);
  EXPECT_EQ(table.Count(), CsvRowTable::kMaxRows);
  EXPECT_NE(table.Find("k299"), nullptr);
  EXPECT_EQ(table.Find("k300"), nullptr);
}

}  // namespace
}  // namespace zan
