// The title screen end to end, played by the real `zan` binary headless on a small game of
// flat pictures: `zan GAME` opens the title with its opening (the two warning pictures, the
// black, the title picture, the buttons one by one), a click during the opening jumps to the
// menu, the gated buttons respond only when their variables are 1, the bonus page opens and
// closes, "new game" starts main.txt after the 1000 ms fade, the quit button asks, and the
// story's end and input action 19 come back to the title.
//
// The game's pictures are flat colours, so that every pixel of a screenshot says which
// picture (and which look of a button) lies there. The scripts mark the variable `started`
// with their number when they begin.

#include <gtest/gtest.h>

#include <array>
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

constexpr Rgb kTitleBackground{30, 60, 90};
constexpr Rgb kFirstWarning{200, 50, 50}, kSecondWarning{50, 150, 200};
// The looks of "TITLE_chip.bmp": one column of 160 pixels per state, every row alike.
constexpr Rgb kNormal{10, 20, 200}, kHovered{220, 220, 20}, kPressed{240, 120, 0}, kState3{100, 100, 100};
constexpr Rgb kQuitPanel{40, 60, 120};
constexpr Rgb kYesNormal{10, 90, 30}, kNoNormal{90, 10, 30}, kYesHover{250, 240, 200}, kNoHover{200, 240, 250};

// system4.lib's rectangles: buttons 1..6 in a column at x 100, 7..10 in one at x 400, 160 x 40
// every 60 pixels from y 100.
constexpr int kButtonW = 160, kButtonH = 40;
int ButtonX(int k) { return k <= 6 ? 100 : 400; }
int ButtonY(int k) { return 100 + 60 * ((k <= 6 ? k : k - 6) - 1); }
// A point well inside button k.
std::string At(int k) { return std::to_string(ButtonX(k) + 80) + " " + std::to_string(ButtonY(k) + 20); }

// The opening without input: the logo counts as finished in frame 1; then fades of 2000 and
// 250 ms, waits of 3000 and 1000 ms, fades of 1000, 2000 and 6 x 1000 ms: 15250 ms, under
// 470 frames at 30 a second. The menu shows by frame 500.
constexpr int kMenuShown = 500;

std::string Library(int pskip, int clear) {
  return "INT,started,0,0,100\nINT,g_pskip," + std::to_string(pskip) + ",0,1\nINT,g_clear," +
         std::to_string(clear) + ",0,1\n";
}

class TitleScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("zan_title_scenario_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    WriteGame(0, 0);
  }
  void TearDown() override {
    if (!getenv("ZAN_KEEP")) fs::remove_all(root);
  }

  // A fresh game folder (no settings kept from an earlier run: the gates are globals kept
  // in option.dat) whose variable.csv starts g_pskip and g_clear as given.
  void WriteGame(int pskip, int clear) {
    fs::remove_all(root);
    fs::create_directories(root / "game");
    const fs::path dir = root / "game";
    const auto chip = test::MakeBmp(4 * kButtonW, 10 * kButtonH, BmpForm::kRgb24, [](int32_t x, int32_t) {
      const Rgb looks[] = {kNormal, kHovered, kPressed, kState3};
      return looks[x / kButtonW];
    });
    const auto panel = test::MakeBmp(240, 160, BmpForm::kRgb24, [](int32_t x, int32_t y) {
      return x == 0 && y == 0 ? Rgb{0, 255, 0} : kQuitPanel;
    });
    const auto buttons = test::MakeBmp(192, 64, BmpForm::kRgb24, [](int32_t x, int32_t y) {
      if (y < 32) return x < 96 ? kYesHover : kNoHover;
      return x < 96 ? kYesNormal : kNoNormal;
    });
    testing::WriteBytes((dir / "gra.arc").string(),
                        testing::WriteTestArchive({{"TITLE_BG.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kTitleBackground)},
                                                   {"TITLE_chip.bmp", chip},
                                                   {Sjis("警告文.BMP"), FlatBmp(800, 600, BmpForm::kRgb24, kFirstWarning)},
                                                   {Sjis("警告文２.BMP"), FlatBmp(800, 600, BmpForm::kRgb24, kSecondWarning)},
                                                   {"QUIT_dialog.bmp", panel},
                                                   {"dialog_button.bmp", buttons}},
                                                  "Rod7Q", true));
    auto marks = [](int n) { return testing::GameBytes("<Mov started, " + std::to_string(n) + ">\n<KW>\n"); };
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", marks(1)},
                                                   {"pskip.txt", marks(2)},
                                                   {"flow_t.txt", marks(3)},
                                                   {"end.txt", testing::GameBytes("<Mov started, 9>\n<TitleReturn>\n")}},
                                                  "Rod7Q", true));
    testing::WriteBytes(
        (dir / "dat.arc").string(),
        testing::WriteTestArchive(
            {{"variable.csv", testing::GameBytes("種類,名前,初期値,最小,最大\n" + Library(pskip, clear))}}, "Rod7Q",
            true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    std::string table = "タイトル,10\n見出し\n";
    for (int k = 1; k <= 10; ++k) {
      table += "ボタン" + std::to_string(k) + ",," + std::to_string(ButtonX(k)) + "," + std::to_string(ButtonY(k)) + "," +
               std::to_string(kButtonW) + "," + std::to_string(kButtonH);
      for (int s = 0; s < 4; ++s) table += "," + std::to_string(s * kButtonW) + "," + std::to_string((k - 1) * kButtonH);
      table += "\n";
    }
    // The key configuration: the left button is 決定. A .lib file is stored with every byte
    // raised by the first byte of its key.
    std::vector<uint8_t> keys = testing::GameBytes("入力,動作\n0 ホイール上,\n1,\n2 左ボタン,決定\n");
    std::vector<uint8_t> title = testing::GameBytes(table);
    for (std::vector<uint8_t>* lib : {&keys, &title})
      for (uint8_t& b : *lib) b = static_cast<uint8_t>(b + static_cast<uint8_t>(Sjis("ぬらり")[0]));
    testing::WriteBytes((dir / "system.arc").string(),
                        testing::WriteTestArchive({{"system2.lib", keys}, {"system4.lib", title}}, "plume", true));
  }

  // Runs zan on the game with a timeline; true when it ended normally.
  bool Run(const std::string& timeline, const std::string& args) {
    std::ofstream(root / "input.txt") << timeline;
    return testing::ZanRun(ZAN_BINARY, root).RunFromTheTitle("--input " + Path("input.txt") + " " + args);
  }
  std::string Vars() { return testing::ZanRun(ZAN_BINARY, root).Vars(); }
  bool HasVar(const std::string& line) { return Vars().find(line + "\n") != std::string::npos; }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  std::string Shot(int frame, const std::string& name) const {
    return " --screenshot " + std::to_string(frame) + ":" + Path(name);
  }
  test::Screenshot Load(const std::string& name) {
    test::Screenshot s = test::Screenshot::Read(Path(name));
    EXPECT_EQ(s.width, 800) << name;
    return s;
  }
  // Every pixel of button k's rectangle is `look`.
  void ExpectButton(const test::Screenshot& s, int k, Rgb look, const std::string& name) {
    if (s.width != 800) return;
    EXPECT_EQ(s.Count(ButtonX(k), ButtonY(k), ButtonX(k) + kButtonW, ButtonY(k) + kButtonH,
                      [&](Rgb c) { return c == look; }),
              kButtonW * kButtonH)
        << name << ": button " << k;
  }
  // Button k's place shows the title picture: the button is not drawn.
  void ExpectNoButton(const test::Screenshot& s, int k, const std::string& name) {
    if (s.width != 800) return;
    EXPECT_EQ(s.At(ButtonX(k) + 80, ButtonY(k) + 20), kTitleBackground) << name << ": button " << k;
  }
  // The first page: buttons 1..6 in their looks, 7..10 absent, the title picture around.
  void ExpectFirstPage(const std::string& name, const std::array<Rgb, 6>& looks) {
    const test::Screenshot s = Load(name);
    if (s.width != 800) return;
    EXPECT_EQ(s.At(5, 5), kTitleBackground) << name;
    EXPECT_EQ(s.At(ButtonX(1) + kButtonW + 1, ButtonY(1) + 20), kTitleBackground) << name;
    for (int k = 1; k <= 6; ++k) ExpectButton(s, k, looks[static_cast<size_t>(k - 1)], name);
    for (int k = 7; k <= 10; ++k) ExpectNoButton(s, k, name);
  }

  fs::path root;
};

constexpr std::array<Rgb, 6> kAllNormal{kNormal, kNormal, kNormal, kNormal, kNormal, kNormal};

