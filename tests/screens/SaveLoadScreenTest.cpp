// The save and load screen over a stand-in story that writes real save files: the slots'
// files by page and slot, the double click, the questions (overwrite, load, delete; delete
// even with confirmations off), the remembered page and slot clamped, the chosen file for a
// caller other than the story, a load checked before anything closes, damaged files shown
// as empty, a frame narrower than the thumbnail, the page wrap and the slots' blends.

#include "screens/SaveLoadScreen.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScreenRig.h"
#include "ScreenTestGame.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "platform/ReceiverList.h"
#include "platform/VirtualClock.h"
#include "screens/SystemSounds.h"
#include "screens/YesNoDialog.h"
#include "script/Options.h"
#include "script/SaveFile.h"
#include "script/SysFiles.h"
#include "sound/SoundManager.h"
#include "surface/SurfaceFormat.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;

constexpr Rgb kBackground{30, 40, 50};
constexpr Rgb kEmpty{70, 20, 90}, kFrame{220, 200, 10}, kKey{0, 255, 0};
constexpr Rgb kThumbnail{90, 160, 30};  // what the stand-in story saves
constexpr Rgb kLooks[3] = {{200, 0, 0}, {0, 0, 200}, {200, 200, 0}};
// Page p's digit in the button picture: a colour of its own.
Rgb Digit(int32_t p) { return {static_cast<uint8_t>(20 + p * 20), 100, 50}; }

// Items: next, previous, back at the top right; ten delete buttons in a row at y 300; ten
// slot frames of 64 x 48 (smaller than a thumbnail) at y 150, one every 70 pixels.
constexpr int32_t kSlotY = 150, kSlotW = 64, kSlotH = 48, kDeleteY = 300;
int32_t SlotX(int32_t s) { return 5 + s * 70; }
const char* kTable =
    "セーブロード,23\n"
    "項目,メモ,X,Y,幅,高さ,通常X,通常Y,上X,上Y,押下X,押下Y,無効X,無効Y\n"
    "次,,700,10,20,20,0,0,20,0,40,0,0,0\n"
    "前,,650,10,,,,,,,,,,\n"
    "戻る,,750,10,,,,,,,,,,\n"
    "削除1,,10,300,,,,,,,,,,\n"
    "削除2,,80,300,,,,,,,,,,\n"
    "削除3,,150,300,,,,,,,,,,\n"
    "削除4,,220,300,,,,,,,,,,\n"
    "削除5,,290,300,,,,,,,,,,\n"
    "削除6,,360,300,,,,,,,,,,\n"
    "削除7,,430,300,,,,,,,,,,\n"
    "削除8,,500,300,,,,,,,,,,\n"
    "削除9,,570,300,,,,,,,,,,\n"
    "削除10,,640,300,,,,,,,,,,\n"
    "枠1,,5,150,64,48,0,64,0,64,0,64,0,64\n"
    "枠2,,75,150,,,,,,,,,,\n"
    "枠3,,145,150,,,,,,,,,,\n"
    "枠4,,215,150,,,,,,,,,,\n"
    "枠5,,285,150,,,,,,,,,,\n"
    "枠6,,355,150,,,,,,,,,,\n"
    "枠7,,425,150,,,,,,,,,,\n"
    "枠8,,495,150,,,,,,,,,,\n"
    "枠9,,565,150,,,,,,,,,,\n"
    "枠10,,635,150,,,,,,,,,,\n";

// The button picture (600 x 128): the three looks of a 20 x 20 button from (0, 0), the
// page digits from (272, 0), the empty slot at (288, 32), and the frame's look at (0, 64): a
// 4-pixel border around the transparent colour.
std::vector<uint8_t> Sheet() {
  return test::MakeBmp(600, 128, BmpForm::kRgb24, [](int32_t x, int32_t y) {
    if (y < 32 && x >= 272) return Digit((x - 272) / 32);
    if (y < 20 && x < 60) return kLooks[x / 20];
    if (y >= 32 && x >= 288 && x < 288 + 128) return kEmpty;
    if (y >= 64 && x < kSlotW && y < 64 + kSlotH) {
      const bool border = x < 4 || x >= kSlotW - 4 || y < 68 || y >= 64 + kSlotH - 4;
      return border ? kFrame : kKey;
    }
    return Rgb{1, 2, 3};
  });
}

