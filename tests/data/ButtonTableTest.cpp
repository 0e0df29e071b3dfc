// The screens' button tables, each file written as the build stores it (Shift-JIS, CR LF,
// scrambled) and read back as the game reads it.

#include "data/ButtonTable.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/ErrorReporter.h"
#include "data/GameData.h"
#include "data/LibScramble.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

// The text the game reads from a file the build stored.
std::string AsStored(std::string_view utf8) {
  std::vector<uint8_t> bytes = testing::ScrambledLib(utf8);
  UnscrambleLib(bytes, LibKey());
  return {bytes.begin(), bytes.end()};
}

ButtonTable Read(DefinitionFileId id, std::string_view utf8) {
  return ReadButtonTable(AsStored(utf8), Definition(id));
}

const std::string kHeader =
    "タイトル,10\n"
    "項目,メモ,X,Y,幅,高さ,通常X,通常Y,上X,上Y,押下X,押下Y,無効X,無効Y\n";

struct Rect {
  int32_t x, y, width, height;
};
void ExpectRect(const ButtonRow& row, Rect r) {
  EXPECT_EQ(row.rect.x, r.x) << "item " << row.item;
  EXPECT_EQ(row.rect.y, r.y) << "item " << row.item;
  EXPECT_EQ(row.rect.width, r.width) << "item " << row.item;
  EXPECT_EQ(row.rect.height, r.height) << "item " << row.item;
}
void ExpectSource(const ButtonSource& s, int32_t x, int32_t y) {
  EXPECT_EQ(s.x, x);
  EXPECT_EQ(s.y, y);
}

TEST(ButtonTableTest, RowsAreItemsFromOneWithARectangleAndFourSources) {
  const ButtonTable t = Read(DefinitionFileId::kTitle,
                             kHeader +
                                 "はじめから,新規,300,320,200,40,0,0,200,0,400,0,600,0\n"
                                 "ロード,,310,370,180,30,0,40,200,40,400,40,600,40\n");
  EXPECT_EQ(t.file, "system4.lib");
  EXPECT_EQ(t.rowLimit, 10);
  EXPECT_EQ(t.StateCount(), 4);
  ASSERT_EQ(t.Count(), 2);
  const ButtonRow& first = t.Item(1);
  EXPECT_EQ(first.item, 1);
  EXPECT_EQ(first.line, 3);
  EXPECT_EQ(first.label, Sjis("はじめから"));
  EXPECT_EQ(first.note, Sjis("新規"));
  ExpectRect(first, {300, 320, 200, 40});
  ExpectSource(first.sources[0], 0, 0);
  ExpectSource(first.sources[1], 200, 0);
  ExpectSource(first.sources[2], 400, 0);
  ExpectSource(first.sources[3], 600, 0);
  EXPECT_EQ(first.emptyFields, 0u);
  const ButtonRow& second = t.Item(2);
  EXPECT_EQ(second.note, "");
  ExpectRect(second, {310, 370, 180, 30});
  ExpectSource(second.sources[3], 600, 40);
  EXPECT_TRUE(t.problems.empty());

  // Items the file has no row for (and numbers outside the table) are zero, without area.
  for (int32_t k : {3, 10, 0, -1, 11}) {
    EXPECT_EQ(t.Item(k).item, 0);
    EXPECT_FALSE(t.Item(k).HasArea());
    ExpectRect(t.Item(k), {0, 0, 0, 0});
  }
}