TEST_F(TitleScenarioTest, WithoutInputTheOpeningPlaysAndTheMenuShowsInItsNormalLooks) {
  // Halfway through the first fade the screen is between black and the first warning; the
  // second warning holds during the 3000 ms wait; the build-up shows buttons 1 and 2 only
  // after its third fade ends (the first button fades in from about frame 270, the second
  // from about 290, the third from about 310).
  ASSERT_TRUE(Run("", "--frames " + std::to_string(kMenuShown + 1) + Shot(100, "warning.png") +
                          Shot(305, "building.png") + Shot(kMenuShown, "menu.png")));
  const test::Screenshot warning = Load("warning.png");
  if (warning.width == 800) {
    EXPECT_EQ(warning.At(400, 300), kSecondWarning);
    EXPECT_EQ(warning.At(ButtonX(1) + 80, ButtonY(1) + 20), kSecondWarning);  // no buttons yet
  }
  const test::Screenshot building = Load("building.png");
  ExpectButton(building, 1, kNormal, "building.png");
  for (int k = 3; k <= 10; ++k) ExpectNoButton(building, k, "building.png");
  ExpectFirstPage("menu.png", kAllNormal);
  EXPECT_TRUE(HasVar("started=0")) << Vars();
}

TEST_F(TitleScenarioTest, AClickDuringTheOpeningJumpsToTheMenu) {
  // Clicked (released) in frame 32, during the first warning's fade: the title shows with
  // every button a few frames later, the pointer parked away from them.
  ASSERT_TRUE(Run("30 click 700 550\n", "--frames 50" + Shot(40, "menu.png")));
  ExpectFirstPage("menu.png", kAllNormal);
  EXPECT_TRUE(HasVar("started=0")) << Vars();
}

TEST_F(TitleScenarioTest, TheGatedButtonsAreDrawnButDoNotRespondUntilTheirVariablesAreOne) {
  // g_pskip and g_clear 0: the pointer over button 3 leaves it normal and a click does
  // nothing; over button 4 likewise, and its page does not open.
  const std::string timeline = "10 click 700 550\n" "30 move " + At(3) + "\n" "40 click " + At(3) + "\n" +
                               "60 move " + At(4) + "\n" "70 click " + At(4) + "\n";
  ASSERT_TRUE(Run(timeline, "--frames 130" + Shot(35, "over3.png") + Shot(65, "over4.png") + Shot(120, "after.png")));
  ExpectFirstPage("over3.png", kAllNormal);
  ExpectFirstPage("over4.png", kAllNormal);
  ExpectFirstPage("after.png", kAllNormal);
  EXPECT_TRUE(HasVar("started=0")) << Vars();

  // g_pskip 1: button 3 shows hovered under the pointer, and its click starts "pskip.txt"
  // after the 1000 ms fade.
  WriteGame(1, 0);
  ASSERT_TRUE(Run(timeline, "--frames 130" + Shot(35, "over3.png")));
  ExpectFirstPage("over3.png", {kNormal, kNormal, kHovered, kNormal, kNormal, kNormal});
  EXPECT_TRUE(HasVar("started=2")) << Vars();
}

TEST_F(TitleScenarioTest, TheBonusPageOpensWhenClearedAndARightClickClosesIt) {
  // g_clear 1: button 4 opens the bonus page (buttons 7..10 drawn, 4 pressed, 1..6 not
  // responding); a right click goes back to the first page.
  WriteGame(0, 1);
  const std::string timeline = "10 click 700 550\n" "30 click " + At(4) + "\n" "50 move " + At(1) + "\n" +
                               "70 rclick " + At(1) + "\n" "90 move 700 550\n";
  ASSERT_TRUE(Run(timeline, "--frames 110" + Shot(45, "bonus.png") + Shot(60, "over1.png") + Shot(100, "back.png")));
  const test::Screenshot bonus = Load("bonus.png");
  for (int k = 1; k <= 10; ++k) ExpectButton(bonus, k, k == 4 ? kPressed : kNormal, "bonus.png");
  // Button 1 does not respond on the bonus page: no hovered look under the pointer.
  ExpectButton(Load("over1.png"), 1, kNormal, "over1.png");
  ExpectFirstPage("back.png", kAllNormal);
  EXPECT_TRUE(HasVar("started=0")) << Vars();
}

TEST_F(TitleScenarioTest, NewGameStartsMainAfterItsFade) {
  // Clicked (released) in frame 32: the story's first element runs after the 1000 ms fade
  // (30 frames), not before.
  const std::string timeline = "10 click 700 550\n" "30 click " + At(1) + "\n";
  ASSERT_TRUE(Run(timeline, "--frames 50"));
  EXPECT_TRUE(HasVar("started=0")) << Vars();
  ASSERT_TRUE(Run(timeline, "--frames 80"));
  EXPECT_TRUE(HasVar("started=1")) << Vars();
}

