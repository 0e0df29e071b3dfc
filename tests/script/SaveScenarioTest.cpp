// Saves end to end: the real `zan` binary, headless, saves with "save N" on a page with
// pictures (one of them greyed), a typed page with a speaker, music looping, and again with
// a choice open; the story then moves on (variables, scene, pictures, music) and "load N"
// brings it back: the fields of the file at their offsets, the variables, the screen pixel
// for pixel, the choice and the music. A second test kills the process while it saves in a
// loop and finds the previous save whole every time.

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "../sound/fixtures/SoundFixtures.h"
#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "TestArchiveWriter.h"
#include "ScenarioTest.h"
#include "base/ByteReader.h"
#include "base/ShiftJis.h"
#include "script/SaveFile.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;

constexpr Rgb kBackground{40, 80, 120};
constexpr Rgb kCharacter{200, 50, 50};

// The speaker's page follows another page: the name plate takes the glyph weight the last
// page drawing left, as a load (which draws the pages again) does.
const char* kMain = R"(<WinCurrent 0>
<WinPos 0, 400>
<WinOn>
<ImageLoad 0, bg.bmp>
<ImageLoad 1, chara.bmp, 中>
<ImageMono 1, ON>
<ZoomSrc 0, 250, 250, 100, 100>
<ZoomDst 0, 20, 200, 150, 150>
<ZoomVisible 0, ON>
<SoundLoop 0, ON>
<SoundPlay 0, bgm.wav>
<SceneSet 第一話>
<Mov a, 5>
<Mov s, はじめ>
<Mov G_g, 1>
朝。<KW><WinClear>
【花子】こんにちは。いい天気ですね。<KW>
<SltDel>
<SltAdd 0, pick_a, 右へ>
<SltAdd 1, pick_b, 左へ>
<SltRun>
[pick_a]
<Mov chosen, 1>
<Mov a, 10>
<Mov s, あと>
<ImageInit 1>
<ZoomInit 0>
<SceneSet 第二話>
<Mov G_g, 2>
<SoundRun 0, Stop>
つぎ<KW>
[pick_b]
<Mov chosen, 2>
ひだり<KW>
)";

// A script that only waits: a run that starts here and loads a save begins from nothing of
// the story.
const char* kIdle = "<WinOn>待つ<KW>\n";

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,a,0,0,100\n"
    "INT,G_g,0,0,100\n"
    "INT,chosen,0,0,100\n"
    "STR,s,\n";

// A new game's scene fades in over 1000 ms, and so does a quick load's: the story's first
// element runs in frame 23, and a quick load's story goes on 23 frames after it.
constexpr int kCrossFrames = 23;

// The timeline with every frame from `from` on moved `by` frames later.
std::string Later(const std::string& timeline, int by, int from = 0) {
  std::istringstream in(timeline);
  std::string out, line;
  while (std::getline(in, line)) {
    const size_t space = line.find(' ');
    const int frame = std::stoi(line.substr(0, space));
    out += std::to_string(frame >= from ? frame + by : frame) + line.substr(space) + "\n";
  }
  return out;
}

// Offsets of the format for this game: 10 image slots, 5 zoom windows.
constexpr size_t kTime = 36864;
constexpr size_t kPage = kTime + 36;
constexpr size_t kScript = kPage + 400;
constexpr size_t kScene = kScript + 32;
constexpr size_t kPosition = kScene + 64 + 4;
constexpr size_t kChoice = kPosition + 4 + 8 + 3604;
constexpr size_t kSlots = kChoice + 868 + 1436 + 4 + 4 * 21260;
constexpr size_t kZooms = kSlots + 4 + 10 * 836;
constexpr size_t kSounds = kZooms + 4 + 5 * 328;
constexpr size_t kVariableCounts = kSounds + 4 + 12 * 64 + 60;

int32_t I32At(const std::vector<uint8_t>& b, size_t at) { return static_cast<int32_t>(LoadU32(b.data() + at)); }
std::string TextAt(const std::vector<uint8_t>& b, size_t at) { return reinterpret_cast<const char*>(b.data() + at); }