TEST(ButtonTableTest, AnEmptyFieldKeepsTheValueOfTheRowAboveAndReadsZeroInTheFirstRow) {
  const ButtonTable t = Read(DefinitionFileId::kTitle,
                             kHeader +
                                 "一,,,320,200,40,0,,200,0,400,0,600,0\n"
                                 "二,,50,,,25,,40,,,,,,\n"
                                 "三,,60,330\n");  // missing fields are empty fields
  ASSERT_EQ(t.Count(), 3);
  ExpectRect(t.Item(1), {0, 320, 200, 40});
  ExpectSource(t.Item(1).sources[0], 0, 0);
  EXPECT_EQ(t.Item(1).emptyFields, (1u << 2) | (1u << 7));
  ExpectRect(t.Item(2), {50, 320, 200, 25});
  ExpectSource(t.Item(2).sources[0], 0, 40);
  ExpectSource(t.Item(2).sources[1], 200, 0);
  ExpectSource(t.Item(2).sources[3], 600, 0);
  EXPECT_TRUE(t.Item(2).FieldWasEmpty(3));
  EXPECT_FALSE(t.Item(2).FieldWasEmpty(5));
  EXPECT_TRUE(t.Item(2).FieldWasEmpty(13));
  ExpectRect(t.Item(3), {60, 330, 200, 25});
  ExpectSource(t.Item(3).sources[0], 0, 40);
  // Only the short row is out of shape.
  ASSERT_EQ(t.problems.size(), 1u);
  EXPECT_EQ(DescribeProblem(t.file, t.problems[0]),
            "system4.lib: line 5 (item 3): has 4 fields, not 14: fields 4..13 keep the values of "
            "the row above");
}

TEST(ButtonTableTest, NumbersKeepTheirSign) {
  const ButtonTable t = Read(DefinitionFileId::kGallery,
                             "ギャラリー,1\n見出し\n"
                             "前,,-5,-10,32,32,-1,0,-1,32,-1,64,-1,96\n"
                             "次,,40,10,32,32,0,0,32,0,64,0,+96,0\n");
  ASSERT_EQ(t.Count(), 2);
  ExpectRect(t.Item(1), {-5, -10, 32, 32});
  for (const ButtonSource& s : t.Item(1).sources) {
    EXPECT_EQ(s.x, -1);
    EXPECT_TRUE(s.MarkedNotDrawn());
  }
  EXPECT_FALSE(t.Item(2).sources[0].MarkedNotDrawn());
  EXPECT_EQ(t.Item(2).sources[3].x, 96);
  EXPECT_TRUE(t.problems.empty());
}

TEST(ButtonTableTest, TheEightFieldTableHasOneSource) {
  const ButtonTable t = Read(DefinitionFileId::kSaveLoadSpots,
                             "セーブ,1\n見出し\n"
                             "枠0,,10,20,30,40,5,6\n"
                             "枠1,,,,,,7,\n"
                             "枠2,,1,2,3,4,8,9,10,11\n");
  EXPECT_EQ(t.fieldsPerRow, 8);
  EXPECT_EQ(t.StateCount(), 1);
  EXPECT_EQ(t.rowLimit, 23);
  ASSERT_EQ(t.Count(), 3);
  ExpectRect(t.Item(2), {10, 20, 30, 40});
  ExpectSource(t.Item(2).sources[0], 7, 6);
  ExpectSource(t.Item(3).sources[0], 8, 9);
  ExpectSource(t.Item(3).sources[1], 0, 0);  // fields 8 and 9 are not read
  ASSERT_EQ(t.problems.size(), 1u);
  EXPECT_EQ(DescribeProblem(t.file, t.problems[0]),
            "system5-2.lib: line 5 (item 3): has 10 fields; only the first 8 are read");
  EXPECT_EQ(ButtonFieldName(8, 6), "source x");
  EXPECT_EQ(ButtonFieldName(14, 6), "state 0 source x");
  EXPECT_EQ(ButtonFieldName(14, 13), "state 3 source y");
  EXPECT_EQ(ButtonFieldName(8, 8), "");
}

TEST(ButtonTableTest, OnlyTheHeaderLinesGiveNoItems) {
  for (const std::string& text : {std::string(), std::string("タイトル,10\n"), kHeader}) {
    const ButtonTable t = Read(DefinitionFileId::kTitle, text);
    EXPECT_EQ(t.Count(), 0);
    EXPECT_TRUE(t.problems.empty());
  }
}

