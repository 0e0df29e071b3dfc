#include "data/GameData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "core/ErrorReporter.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "data/CsvRowTable.h"
#include "data/LibScramble.h"
#include "data/NameList.h"
#include "platform/headless/HeadlessMessageBoxes.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::WriteBytes;
using testing::WriteTestArchive;
using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

class GameDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zan_gamedata_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Diagnostics().SetEcho(false);
    boxes.SetQuiet(true);
    report.Setup(1, nullptr, (dir / "GameErrorLog.txt").string());
    report.SetTimeSource([] {
      std::tm t{};
      t.tm_year = 2024 - 1900;
      t.tm_mon = 0;
      t.tm_mday = 2;
      t.tm_hour = 3;
      t.tm_min = 4;
      return t;
    });
  }
  void TearDown() override { fs::remove_all(dir); }

  // The game's log lines, without their time stamps, as UTF-8.
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    std::ifstream in(dir / "GameErrorLog.txt", std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      EXPECT_TRUE(line.ends_with('\r'));
      line.pop_back();
      EXPECT_EQ(line.rfind("2024/01/02 03:04 : ", 0), 0u) << line;
      lines.push_back(SjisToUtf8(line.substr(19)));
    }
    return lines;
  }

  void WriteArchive(const std::string& file, std::vector<testing::TestEntry> entries, const char* key) {
    WriteBytes((dir / file).string(), WriteTestArchive(entries, key, true));
  }

  fs::path dir;
  HeadlessMessageBoxes boxes;
  ErrorReporter report{&boxes};
};

TEST_F(GameDataTest, SlotsOpenWithTheirKeysAndNamesIgnoreCase) {
  WriteArchive("MSG.ARC", {{"main.txt", B("script")}}, "Rod7Q");
  WriteArchive("gra.arc", {{"bg.bmp", B("picture")}}, "Rod7Q");
  WriteArchive("snd.arc", {}, "Rod7Q");
  WriteArchive("dat.arc", {{"t.csv", B("table")}}, "Rod7Q");
  WriteArchive("System.Arc", {{"system1.lib", B("lib")}}, "plume");
  GameData data(report, boxes);
  ASSERT_TRUE(data.LocateGameData(0, dir.string()));
  EXPECT_EQ(data.InstallPath(), dir.string() + "/");
  EXPECT_EQ(data.SlotPath(0), (dir / "MSG.ARC").string());
  EXPECT_EQ(data.SlotPath(5), (dir / "gra2.arc").string());
  data.SetArchiveMode(1);
  data.OpenGameArchives();
  EXPECT_TRUE(boxes.History().empty());
  EXPECT_TRUE(LogLines().empty());
  EXPECT_FALSE(data.GetArchive(kSlotExtraPictures).IsOpen());  // optional, and absent: no report

  Bytes buffer{1, 2, 3};
  ASSERT_TRUE(data.ReadGameFile("MAIN.TXT", kSlotScripts, buffer));
  EXPECT_EQ(buffer, B("script"));
  ASSERT_TRUE(data.ReadGameFile("system1.lib", kSlotDefinitions, buffer));
  EXPECT_EQ(buffer, B("lib"));
  EXPECT_EQ(data.GetGameFileSize("t.csv", kSlotTables), 5u);
  EXPECT_EQ(data.GetGameFileSize("none.csv", kSlotTables), 0u);
  EXPECT_TRUE(data.GameFileExists("BG.BMP", kSlotPictures));
  EXPECT_FALSE(data.GameFileExists("bg.bmp", kSlotTables));
  EXPECT_TRUE(data.ArchiveTimes()[0].has_value());
  EXPECT_FALSE(data.ArchiveTimes()[5].has_value());
  GameData::FreeGameFile(buffer);
  EXPECT_TRUE(buffer.empty());
}

TEST_F(GameDataTest, FailureMessages) {
  // Every archive but msg.arc; in dat.arc a file whose compressed body is broken.
  WriteArchive("gra.arc", {}, "Rod7Q");
  WriteArchive("snd.arc", {}, "Rod7Q");
  WriteArchive("system.arc", {}, "plume");
  Bytes dat = WriteTestArchive({{"broken.csv", B("0123456789")}}, "Rod7Q", true);
  // The stream ends with a flag byte 0x03 and two literals; as matches they overrun.
  ASSERT_EQ(dat[dat.size() - 3], 0x03);
  dat[dat.size() - 3] = 0x00;
  WriteBytes((dir / "dat.arc").string(), dat);

  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  data.SetArchiveMode(1);
  data.OpenGameArchives();
  ASSERT_EQ(boxes.History().size(), 1u);
  EXPECT_EQ(boxes.History()[0].text, (dir / "msg.arc").string() + Sjis("ファイルが見当たりません") + "\n");

  Bytes buffer{9};
  EXPECT_FALSE(data.ReadGameFile("main.txt", kSlotScripts, buffer));
  EXPECT_TRUE(buffer.empty());
  EXPECT_FALSE(data.ReadGameFile("absent.csv", kSlotTables, buffer));
  EXPECT_FALSE(data.ReadGameFile("broken.csv", kSlotTables, buffer));
  EXPECT_TRUE(buffer.empty());
  const std::vector<std::string> expected = {
      "[×]アーカイブデータがありませんでした [" + (dir / "msg.arc").string() + "]",
      "[×]ファイルのサイズが取得できませんでした [main.txt]",
      "[×]ファイルのサイズが取得できませんでした [absent.csv]",
      "[×]ファイルがアーカイブファイル内に見つかりませんでした [broken.csv]",
  };
  EXPECT_EQ(LogLines(), expected);
}