class SaveScenarioTest : public testing::ScenarioTest {
 protected:
  void WriteGame(const fs::path& dir) override {
    std::vector<testing::TestEntry> pictures;
    auto add = [&](const std::string& utf8, std::vector<uint8_t> bytes) {
      pictures.push_back({Sjis(utf8), std::move(bytes), false});
    };
    add("bg.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kBackground));
    add("chara.bmp", FlatBmp(200, 300, BmpForm::kArgb32, kCharacter));
    add("win.bmp", FlatBmp(800, 200, BmpForm::kArgb32, {20, 20, 60}, 200));
    add("選択肢.bmp", FlatBmp(800, 48, BmpForm::kArgb32, {30, 40, 140}));
    add("選択肢_ON.bmp", FlatBmp(800, 48, BmpForm::kArgb32, {230, 180, 30}));
    testing::WriteBytes((dir / "gra.arc").string(), testing::WriteTestArchive(pictures, "Rod7Q", true));
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", testing::GameBytes(kMain)},
                                                   {"idle.txt", testing::GameBytes(kIdle)}},
                                                  "Rod7Q", true));
    testing::WriteBytes((dir / "dat.arc").string(),
                        testing::WriteTestArchive({{"variable.csv", testing::GameBytes(kVariables)}}, "Rod7Q", true));
    const auto music = fixtures::PcmWave(fixtures::Tone(440, 1.0, 44100, 2, 0.3));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({{"bgm.wav", music}}, "Rod7Q", true));
    // The left button and Enter are 決定 (the click).
    testing::WriteBytes((dir / "system.arc").string(),
                        testing::WriteTestArchive(
                            {{"system2.lib", testing::ScrambledLib("入力,動作\n0,\n1,\n2 左ボタン,決定\n3,\n4 Enter,決定\n")}},
                            "plume", true));
  }

  std::string Shots(std::initializer_list<int> frames, const std::string& tag) {
    std::string args;
    for (int f : frames) args += " --screenshot " + std::to_string(f) + ":" + Path(tag + std::to_string(f) + ".png");
    return args;
  }
  test::Screenshot Load(const std::string& name) { return test::Screenshot::Read(Path(name + ".png")); }
  std::vector<uint8_t> Save(const char* name) { return testing::ReadBytes((root / "game" / "save" / name).string()); }
};