// A story that saves a plain save with a green thumbnail and records its loads.
class StandInStory : public SaveLoadStory {
 public:
  StandInStory(GameData& data, const GameTask& task) : data_(data), task_(task) {}
  const GameTask& StoryTask() const override { return task_; }
  bool SaveGame(std::string_view file) override {
    SaveFile save;
    save.script = "main.txt";
    save.pageText = "page";
    for (size_t i = 0; i < save.thumbnail.size(); i += 3) {
      save.thumbnail[i] = kThumbnail.b;
      save.thumbnail[i + 1] = kThumbnail.g;
      save.thumbnail[i + 2] = kThumbnail.r;
    }
    ++saves;
    return WriteSaveFile(data_, file, EncodeSaveFile(save));
  }
  Status CheckSave(std::string_view file) override {
    ++checks;
    if (refuse) return MakeError("refused by the test");
    const auto bytes = ReadSaveFile(data_, file);
    if (!bytes) return MakeError("missing");
    if (Result<SaveFile> save = DecodeSaveFile(*bytes); !save) return save.error();
    return {};
  }
  bool LoadGame(std::string_view file) override {
    loaded.emplace_back(file);
    return true;
  }

  int saves = 0;
  int checks = 0;
  bool refuse = false;
  std::vector<std::string> loaded;

 private:
  GameData& data_;
  const GameTask& task_;
};

