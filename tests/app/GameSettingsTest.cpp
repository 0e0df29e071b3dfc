// game.csv: what a game says of itself (its window title, the colours a new player starts
// with), and how the application takes it.

#include "app/GameSettings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestGameFolder.h"
#include "app/GameApp.h"
#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/headless/HeadlessPlatform.h"
#include "script/Interpreter.h"
#include "script/Options.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using Colour = GameSettings::Colour;

TEST(GameSettingsTest, EachRowNamesOneSetting) {
  const GameSettings s = GameSettings::Parse(Sjis(
      "名前,値\r\n"
      "title,星を拾った夜, 第一夜\r\n"
      "Window_Colour, 36, 40,64\r\n"
      "WINDOW_OPACITY,235\r\n"
      "\r\n"
      "text_colour,255,255,255\n"
      "read_text_colour,150,200,255"));
  EXPECT_EQ(s.titleSjis, Sjis("星を拾った夜, 第一夜"));
  EXPECT_EQ(s.windowColour, (Colour{36, 40, 64}));
  EXPECT_EQ(s.windowOpacity, 235);
  EXPECT_EQ(s.textColour, (Colour{255, 255, 255}));
  EXPECT_EQ(s.readTextColour, (Colour{150, 200, 255}));
}

TEST(GameSettingsTest, RowsThatCannotBeReadAreLeftOut) {
  Diagnostics().SetEcho(false);
  const char* bad[] = {
      "title,",      "title",          "window_opacity,256",       "window_opacity,-1",
      "window_opacity,9x", "window_colour,1,2", "window_colour,1,2,3,4", "text_colour,1,,3",
      "read_text_colour,0,0,300", "colour,1,2,3",
  };
  for (const char* row : bad) {
    const GameSettings s = GameSettings::Parse(std::string("header\n") + row + "\n");
    EXPECT_TRUE(s.titleSjis.empty()) << row;
    EXPECT_FALSE(s.windowColour || s.windowOpacity || s.textColour || s.readTextColour) << row;
    EXPECT_NE(Diagnostics().LastMessage().find("game.csv: row 2"), std::string::npos) << row;
  }
  // The first line is a header, whatever it holds.
  EXPECT_TRUE(GameSettings::Parse("title,header\n").titleSjis.empty());
  Diagnostics().SetEcho(true);
}

TEST(GameSettingsTest, ALongTitleIsCutAtACharacterBoundary) {
  // 128 single bytes, then double-byte characters: the 255-byte limit falls inside one.
  std::string longTitle(128, 'a');
  for (int i = 0; i < 70; ++i) longTitle += Sjis("星");
  const GameSettings s = GameSettings::Parse("h\ntitle," + longTitle + "\n");
  EXPECT_EQ(s.titleSjis, longTitle.substr(0, 128 + 2 * 63));
}

TEST(GameSettingsTest, OnlyTheColoursNamedReplaceTheDefaults) {
  GameSettings s;
  s.windowColour = Colour{1, 2, 3};
  s.readTextColour = Colour{4, 5, 6};
  OptionsBlock options;
  const OptionsBlock defaults;
  s.ApplyDefaults(options);
  EXPECT_EQ(options.windowTint[2], 3);
  EXPECT_EQ(options.readTextColour[0], 4);
  EXPECT_EQ(options.windowOpacity, defaults.windowOpacity);
  EXPECT_EQ(options.textColour[1], defaults.textColour[1]);
}

class GameSettingsRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_game_settings_" + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root / "run");
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
  }
  void TearDown() override { fs::remove_all(root); }

  struct Seen {
    std::string title;
    OptionsBlock options;
  };
  // Plays the game in root/game for a few frames; what the window showed and the settings
  // the story started with.
  Seen Play() {
    HeadlessPlatform platform;
    platform.GetMessageBoxes().SetQuiet(true);
    Harness harness;
    harness.SetStartScript("main.txt");
    harness.SetFrameLimit(3);
    Seen seen;
    {
      GameApp app(platform, harness);
      harness.AddFrameHook([&](uint64_t) {
        seen.title = platform.GetWindow().Title();
        seen.options = app.Game().Options();
      });
      EXPECT_TRUE(app.LocateGameData(0, (root / "game").string()));
      app.FrameSetup(Sjis("ＴＯＲＡＭＩTRIAL Ver."), "class");
      app.Run(800, 600);
    }
    return seen;
  }

  fs::path root;
};

TEST_F(GameSettingsRunTest, TheGameNamesItsTitleAndTheColoursANewPlayerStartsWith) {
  // Nothing named: the engine's own title and colours.
  testing::WriteGame(root / "game");
  Seen plain = Play();
  EXPECT_EQ(plain.title, Sjis("ＴＯＲＡＭＩTRIAL Ver."));
  EXPECT_EQ(plain.options.windowTint[0], OptionsBlock().windowTint[0]);

  fs::remove_all(root / "game");
  testing::WriteGame(root / "game", {.gameCsv = "項目,値\ntitle,星を拾った夜\nwindow_colour,36,40,64\n"
                                                "window_opacity,240\nread_text_colour,150,200,255\n"});
  Seen named = Play();
  EXPECT_EQ(named.title, Sjis("星を拾った夜"));
  EXPECT_EQ(named.options.windowTint[0], 36);
  EXPECT_EQ(named.options.windowTint[2], 64);
  EXPECT_EQ(named.options.windowOpacity, 240);
  EXPECT_EQ(named.options.readTextColour[1], 200);
  EXPECT_EQ(named.options.textColour[0], OptionsBlock().textColour[0]);

  // Once option.dat holds the player's settings, they win over the game's defaults.
  ASSERT_TRUE(fs::exists(root / "game" / "sys" / "option.dat"));
  fs::rename(root / "game" / "sys", root / "kept-sys");
  fs::remove_all(root / "game");
  testing::WriteGame(root / "game", {.gameCsv = "項目,値\nwindow_colour,200,10,10\n"});
  fs::rename(root / "kept-sys", root / "game" / "sys");
  EXPECT_EQ(Play().options.windowTint[0], 36);
}

TEST_F(GameSettingsRunTest, AnErrorLineInTheTitleBarStays) {
  testing::WriteGame(root / "game", {.gameCsv = "項目,値\ntitle,星を拾った夜\n"});
  fs::remove(root / "game" / "snd.arc");
  const Seen seen = Play();
  EXPECT_NE(seen.title.find(Sjis("[×]アーカイブデータがありませんでした")), std::string::npos)
      << SjisToUtf8(seen.title);
}

}  // namespace
}  // namespace zan