TEST(ButtonTableTest, ReadingStopsAtTheScreensRowsOrNinetyNine) {
  std::string text = kHeader;
  for (int i = 1; i <= 8; ++i) text += "r,," + std::to_string(i) + ",0,1,1,0,0,0,0,0,0,0,0\n";
  text += "\n\n";
  const ButtonTable t = Read(DefinitionFileId::kTreasures, text);
  ASSERT_EQ(t.Count(), 6);
  EXPECT_EQ(t.Item(6).rect.x, 6);
  ASSERT_EQ(t.problems.size(), 1u);
  EXPECT_EQ(DescribeProblem(t.file, t.problems[0]),
            "system6-4.lib: line 9: rows after item 6 are not read: the screen reads 6 rows");

  // Blank lines after the last row read are no rows.
  std::string six = kHeader;
  for (int i = 1; i <= 6; ++i) six += "r,," + std::to_string(i) + ",0,1,1,0,0,0,0,0,0,0,0\n";
  EXPECT_TRUE(Read(DefinitionFileId::kTreasures, six + "\n\n").problems.empty());

  std::string many = kHeader;
  for (int i = 1; i <= 120; ++i) many += "r,," + std::to_string(i) + ",0,1,1,0,0,0,0,0,0,0,0\n";
  const DefinitionFile large{DefinitionFileId::kTitle, "large.lib", DefinitionGrammar::kButtonTable, 14, 150};
  const ButtonTable capped = ReadButtonTable(AsStored(many), large);
  ASSERT_EQ(capped.Count(), 99);
  EXPECT_EQ(capped.Item(99).rect.x, 99);
}

TEST(ButtonTableTest, LineEndsOfLfAloneReadAsCrLf) {
  const std::string utf8 = kHeader + "a,,1,2,3,4,5,6,7,8,9,10,11,12\nb,,,,,,,,,,,,,13\n";
  const std::string sjis = Sjis(utf8);  // LF alone
  const ButtonTable lf = ReadButtonTable(sjis, Definition(DefinitionFileId::kTitle));
  const ButtonTable crlf = Read(DefinitionFileId::kTitle, utf8);
  ASSERT_EQ(lf.Count(), 2);
  ASSERT_EQ(crlf.Count(), 2);
  for (int k = 1; k <= 2; ++k) {
    ExpectRect(lf.Item(k), {1, 2, 3, 4});
    EXPECT_EQ(lf.Item(k).label, crlf.Item(k).label);
    for (int s = 0; s < 4; ++s) {
      EXPECT_EQ(lf.Item(k).sources[s].x, crlf.Item(k).sources[s].x);
      EXPECT_EQ(lf.Item(k).sources[s].y, crlf.Item(k).sources[s].y);
    }
  }
  EXPECT_EQ(lf.Item(2).sources[3].y, 13);
}

