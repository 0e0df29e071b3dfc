// "option.dat" and "kidoku.dat": round trips, the read-flag table and its cursor, damaged
// files.

#include <gtest/gtest.h>

#include <fstream>

#include "ScriptTestGame.h"
#include "base/ByteReader.h"
#include "base/DiagnosticLog.h"
#include "platform/Files.h"
#include "script/Options.h"

namespace zan {
namespace {

using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,local,0,0,100\n"
    "INT,G_count,0,0,100\n"
    "INT,g_small,0,0,5\n"
    "STR,G_text,\n"
    "STR,text,\n";

TEST(Options, DefaultsAndTheStoredLayout) {
  OptionsBlock block;
  std::array<uint8_t, OptionsBlock::kSize> bytes{};
  block.Encode(bytes);
  struct Field {
    size_t offset;
    int32_t value;
  } ints[] = {{0, 1},   {16, 0},  {28, 1},  {36, 1},  {48, 1},   {68, 8},   {72, 8},
              {76, 9},  {80, 5},  {88, 5},  {100, 1}, {104, 1},  {108, 1},  {120, 1},
              {124, 1}, {128, 9}, {144, 9}, {148, 0}, {168, 8},  {172, 1}};
  for (const Field& f : ints) EXPECT_EQ(static_cast<int32_t>(LoadU32(&bytes[f.offset])), f.value) << f.offset;
  EXPECT_EQ(bytes[4], 119);
  EXPECT_EQ(bytes[7], 190);
  EXPECT_EQ(bytes[8], 255);
  EXPECT_EQ(bytes[13], 160);
  GalleryFlags gallery;
  gallery.Set(0);
  gallery.Set(9);
  gallery.Set(999);
  gallery.Set(1000);  // outside: nothing
  gallery.Set(-1);
  EXPECT_EQ(gallery.Bytes()[0], 1);
  EXPECT_EQ(gallery.Bytes()[1], 2);
  EXPECT_EQ(gallery.Bytes()[124], 0x80);
  EXPECT_EQ(gallery.Bytes()[125], 0);
  EXPECT_TRUE(gallery.Get(999));
  EXPECT_FALSE(gallery.Get(1000));
}

class PersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    game.WriteArchives({{"main.txt", "一<KW>\n二<KW>\n<SltAdd a>\n<TW 10>\n三<KW>\n"},
                        {"empty.txt", "何もない\n"},
                        {"ver.txt", "<KW>\n"},
                        {"b.txt", "<SltAdd x><SltAdd y>\n[top]<KW>\n"}},
                       {{"variable.csv", kVariables}});
    game.Open();
  }
  std::vector<uint8_t> SysFile(const char* name) { return testing::ReadBytes((game.Dir() / "sys" / name).string()); }

  ScriptTestGame game{"persist"};
};

TEST_F(PersistenceTest, OptionFileRoundTripAppliesOnlyGlobals) {
  Interpreter& g = game.Game();
  g.Prepare();
  VariableTable& vars = game.Variables();
  vars.SetInt("local", 7);
  vars.SetInt("G_count", 42);
  vars.SetInt("g_small", 3);
  vars.SetString("G_text", Sjis("全体"));
  vars.SetString("text", "here");
  g.Options().textRate = 3;
  g.Options().displayMode = 0;
  g.Gallery().Set(77);
  g.SaveOptions();
  const auto bytes = SysFile("option.dat");
  ASSERT_EQ(bytes.size(), 8 + 3 * 48 + 2 * 292 + 176 + 126u);
  EXPECT_EQ(LoadU32(bytes.data()), 3u);
  EXPECT_EQ(LoadU32(bytes.data() + 4), 2u);

  game.Open();  // a fresh start: defaults, then option.dat
  game.Game().Prepare();
  EXPECT_EQ(game.Var("local"), 0);
  EXPECT_EQ(game.Var("G_count"), 42);
  EXPECT_EQ(game.Var("g_small"), 3);  // "G_" ignores case
  std::string text;
  game.Variables().StringValue("G_text", &text);
  EXPECT_EQ(text, Sjis("全体"));
  game.Variables().StringValue("text", &text);
  EXPECT_EQ(text, "");
  EXPECT_EQ(game.Game().Options().textRate, 3);
  EXPECT_EQ(game.Game().Options().displayMode, 0);
  EXPECT_TRUE(game.Game().Gallery().Get(77));
  game.Variables().SetInt("local", 7);  // the game's own variables, as before
  game.Variables().SetString("text", "here");
  game.Game().SaveOptions();
  const auto again = SysFile("option.dat");
  ASSERT_EQ(again.size(), bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) EXPECT_EQ(again[i], bytes[i]) << "offset " << i;
}