TEST_F(TitleScenarioTest, TheKeyboardReachesEveryRespondingButton) {
  // No mouse: Enter skips the opening; Down from no selection takes the top button, Down
  // again the next responding one (3 and 4 are passed over while they do not respond).
  // Enter on 5 (the configuration, not built) opens nothing and asks nothing.
  const std::string timeline = "10 key Return\n" "20 key Down\n" "30 key Down\n" "40 key Down\n";
  ASSERT_TRUE(Run(timeline + "50 key Return\n", "--frames 70" + Shot(45, "focus.png") + Shot(65, "after.png")));
  ExpectFirstPage("focus.png", {kNormal, kNormal, kNormal, kNormal, kHovered, kNormal});
  const test::Screenshot after = Load("after.png");
  if (after.width == 800) EXPECT_EQ(after.At(281, 184), kTitleBackground);
  EXPECT_TRUE(HasVar("started=0")) << Vars();
  // Down from 5 reaches 6 (quit): Enter asks.
  ASSERT_TRUE(Run(timeline + "50 key Down\n60 key Return\n", "--frames 90" + Shot(85, "asked.png")));
  const test::Screenshot quit = Load("asked.png");
  if (quit.width == 800) EXPECT_EQ(quit.At(281, 184), kQuitPanel);
}

TEST_F(TitleScenarioTest, QuitAsksNoKeepsTheTitleAndYesEnds) {
  // Quit asked at frame 32; "no" (Escape) closes the panel: the title goes on, nothing asks
  // again, and no game starts. Then asked again and answered yes: the run ends before its
  // last frame.
  const std::string timeline = "10 click 700 550\n" "30 click " + At(6) + "\n" "50 key Escape\n";
  ASSERT_TRUE(Run(timeline, "--frames 120" + Shot(45, "asked.png") + Shot(100, "no.png") + Shot(119, "late.png")));
  const test::Screenshot asked = Load("asked.png");
  if (asked.width == 800) {
    EXPECT_EQ(asked.At(281, 184), kQuitPanel);
    EXPECT_NE(asked.At(5, 5), kTitleBackground);  // darkened behind the question
  }
  // The pointer still rests on quit: hovered, and not asked again.
  ExpectFirstPage("no.png", {kNormal, kNormal, kNormal, kNormal, kNormal, kHovered});
  const test::Screenshot no = Load("no.png");
  if (no.width == 800) EXPECT_EQ(no.At(281, 184), kTitleBackground);
  EXPECT_TRUE(fs::exists(Path("late.png")));
  EXPECT_TRUE(HasVar("started=0")) << Vars();

  ASSERT_TRUE(Run(timeline + "70 click " + At(6) + "\n90 key Left\n100 key Return\n",
                  "--frames 200" + Shot(199, "late.png")));
  EXPECT_FALSE(fs::exists(Path("late.png")));
}

TEST_F(TitleScenarioTest, TheStorysEndAndAction19ComeBackToTheTitleWithItsOpening) {
  // "TitleReturn" in story mode (after the story's 1000 ms fade-in, about frame 24): the
  // title opens with its opening: the first warning fades in over 2000 ms, the second over
  // 250 ms and holds for 3000 ms (from about frame 95 to 185).
  ASSERT_TRUE(Run("", "--start end.txt --frames 121" + Shot(70, "first.png") + Shot(120, "end.png")));
  const test::Screenshot first = Load("first.png");
  if (first.width == 800) EXPECT_NE(first.At(400, 300), kSecondWarning);
  const test::Screenshot end = Load("end.png");
  if (end.width == 800) EXPECT_EQ(end.At(400, 300), kSecondWarning);
  EXPECT_TRUE(HasVar("started=9")) << Vars();

  // Action 19 answered yes (Left, Enter) in the story: the title again, from its opening
  // (opened about frame 68: the second warning holds from about 140 to 230).
  ASSERT_TRUE(Run("40 action 19\n50 key Left\n60 key Return\n", "--start main.txt --frames 181" + Shot(180, "back.png")));
  const test::Screenshot back = Load("back.png");
  if (back.width == 800) EXPECT_EQ(back.At(400, 300), kSecondWarning);
  EXPECT_TRUE(HasVar("started=1")) << Vars();
}

}  // namespace
}  // namespace zan
