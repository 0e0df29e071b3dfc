// The quit and title questions end to end, played by the real `zan` binary headless: the
// close box (a timeline "close") and input action 19 show their panels at (280, 184) over
// the darkened screen; Escape closes them and play goes on; yes (Left + Enter, or a click on
// its button) quits in order, or starts the story again; a click outside the panel changes
// nothing and the click that answers never reaches the story; with confirmations off in the
// options block the close box quits without a panel.
//
// The story counts the clicks that reach it: it waits for a click, adds one to `clicks`,
// and waits again.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "../surface/TestPng.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "base/ShiftJis.h"
#include "platform/Files.h"
#include "script/Options.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;

constexpr Rgb kBackground{200, 160, 80};
constexpr Rgb kQuitPanel{40, 60, 120}, kTitlePanel{120, 40, 60};
constexpr Rgb kYesNormal{10, 90, 30}, kNoNormal{90, 10, 30}, kYesHover{250, 240, 200}, kNoHover{200, 240, 250};
constexpr Rgb kKey{0, 255, 0};

// Where the parts are on the screen: the panel (240 x 160), and a point inside each button
// (96 x 32 at (15, 101) and (131, 101) of the panel).
constexpr int kPanelX = 280, kPanelY = 184;
constexpr int kYesX = kPanelX + 15 + 40, kNoX = kPanelX + 131 + 40, kButtonY = kPanelY + 101 + 16;

const char* kScript = R"(<ImageLoad 0, bg.bmp, 0, 0>
[again]
<KW>
<Inc clicks>
<If again, clicks<1000>
)";

// A panel in one colour whose top-left pixel is the transparent colour.
std::vector<uint8_t> Panel(Rgb colour) {
  return test::MakeBmp(240, 160, BmpForm::kRgb24,
                       [colour](int32_t x, int32_t y) { return x == 0 && y == 0 ? kKey : colour; });
}

using test::Toward;
// The screen behind a fully shown dialog: toward black by 255 / 4.
Rgb Darkened(Rgb c) { return {Toward(c.r, 0, 63), Toward(c.g, 0, 63), Toward(c.b, 0, 63)}; }

class QuitScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_quit_scenario_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "game");
    WriteGame(root / "game");
  }
  void TearDown() override { fs::remove_all(root); }

  static void WriteGame(const fs::path& dir) {
    // The buttons' picture: hovered looks on top, yes on the left.
    const auto buttons = test::MakeBmp(192, 64, BmpForm::kRgb24, [](int32_t x, int32_t y) {
      if (y < 32) return x < 96 ? kYesHover : kNoHover;
      return x < 96 ? kYesNormal : kNoNormal;
    });
    testing::WriteBytes((dir / "gra.arc").string(),
                        testing::WriteTestArchive({{"bg.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kBackground)},
                                                   {"QUIT_dialog.bmp", Panel(kQuitPanel)},
                                                   {"TITLEreturn_dialog.bmp", Panel(kTitlePanel)},
                                                   {"dialog_button.bmp", buttons}},
                                                  "Rod7Q", true));
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", testing::GameBytes(kScript)}}, "Rod7Q", true));
    testing::WriteBytes(
        (dir / "dat.arc").string(),
        testing::WriteTestArchive({{"variable.csv", testing::GameBytes("種類,名前,初期値,最小,最大\nINT,clicks,0,0,1000\n")}},
                                  "Rod7Q", true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    // The key configuration: the left button is 決定 (the click). A .lib file is stored with
    // every byte raised by the first byte of its key.
    std::vector<uint8_t> keys = testing::GameBytes("入力,動作\n0 ホイール上,\n1,\n2 左ボタン,決定\n");
    for (uint8_t& b : keys) b = static_cast<uint8_t>(b + static_cast<uint8_t>(Sjis("ぬらり")[0]));
    testing::WriteBytes((dir / "system.arc").string(), testing::WriteTestArchive({{"system2.lib", keys}}, "plume", true));
  }

  // Runs zan on the game with a timeline; true when it ended normally.
  bool Run(const std::string& timeline, const std::string& args) {
    std::ofstream(root / "input.txt") << timeline;
    return testing::ZanRun(ZAN_BINARY, root).Run("--input " + Path("input.txt") + " " + args);
  }
  std::string Vars() { return testing::ZanRun(ZAN_BINARY, root).Vars(); }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  std::string Shot(int frame, const std::string& name) const {
    return " --screenshot " + std::to_string(frame) + ":" + Path(name);
  }
  test::Screenshot Load(const std::string& name) {
    test::Screenshot s = test::Screenshot::Read(Path(name));
    EXPECT_EQ(s.width, 800) << name;
    return s;
  }
  // The settings file the game writes, wherever its state folder is; empty when none.
  fs::path OptionFile() const {
    for (const auto& entry : fs::recursive_directory_iterator(root))
      if (entry.path().filename() == "option.dat") return entry.path();
    return {};
  }

  // The panel of `colour` at its place over the darkened screen, the buttons in the looks
  // given.
  void ExpectPanel(const std::string& name, Rgb colour, Rgb yes, Rgb no) {
    const test::Screenshot s = Load(name);
    if (s.width != 800) return;
    const Rgb behind = Darkened(kBackground);
    EXPECT_EQ(s.At(10, 10), behind) << name;
    EXPECT_EQ(s.At(kPanelX + 1, kPanelY), colour) << name;
    EXPECT_EQ(s.At(kPanelX, kPanelY + 1), colour) << name;
    EXPECT_EQ(s.At(kPanelX + 239, kPanelY + 159), colour) << name;
    EXPECT_EQ(s.At(kPanelX, kPanelY), behind) << name;  // the transparent colour
    EXPECT_EQ(s.At(kPanelX - 1, kPanelY + 50), behind) << name;
    EXPECT_EQ(s.At(kPanelX + 240, kPanelY + 50), behind) << name;
    EXPECT_EQ(s.At(kPanelX + 50, kPanelY + 160), behind) << name;
    EXPECT_EQ(s.At(kYesX, kButtonY), yes) << name;
    EXPECT_EQ(s.At(kNoX, kButtonY), no) << name;
  }
  void ExpectNoPanel(const std::string& name) {
    const test::Screenshot s = Load(name);
    if (s.width != 800) return;
    for (const auto& [x, y] : {std::pair{10, 10}, {kPanelX + 1, kPanelY}, {kYesX, kButtonY}, {kNoX, kButtonY}})
      EXPECT_EQ(s.At(x, y), kBackground) << name << " at " << x << "," << y;
  }

  fs::path root;
};

TEST_F(QuitScenarioTest, TheCloseBoxAsksEscapeClosesAndPlayGoesOn) {
  // The story's first element runs in frame 23, after a new game's 1000 ms cross; its
  // background shows from the screenshot after frame 24. Asked at 43, fully shown from 49; a
  // click beside the panel at 53; Escape at 83 (its release at 84) and the fade-out; then a
  // click the story counts.
  ASSERT_TRUE(Run("43 close\n53 click 100 100\n83 key Escape\n123 click 400 300\n",
                  "--frames 173" + Shot(42, "before.png") + Shot(63, "asked.png") + Shot(113, "after.png")));
  ExpectNoPanel("before.png");
  ExpectPanel("asked.png", kQuitPanel, kYesNormal, kNoNormal);
  ExpectNoPanel("after.png");
  EXPECT_NE(Vars().find("clicks=1\n"), std::string::npos) << Vars();  // the click beside the panel never counted
  EXPECT_TRUE(fs::exists(Path("after.png")));
}

TEST_F(QuitScenarioTest, LeftAndEnterQuitInOrderAndTheSettingsAreWritten) {
  ASSERT_TRUE(Run("20 close\n40 key Left\n50 key Return\n",
                  "--frames 300" + Shot(45, "yes.png") + Shot(100, "late.png")));
  ExpectPanel("yes.png", kQuitPanel, kYesHover, kNoNormal);
  // The loop ended once the panel had faded out (six frames after the release at 51), long
  // before the frame limit; the settings were written as the game shut down.
  EXPECT_FALSE(fs::exists(Path("late.png")));
  const fs::path option = OptionFile();
  ASSERT_FALSE(option.empty());
  EXPECT_GT(fs::file_size(option), OptionsBlock::kSize);
  EXPECT_NE(Vars().find("clicks=0\n"), std::string::npos) << Vars();
}

TEST_F(QuitScenarioTest, AClickOnYesQuitsAndNeverReachesTheStory) {
  ASSERT_TRUE(Run("20 close\n40 click " + std::to_string(kYesX) + " " + std::to_string(kButtonY) + "\n",
                  "--frames 300" + Shot(100, "late.png")));
  EXPECT_FALSE(fs::exists(Path("late.png")));
  EXPECT_NE(Vars().find("clicks=0\n"), std::string::npos) << Vars();
}

TEST_F(QuitScenarioTest, ANoAnswerByClickOrByRightAndEnterLeavesThePlayGoing) {
  ASSERT_TRUE(Run("20 close\n40 click " + std::to_string(kNoX) + " " + std::to_string(kButtonY) +
                      "\n60 close\n80 key Right\n90 key Return\n120 click 400 300\n",
                  "--frames 150" + Shot(85, "no.png") + Shot(140, "after.png")));
  ExpectPanel("no.png", kQuitPanel, kYesNormal, kNoHover);
  ExpectNoPanel("after.png");
  EXPECT_NE(Vars().find("clicks=1\n"), std::string::npos) << Vars();
}

TEST_F(QuitScenarioTest, Action19AsksToReturnToTheTitleAndYesOpensTheTitle) {
  // Asked and refused with Escape; a click counted; asked again and answered yes: the story
  // ends and the title opens (this game has none of its pictures: black). Its clicks count
  // nothing, and action 19 asks nothing while no story runs.
  ASSERT_TRUE(Run("20 action 19\n30 click 100 100\n50 key Escape\n70 click 400 300\n"
                  "100 action 19\n120 key Left\n130 key Return\n200 click 400 300\n210 action 19\n",
                  "--frames 250" + Shot(40, "asked.png") + Shot(90, "refused.png") + Shot(190, "title.png") +
                      Shot(230, "not_asked.png")));
  ExpectPanel("asked.png", kTitlePanel, kYesNormal, kNoNormal);
  ExpectNoPanel("refused.png");
  for (const char* name : {"title.png", "not_asked.png"}) {
    const test::Screenshot s = Load(name);
    if (s.width != 800) continue;
    for (const auto& [x, y] : {std::pair{10, 10}, {kPanelX + 1, kPanelY}, {kYesX, kButtonY}, {400, 300}})
      EXPECT_EQ(s.At(x, y), (Rgb{0, 0, 0})) << name << " at " << x << "," << y;
  }
  EXPECT_NE(Vars().find("clicks=1\n"), std::string::npos) << Vars();
}

TEST_F(QuitScenarioTest, WithConfirmationsOffTheCloseBoxQuitsWithoutAPanel) {
  ASSERT_TRUE(Run("", "--frames 5"));
  const fs::path option = OptionFile();
  ASSERT_FALSE(option.empty());
  // The options block lies before the 126 bytes of gallery flags at the end of the file;
  // "ask for confirmation" is its int32 at offset 104.
  auto bytes = ReadWholeFile(option.string());
  ASSERT_TRUE(bytes);
  ASSERT_GT(bytes->size(), OptionsBlock::kSize + 126);
  const size_t at = bytes->size() - 126 - OptionsBlock::kSize + 104;
  ASSERT_EQ((*bytes)[at], 1);  // on by default
  for (size_t i = 0; i < 4; ++i) (*bytes)[at + i] = 0;
  ASSERT_TRUE(WriteFileAtomic(option.string(), *bytes));

  // After the story's first frame (23, after a new game's 1000 ms cross).
  ASSERT_TRUE(Run("43 close\n", "--frames 300" + Shot(42, "before.png") + Shot(45, "late.png")));
  ExpectNoPanel("before.png");
  // Answered yes at once: the loop ended after the frame of the request.
  EXPECT_FALSE(fs::exists(Path("late.png")));
}

}  // namespace
}  // namespace zan