// A field that is not a number is read by its leading digits and named in a problem.
TEST(ButtonTableTest, MalformedNumbersAreReadAsTheGameDoesAndNamed) {
  struct Case {
    std::string row;  // fields 2..5
    Rect read;
    std::string problem;  // "" when the row is clean
  };
  const Case cases[] = {
      {"10,20,30,40", {10, 20, 30, 40}, ""},
      {" 10 , +20,-30,40 ", {10, 20, -30, 40}, ""},
      {"10px,20,30,40", {10, 20, 30, 40}, "field 2 (x): \"10px\" is not a whole number; read as 10"},
      {"10,abc,30,40", {10, 0, 30, 40}, "field 3 (y): \"abc\" is not a whole number; read as 0"},
      {"10,20,-,40", {10, 20, 0, 40}, "field 4 (width): \"-\" is not a whole number; read as 0"},
      {"10,20,30,99999999999", {10, 20, 30, 2147483647},
       "field 5 (height): \"99999999999\" is beyond the 32-bit range; read as 2147483647"},
      {"10,20,30,４０", {10, 20, 30, 0}, "field 5 (height): \"４０\" is not a whole number; read as 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    const ButtonTable t =
        Read(DefinitionFileId::kTitle, kHeader + "a,b," + c.row + ",0,0,0,0,0,0,0,0\n");
    ASSERT_EQ(t.Count(), 1);
    ExpectRect(t.Item(1), c.read);
    if (c.problem.empty()) {
      EXPECT_TRUE(t.problems.empty());
    } else {
      ASSERT_EQ(t.problems.size(), 1u);
      EXPECT_EQ(SjisToUtf8(DescribeProblem(t.file, t.problems[0])),
                "system4.lib: line 3 (item 1), " + c.problem);
      EXPECT_EQ(t.problems[0].line, 3);
      EXPECT_EQ(t.problems[0].row, "item 1");
    }
  }
}

TEST(ButtonTableTest, RowsOutOfShapeAreNamed) {
  const ButtonTable t = Read(DefinitionFileId::kTitle,
                             kHeader + "a,,1,2,3,4,5,6,7,8,9,10,11,12\n"
                                       "\n"
                                       "c,,1,2,3,4,5,6,7,8,9,10,11,12,13\n" +
                                 "d,," + std::string(300, '7') + ",2,3,4\n");
  ASSERT_EQ(t.Count(), 4);
  ExpectRect(t.Item(2), {1, 2, 3, 4});  // a blank row repeats the row above
  EXPECT_EQ(t.Item(2).sources[3].y, 12);
  EXPECT_EQ(t.Item(4).rect.x, 2147483647);
  EXPECT_EQ(t.Item(4).rect.y, 2);  // the rest of the cut line is lost: field 3 is empty
  std::vector<std::string> described;
  for (const DefinitionProblem& p : t.problems) described.push_back(DescribeProblem(t.file, p));
  const std::vector<std::string> expected = {
      "system4.lib: line 4 (item 2): is blank: all its fields keep the values of the row above",
      "system4.lib: line 5 (item 3): has 15 fields; only the first 14 are read",
      "system4.lib: line 6 (item 4), field 2 (x): \"" + std::string(257, '7') +
          "\" is beyond the 32-bit range; read as 2147483647",
      "system4.lib: line 6 (item 4): has 3 fields, not 14: fields 3..13 keep the values of the row above",
      "system4.lib: line 6 (item 4): is longer than 260 bytes; the rest of it is not read",
  };
  EXPECT_EQ(described, expected);
}

TEST(ButtonTableTest, TheRectangleTestIsInclusiveAndAreaIsSeparate) {
  struct Case {
    ButtonRect rect;
    int32_t x, y;
    bool contains;
  };
  const Case cases[] = {
      {{10, 20, 30, 40}, 10, 20, true},   {{10, 20, 30, 40}, 40, 60, true},
      {{10, 20, 30, 40}, 41, 60, false},  {{10, 20, 30, 40}, 40, 61, false},
      {{10, 20, 30, 40}, 9, 20, false},   {{10, 20, 30, 40}, 10, 19, false},
      {{0, 0, 0, 0}, 0, 0, true},          // a zeroed item's corner is inside: the area rule keeps it unhit
      {{0, 0, 0, 0}, 1, 0, false},        {{-5, -5, 10, 10}, -5, 5, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.rect.Contains(c.x, c.y), c.contains)
        << c.rect.x << "," << c.rect.y << " " << c.rect.width << "x" << c.rect.height << " at "
        << c.x << "," << c.y;
  }
  EXPECT_TRUE((ButtonRect{0, 0, 1, 1}).HasArea());
  EXPECT_FALSE((ButtonRect{10, 10, 0, 5}).HasArea());
  EXPECT_FALSE((ButtonRect{10, 10, 5, 0}).HasArea());
  EXPECT_FALSE((ButtonRect{10, 10, -5, 5}).HasArea());
  EXPECT_FALSE((ButtonRect{10, 10, 5, -1}).HasArea());
}

// Every button table of the game, packed into system.arc as the build packs it, read through
// the game data reader.
class ButtonTableArchiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zan_button_tables_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Diagnostics().SetEcho(false);
    boxes.SetQuiet(true);
    report.Setup(1, nullptr, (dir / "GameErrorLog.txt").string());
  }
  void TearDown() override { fs::remove_all(dir); }

  fs::path dir;
  HeadlessMessageBoxes boxes;
  ErrorReporter report{&boxes};
};

