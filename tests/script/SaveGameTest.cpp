// Saving and loading the story in-process: what a load restores, what it refuses (damaged
// files, other modes) without changing anything, variables matched by name, the quick save
// refused during a countdown and a blink, the special scripts and their snapshot.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "ScriptTestGame.h"
#include "base/ByteReader.h"
#include "platform/Files.h"
#include "script/SaveFile.h"

namespace zan {
namespace {

using testing::ScriptTestGame;
namespace fs = std::filesystem;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,a,0,0,100\n"
    "INT,b,0,0,100\n"
    "INT,G_g,0,0,100\n"
    "STR,s,init\n"
    "INT,chosen,0,0,100\n";

const char* kMain = R"(<Mov a, 5>
<Mov b, 9>
<Mov G_g, 1>
<Mov s, first>
<SceneSet 一>
一ページ目<KW>
<Mov a, 6>
<SceneSet 二>
二ページ目<KW>
<SltDel>
<SltAdd 0, pick_a, 右>
<SltAdd 1, pick_b, 左>
<SltRun>
[pick_a]
<Mov chosen, 1>
おわり<KW>
[pick_b]
<Mov chosen, 2>
おわり<KW>
)";

const char* kCountdown = R"(<SltDel>
<SltAdd 0, x, はい>
<SltRunCD3 x>
[x]
<Mov chosen, 9>
おわり<KW>
)";

const char* kWeather = R"(<EasyRainPow 700>
<EasyRain ON, Now>
雨<KW>
<EasyRain OFF>
<EasyRainPow 100>
晴れ<KW>
)";

const char* kSaveRun = R"(<Mov a, 1>
<SaveRun>
<Mov a, 2>
あと<KW>
<Mov a, 3>
<SaveRun>
<Mov b, 1>
おわり<KW>
)";

const char* kFlow = R"([top]
<Mov a, 77>
フロー<KW>
<TitleReturn>
)";

class SaveGameTest : public ::testing::Test {
 protected:
  void Play(const char* variables = kVariables) {
    game.WriteArchives({{"main.txt", kMain}, {"countdown.txt", kCountdown}, {"flow.txt", kFlow}, {"weather.txt", kWeather},
                        {"saverun.txt", kSaveRun}},
                       {{"variable.csv", variables}});
    game.Open();
    G().Prepare();
    G().StartGame("main.txt");
  }
  // Two pages clicked through: the choice opens.
  void PlayToTheChoice() {
    Play();
    game.Frames(30);
    game.Click();
    game.Frames(30);
    game.Click();
    game.Frames(5);
  }
  Interpreter& G() { return game.Game(); }
  fs::path SavePath(const char* name) { return game.Dir() / "save" / name; }
  std::string String(const char* name) {
    std::string value;
    game.Variables().StringValue(name, &value);
    return value;
  }

  ScriptTestGame game{"savegame"};
};

TEST_F(SaveGameTest, ALoadBringsBackThePlaceTheVariablesAndTheScene) {
  Play();
  game.Frames(30);
  const int32_t firstPage = G().ReadPosition();
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  EXPECT_EQ(fs::file_size(SavePath("save1.sav")), SaveFileSize(10, 5, 4, 1));
  game.Click();
  game.Frames(30);
  EXPECT_EQ(game.Var("a"), 6);
  game.Variables().SetInt("G_g", 42);
  game.Variables().SetString("s", "later");
  ASSERT_TRUE(G().LoadGame("save1.sav"));
  EXPECT_EQ(G().ReadPosition(), firstPage);
  EXPECT_EQ(G().SceneName(), Sjis("一"));
  EXPECT_EQ(game.Var("a"), 5);
  EXPECT_EQ(game.Var("b"), 9);
  EXPECT_EQ(String("s"), "first");
  EXPECT_EQ(game.Var("G_g"), 42);  // globals keep their current value
  EXPECT_TRUE(G().ClickWait());
  EXPECT_EQ(G().CurrentArea().Text(), Sjis("一ページ目"));
  EXPECT_TRUE(G().CurrentArea().IsAllShown());
  game.Click();
  game.Frames(5);
  EXPECT_EQ(game.Var("a"), 6);  // the story goes on from the restored place
}