TEST_F(GameDataTest, FolderModeSearchesTheTreeButSlot4ReadsItsArchive) {
  WriteArchive("system.arc", {{"system2.lib", B("from the archive")}}, "plume");
  fs::create_directories(dir / "data" / "a" / "deep");
  fs::create_directories(dir / "data" / "b");
  WriteBytes((dir / "data" / "a" / "deep" / "Main.TXT").string(), B("first"));
  WriteBytes((dir / "data" / "b" / "main.txt").string(), B("second"));
  WriteBytes((dir / "data" / "b" / "system2.lib").string(), B("from the folder"));
  WriteBytes((dir / "data" / "b" / "背景.bmp").string(), B("kanji"));

  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  data.OpenGameArchives();
  data.SetArchiveMode(0);
  data.SetDataPath((dir / "data").string());
  EXPECT_EQ(data.DataRoot(), (dir / "data").string());

  Bytes buffer;
  ASSERT_TRUE(data.ReadGameFile("main.txt", kSlotScripts, buffer));
  EXPECT_EQ(buffer, B("first"));  // depth-first, in name order: a/deep before b
  ASSERT_TRUE(data.ReadGameFile(Sjis("背景.BMP"), kSlotPictures, buffer));
  EXPECT_EQ(buffer, B("kanji"));
  EXPECT_EQ(data.GetGameFileSize("MAIN.txt", kSlotSounds), 5u);
  EXPECT_FALSE(data.GameFileExists("nothing.txt", kSlotScripts));
  ASSERT_TRUE(data.ReadGameFile("system2.lib", kSlotDefinitions, buffer));
  EXPECT_EQ(buffer, B("from the archive"));

  const size_t before = LogLines().size();
  EXPECT_FALSE(data.ReadGameFile("nothing.txt", kSlotScripts, buffer));
  std::vector<std::string> lines = LogLines();
  ASSERT_EQ(lines.size(), before + 2);
  EXPECT_EQ(lines[before], "[▽]検索フォルダ [" + (dir / "data").string() + "]");
  EXPECT_EQ(lines[before + 1], "[×]ファイルが検索先から見つかりませんでした [nothing.txt]");
}

TEST_F(GameDataTest, PicturesFallBackToTheExtraArchiveOnlyWhenItIsThere) {
  WriteArchive("gra.arc", {{"bg.bmp", B("main picture")}}, "Rod7Q");
  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  data.SetArchiveMode(1);
  data.OpenGameArchives();
  const size_t reports = LogLines().size();

  Bytes bytes;
  EXPECT_TRUE(data.ReadPicture("BG.bmp", nullptr, bytes));
  EXPECT_EQ(bytes, B("main picture"));
  // Without gra2.arc a missing picture loads nothing and reports nothing.
  EXPECT_TRUE(data.ReadPicture("ev.bmp", nullptr, bytes));
  EXPECT_TRUE(bytes.empty());
  EXPECT_EQ(data.PictureArchive("ev.bmp"), nullptr);
  EXPECT_EQ(LogLines().size(), reports);

  WriteArchive("gra2.arc", {{"ev.bmp", B("extra picture")}}, "Rod7Q");
  data.LocateGameData(0, dir.string());
  data.OpenGameArchives();
  const size_t reopened = LogLines().size();
  EXPECT_TRUE(data.GetArchive(kSlotExtraPictures).IsOpen());
  EXPECT_TRUE(data.ReadPicture("ev.bmp", nullptr, bytes));
  EXPECT_EQ(bytes, B("extra picture"));
  EXPECT_EQ(data.PictureArchive("ev.bmp"), &data.GetArchive(kSlotExtraPictures));
  // In neither: the extra archive is asked and answers "not found".
  EXPECT_FALSE(data.ReadPicture("none.bmp", nullptr, bytes));
  EXPECT_TRUE(bytes.empty());
  // A given archive is the only one read.
  EXPECT_FALSE(data.ReadPicture("bg.bmp", &data.GetArchive(kSlotExtraPictures), bytes));
  EXPECT_EQ(LogLines().size(), reopened);
}

