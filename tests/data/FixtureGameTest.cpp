// The build's packing of a game source folder, checked on the tiny fixture game.

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "core/ErrorReporter.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/CsvRowTable.h"
#include "data/GameData.h"
#include "data/LibScramble.h"
#include "data/NameList.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

const fs::path kSources = fs::path(ZAN_TEST_DATA_DIR) / "games" / "tiny";

// What the build makes of a source text file: Shift-JIS with CR LF.
std::vector<uint8_t> Converted(const fs::path& source) {
  std::vector<uint8_t> utf8 = testing::ReadBytes(source.string());
  std::string text;
  for (uint8_t c : utf8) {
    if (c == '\n') text += '\r';
    text += static_cast<char>(c);
  }
  std::string sjis = Sjis(text);
  return {sjis.begin(), sjis.end()};
}

class FixtureGameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Diagnostics().SetEcho(false);
    boxes.SetQuiet(true);
    ASSERT_TRUE(data.LocateGameData(0, ZAN_TINY_GAME_DIR));
    data.SetArchiveMode(1);
    data.OpenGameArchives();
  }
  HeadlessMessageBoxes boxes;
  ErrorReporter report{&boxes};
  GameData data{report, boxes};
};

TEST_F(FixtureGameTest, EverySubfolderBecameItsArchive) {
  EXPECT_TRUE(boxes.History().empty());
  for (int slot = 0; slot < kGameSlotCount; ++slot) EXPECT_TRUE(data.GetArchive(slot).IsOpen()) << slot;
  EXPECT_EQ(data.GetArchive(kSlotSounds).EntryCount(), 0u);  // no snd/ folder: an empty archive
  // Each archive compresses its bodies only when that makes them smaller in all.
  for (int slot = 0; slot < kGameSlotCount; ++slot) {
    uint64_t unpacked = 0;
    uint64_t stored = 0;
    data.GetArchive(slot).ForEachEntry([&](const IndexEntry& e, uint32_t) {
      unpacked += e.unpackedSize;
      stored += e.storedSize;
    });
    if (data.GetArchive(slot).CompressionFlag() != 0) EXPECT_LT(stored, unpacked) << slot;
    else EXPECT_EQ(stored, unpacked) << slot;
  }
}

TEST_F(FixtureGameTest, TextBecomesShiftJisWithCrLfAndLibFilesAreScrambled) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(data.ReadGameFile("main.txt", kSlotScripts, bytes));
  EXPECT_EQ(bytes, Converted(kSources / "msg" / "main.txt"));
  EXPECT_NE(AsText(bytes).find(Sjis("世界。<KW>\r\n")), std::string_view::npos);

  ASSERT_TRUE(data.ReadGameFile("system1.lib", kSlotDefinitions, bytes));
  std::vector<uint8_t> expected = Converted(kSources / "system" / "system1.lib");
  EXPECT_NE(bytes, expected);
  UnscrambleLib(bytes, LibKey());
  EXPECT_EQ(bytes, expected);

  // Pictures go in unchanged.
  ASSERT_TRUE(data.ReadGameFile("BG01.BMP", kSlotPictures, bytes));
  EXPECT_EQ(bytes, testing::ReadBytes((kSources / "gra" / "bg01.bmp").string()));
  std::vector<uint8_t> picture;
  EXPECT_TRUE(data.ReadPicture("ev02.bmp", nullptr, picture));
  EXPECT_EQ(picture, testing::ReadBytes((kSources / "gra2" / "ev02.bmp").string()));
}

TEST_F(FixtureGameTest, StartUpTablesLoad) {
  CsvRowTable abbreviations;
  ASSERT_EQ(abbreviations.Load(data, Sjis("省略.csv"), kSlotTables), 1);
  EXPECT_EQ(abbreviations.Count(), 2);
  const CsvRow* row = abbreviations.Find(Sjis("立ち絵"));
  ASSERT_NE(row, nullptr);
  EXPECT_STREQ(row->textB, "ov01.bmp");
  EXPECT_EQ(row->numberB, -34);

  NameList events;
  ASSERT_EQ(events.Load(data, Sjis("イベントＣＧリスト.csv"), kSlotTables), 1);
  EXPECT_EQ(events.Find("ev02.bmp"), 1);
}

}  // namespace
}  // namespace zan