TEST_F(SaveGameTest, TheWeatherIsSavedAndALoadStartsItAgain) {
  Play();
  G().StartGame("weather.txt");
  game.Frames(30);
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  auto saved = DecodeSaveFile(testing::ReadBytes(SavePath("save1.sav").string()));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->weather.Of(WeatherKind::kRain).on, 1);
  EXPECT_EQ(saved->weather.Of(WeatherKind::kRain).settings.count, 700);
  EXPECT_EQ(saved->weather.Of(WeatherKind::kSnow).on, 0);
  game.Click();
  game.Frames(30);
  EXPECT_EQ(G().Weather().Record().Of(WeatherKind::kRain).on, 0);
  ASSERT_TRUE(G().LoadGame("save1.sav"));
  EXPECT_EQ(G().Weather().Record().Of(WeatherKind::kRain).on, 1);
  EXPECT_EQ(G().Weather().Record().Of(WeatherKind::kRain).settings.count, 700);
}

TEST_F(SaveGameTest, ASaveDuringAChoiceReopensIt) {
  PlayToTheChoice();
  ASSERT_TRUE(G().Choices().Open());
  EXPECT_TRUE(fs::exists(SavePath("save_sel.sav")));  // written as the choice opened
  ASSERT_TRUE(G().SaveGame("save2.sav"));
  const ChoiceState before = G().Choices().State();
  game.Variables().SetInt("a", 50);
  game.Click();  // on no entry: the choice stays
  game.Frames(5);
  // Back to the last choice: its own file stays for the next time.
  ASSERT_TRUE(G().BackToLastChoice());
  EXPECT_TRUE(fs::exists(SavePath("save_sel.sav")));
  EXPECT_EQ(game.Var("a"), 6);
  game.Variables().SetInt("a", 50);
  // Loading another save forgets the way back to the choice.
  ASSERT_TRUE(G().LoadGame("save2.sav"));
  EXPECT_FALSE(fs::exists(SavePath("save_sel.sav")));
  ASSERT_TRUE(G().Choices().Open());
  EXPECT_FALSE(G().ClickWait());  // the page behind a choice does not wait
  EXPECT_EQ(std::memcmp(&G().Choices().State(), &before, sizeof before), 0);
  EXPECT_EQ(G().Areas().choice.Text(), Sjis("右\r\n左\r\n"));
  EXPECT_EQ(game.Var("a"), 6);
  // The restored choice takes the player's pick.
  G().InputReceiver().HandleEvent(InputEvent::KeyDown(Key::kDown));
  game.Frames(1);
  G().InputReceiver().HandleEvent(InputEvent::KeyDown(Key::kDown));
  game.Frames(1);
  game.Click();
  game.Frames(40);
  EXPECT_EQ(game.Var("chosen"), 2);
}

TEST_F(SaveGameTest, DamagedOrMissingSavesChangeNothing) {
  Play();
  game.Frames(30);
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  const std::vector<uint8_t> good = testing::ReadBytes(SavePath("save1.sav").string());
  game.Click();
  game.Frames(30);
  const int32_t position = G().ReadPosition();
  const std::string text = G().CurrentArea().Text();
  auto flipped = good;
  flipped[good.size() - 80 - 8 - 4 * 48 - 292 - 60 - 772] ^= 0x01;  // the channel count
  auto badScript = good;
  std::memcpy(badScript.data() + 37300, "none.txt", 9);
  auto farPosition = good;
  StoreU32(farPosition.data() + 37400, 1000000);
  // One pending call, returning to a script the game does not have.
  auto badCall = good;
  StoreU32(badCall.data() + 37412, 1);
  std::memcpy(badCall.data() + 37416 + 400, "none.txt", 9);
  const std::vector<std::vector<uint8_t>> damaged = {
      {}, std::vector<uint8_t>(good.begin(), good.end() - 1), [&] {
        auto b = good;
        b.push_back(0);
        return b;
      }(), flipped, badScript, farPosition, badCall};
  for (size_t i = 0; i < damaged.size(); ++i) {
    testing::WriteBytes(SavePath("save3.sav").string(), damaged[i]);
    EXPECT_FALSE(G().CheckSave("save3.sav")) << i;
    EXPECT_FALSE(G().LoadGame("save3.sav")) << i;
    EXPECT_EQ(G().ReadPosition(), position) << i;
    EXPECT_EQ(game.Var("a"), 6) << i;
    EXPECT_EQ(G().SceneName(), Sjis("二")) << i;
    EXPECT_EQ(G().CurrentArea().Text(), text) << i;
  }
  EXPECT_FALSE(G().CheckSave("save9.sav"));  // missing
  EXPECT_FALSE(G().LoadGame("save9.sav"));
  EXPECT_EQ(G().ReadPosition(), position);
  // The check of a good save changes nothing either, in any mode.
  G().SetGameMode(kModeSceneReplay);
  EXPECT_TRUE(G().CheckSave("save1.sav"));
  G().SetGameMode(kModeStory);
  EXPECT_EQ(G().ReadPosition(), position);
}