TEST_F(SaveScenarioTest, ALoadBringsBackTheScreenTheVariablesTheChoiceAndTheMusic) {
  // Save 1 on the typed page, a click on nothing (the choice opens), save 2 with the choice
  // open, the first entry taken (the story moves on), load 1, and a save of what came back.
  constexpr int k = kCrossFrames;
  ASSERT_TRUE(Run(Later("20 click 400 500\n80 save 1\n90 click 400 500\n120 save 2\n130 click 400 90\n220 load 1\n"
                        "250 save 3\n",
                        k),
                  "--frames " + std::to_string(280 + k) + Shots({78 + k, 118 + k, 210 + k, 235 + k}, "a")))
      << zan.Vars();
  EXPECT_TRUE(Has("a=5")) << zan.Vars();
  EXPECT_TRUE(Has("s=はじめ"));
  EXPECT_TRUE(Has("chosen=0"));  // every game variable as saved
  EXPECT_TRUE(Has("G_g=2"));     // a global keeps its current value

  const std::vector<uint8_t> save1 = Save("save1.sav");
  ASSERT_EQ(save1.size(), 139292u + 3 * 48 + 1 * 292);
  EXPECT_EQ(TextAt(save1, kScript), "main.txt");
  EXPECT_EQ(TextAt(save1, kScene), Sjis("第一話"));
  EXPECT_EQ(TextAt(save1, kPage), Sjis("【花子】\r\nこんにちは。いい天気ですね。"));
  // The read position is just after the second page's "<KW>".
  const std::string text = testing::GameText(kMain);
  EXPECT_EQ(I32At(save1, kPosition), static_cast<int32_t>(text.find("<KW>", text.find("<KW>") + 4) + 4));
  EXPECT_EQ(I32At(save1, kSlots), 10);
  EXPECT_EQ(TextAt(save1, kSlots + 4), "bg.bmp");
  EXPECT_EQ(TextAt(save1, kSlots + 4 + 836), "chara.bmp");
  EXPECT_EQ(I32At(save1, kSlots + 4 + 836 + 524 + 8), 1);  // slot 1's effect: mono
  EXPECT_EQ(I32At(save1, kZooms), 5);
  // Zoom window 0 (effect record of 284, a reserved word, visible, in use, destination):
  EXPECT_EQ(I32At(save1, kZooms + 4 + 288), 1);
  EXPECT_EQ(I32At(save1, kZooms + 4 + 296), 20);
  EXPECT_EQ(I32At(save1, kZooms + 4 + 300), 200);
  EXPECT_EQ(I32At(save1, kSounds), 12);
  EXPECT_EQ(TextAt(save1, kSounds + 4), "bgm.wav");
  EXPECT_EQ(I32At(save1, kSounds + 4 + 32), 1);  // playing
  EXPECT_EQ(I32At(save1, kSounds + 4 + 40), 1);  // looping
  EXPECT_EQ(I32At(save1, kVariableCounts), 3);
  EXPECT_EQ(I32At(save1, kVariableCounts + 4), 1);
  // A headless run dates its saves by its own clock from 2000-01-01 00:00 (so that they
  // repeat), as years since 1900, months from 0 and the day of the month; the run saved
  // within its first hour.
  EXPECT_EQ(I32At(save1, kTime + 20), 100);
  EXPECT_EQ(I32At(save1, kTime + 16), 0);
  EXPECT_EQ(I32At(save1, kTime + 12), 1);
  EXPECT_EQ(I32At(save1, kTime + 8), 0);
  // The thumbnail: the stage without the message window, blue, green, red, top row first.
  EXPECT_EQ(save1[0], kBackground.b);
  EXPECT_EQ(save1[1], kBackground.g);
  EXPECT_EQ(save1[2], kBackground.r);
  const size_t grey = (72 * 128 + 64) * 3;  // stage (400, 450): the greyed character
  EXPECT_EQ(save1[grey], save1[grey + 1]);
  EXPECT_EQ(save1[grey], save1[grey + 2]);
  EXPECT_NE(save1[grey], kBackground.b);

  // The story had moved on; the load brought the saved screen back, pixel for pixel.
  const test::Screenshot before = Load("a" + std::to_string(78 + k));
  ASSERT_EQ(before.width, 800);
  EXPECT_NE(Load("a" + std::to_string(210 + k)).rgb, before.rgb);
  EXPECT_EQ(Load("a" + std::to_string(235 + k)).rgb, before.rgb);
  // Saved again after the load: everything but the date and a global is the same, the
  // music playing again included.
  const std::vector<uint8_t> save3 = Save("save3.sav");
  ASSERT_EQ(save3.size(), save1.size());
  EXPECT_TRUE(std::equal(save1.begin(), save1.begin() + kTime, save3.begin()));
  EXPECT_TRUE(std::equal(save1.begin() + kPage, save1.begin() + kVariableCounts, save3.begin() + kPage));

  // Save 2 holds the open choice.
  const std::vector<uint8_t> save2 = Save("save2.sav");
  EXPECT_EQ(I32At(save2, kChoice), 1);
  EXPECT_EQ(I32At(save2, kChoice + 4), -1);
  EXPECT_EQ(TextAt(save2, kChoice + 8 + 12), Sjis("右へ"));

  // Another run loads it: the choice is back as it was on screen, and takes a pick.
  ASSERT_TRUE(Run("5 load 2\n40 click 400 160\n",
                  "--start idle.txt --frames 120 --audio-out " + Path("b.wav") + Shots({30}, "b")))
      << zan.Vars();
  // The idle script plays nothing: the looping music heard is the restored channel.
  const std::vector<int16_t> heard = fixtures::StereoSamples(testing::ReadBytes(Path("b.wav")));
  ASSERT_GT(heard.size(), 2u * 44100 / 2);
  const size_t half = heard.size() / 4;  // stereo frames
  EXPECT_NEAR(fixtures::Frequency(heard, 2, 0, 44100, half, 2 * half), 440, 5);
  EXPECT_GT(fixtures::LevelDb(heard, 2, 0, half, 2 * half), -40);  // silence is far below
  EXPECT_EQ(Load("b30").rgb, Load("a" + std::to_string(118 + k)).rgb);
  EXPECT_TRUE(Has("chosen=2")) << zan.Vars();
  EXPECT_TRUE(Has("a=5"));
  EXPECT_TRUE(Has("G_g=2"));  // from option.dat, not from the save
}