TEST_F(GameDataTest, TableFilesWithTheLibExtensionAreUnscrambled) {
  Bytes text = B("a,b\r\n");
  Bytes scrambled = text;
  ScrambleLib(scrambled, LibKey());
  EXPECT_EQ(scrambled[0], static_cast<uint8_t>('a' + 0x82));  // only the key's first byte counts
  WriteArchive("dat.arc", {{"t.LIB", scrambled}, {"t.csv", text}}, "Rod7Q");
  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  data.SetArchiveMode(1);
  data.OpenGameArchives();
  Bytes buffer;
  ASSERT_TRUE(data.ReadTableFile("t.lib", kSlotTables, buffer));
  EXPECT_EQ(buffer, text);
  ASSERT_TRUE(data.ReadTableFile("t.csv", kSlotTables, buffer));
  EXPECT_EQ(buffer, text);
  ASSERT_TRUE(data.ReadGameFile("t.lib", kSlotTables, buffer));
  EXPECT_EQ(buffer, scrambled);
}

TEST_F(GameDataTest, TablesLoadFromTheDataArchiveWithLibFilesUnscrambled) {
  std::string listText = "h\r\nh\r\nh\r\nev01\r\n";
  std::vector<uint8_t> scrambled(listText.begin(), listText.end());
  ScrambleLib(scrambled, LibKey());
  WriteBytes((dir / "dat.arc").string(),
                      testing::WriteTestArchive({{"list.lib", scrambled}}, "Rod7Q", true));
  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  data.SetArchiveMode(1);
  data.OpenGameArchives();
  fs::remove(dir / "GameErrorLog.txt");

  NameList list;
  EXPECT_EQ(list.Load(data, "list.lib", kSlotTables), 1);
  EXPECT_EQ(list.Find("ev01"), 0);
  // A list that cannot be read is reported by the reader and answers -1.
  EXPECT_EQ(list.Load(data, "none.csv", kSlotTables), 0);
  EXPECT_FALSE(list.IsLoaded());
  EXPECT_EQ(list.Find("ev01"), std::nullopt);
  EXPECT_TRUE(fs::exists(dir / "GameErrorLog.txt"));
  fs::remove(dir / "GameErrorLog.txt");

  // A row table whose file does not exist stays empty without a report.
  CsvRowTable table;
  EXPECT_EQ(table.Load(data, Sjis("省略.csv"), kSlotTables), 0);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_FALSE(fs::exists(dir / "GameErrorLog.txt"));
}

TEST_F(GameDataTest, InstallFolderHelpers) {
  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  EXPECT_FALSE(data.MovieIniPresent());
  WriteBytes((dir / "MOVIE.INI").string(), {});
  EXPECT_TRUE(data.MovieIniPresent());
  EXPECT_EQ(data.InstallFile(Sjis("セーブ\\001.dat")), (dir / "セーブ" / "001.dat").string());
  EXPECT_TRUE(data.CreateStateFolder("save"));
  EXPECT_TRUE(fs::is_directory(dir / "save"));
  EXPECT_FALSE(data.LocateGameData(1, dir.string()));  // no installed mode on this platform
}

TEST_F(GameDataTest, AStateFolderElsewhereTakesTheGamesOwnFilesButNotItsData) {
  GameData data(report, boxes);
  data.LocateGameData(0, dir.string());
  EXPECT_EQ(data.StateFile("sys/option.dat"), (dir / "sys" / "option.dat").string());
  const fs::path state = dir / "elsewhere" / "deeper";
  data.SetStateFolder(state.string());
  EXPECT_EQ(data.StateFile(Sjis("セーブ\\001.dat")), (state / "セーブ" / "001.dat").string());
  EXPECT_EQ(data.InstallFile("movie.ini"), (dir / "movie.ini").string());
  EXPECT_TRUE(data.CreateStateFolder("sys"));
  EXPECT_TRUE(fs::is_directory(state / "sys"));
  EXPECT_FALSE(fs::exists(dir / "sys"));
}

TEST(PathOperationsTest, DoubleByteCharactersAreNotSeparators) {
  const std::string so = Sjis("ソ");  // 0x83 0x5C: its trail byte is a backslash
  ASSERT_EQ(so[1], '\\');
  EXPECT_EQ(FileNameOf("data\\gra/" + so + "ng.bmp"), so + "ng.bmp");
  EXPECT_EQ(FileNameOf("plain"), "plain");
  EXPECT_EQ(ExtensionOf("a.b/c.BMP"), "BMP");
  EXPECT_EQ(ExtensionOf("dir.d/noext"), "");
  EXPECT_TRUE(HasExtension("system1.LIB", "lib"));
  EXPECT_FALSE(HasExtension("system1.lib.txt", "lib"));
  EXPECT_FALSE(HasExtension("lib", "lib"));
}

TEST(SlotTableTest, FilesAndKeys) {
  EXPECT_STREQ(SlotFileName(kSlotScripts), "msg.arc");
  EXPECT_STREQ(SlotFileName(kSlotDefinitions), "system.arc");
  EXPECT_STREQ(SlotFileName(kSlotExtraPictures), "gra2.arc");
  EXPECT_STREQ(SlotKey(kSlotDefinitions), "plume");
  for (int slot : {0, 1, 2, 3, 5}) EXPECT_STREQ(SlotKey(slot), "Rod7Q");
}

}  // namespace
}  // namespace zan
