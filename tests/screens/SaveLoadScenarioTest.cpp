// The save and load screen end to end, played by the real `zan` binary headless on a
// fixture game: input actions 9 and 10 open it over the story, clicks at the slots' places
// save, ask, load and delete, the files land in the game's save folder, and the story goes
// on (or is restored) when the screen closes; a game without the screen's table still opens
// it, with nothing to hit.
//
// The story counts the clicks that reach it: it waits for a click, adds one to `clicks`, and
// waits again. Its first element runs in frame 23, after a new game's 1000 ms cross. The
// screen crosses in over 500 ms (about 15 frames) and back out as long.
//
// Page p, slot s (both counted from 0) is the file save<p x 10 + s>.sav: the second page's
// seventh slot (page 1, slot 6) is "save16.sav".

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;

constexpr Rgb kStory{200, 160, 80}, kSaveBg{20, 30, 90}, kLoadBg{20, 90, 30};
constexpr Rgb kSavePanel{120, 40, 160}, kLoadPanel{160, 120, 40}, kDeletePanel{40, 160, 120};
constexpr Rgb kEmpty{70, 70, 70}, kChip{150, 150, 150};

// The slots of the demo's layout: two rows of five 128 x 96 frames; delete buttons under
// them; next page at (597, 28), 40 x 32.
int SlotX(int s) { return 32 + s % 5 * 152; }
int SlotY(int s) { return s < 5 ? 92 : 246; }
std::string AtSlot(int s) { return std::to_string(SlotX(s) + 64) + " " + std::to_string(SlotY(s) + 48); }
std::string AtDelete(int s) { return std::to_string(SlotX(s) + 100) + " " + std::to_string(SlotY(s) + 110); }
const std::string kNextPage = "617 44";

std::string Table() {
  std::string t =
      "セーブロード画面,23\n"
      "項目,メモ,X,Y,幅,高さ,通常X,通常Y,上X,上Y,押下X,押下Y,無効X,無効Y\n"
      "次,,597,28,40,32,0,0,0,0,0,0,0,0\n"
      "前,,509,28,40,32,0,0,0,0,0,0,0,0\n"
      "戻る,,672,376,96,32,0,0,0,0,0,0,0,0\n";
  for (int s = 0; s < 10; ++s)
    t += "削除,," + std::to_string(SlotX(s) + 72) + "," + std::to_string(SlotY(s) + 100) + ",56,20,0,0,0,0,0,0,0,0\n";
  for (int s = 0; s < 10; ++s)
    t += "枠,," + std::to_string(SlotX(s)) + "," + std::to_string(SlotY(s)) + ",128,96,0,128,0,128,0,128,0,128\n";
  return t;
}

// The title's menu: new game at (600, 440) and load at (600, 500), 160 x 40; no other button.
constexpr Rgb kTitleBg{90, 20, 20};
const std::string kTitleLoad = "680 520";
std::string TitleTable() {
  std::string t = "タイトル,10\n見出し\n";
  t += "はじめから,,600,440,160,40,0,0,160,0,320,0,480,0\n";
  t += "つづきから,,600,500,160,40,0,40,160,40,320,40,480,40\n";
  for (int k = 3; k <= 10; ++k) t += "なし,,0,0,0,0,0,0,0,0,0,0,0,0\n";
  return t;
}

const char* kScript = R"(<ImageLoad 0, bg.bmp, 0, 0>
[again]
<KW>
<Inc clicks>
<If again, clicks<1000>
)";

// The script opens the save screen before its first page.
const char* kSaveRunScript = R"(<ImageLoad 0, bg.bmp, 0, 0>
<SaveRun>
[again]
<KW>
<Inc clicks>
<If again, clicks<1000>
)";

class SaveLoadScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_saveload_scenario_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "game");
    WriteGame(root / "game");
  }
  void TearDown() override {
    if (!getenv("ZAN_KEEP")) fs::remove_all(root);
  }

  // `withTable` false: the game has no system5-1.lib.
  static void WriteGame(const fs::path& dir, bool withTable = true) {
    // The button picture: the empty slot at (288, 32), the frame's look at (0, 128) in the
    // transparent colour (so the empty slot shows through it), the rest grey.
    const auto chip = test::MakeBmp(600, 224, BmpForm::kRgb24, [](int32_t x, int32_t y) {
      if (y >= 32 && y < 128 && x >= 288 && x < 416) return kEmpty;
      if (y >= 128) return Rgb{0, 255, 0};
      return kChip;
    });
    const auto panel = [](Rgb c) {
      return test::MakeBmp(240, 160, BmpForm::kRgb24, [c](int32_t, int32_t) { return c; });
    };
    testing::WriteBytes(
        (dir / "gra.arc").string(),
        testing::WriteTestArchive({{"bg.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kStory)},
                                   {"SAVE_BG.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kSaveBg)},
                                   {"LOAD_BG.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kLoadBg)},
                                   {testing::GameText("SAVEボタンchip.bmp"), chip},
                                   {testing::GameText("LOADボタンchip.BMP"), chip},
                                   {"Save_dialog.bmp", panel(kSavePanel)},
                                   {"Load_dialog.bmp", panel(kLoadPanel)},
                                   {"delete_dialog.bmp", panel(kDeletePanel)},
                                   {"dialog_button.bmp", FlatBmp(192, 64, BmpForm::kRgb24, {10, 10, 10})},
                                   {"TITLE_BG.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kTitleBg)},
                                   {"TITLE_chip.bmp", FlatBmp(640, 400, BmpForm::kRgb24, kChip)}},
                                  "Rod7Q", true));
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", testing::GameBytes(kScript)},
                                                   {"saverun.txt", testing::GameBytes(kSaveRunScript)}},
                                                  "Rod7Q", true));
    testing::WriteBytes(
        (dir / "dat.arc").string(),
        testing::WriteTestArchive({{"variable.csv", testing::GameBytes("種類,名前,初期値,最小,最大\nINT,clicks,0,0,1000\n")}},
                                  "Rod7Q", true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    // The left button is the click (決定); the right button the right-click action (取消).
    const std::string keys = "入力,動作\n0 ホイール上,\n1,\n2 左ボタン,決定\n3 右ボタン,取消\n";
    std::vector<testing::TestEntry> definitions = {{"system2.lib", testing::ScrambledLib(keys)},
                                                   {"system4.lib", testing::ScrambledLib(TitleTable())}};
    if (withTable) definitions.push_back({"system5-1.lib", testing::ScrambledLib(Table())});
    testing::WriteBytes((dir / "system.arc").string(), testing::WriteTestArchive(definitions, "plume", true));
  }

  // Runs zan with a timeline: the story starts at once (at main.txt unless the arguments
  // name another script).
  bool Run(const std::string& timeline, const std::string& args) {
    std::ofstream(root / "input.txt") << timeline;
    return testing::ZanRun(ZAN_BINARY, root).Run("--input " + Path("input.txt") + " " + args);
  }
  // The same with the game opening its title.
  bool RunFromTheTitle(const std::string& timeline, const std::string& args) {
    std::ofstream(root / "input.txt") << timeline;
    return testing::ZanRun(ZAN_BINARY, root).RunFromTheTitle("--input " + Path("input.txt") + " " + args);
  }
  std::string Vars() { return testing::ZanRun(ZAN_BINARY, root).Vars(); }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  std::string Shot(int frame, const std::string& name) const {
    return " --screenshot " + std::to_string(frame) + ":" + Path(name);
  }
  Rgb At(const std::string& shot, int x, int y) {
    const test::Screenshot s = test::Screenshot::Read(Path(shot));
    EXPECT_EQ(s.width, 800) << shot;
    return s.width == 800 ? s.At(x, y) : Rgb{};
  }
  fs::path Save(const std::string& name) const { return root / "game" / "save" / name; }
  std::string Bytes(const fs::path& file) const {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The story's clicks counted at exit.
  std::string Clicks() {
    const std::string vars = Vars();
    const size_t at = vars.find("clicks=");
    return at == std::string::npos ? "" : vars.substr(at + 7, vars.find('\n', at) - at - 7);
  }

  // Action 9 at frame 40, the next page at 60, the seventh slot clicked twice (70, 74).
  static std::string SaveToSecondPageSeventhSlot() {
    return "40 action 9\n60 click " + kNextPage + "\n70 click " + AtSlot(6) + "\n74 click " + AtSlot(6) + "\n";
  }

  fs::path root;
};

// A slot that is selected and under the pointer: tinted toward (128, 128, 255) by 128 / 255,
// then toward white by as much.
uint8_t Toward(uint8_t x, uint8_t y) { return static_cast<uint8_t>(x - 128 * x / 255 + 128 * y / 255); }
Rgb Twice(Rgb c) {
  const Rgb selected{Toward(c.r, 128), Toward(c.g, 128), Toward(c.b, 255)};
  return {Toward(selected.r, 255), Toward(selected.g, 255), Toward(selected.b, 255)};
}

// A save of the fixture: 10 image slots, 5 zoom windows, one integer variable.
constexpr uintmax_t kSaveSize = 36864 + 36 + 400 + 32 + 64 + 4 + 4 + 8 + 3604 + 868 + 1436 + 4 + 4 * 21260 +
                                4 + 10 * 836 + 4 + 5 * 328 + 4 + 12 * 64 + 60 + 8 + 48 + 4 + 4 + 72;

TEST_F(SaveLoadScenarioTest, SavingToAnEmptySlotWritesItsFileWithoutAQuestion) {
  ASSERT_TRUE(Run(SaveToSecondPageSeventhSlot() + "100 key Escape\n140 click 400 300\n",
                  "--frames 170" + Shot(39, "story.png") + Shot(80, "saved.png") + Shot(135, "back.png")));
  ASSERT_TRUE(fs::exists(Save("save16.sav")));
  EXPECT_EQ(fs::file_size(Save("save16.sav")), kSaveSize);
  EXPECT_EQ(At("story.png", 5, 5), kStory);
  EXPECT_EQ(At("saved.png", 5, 5), kSaveBg);         // the screen, no darkening: no question
  EXPECT_EQ(At("saved.png", 400, 150), kEmpty);      // an empty slot
  EXPECT_NE(At("saved.png", SlotX(6) + 20, SlotY(6) + 20), Twice(kEmpty));  // the thumbnail
  EXPECT_EQ(At("back.png", 5, 5), kStory);           // closed by Escape
  EXPECT_EQ(Clicks(), "1");  // only the click after it reached the story
}

TEST_F(SaveLoadScenarioTest, SavingOverASaveAsksAndNoLeavesTheFileAsItWas) {
  ASSERT_TRUE(Run(SaveToSecondPageSeventhSlot(), "--frames 90"));
  ASSERT_TRUE(fs::exists(Save("save16.sav")));
  const std::string before = Bytes(Save("save16.sav"));
  // Again, asked this time: the screen opens at the page remembered from the last save; a
  // right click while it asks does not close the screen; Escape answers no; the screen stays
  // until Escape again.
  ASSERT_TRUE(Run("40 action 9\n70 click " + AtSlot(6) + "\n74 click " + AtSlot(6) + "\n90 rclick 10 10\n100 key Escape\n130 key Escape\n",
                  "--frames 170" + Shot(95, "asked.png") + Shot(125, "answered.png") + Shot(165, "closed.png")));
  EXPECT_EQ(At("asked.png", 400, 250), kSavePanel);
  EXPECT_NE(At("asked.png", 5, 5), kSaveBg);  // darkened behind the question
  EXPECT_EQ(At("answered.png", 5, 5), kSaveBg);
  EXPECT_EQ(At("closed.png", 5, 5), kStory);
  EXPECT_EQ(Bytes(Save("save16.sav")), before);
}

TEST_F(SaveLoadScenarioTest, TwoClicksTwentyFramesApartOnlySelect) {
  ASSERT_TRUE(Run("40 action 9\n70 click " + AtSlot(3) + "\n90 click " + AtSlot(3) + "\n",
                  "--frames 120" + Shot(110, "selected.png")));
  EXPECT_FALSE(fs::exists(Save("save3.sav")));
  EXPECT_EQ(At("selected.png", 5, 5), kSaveBg);  // no question
  EXPECT_EQ(At("selected.png", SlotX(3) + 20, SlotY(3) + 20), Twice(kEmpty));
}

TEST_F(SaveLoadScenarioTest, DeleteAndYesRemovesTheFile) {
  ASSERT_TRUE(Run(SaveToSecondPageSeventhSlot(), "--frames 90"));
  ASSERT_TRUE(fs::exists(Save("save16.sav")));
  // The load screen opens at the page remembered from the save.
  ASSERT_TRUE(Run("40 action 10\n70 click " + AtDelete(6) + "\n90 key Left\n94 key Return\n",
                  "--frames 120" + Shot(88, "asked.png")));
  EXPECT_EQ(At("asked.png", 400, 250), kDeletePanel);
  EXPECT_FALSE(fs::exists(Save("save16.sav")));
}

TEST_F(SaveLoadScenarioTest, ALoadRestoresTheGame) {
  // Two clicks counted, saved in the first slot; two more; then the load screen brings the
  // count back to 2, and the click after it counts from there.
  ASSERT_TRUE(Run("30 click 400 300\n36 click 400 300\n40 action 9\n70 click " + AtSlot(0) + "\n74 click " +
                      AtSlot(0) + "\n100 key Escape\n140 click 400 300\n150 click 400 300\n"
                      "170 action 10\n200 click " + AtSlot(0) + "\n204 click " + AtSlot(0) +
                      "\n220 key Left\n224 key Return\n290 click 400 300\n",
                  "--frames 320" + Shot(165, "before.png") + Shot(215, "asked.png") + Shot(280, "after.png")));
  EXPECT_EQ(At("before.png", 5, 5), kStory);
  EXPECT_EQ(At("asked.png", 400, 250), kLoadPanel);
  EXPECT_EQ(At("after.png", 5, 5), kStory);
  EXPECT_EQ(Clicks(), "3");
}

TEST_F(SaveLoadScenarioTest, SaveRunOpensTheSaveScreenAndItsSaveIsMarked) {
  ASSERT_TRUE(Run("70 click " + AtSlot(0) + "\n74 click " + AtSlot(0) + "\n100 key Escape\n140 click 400 300\n",
                  "--start saverun.txt --frames 170" + Shot(60, "open.png")));
  EXPECT_EQ(At("open.png", 5, 5), kSaveBg);
  ASSERT_TRUE(fs::exists(Save("save0.sav")));
  const std::string bytes = Bytes(Save("save0.sav"));
  ASSERT_EQ(bytes.size(), kSaveSize);
  // The flag "opened by SaveRun" is the word before the movie's 72 bytes, little-endian.
  EXPECT_EQ(bytes.substr(bytes.size() - 76, 4), std::string("\x01\0\0\0", 4));
  EXPECT_EQ(Clicks(), "1");  // the story went on after the screen closed
}

TEST_F(SaveLoadScenarioTest, TheRightButtonOpensTheSaveScreenWhenTheSettingSaysSo) {
  ASSERT_TRUE(Run("", "--frames 5"));
  // The options block lies before the 126 bytes of gallery flags at the end of option.dat;
  // the right button's action is its int32 at offset 28 (2: the save screen).
  const fs::path option = root / "game" / "sys" / "option.dat";
  std::string bytes = Bytes(option);
  ASSERT_GT(bytes.size(), 176u + 126u);
  const size_t at = bytes.size() - 126 - 176 + 28;
  ASSERT_EQ(bytes.substr(at, 4), std::string("\x01\0\0\0", 4));  // hide the window, by default
  bytes[at] = 2;
  std::ofstream(option, std::ios::binary | std::ios::trunc) << bytes;
  // The right click that opens the screen does not close it; the next one does.
  ASSERT_TRUE(Run("40 rclick 400 300\n90 rclick 400 300\n140 click 400 300\n",
                  "--frames 170" + Shot(80, "open.png") + Shot(130, "closed.png")));
  EXPECT_EQ(At("open.png", 5, 5), kSaveBg);
  EXPECT_EQ(At("closed.png", 5, 5), kStory);
  EXPECT_EQ(Clicks(), "1");
}

TEST_F(SaveLoadScenarioTest, ReturningToTheTitleClosesTheScreen) {
  // Counted once, then the save screen; the return to the title (answered yes) ends the
  // story under it and the title's opening begins, the save screen gone.
  ASSERT_TRUE(Run("30 click 400 300\n40 action 9\n70 action 19\n90 key Left\n94 key Return\n",
                  "--frames 140" + Shot(130, "title.png")));
  EXPECT_EQ(At("title.png", 5, 5), (Rgb{0, 0, 0}));  // the title's opening: its first warning is missing
}

TEST_F(SaveLoadScenarioTest, ALoadFromTheTitleRestoresTheGame) {
  // Two clicks counted, then saved in the first slot.
  ASSERT_TRUE(Run("30 click 400 300\n36 click 400 300\n40 action 9\n70 click " + AtSlot(0) + "\n74 click " +
                      AtSlot(0) + "\n",
                  "--frames 90"));
  ASSERT_TRUE(fs::exists(Save("save0.sav")));
  // The title: a click skips its opening, its load button opens the load screen, a double
  // click on the slot and yes choose the file, and the story starts from it: the count goes
  // on from 2. The restored scene crosses in over 1000 ms, as a new game's does: the load
  // screen and its question are gone by frame 105, so frame 112 is early in the cross and
  // frame 140 more than 1000 ms after it began.
  ASSERT_TRUE(RunFromTheTitle("10 click 100 100\n30 click " + kTitleLoad + "\n70 click " + AtSlot(0) + "\n74 click " + AtSlot(0) +
                      "\n90 key Left\n94 key Return\n200 click 400 300\n",
                  "--frames 230" + Shot(25, "title.png") + Shot(60, "load.png") + Shot(112, "crossing.png") +
                      Shot(140, "crossed.png") + Shot(190, "story.png")));
  EXPECT_EQ(At("title.png", 5, 5), kTitleBg);
  EXPECT_EQ(At("load.png", 5, 5), kLoadBg);
  // Mid-cross every channel lies strictly between the title's and the scene's, all three at
  // the same level of the mix: (c - title) / (scene - title).
  const Rgb mid = At("crossing.png", 5, 5);
  const double levels[] = {(mid.r - kTitleBg.r) / double(kStory.r - kTitleBg.r),
                           (mid.g - kTitleBg.g) / double(kStory.g - kTitleBg.g),
                           (mid.b - kTitleBg.b) / double(kStory.b - kTitleBg.b)};
  for (double level : levels) {
    EXPECT_GT(level, 0.0) << int(mid.r) << "," << int(mid.g) << "," << int(mid.b);
    EXPECT_LT(level, 1.0) << int(mid.r) << "," << int(mid.g) << "," << int(mid.b);
    EXPECT_NEAR(level, levels[0], 0.04);
  }
  EXPECT_EQ(At("crossed.png", 5, 5), kStory);
  EXPECT_EQ(At("crossed.png", 400, 300), kStory);
  EXPECT_EQ(At("story.png", 5, 5), kStory);
  EXPECT_EQ(Clicks(), "3");
}

TEST_F(SaveLoadScenarioTest, CancellingTheLoadScreenReturnsToTheTitle) {
  ASSERT_TRUE(Run("30 click 400 300\n40 action 9\n70 click " + AtSlot(0) + "\n74 click " + AtSlot(0) + "\n",
                  "--frames 90"));
  ASSERT_TRUE(RunFromTheTitle("10 click 100 100\n30 click " + kTitleLoad + "\n70 rclick 10 10\n",
                  "--frames 120" + Shot(60, "load.png") + Shot(110, "title.png")));
  EXPECT_EQ(At("load.png", 5, 5), kLoadBg);
  EXPECT_EQ(At("title.png", 5, 5), kTitleBg);
  EXPECT_EQ(Clicks(), "0");  // no story started
}

TEST_F(SaveLoadScenarioTest, ADamagedSaveIsNotLoadedAndTheStoryGoesOn) {
  fs::create_directories(root / "game" / "save");
  std::ofstream(Save("save0.sav"), std::ios::binary) << std::string(1000, '\x01');
  ASSERT_TRUE(Run("30 click 400 300\n40 action 10\n70 click " + AtSlot(0) + "\n74 click " + AtSlot(0) +
                      "\n100 key Escape\n140 click 400 300\n",
                  "--frames 170" + Shot(90, "shown.png")));
  EXPECT_EQ(At("shown.png", 5, 5), kLoadBg);  // no question
  EXPECT_EQ(At("shown.png", SlotX(0) + 20, SlotY(0) + 20), Twice(kEmpty));  // shown as an empty slot
  EXPECT_EQ(Clicks(), "2");
  EXPECT_TRUE(fs::exists(Save("save0.sav")));
}

TEST_F(SaveLoadScenarioTest, WithoutItsTableTheScreenOpensWithNothingToHitAndARightClickClosesIt) {
  WriteGame(root / "game", /*withTable=*/false);
  // Counted once; the load screen opens; clicks where the first slot, its delete button and
  // the next page would be do nothing (no question, no page turned); a right click closes
  // it and the story counts the click after it. Then the save screen: a double click where
  // the first slot would be writes nothing, and Escape closes it.
  ASSERT_TRUE(Run("30 click 400 300\n40 action 10\n70 click " + AtSlot(0) + "\n74 click " + AtSlot(0) + "\n78 click " +
                      AtDelete(0) + "\n82 click " + kNextPage + "\n100 rclick 400 300\n140 click 400 300\n"
                      "150 action 9\n180 click " + AtSlot(0) + "\n184 click " + AtSlot(0) + "\n200 key Escape\n"
                      "240 click 400 300\n",
                  "--frames 260" + Shot(90, "load.png") + Shot(130, "closed.png") + Shot(190, "save.png") +
                      Shot(230, "again.png")));
  // No frame is placed: neither a thumbnail nor the empty-slot picture shows, at the origin
  // or at a slot's place.
  for (const std::string shot : {"load.png", "save.png"}) {
    const Rgb background = shot == "load.png" ? kLoadBg : kSaveBg;
    EXPECT_EQ(At(shot, 5, 5), background) << shot;
    EXPECT_EQ(At(shot, SlotX(0) + 20, SlotY(0) + 20), background) << shot;
    EXPECT_EQ(At(shot, 400, 250), background) << shot;  // no question
  }
  EXPECT_EQ(At("closed.png", 5, 5), kStory);
  EXPECT_EQ(At("again.png", 5, 5), kStory);
  EXPECT_FALSE(fs::exists(Save("save0.sav")));
  EXPECT_EQ(Clicks(), "3");
}

}  // namespace
}  // namespace zan