TEST_F(SaveGameTest, SaveRunOpensTheSaveScreenAndItsSavesGoOnAfterTheCommand) {
  Play();
  int opened = 0;
  bool opens = true;
  G().SetSaveScreenOpener([&] {
    ++opened;
    if (opens) G().Suspend();
    return opens;
  });
  G().StartGame("saverun.txt");
  game.Frames(40);
  ASSERT_EQ(opened, 1);
  EXPECT_EQ(game.Var("a"), 1);  // held while the screen shows
  EXPECT_TRUE(G().OpenedBySaveRun());
  ASSERT_TRUE(G().SaveGame("save5.sav"));
  auto saved = DecodeSaveFile(testing::ReadBytes(SavePath("save5.sav").string()));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->openedBySaveRun, 1);
  // The screen closes: the story goes on, and its saves are ordinary ones again.
  G().SaveScreenClosed();
  G().Resume();
  game.Frames(10);
  EXPECT_EQ(game.Var("a"), 2);
  EXPECT_TRUE(G().ClickWait());
  ASSERT_TRUE(G().SaveGame("save6.sav"));
  saved = DecodeSaveFile(testing::ReadBytes(SavePath("save6.sav").string()));
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->openedBySaveRun, 0);
  // A screen that does not open leaves no flag behind.
  opens = false;
  game.Click();
  game.Frames(10);
  EXPECT_EQ(opened, 2);
  EXPECT_FALSE(G().OpenedBySaveRun());
  EXPECT_EQ(game.Var("b"), 1);  // and the story went on
  // The save made on the script's screen loads without a click wait and runs on after the
  // command; the flag has done its work.
  ASSERT_TRUE(G().LoadGame("save5.sav"));
  EXPECT_FALSE(G().ClickWait());
  EXPECT_FALSE(G().OpenedBySaveRun());
  game.Frames(40);
  EXPECT_EQ(game.Var("a"), 2);
  EXPECT_TRUE(G().ClickWait());
  // An ordinary save waits for its click.
  ASSERT_TRUE(G().LoadGame("save6.sav"));
  EXPECT_TRUE(G().ClickWait());
}

TEST_F(SaveGameTest, AnOldSaveLoadsAfterTheTableGainsAVariable) {
  Play();
  game.Frames(30);
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  // A variable in the middle, and b's maximum lowered below its saved value.
  Play("種類,名前,初期値,最小,最大\n"
       "INT,a,0,0,100\n"
       "INT,fresh,7,0,100\n"
       "INT,b,0,0,4\n"
       "INT,G_g,0,0,100\n"
       "STR,s,init\n"
       "INT,chosen,0,0,100\n");
  game.Variables().SetInt("fresh", 50);
  ASSERT_TRUE(G().LoadGame("save1.sav"));
  EXPECT_EQ(game.Var("a"), 5);
  EXPECT_EQ(game.Var("b"), 4);      // inside its current bounds
  EXPECT_EQ(game.Var("fresh"), 7);  // not in the save: its declared value
  EXPECT_EQ(String("s"), "first");
}

TEST_F(SaveGameTest, SavingAndLoadingAreRefusedOutsideTheStory) {
  Play();
  game.Frames(30);
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  G().SetGameMode(kModeSceneReplay);
  EXPECT_FALSE(G().SaveGame("save2.sav"));
  EXPECT_FALSE(fs::exists(SavePath("save2.sav")));
  game.Click();
  game.Frames(30);
  const int32_t position = G().ReadPosition();
  EXPECT_FALSE(G().LoadGame("save1.sav"));
  EXPECT_EQ(G().ReadPosition(), position);
}

