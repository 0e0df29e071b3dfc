// Choices end to end: the real `zan` binary, headless, on a game whose scripts open a
// regular choice (main.txt), a three-second countdown choice (countdown.txt) and a mask
// choice (mask.txt), played with input timelines. The variables the labels set show which
// entry was taken; screenshots are checked at the buttons, the texts, the countdown sprite
// and the hover pictures. The pictures are made here in flat colours.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "ScriptTestGame.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;
using Shot = test::Screenshot;

constexpr Rgb kButton{30, 40, 140};
constexpr Rgb kButtonOn{230, 180, 30};
constexpr Rgb kHover{255, 0, 255};
// One flat colour per countdown sheet (seconds left + 1).
constexpr Rgb kSheets[] = {{200, 0, 0}, {0, 0, 200}, {200, 0, 200}, {0, 120, 120}, {120, 120, 0}};
// The hit mask: three listed regions side by side and an unlisted one on the right.
constexpr Rgb kRegions[] = {{255, 0, 0}, {0, 0, 255}, {255, 255, 0}, {77, 77, 77}};

const char* kMain = R"(<WinCurrent 0>
どこへ行こう？
<SltDel>
<SltAdd 0, go_hill, 丘へ>
<SltAdd 1, go_sea, 海へ>
<SltAdd 2, other.txt, go_town, 町へ>
<SltRun>
[go_hill]
<Mov chosen, 1>
<Jump after>
[go_sea]
<Mov chosen, 2>
<Jump after>
[after]
<Mov done, 1>
おわり<KW>
)";

const char* kOther = R"([go_town]
<Mov chosen, 3>
<Mov done, 1>
まち<KW>
)";

const char* kCountdown = R"(<SltDel>
<SltAdd 0, cd_yes, はい>
<SltAdd 1, cd_no, いいえ>
<SltRunCD3 cd_timeout>
[cd_yes]
<Mov chosen, 1>
<Jump cd_end>
[cd_no]
<Mov chosen, 2>
<Jump cd_end>
[cd_timeout]
<Mov timeout, 1>
[cd_end]
<Mov done, 1>
おわり<KW>
)";

const char* kMask = R"(<SltMaskDel>
<SltMaskHitSet mask_hit.bmp>
<SltMaskAdd 0, m_red, 255, 0, 0>
<SltMaskOverSet 0, hover_0.bmp>
<SltMaskAdd 1, mask.txt, m_blue, 0, 0, 255>
<SltMaskOverSet 1, hover_1.bmp>
<SltMaskAdd 2, m_yellow, 255, 255, 0>
<SltMaskOverSet 2, hover_2.bmp>
<SltMaskRun>
[m_red]
<Mov chosen, 1>
<Jump m_end>
[m_blue]
<Mov chosen, 2>
<Jump m_end>
[m_yellow]
<Mov chosen, 3>
[m_end]
<Mov done, 1>
おわり<KW>
)";

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,chosen,0,0,100\n"
    "INT,timeout,0,0,100\n"
    "INT,done,0,0,100\n";

// A new game's scene fades in over 1000 ms: the story's first element runs in frame 23.
constexpr int kStoryStart = 23;

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool White(Rgb c) { return c.r > 200 && c.g > 200 && c.b > 200; }
bool Cyan(Rgb c) { return c.r < 80 && c.g > 200 && c.b > 200; }

class ChoiceScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(root / "game");
    WriteGame(root / "game");
  }
  void TearDown() override {
    if (!getenv("ZAN_KEEP")) fs::remove_all(root);
  }

  static void WriteGame(const fs::path& dir) {
    std::vector<testing::TestEntry> pictures;
    auto add = [&](const std::string& utf8, std::vector<uint8_t> bytes) {
      pictures.push_back({Sjis(utf8), std::move(bytes), false});
    };
    add("選択肢.bmp", FlatBmp(800, 48, BmpForm::kArgb32, kButton));
    add("選択肢_ON.bmp", FlatBmp(800, 48, BmpForm::kArgb32, kButtonOn));
    for (int d = 1; d <= 5; ++d)
      add("カウントダウン" + std::to_string(d) + ".bmp", FlatBmp(1000, 1050, BmpForm::kRgb24, kSheets[d - 1]));
    add("mask_hit.bmp", test::MakeBmp(800, 600, BmpForm::kRgb24,
                                      [](int32_t x, int32_t) { return kRegions[std::min(x / 200, 3)]; }));
    // Each hover picture: a box in its region over transparent pixels.
    for (int i = 0; i < 3; ++i)
      add("hover_" + std::to_string(i) + ".bmp",
          test::MakeBmp(800, 600, BmpForm::kArgb32, [](int32_t, int32_t) { return kHover; },
                        [i](int32_t x, int32_t y) {
                          return uint8_t(x >= i * 200 + 50 && x < i * 200 + 150 && y >= 50 && y < 150 ? 255 : 0);
                        }));
    testing::WriteBytes((dir / "gra.arc").string(), testing::WriteTestArchive(pictures, "Rod7Q", true));
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", testing::GameBytes(kMain)},
                                                   {"other.txt", testing::GameBytes(kOther)},
                                                   {"countdown.txt", testing::GameBytes(kCountdown)},
                                                   {"mask.txt", testing::GameBytes(kMask)}},
                                                  "Rod7Q", true));
    testing::WriteBytes((dir / "dat.arc").string(),
                        testing::WriteTestArchive({{"variable.csv", testing::GameBytes(kVariables)}}, "Rod7Q", true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    // The key configuration: the left button and Enter are 決定 (the click). A .lib file is
    // stored with every byte raised by the first byte of its key.
    std::vector<uint8_t> keys = testing::GameBytes("入力,動作\n0 ホイール上,\n1,\n2 左ボタン,決定\n3 右ボタン,\n4 Enter,決定\n");
    for (uint8_t& b : keys) b = static_cast<uint8_t>(b + static_cast<uint8_t>(Sjis("ぬらり")[0]));
    testing::WriteBytes((dir / "system.arc").string(), testing::WriteTestArchive({{"system2.lib", keys}}, "plume", true));
  }

  // Runs zan on the game with an input timeline; true when it ended normally. Frames in the
  // timeline, in "--frames" and in Shots count from the story's first frame (kStoryStart).
  bool Run(const std::string& timeline, const std::string& args) {
    std::ofstream out(root / "input.txt");
    std::istringstream lines(timeline);
    for (std::string line; std::getline(lines, line);) {
      const size_t space = line.find(' ');
      out << std::stoi(line.substr(0, space)) + kStoryStart << line.substr(space) << "\n";
    }
    out.close();
    const std::string frames = "--frames ";
    std::string shifted = args;
    if (const size_t at = shifted.find(frames); at != std::string::npos) {
      const size_t end = shifted.find(' ', at + frames.size());
      const int n = std::stoi(shifted.substr(at + frames.size(), end - at - frames.size()));
      shifted.replace(at + frames.size(), end - at - frames.size(), std::to_string(n + kStoryStart));
    }
    return zan.Run("--input " + Path("input.txt") + " " + shifted);
  }
  std::string Vars() { return zan.Vars(); }
  bool Has(const std::string& line) { return Vars().find(line + "\n") != std::string::npos; }
  std::string Shots(std::initializer_list<int> frames) {
    std::string args;
    for (int f : frames)
      args += " --screenshot " + std::to_string(f + kStoryStart) + ":" + Path("s" + std::to_string(f) + ".png");
    return args;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  Shot Load(int frame) {
    Shot s = Shot::Read(Path("s" + std::to_string(frame) + ".png"));
    EXPECT_EQ(s.width, 800) << frame;
    return s;
  }

  fs::path root = fs::temp_directory_path() / ("zan_choice_scenario_" + std::to_string(::getpid()) + "_" +
                                               ::testing::UnitTest::GetInstance()->current_test_info()->name());
  testing::ZanRun zan{ZAN_BINARY, root};
};

// The buttons' rows and the texts' rows.
constexpr int kRows[] = {80, 138, 196};
constexpr int kTextRows[] = {92, 151, 210};

TEST_F(ChoiceScenarioTest, HoverAndClickTakeARowAfterTwoBlinks) {
  // The pointer onto the second row, then a click there (press at 21, release at 22).
  ASSERT_TRUE(Run("5 move 400 160\n20 click 400 160\n",
                  "--frames 90" + Shots({15, 25, 31, 37, 43, 60})))
      << Vars();
  EXPECT_TRUE(Has("chosen=2")) << Vars();
  EXPECT_TRUE(Has("done=1")) << Vars();

  // Three buttons, the hovered one lit; a fourth row stays empty.
  const Shot hovered = Load(15);
  EXPECT_TRUE(Same(hovered.At(10, kRows[0] + 2), kButton));
  EXPECT_TRUE(Same(hovered.At(10, kRows[1] + 2), kButtonOn));
  EXPECT_TRUE(Same(hovered.At(10, kRows[2] + 2), kButton));
  EXPECT_TRUE(Same(hovered.At(10, kRows[2] + 50), Rgb{0, 0, 0}));
  // Each text centred on its row: "海へ" is four bytes, 48 pixels from x = 376.
  for (int row = 0; row < 3; ++row) {
    EXPECT_GT(hovered.Count(376, kTextRows[row], 424, kTextRows[row] + 24, White), 30) << row;
    EXPECT_EQ(hovered.Count(0, kTextRows[row], 360, kTextRows[row] + 24, White), 0) << row;
    EXPECT_EQ(hovered.Count(440, kTextRows[row], 800, kTextRows[row] + 24, White), 0) << row;
  }

  // After the click the chosen button blinks: plain, lit, plain, lit, 200 ms each; then the
  // jump clears the choice.
  EXPECT_TRUE(Same(Load(25).At(10, kRows[1] + 2), kButton));
  EXPECT_TRUE(Same(Load(31).At(10, kRows[1] + 2), kButtonOn));
  EXPECT_TRUE(Same(Load(37).At(10, kRows[1] + 2), kButton));
  const Shot lit = Load(43);
  EXPECT_TRUE(Same(lit.At(10, kRows[1] + 2), kButtonOn));
  EXPECT_TRUE(Same(lit.At(10, kRows[0] + 2), kButton));
  const Shot after = Load(60);
  EXPECT_TRUE(Same(after.At(10, kRows[1] + 2), Rgb{0, 0, 0}));
  EXPECT_EQ(after.Count(0, kRows[0], 800, kRows[2] + 48, White), 0);
}

TEST_F(ChoiceScenarioTest, TheJumpComesAbout800MillisecondsAfterTheClick) {
  // The click lands at frame 22; 800 ms are 24 frames.
  ASSERT_TRUE(Run("5 move 400 100\n20 click 400 100\n", "--frames 42"));
  EXPECT_TRUE(Has("chosen=0")) << Vars();
  ASSERT_TRUE(Run("5 move 400 100\n20 click 400 100\n", "--frames 52"));
  EXPECT_TRUE(Has("chosen=1")) << Vars();
}

TEST_F(ChoiceScenarioTest, AnEntryWithAScriptTakesItsScript) {
  ASSERT_TRUE(Run("5 move 400 210\n20 click 400 210\n", "--frames 90"));
  EXPECT_TRUE(Has("chosen=3")) << Vars();
  EXPECT_TRUE(Has("done=1")) << Vars();
}

TEST_F(ChoiceScenarioTest, ArrowKeysThenEnterChooseWithoutTheMouse) {
  // Down from none is the first entry, down again the second; up from there the first.
  ASSERT_TRUE(Run("10 key Down\n20 key Down\n30 key Return\n", "--frames 90" + Shots({25})));
  EXPECT_TRUE(Has("chosen=2")) << Vars();
  EXPECT_TRUE(Same(Load(25).At(10, kRows[1] + 2), kButtonOn));
  ASSERT_TRUE(Run("10 key Down\n20 key Down\n30 key Up\n40 key Return\n", "--frames 90"));
  EXPECT_TRUE(Has("chosen=1")) << Vars();
  // Up from none wraps to the last entry.
  ASSERT_TRUE(Run("10 key Up\n20 key Return\n", "--frames 90"));
  EXPECT_TRUE(Has("chosen=3")) << Vars();
}

TEST_F(ChoiceScenarioTest, AClickOffTheButtonsAndTheWheelChooseNothing) {
  ASSERT_TRUE(Run("10 click 400 400\n20 move 400 100\n30 wheel down\n", "--frames 90"));
  EXPECT_TRUE(Has("chosen=0")) << Vars();
  EXPECT_TRUE(Has("done=0")) << Vars();
}

TEST_F(ChoiceScenarioTest, ACountdownWithoutAClickReachesItsTimeoutLabelAfterThreeSeconds) {
  // 3000 ms are 90 frames. The sprites count 3, 2, 1 over the screen tinted toward white.
  ASSERT_TRUE(Run("", "--start countdown.txt --frames 84" + Shots({10, 40, 70})));
  EXPECT_TRUE(Has("timeout=0")) << Vars();
  EXPECT_TRUE(Has("done=0")) << Vars();
  const Rgb sprite[] = {Load(10).At(400, 350), Load(40).At(400, 350), Load(70).At(400, 350)};
  EXPECT_TRUE(Same(sprite[0], kSheets[2]));
  EXPECT_TRUE(Same(sprite[1], kSheets[1]));
  EXPECT_TRUE(Same(sprite[2], kSheets[0]));
  const Rgb tint = Load(40).At(400, 500);
  EXPECT_NEAR(tint.r, 128, 2);
  EXPECT_EQ(tint.r, tint.b);

  ASSERT_TRUE(Run("", "--start countdown.txt --frames 100" + Shots({98})));
  EXPECT_TRUE(Has("timeout=1")) << Vars();
  EXPECT_TRUE(Has("chosen=0")) << Vars();
  EXPECT_TRUE(Has("done=1")) << Vars();
  // The tint, the sprite and the buttons are gone.
  const Shot after = Load(98);
  EXPECT_TRUE(Same(after.At(400, 350), Rgb{0, 0, 0}));
  EXPECT_TRUE(Same(after.At(10, kRows[0] + 2), Rgb{0, 0, 0}));
}

TEST_F(ChoiceScenarioTest, AClickBeforeTheCountdownEndsTakesTheEntry) {
  ASSERT_TRUE(Run("5 move 400 160\n20 click 400 160\n", "--start countdown.txt --frames 150"));
  EXPECT_TRUE(Has("chosen=2")) << Vars();
  EXPECT_TRUE(Has("timeout=0")) << Vars();
}

TEST_F(ChoiceScenarioTest, AMaskChoiceJumpsToTheRegionUnderTheClick) {
  // The pointer over the unlisted colour: no hover picture, and its click does nothing.
  ASSERT_TRUE(Run("5 move 700 300\n10 click 700 300\n", "--start mask.txt --frames 60" + Shots({20})));
  EXPECT_TRUE(Has("chosen=0")) << Vars();
  EXPECT_TRUE(Has("done=0")) << Vars();
  EXPECT_EQ(Load(20).Count(0, 0, 800, 600, [](Rgb c) { return Same(c, kHover); }), 0);

  // Over the second region its hover picture shows; a click there takes that entry.
  ASSERT_TRUE(Run("5 move 700 300\n10 click 700 300\n20 move 300 300\n40 click 300 300\n",
                  "--start mask.txt --frames 60" + Shots({30})));
  EXPECT_TRUE(Has("chosen=2")) << Vars();
  EXPECT_TRUE(Has("done=1")) << Vars();
  const Shot hover = Load(30);
  EXPECT_TRUE(Same(hover.At(260, 60), kHover));
  EXPECT_EQ(hover.Count(0, 0, 800, 600, [](Rgb c) { return Same(c, kHover); }), 100 * 100);

  for (const auto& [x, chosen] : {std::pair{100, "chosen=1"}, {500, "chosen=3"}}) {
    const std::string at = std::to_string(x) + " 300\n";
    ASSERT_TRUE(Run("5 move " + at + "10 click " + at, "--start mask.txt --frames 40"));
    EXPECT_TRUE(Has(chosen)) << Vars();
  }
}

TEST_F(ChoiceScenarioTest, AnOptionChosenInAnEarlierPlayIsDrawnInCyan) {
  // The first play takes the second entry; the read flags stay in sys/kidoku.dat.
  ASSERT_TRUE(Run("5 move 400 160\n20 click 400 160\n", "--frames 90"));
  ASSERT_TRUE(Has("chosen=2")) << Vars();
  ASSERT_TRUE(fs::exists(root / "game" / "sys" / "kidoku.dat"));
  ASSERT_TRUE(Run("", "--frames 20" + Shots({15})));
  const Shot shot = Load(15);
  auto text = [&](int row, const std::function<bool(Rgb)>& test) {
    return shot.Count(360, kTextRows[row], 440, kTextRows[row] + 24, test);
  };
  EXPECT_GT(text(1, Cyan), 30);
  EXPECT_EQ(text(1, White), 0);
  for (int row : {0, 2}) {
    EXPECT_GT(text(row, White), 30) << row;
    EXPECT_EQ(text(row, Cyan), 0) << row;
  }
}

}  // namespace
}  // namespace zan