TEST_F(PersistenceTest, DamagedOptionFilesKeepTheDefaults) {
  std::filesystem::create_directories(game.Dir() / "sys");
  const std::string path = (game.Dir() / "sys" / "option.dat").string();
  game.Game().Prepare();
  game.Game().Options().textRate = 1;
  game.Game().SaveOptions();
  const auto good = testing::ReadBytes(path);
  auto negative = good;
  StoreU32(negative.data(), 0xFFFFFFFF);
  auto huge = good;
  StoreU32(huge.data() + 4, 0x7FFFFFFF);
  const std::vector<std::vector<uint8_t>> damaged = {
      {}, {1, 2, 3}, std::vector<uint8_t>(good.begin(), good.end() - 1), negative, huge};
  for (const auto& bytes : damaged) {
    testing::WriteBytes(path, bytes);
    game.Open();
    Diagnostics().LogText(LogLevel::kDebug, "before");
    game.Game().Prepare();
    EXPECT_EQ(game.Game().Options().textRate, 8) << bytes.size();
    EXPECT_EQ(game.Var("G_count"), 0);
    // Said in the log: a damaged file is never taken silently for a new player's.
    EXPECT_EQ(Diagnostics().LastMessage().rfind("option.dat: ", 0), 0u) << Diagnostics().LastMessage();
  }
  // Bytes beyond the record are left alone.
  auto longer = good;
  longer.push_back(0);
  testing::WriteBytes(path, longer);
  game.Open();
  game.Game().Prepare();
  EXPECT_EQ(game.Game().Options().textRate, 1);
}

TEST_F(PersistenceTest, ReadFlagTableFollowsTheArchiveOrder) {
  const auto& entries = game.ReadFlags().Entries();
  ASSERT_EQ(entries.size(), 2u);  // empty.txt has nothing to flag, ver.txt is left out
  EXPECT_EQ(entries[0].name, "b.txt");
  EXPECT_EQ(entries[0].waits.size(), 1u);
  EXPECT_EQ(entries[0].choices.size(), 2u);
  EXPECT_EQ(entries[1].name, "main.txt");
  EXPECT_EQ(entries[1].offset, 1);
  EXPECT_EQ(entries[1].waits.size(), 4u);
  EXPECT_EQ(entries[1].choices.size(), 1u);
}

TEST_F(PersistenceTest, TheCursorFollowsPagesAndJumps) {
  Interpreter& g = game.Game();
  ReadFlagStore& k = game.ReadFlags();
  g.StartGame("main.txt");
  EXPECT_EQ(k.CurrentEntry(), 1);
  EXPECT_EQ(k.WaitIndex(), 0);
  game.Frames(1);  // the first page waits
  EXPECT_EQ(k.WaitIndex(), 1);
  EXPECT_EQ(k.Entries()[1].waits[0], 1);
  EXPECT_FALSE(k.IsCurrentWaitRead());
  EXPECT_TRUE(g.JumpToScript("b.txt", "top"));
  EXPECT_EQ(k.CurrentEntry(), 0);
  EXPECT_EQ(k.WaitIndex(), 0);
  EXPECT_EQ(k.ChoiceIndex(), 2);  // both choice points lie before the label
  EXPECT_FALSE(k.TakeChoicePoint());
  k.MarkChoice(1);
  EXPECT_EQ(k.Entries()[0].choices[1], 1);
}