TEST_F(SaveGameTest, NoQuickSaveDuringACountdownOrTheBlink) {
  PlayToTheChoice();
  ASSERT_TRUE(G().Choices().Open());
  EXPECT_TRUE(G().QuickSave());  // an open choice without a countdown may be saved
  fs::remove(SavePath("saveq.sav"));
  // Hover the first entry with the keys and click: the chosen entry blinks.
  G().InputReceiver().HandleEvent(InputEvent::KeyDown(Key::kDown));
  game.Frames(1);
  ASSERT_EQ(G().Choices().Hovered(), 0);
  game.Click();
  ASSERT_TRUE(G().Choices().Selecting());
  EXPECT_FALSE(G().QuickSave());
  EXPECT_FALSE(fs::exists(SavePath("saveq.sav")));
  game.Frames(40);
  EXPECT_EQ(game.Var("chosen"), 1);

  G().StartGame("countdown.txt");
  game.Frames(3);
  ASSERT_TRUE(G().Choices().CountdownActive());
  EXPECT_FALSE(G().QuickSave());
  EXPECT_FALSE(fs::exists(SavePath("saveq.sav")));
}

TEST_F(SaveGameTest, ASpecialScriptKeepsTheGameAndGoesBackToIt) {
  Play();
  game.Frames(30);
  const int32_t position = G().ReadPosition();
  ASSERT_TRUE(G().OpenSpecialScript("flow.txt"));
  EXPECT_EQ(G().Mode(), kModeSpecial);
  EXPECT_TRUE(fs::exists(SavePath("special.sav")));
  game.Frames(30);
  EXPECT_EQ(game.Var("a"), 77);
  game.Click();
  game.Frames(5);  // "TitleReturn": back to the game
  EXPECT_EQ(G().Mode(), kModeStory);
  EXPECT_EQ(G().Record().name, "main.txt");
  EXPECT_EQ(G().ReadPosition(), position);
  EXPECT_EQ(game.Var("a"), 5);
}

TEST_F(SaveGameTest, ASpecialScriptThatCannotKeepTheGameDoesNotStart) {
  Play();
  game.Frames(30);
  const int32_t position = G().ReadPosition();
  // A file where the save folder should be: nothing can be written.
  testing::WriteBytes((game.Dir() / "save").string(), {1});
  EXPECT_FALSE(G().OpenSpecialScript("flow.txt"));
  EXPECT_EQ(G().Mode(), kModeStory);
  EXPECT_EQ(G().ReadPosition(), position);
  EXPECT_EQ(game.Var("a"), 5);
}

TEST_F(SaveGameTest, AFailedReturnFromASpecialScriptEndsTheStoryAndOpensTheTitle) {
  std::vector<GameMode> opened;
  Play();
  G().SetTitleOpener([&](GameMode ended) { opened.push_back(ended); });
  game.Frames(30);
  ASSERT_TRUE(G().OpenSpecialScript("flow.txt"));
  testing::WriteBytes(SavePath("special.sav").string(), {1, 2, 3});
  game.Frames(30);
  game.Click();
  game.Frames(2);
  // No game is left to go back to: the story ends, once, and the title follows (with its
  // opening: the story was back in story mode).
  EXPECT_EQ(G().Mode(), kModeStory);
  EXPECT_FALSE(G().IsRunning());
  EXPECT_EQ(opened, std::vector<GameMode>{kModeStory});
  game.Frames(30);
  EXPECT_FALSE(G().IsRunning());
  EXPECT_EQ(opened.size(), 1u);
  G().SetTitleOpener({});  // `opened` goes before the game
}

TEST_F(SaveGameTest, WithoutReadFlagsNoReadFlagFileIsWritten) {
  game.WriteArchives({{"main.txt", kMain}}, {{"variable.csv", kVariables}});
  game.Open(false);
  G().Prepare();
  G().StartGame("main.txt");
  game.Frames(30);
  ASSERT_TRUE(G().SaveGame("save1.sav"));
  ASSERT_TRUE(G().LoadGame("save1.sav"));
  G().ReturnToTitle();
  EXPECT_TRUE(fs::exists(game.Dir() / "sys" / "option.dat"));
  EXPECT_FALSE(fs::exists(game.Dir() / "sys" / "kidoku.dat"));
}

}  // namespace
}  // namespace zan