class SaveLoadScreenTest : public test::ScreenRig {
 protected:
  SaveLoadScreenTest()
      : ScreenRig({{testing::GameText("SAVEボタンchip.bmp"), Sheet()},
                   {testing::GameText("LOADボタンchip.BMP"), Sheet()},
                   {"SAVE_BG.bmp", test::FlatBmp(800, 600, BmpForm::kRgb24, kBackground)},
                   {"LOAD_BG.bmp", test::FlatBmp(800, 600, BmpForm::kRgb24, kBackground)}},
                  {{"system5-1.lib", testing::ScrambledLib(kTable)}}, 1000) {}
  void SetUp() override { SetUpFrame(800, 600); }
  void ClickSlot(int32_t s) { Click(SlotX(s) + 10, kSlotY + 10); }
  // One frame after `ms` milliseconds.
  void Frame(uint32_t ms = 33) {
    clock.Advance(ms);
    tasks.RunFrame();
  }
  // Frames until the question shown has faded in (or a few, when none shows).
  void Frames(int n) {
    for (int i = 0; i < n; ++i) Frame();
  }
  bool Open(SaveLoadMode mode, GameTask* by) {
    return screen.Open(mode, by, [this] { ++callbacks; });
  }
  fs::path SaveFolder() const { return game.Dir() / "save"; }
  std::string FileBytes(const std::string& name) const {
    std::ifstream in(SaveFolder() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  void WriteFile(const std::string& name, size_t size) {
    fs::create_directories(SaveFolder());
    std::ofstream(SaveFolder() / name, std::ios::binary) << std::string(size, 'x');
  }

  GameTask story{tasks, "CGameMain", "story"};
  GameTask title{tasks, "CTitle", "title"};
  StandInStory saves{game.Data(), story};
  SaveLoadScreen screen{services, saves, nullptr, nullptr};
  int callbacks = 0;
};

using test::Toward;
Rgb Toward(Rgb c, Rgb to, int a) { return {Toward(c.r, to.r, a), Toward(c.g, to.g, a), Toward(c.b, to.b, a)}; }

TEST_F(SaveLoadScreenTest, SlotsNameTheirFilesByPageAndSlot) {
  EXPECT_EQ(SaveLoadScreen::SlotFile(0, 0), "save0.sav");
  EXPECT_EQ(SaveLoadScreen::SlotFile(1, 6), "save16.sav");
  EXPECT_EQ(SaveLoadScreen::SlotFile(9, 9), "save99.sav");
  EXPECT_EQ(SaveLoadScreen::SlotFile(4, -1), "saveq.sav");
}

TEST_F(SaveLoadScreenTest, TheRememberedPageAndSlotAreClampedToTheScreen) {
  for (const auto& [page, slot, wantPage, wantSlot] :
       {std::tuple{57, -9, 9, -1}, {-3, 12, 0, 9}, {4, 7, 4, 7}, {9, -1, 9, -1}}) {
    options.lastSavePage = page;
    options.lastSaveSlot = slot;
    ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
    EXPECT_EQ(screen.Page(), wantPage) << page;
    EXPECT_EQ(screen.SelectedSlot(), wantSlot) << slot;
    Key(Key::kEscape);
    Frame();
    EXPECT_FALSE(screen.IsRunning());
  }
  EXPECT_EQ(callbacks, 4);
}

TEST_F(SaveLoadScreenTest, ADoubleClickOnAnEmptySlotSavesAtOnceAndRemembersThePlace) {
  options.lastSavePage = 1;
  ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
  Frame(700);
  ClickSlot(6);  // selects
  Frame(100);
  EXPECT_EQ(screen.SelectedSlot(), 6);
  EXPECT_EQ(saves.saves, 0);
  ClickSlot(6);  // 100 ms later: acts
  Frame();
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(saves.saves, 1);
  ASSERT_TRUE(fs::exists(SaveFolder() / "save16.sav"));
  EXPECT_EQ(fs::file_size(SaveFolder() / "save16.sav"), SaveFileSize(0, 0, 0, 0));
  EXPECT_EQ(options.lastSavePage, 1);
  EXPECT_EQ(options.lastSaveSlot, 6);
  EXPECT_TRUE(screen.SlotHoldsSave(6));
  EXPECT_TRUE(screen.IsRunning());  // a save keeps the screen open
  Frame();
  // The thumbnail fills the 64 x 48 frame and no more; the selected slot is tinted blue.
  const Rgb tinted = Toward(kThumbnail, {128, 128, 255}, 128);
  EXPECT_EQ(At(SlotX(6) + 50, kSlotY + 40), Toward(tinted, {255, 255, 255}, 128));  // hovered too
  Event(InputEvent::PointerMove(5, 5));
  Frame();
  EXPECT_EQ(At(SlotX(6) + 50, kSlotY + 40), tinted);
  EXPECT_EQ(At(SlotX(6) + kSlotW + 1, kSlotY + 10), kBackground);
  EXPECT_EQ(At(SlotX(6) + 10, kSlotY + kSlotH + 1), kBackground);
}

TEST_F(SaveLoadScreenTest, TwoClicksFarApartOnlySelect) {
  ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
  for (int round = 0; round < 2; ++round) {
    Frame(700);
    ClickSlot(2);
    Frame(600);
  }
  EXPECT_EQ(screen.SelectedSlot(), 2);
  EXPECT_EQ(saves.saves, 0);
  EXPECT_FALSE(dialog.IsOpen());
  // The remembered selection is acted on by the first click within 500 ms of the opening.
  Key(Key::kEscape);
  Frame();
  options.lastSaveSlot = 3;
  ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
  ClickSlot(3);
  Frame(100);
  EXPECT_EQ(saves.saves, 1);
}

TEST_F(SaveLoadScreenTest, SavingOverASaveAsksAndNoLeavesItAsItWas) {
  ASSERT_TRUE(saves.SaveGame("save4.sav"));
  const std::string before = FileBytes("save4.sav");
  ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
  Frame(700);
  ClickSlot(4);
  Frame(50);
  ClickSlot(4);
  Frame();
  ASSERT_TRUE(dialog.IsOpen());
  // A right click while it asks is the dialog's: the screen stays.
  Event(InputEvent::ButtonDown(PointerButton::kRight, 5, 5));
  Event(InputEvent::ButtonUp(PointerButton::kRight, 5, 5));
  Frames(8);
  Key(Key::kEscape);  // no
  Frames(10);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_TRUE(screen.IsRunning());
  EXPECT_EQ(saves.saves, 1);
  EXPECT_EQ(FileBytes("save4.sav"), before);
  // Asked again and answered yes: saved.
  Frame(700);
  ClickSlot(4);
  Frame(50);
  ClickSlot(4);
  Frames(8);
  Key(Key::kLeft);
  Key(Key::kReturn);
  Frames(10);
  EXPECT_EQ(saves.saves, 2);
}

TEST_F(SaveLoadScreenTest, DeletingAsksEvenWithConfirmationsOff) {
  options.askConfirmation = 0;
  ASSERT_TRUE(saves.SaveGame("save2.sav"));
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &story));
  Click(150 + 5, kDeleteY + 5);  // delete slot 2
  Frame();
  EXPECT_EQ(screen.SelectedSlot(), 2);
  ASSERT_TRUE(dialog.IsOpen());
  EXPECT_TRUE(fs::exists(SaveFolder() / "save2.sav"));
  Frames(8);
  Key(Key::kLeft);
  Key(Key::kReturn);
  Frames(10);
  EXPECT_FALSE(fs::exists(SaveFolder() / "save2.sav"));
  EXPECT_FALSE(screen.SlotHoldsSave(2));
  // An empty slot's delete asks nothing.
  Click(220 + 5, kDeleteY + 5);
  Frame();
  EXPECT_FALSE(dialog.IsOpen());
}

TEST_F(SaveLoadScreenTest, ALoadForTheStoryRestoresItAndCloses) {
  ASSERT_TRUE(saves.SaveGame("save1.sav"));
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &story));
  Frame(700);
  ClickSlot(1);
  Frame(50);
  ClickSlot(1);
  Frames(8);
  ASSERT_TRUE(dialog.IsOpen());
  Key(Key::kLeft);
  Key(Key::kReturn);
  Frames(10);
  EXPECT_EQ(saves.loaded, (std::vector<std::string>{"save1.sav"}));
  EXPECT_FALSE(screen.IsRunning());
  EXPECT_EQ(callbacks, 1);
  EXPECT_FALSE(screen.ChosenFile());  // the story took it
}