TEST_F(PersistenceTest, ReadFlagsRoundTripAndAChangedArchiveResetsThem) {
  Interpreter& g = game.Game();
  g.StartGame("main.txt");
  game.Frames(1);
  game.Click();
  game.Frames(2);
  ASSERT_EQ(game.ReadFlags().Entries()[1].waits[1], 1);
  g.SaveReadFlags();
  const auto stored = SysFile("kidoku.dat");
  ByteReader r(stored);
  EXPECT_EQ(r.I32(), 0);
  EXPECT_EQ(r.I32(), 2);

  game.Open();  // the next start reads them back
  EXPECT_EQ(game.ReadFlags().Entries()[1].waits, (std::vector<uint8_t>{1, 1, 0, 0}));
  EXPECT_EQ(game.ReadFlags().EncodeFile(), stored);

  // A script with a text wait more: the entry count changes and the flags start over.
  game.WriteArchives({{"main.txt", "一<KW>\n二<KW>\n<SltAdd a>\n<TW 10>\n三<KW>\n"},
                      {"b.txt", "<SltAdd x><SltAdd y>\n[top]<KW>\n"},
                      {"c.txt", "<KW>\n"}},
                     {{"variable.csv", kVariables}});
  game.Open();
  EXPECT_EQ(game.ReadFlags().Entries().size(), 3u);
  for (const auto& entry : game.ReadFlags().Entries())
    for (uint8_t flag : entry.waits) EXPECT_EQ(flag, 0);
  std::ifstream log(game.Dir() / "GameErrorLog.txt");
  std::string text((std::istreambuf_iterator<char>(log)), {});
  EXPECT_NE(text.find(Sjis("既読情報が一致しませんので、既読情報を初期化します")), std::string::npos);
}

TEST_F(PersistenceTest, DamagedReadFlagFilesNeverCrashAndKeepWhatIsSound) {
  std::filesystem::create_directories(game.Dir() / "sys");
  const std::string path = (game.Dir() / "sys" / "kidoku.dat").string();
  // Entry 0 whole (b.txt: one page read, both choices), entry 1 cut inside its pages.
  std::vector<uint8_t> bytes = {0, 0, 0, 0, 2, 0, 0, 0,  1, 0, 0, 0, 1,  2, 0, 0, 0, 1, 1,
                                9, 0, 0, 0, 1, 1};
  testing::WriteBytes(path, bytes);
  game.Open();
  EXPECT_EQ(game.ReadFlags().Entries()[0].waits, (std::vector<uint8_t>{1}));
  EXPECT_EQ(game.ReadFlags().Entries()[0].choices, (std::vector<uint8_t>{1, 1}));
  EXPECT_EQ(game.ReadFlags().Entries()[1].waits, (std::vector<uint8_t>{0, 0, 0, 0}));
  // Longer stored arrays are taken up to the entry's size; negative sizes stop the read.
  bytes = {0, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 1, 1, 0xFF, 0xFF, 0xFF, 0xFF};
  testing::WriteBytes(path, bytes);
  game.Open();
  EXPECT_EQ(game.ReadFlags().Entries()[0].waits, (std::vector<uint8_t>{1}));
  EXPECT_EQ(game.ReadFlags().Entries()[0].choices, (std::vector<uint8_t>{0, 0}));
  for (const std::vector<uint8_t>& junk : {std::vector<uint8_t>{}, std::vector<uint8_t>{0, 0, 0}}) {
    testing::WriteBytes(path, junk);
    game.Open();
    EXPECT_TRUE(game.ReadFlags().IsBuilt());
    EXPECT_EQ(game.ReadFlags().Entries()[0].waits, (std::vector<uint8_t>{0}));
  }
}

TEST_F(PersistenceTest, WithoutATableNothingIsWrittenAndEveryPageCountsAsRead) {
  game.Open(false);  // no table: folder mode builds none
  Interpreter& g = game.Game();
  EXPECT_TRUE(game.ReadFlags().IsCurrentWaitRead());
  g.StartGame("main.txt");
  game.Frames(3);
  g.SaveReadFlags();
  EXPECT_FALSE(FileExists((game.Dir() / "sys" / "kidoku.dat").string()));
}

}  // namespace
}  // namespace zan