// The player's keys through the timeline: quick save (11) asks first, and Escape (no)
// writes nothing; asked again on the typed page and answered yes (Left, Return), the choice
// taken, quick load (12) goes back to the page; then the choice opens again, the other entry
// is taken and "back to the last choice" (26) reopens it.
TEST_F(SaveScenarioTest, QuickSaveQuickLoadAndBackToTheLastChoiceByTheirActions) {
  constexpr int k = kCrossFrames;
  ASSERT_TRUE(Run(Later("30 action 11\n45 key Escape\n", k), "--frames " + std::to_string(90 + k))) << zan.Vars();
  EXPECT_FALSE(fs::exists(root / "game" / "save" / "saveq.sav"));

  // Shots at 78, 218, 240, 280 and 350 of the story's own frames.
  auto story = [](int frame) { return frame < 220 ? frame + k : frame + 2 * k; };
  auto shot = [&](int frame) { return "q" + std::to_string(story(frame)); };
  ASSERT_TRUE(Run(Later(Later("20 click 400 500\n80 action 11\n95 key Left\n105 key Return\n140 click 400 500\n"
                              "180 click 400 90\n220 action 12\n250 click 400 500\n290 click 400 160\n"
                              "330 action 26\n",
                              k, 221),
                        k),
                  "--frames " + std::to_string(story(370)) +
                      Shots({story(78), story(218), story(240), story(280), story(350)}, "q")))
      << zan.Vars();
  ASSERT_FALSE(Save("saveq.sav").empty());
  // The first integer record (row, name of 32, value): a = 5 when saved.
  EXPECT_EQ(TextAt(Save("saveq.sav"), kVariableCounts + 8 + 4), "a");
  EXPECT_EQ(I32At(Save("saveq.sav"), kVariableCounts + 8 + 36), 5);
  // After the quick load the page is the saved one again...
  EXPECT_NE(Load(shot(218)).rgb, Load(shot(78)).rgb);
  EXPECT_EQ(Load(shot(240)).rgb, Load(shot(78)).rgb);
  // ...and back to the last choice shows the choice as it opened, before "左へ" was taken.
  EXPECT_EQ(Load(shot(350)).rgb, Load(shot(280)).rgb);
  EXPECT_TRUE(Has("chosen=0")) << zan.Vars();
  EXPECT_TRUE(Has("a=5"));
}

TEST_F(SaveScenarioTest, DamagedSavesLeaveTheGameAsItWas) {
  ASSERT_TRUE(Run("60 save 1\n", "--frames 70"));
  std::vector<uint8_t> bytes = Save("save1.sav");
  StoreU32(bytes.data() + kSounds, 11);  // a channel count other than 12
  testing::WriteBytes((root / "game" / "save" / "save2.sav").string(), bytes);
  testing::WriteBytes((root / "game" / "save" / "save3.sav").string(), {});
  ASSERT_TRUE(Run("5 load 2\n6 load 3\n7 load 4\n", "--start idle.txt --frames 20")) << zan.Vars();
  EXPECT_TRUE(Has("a=0"));
  std::ifstream out(root / "out");
  const std::string log((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
  EXPECT_NE(log.find("save2.sav: not a valid save (the sound block counts 11 channels instead of 12)"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("save3.sav: not a valid save"), std::string::npos) << log;
  EXPECT_NE(log.find("save4.sav: there is no such save"), std::string::npos) << log;
}

// The process is killed at a random moment while it saves slot 1 on every frame; each time
// the file is a whole save, the last one written or the one before, and loads.
TEST_F(SaveScenarioTest, AKillWhileSavingLeavesThePreviousSaveWhole) {
  ASSERT_TRUE(Run("60 save 1\n", "--frames 70"));
  std::string loop;
  for (int frame = 60; frame < 20000; ++frame) loop += std::to_string(frame) + " save 1\n";
  std::ofstream(root / "loop.txt") << loop;
  std::mt19937 random(12345);
  const std::string runDir = "XDG_RUNTIME_DIR=" + (root / "run").string();
  const std::string dataDir = "XDG_DATA_HOME=" + (root / "data").string();
  for (int round = 0; round < 8; ++round) {
    std::vector<std::string> args = {ZAN_BINARY, "--headless", "--start", "main.txt", "--input", Path("loop.txt"), "--frames", "20000",
                                      (root / "game").string()};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = {runDir, dataDir, "PATH=/usr/bin:/bin"};
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, ZAN_BINARY, &files, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&files);
    ::usleep(static_cast<useconds_t>(std::uniform_int_distribution<int>(300, 1200)(random)) * 1000);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the run ended before the kill";
    const std::vector<uint8_t> bytes = Save("save1.sav");
    auto save = DecodeSaveFile(bytes);
    ASSERT_TRUE(save) << "round " << round << ": " << save.error().message;
    EXPECT_EQ(save->script, "main.txt") << round;
  }
  // The survivor loads.
  ASSERT_TRUE(Run("5 load 1\n", "--start idle.txt --frames 20")) << zan.Vars();
  EXPECT_TRUE(Has("a=5")) << zan.Vars();
}

}  // namespace
}  // namespace zan