TEST_F(SaveLoadScreenTest, AnotherCallerGetsTheChosenFileWhichTheNextOpeningForgets) {
  ASSERT_TRUE(saves.SaveGame("save35.sav"));
  options.lastSavePage = 3;
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &title));
  Frame(700);
  // The keyboard: Enter on a slot selects it, Enter again loads.
  Event(InputEvent::PointerMove(SlotX(5) + 10, kSlotY + 10));
  Key(Key::kReturn);
  Frame();
  EXPECT_EQ(screen.SelectedSlot(), 5);
  EXPECT_FALSE(dialog.IsOpen());
  Frame(2000);
  Key(Key::kReturn);
  Frames(8);
  ASSERT_TRUE(dialog.IsOpen());
  Key(Key::kLeft);
  Key(Key::kReturn);
  Frames(10);
  EXPECT_TRUE(saves.loaded.empty());
  EXPECT_FALSE(screen.IsRunning());
  ASSERT_TRUE(screen.ChosenFile());
  EXPECT_EQ(*screen.ChosenFile(), "save35.sav");
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &title));
  EXPECT_FALSE(screen.ChosenFile());
  Key(Key::kEscape);
  Frame();
  EXPECT_FALSE(screen.ChosenFile());
}

TEST_F(SaveLoadScreenTest, AFileThatIsNoSaveShowsEmptyAndIsNeverLoaded) {
  WriteFile("save0.sav", 100);
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &story));
  EXPECT_FALSE(screen.SlotHoldsSave(0));
  Event(InputEvent::PointerMove(5, 5));
  Frame(700);
  // The empty-slot picture and the frame's look over it.
  EXPECT_EQ(At(SlotX(0) + 20, kSlotY + 20), Toward(kEmpty, {128, 128, 255}, 128));  // selected
  EXPECT_EQ(At(SlotX(0) + 1, kSlotY + 1), Toward(kFrame, {128, 128, 255}, 128));
  EXPECT_EQ(At(SlotX(1) + 20, kSlotY + 20), kEmpty);
  ClickSlot(0);
  Frame(50);
  ClickSlot(0);
  Frames(3);
  EXPECT_FALSE(dialog.IsOpen());
  EXPECT_EQ(saves.checks, 0);
  EXPECT_TRUE(saves.loaded.empty());
  // It still counts as there: deleting it asks.
  Click(10 + 5, kDeleteY + 5);
  Frame();
  EXPECT_TRUE(dialog.IsOpen());
}

TEST_F(SaveLoadScreenTest, ALoadThatCannotBeMadeLeavesTheScreenOpenAndSaysSo) {
  ASSERT_TRUE(saves.SaveGame("save7.sav"));
  options.askConfirmation = 0;
  saves.refuse = true;
  ASSERT_TRUE(Open(SaveLoadMode::kLoad, &story));
  Frame(700);
  ClickSlot(7);
  Frame(50);
  ClickSlot(7);
  Frame();
  EXPECT_EQ(saves.checks, 1);
  EXPECT_TRUE(saves.loaded.empty());
  EXPECT_TRUE(screen.IsRunning());
  EXPECT_EQ(callbacks, 0);
  EXPECT_FALSE(screen.Notice().empty());
  EXPECT_TRUE(fs::exists(SaveFolder() / "save7.sav"));
}

TEST_F(SaveLoadScreenTest, ThePagesWrapAndThePageNumberFollows) {
  ASSERT_TRUE(Open(SaveLoadMode::kSave, &story));
  Event(InputEvent::PointerMove(5, 5));
  Frame();
  EXPECT_EQ(At(557 + 10, 28 + 10), Digit(0));
  EXPECT_EQ(At(557 + 32, 28 + 10), kBackground);
  Click(655, 15);  // previous
  Frame();
  EXPECT_EQ(screen.Page(), 9);
  Event(InputEvent::PointerMove(5, 5));
  Frame();
  EXPECT_EQ(At(557 + 10, 28 + 10), Digit(9));
  Click(705, 15);  // next
  Frame();
  EXPECT_EQ(screen.Page(), 0);
  // The buttons show their looks: next hovered, previous normal.
  Frame();
  EXPECT_EQ(At(705, 15), kLooks[1]);
  EXPECT_EQ(At(655, 15), kLooks[0]);
  Click(755, 15);  // back
  Frame();
  EXPECT_FALSE(screen.IsRunning());
  EXPECT_EQ(callbacks, 1);
}

}  // namespace
}  // namespace zan