TEST_F(ButtonTableArchiveTest, EveryTableReadsItsScreensRowsAndAMissingOneIsAnError) {
  struct Expected {
    DefinitionFileId id;
    std::string name;
    int32_t fields;
    int32_t rows;
  };
  const Expected tables[] = {
      {DefinitionFileId::kConfig, "system3-1.lib", 14, 19},
      {DefinitionFileId::kTitle, "system4.lib", 14, 10},
      {DefinitionFileId::kSaveLoad, "system5-1.lib", 14, 23},
      {DefinitionFileId::kSaveLoadSpots, "system5-2.lib", 8, 23},
      {DefinitionFileId::kGallery, "system6-1.lib", 14, 24},
      {DefinitionFileId::kSceneReplay, "system6-2.lib", 14, 24},
      {DefinitionFileId::kMusicRoom, "system6-3.lib", 14, 17},
      {DefinitionFileId::kTreasures, "system6-4.lib", 14, 6},
  };
  // Each file: one row more than its screen reads; row k's x is 100 * k + its file's index,
  // and its last field is -k.
  std::vector<testing::TestEntry> entries;
  for (size_t f = 0; f < std::size(tables); ++f) {
    std::string text = "定義,1\n見出し\n";
    for (int32_t k = 1; k <= tables[f].rows + 1; ++k) {
      text += "行,," + std::to_string(100 * k + static_cast<int32_t>(f)) + ",2,3,4";
      for (int32_t i = 6; i < tables[f].fields - 1; ++i) text += "," + std::to_string(i);
      text += "," + std::to_string(-k) + "\n";
    }
    if (tables[f].id != DefinitionFileId::kConfig) entries.push_back({tables[f].name, testing::ScrambledLib(text)});
  }
  for (const char* name : {"msg.arc", "gra.arc", "snd.arc", "dat.arc"}) {
    testing::WriteBytes((dir / name).string(), testing::WriteTestArchive({}, "Rod7Q", true));
  }
  testing::WriteBytes((dir / "system.arc").string(), testing::WriteTestArchive(entries, "plume", true));
  GameData data(report, boxes);
  ASSERT_TRUE(data.LocateGameData(0, dir.string()));
  data.SetArchiveMode(1);
  data.OpenGameArchives();

  for (size_t f = 0; f < std::size(tables); ++f) {
    const Expected& e = tables[f];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(Definition(e.id).name, e.name);
    EXPECT_EQ(FindDefinitionFile(e.name), &Definition(e.id));
    auto table = LoadButtonTable(data, e.id);
    if (e.id == DefinitionFileId::kConfig) {
      ASSERT_FALSE(table.ok());
      EXPECT_EQ(table.error().message, "system3-1.lib is missing from the definition archive");
      continue;
    }
    ASSERT_TRUE(table.ok()) << table.error().message;
    EXPECT_EQ(table->fieldsPerRow, e.fields);
    ASSERT_EQ(table->Count(), e.rows);
    const ButtonRow& last = table->Item(e.rows);
    EXPECT_EQ(last.rect.x, 100 * e.rows + static_cast<int32_t>(f));
    ExpectRect(last, {last.rect.x, 2, 3, 4});
    const ButtonSource& lastSource = last.sources[static_cast<size_t>((e.fields - 6) / 2 - 1)];
    EXPECT_EQ(lastSource.y, -e.rows);
    ASSERT_EQ(table->problems.size(), 1u);  // the extra row
    EXPECT_EQ(table->problems[0].line, e.rows + 3);
  }
  auto notATable = LoadButtonTable(data, DefinitionFileId::kSystemButtons);
  ASSERT_FALSE(notATable.ok());
  EXPECT_EQ(notATable.error().message, "system1.lib is not a button table");
  EXPECT_EQ(FindDefinitionFile("SYSTEM6-4.LIB"), &Definition(DefinitionFileId::kTreasures));
  EXPECT_EQ(FindDefinitionFile("system7.lib"), nullptr);

  // The game data reader reported the missing file in the game's log.
  std::ifstream log(dir / "GameErrorLog.txt", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  EXPECT_NE(SjisToUtf8(text).find("[×]ファイルのサイズが取得できませんでした [system3-1.lib]"),
            std::string::npos)
      << SjisToUtf8(text);
}

}  // namespace
}  // namespace zan
