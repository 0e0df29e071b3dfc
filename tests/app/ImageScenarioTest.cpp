// Image slots end to end: a game whose script loads 24-bit, 24-bit-with-alpha and 32-bit
// pictures, places them by coordinates and by 左/右, swaps z, fades, moves with easing and
// shakes, played by the real `zan` binary headless. Screenshots are checked pixel by pixel
// at the places the script puts the pictures; the variables it dumps show how long its wait
// options held it.
//
// Each scene waits for a click; the clicks come at frames 60, 120 and 180 and the
// screenshots shortly before them, so the checks do not hang on the exact frame a scene
// starts in.

#include <gtest/gtest.h>

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

constexpr Rgb kBackground{20, 40, 120};
constexpr Rgb kGirl{230, 80, 80};
constexpr Rgb kBoy{80, 200, 90};
constexpr Rgb kBox{240, 220, 60};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMagenta{255, 0, 255};

const char* kScript = R"(<ImageLoad 0, bg.bmp, 0, 0>
<Image 1, 灯_笑, 右>
<ImageLoad 2, boy.bmp, 左>
<ImageLoad 3, box.bmp, 230, 350>
<ImageLoad 4, box.bmp, 中>
<ImageLoadEye 1, eye.dat, 100, 200>
<Mov step, 1><KW>
<ImagePry 2, 3>
<ImageFade 3, 600, OFF>
<ImageMove 2, 600, 400, 300, , +>
<Mov step, 2><KW>
<Update Cross, 500>
<ImageShake 1, 100000, 20, 0>
<Mov step, 3><KW>
<ImageShake 1, 0, 0, 0>
<ImageMove 1, 30, 450, 100, ON>
<Mov after, 1>
[zeros]
<ImageMove 1, 0, 450, 100, ON>
<Inc zeros>
<If zeros, zeros<10>
<Mov step, 4><KW>
)";

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,step,0,0,100\n"
    "INT,after,0,0,100\n"
    "INT,zeros,0,0,100\n";

class ImageScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("zan_image_scenario_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "run");
    fs::create_directories(root / "game");
    WriteGame(root / "game");
    std::ofstream(root / "clicks.txt") << "60 click 400 300\n120 click 400 300\n180 click 400 300\n";
  }
  void TearDown() override { fs::remove_all(root); }

  static void WriteGame(const fs::path& dir) {
    // The girl: 24-bit with an alpha plane, her top 20 rows transparent. The boy: 32-bit,
    // his right quarter transparent. The box: 24-bit without alpha.
    const auto girl = test::MakeBmp(300, 500, BmpForm::kRgb24Alpha, [](int32_t, int32_t) { return kGirl; },
                                    [](int32_t, int32_t y) { return uint8_t(y < 20 ? 0 : 255); });
    const auto boy = test::MakeBmp(200, 300, BmpForm::kArgb32, [](int32_t, int32_t) { return kBoy; },
                                   [](int32_t x, int32_t) { return uint8_t(x < 150 ? 255 : 0); });
    testing::WriteBytes((dir / "gra.arc").string(),
                        testing::WriteTestArchive({{"bg.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kBackground)},
                                                   {"girl.bmp", girl},
                                                   {"boy.bmp", boy},
                                                   {"box.bmp", FlatBmp(100, 100, BmpForm::kRgb24, kBox)},
                                                   {"dot.bmp", FlatBmp(20, 20, BmpForm::kArgb32, kWhite)},
                                                   {"eyes.bmp", FlatBmp(10, 10, BmpForm::kArgb32, kMagenta)}},
                                                  "Rod7Q", true));
    testing::WriteBytes((dir / "msg.arc").string(),
                        testing::WriteTestArchive({{"main.txt", testing::GameBytes(kScript)}}, "Rod7Q", true));
    testing::WriteBytes(
        (dir / "dat.arc").string(),
        testing::WriteTestArchive(
            {{"variable.csv", testing::GameBytes(kVariables)},
             {Sjis("省略.csv"), testing::GameBytes("略称,説明,画像,重ね画像,重ねX,重ねY\n灯_笑,笑顔,girl.bmp,dot.bmp,10,30\n")},
             {Sjis("イベントＣＧリスト.csv"), testing::GameBytes("一覧\n\nファイル名\nbox.bmp\n")},
             {"eye.dat", test::EyeDefinitionFile("eyes.bmp", {{0, 0, 10, 10, 10000}})}},
            "Rod7Q", true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    // The key configuration: the left button is 決定 (the click). A .lib file is stored with
    // every byte raised by the first byte of its key.
    std::vector<uint8_t> keys = testing::GameBytes("入力,動作\n0 ホイール上,\n1,\n2 左ボタン,決定\n");
    for (uint8_t& b : keys) b = static_cast<uint8_t>(b + static_cast<uint8_t>(Sjis("ぬらり")[0]));
    testing::WriteBytes((dir / "system.arc").string(), testing::WriteTestArchive({{"system2.lib", keys}}, "plume", true));
  }

  // Runs zan on the game with the clicks; true when it ended normally.
  bool Run(const std::string& args) {
    return testing::ZanRun(ZAN_BINARY, root).Run("--input " + Path("clicks.txt") + " " + args);
  }
  std::string Vars() { return testing::ZanRun(ZAN_BINARY, root).Vars(); }

  std::string Path(const std::string& name) const { return (root / name).string(); }

  struct Shot {
    std::vector<uint8_t> rgb;
    int w = 0, h = 0;
    Rgb At(int x, int y) const {
      test::CheckInside(x, y, w, h);
      const size_t i = (static_cast<size_t>(y) * w + x) * 3;
      return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
  };
  Shot Load(const std::string& name) {
    Shot s;
    s.rgb = test::ReadPng((root / name).string(), &s.w, &s.h);
    EXPECT_EQ(s.w, 800) << name;
    return s;
  }

  fs::path root;
};

// Within `tolerance` of a colour in every channel.
::testing::AssertionResult Near(const Rgb& got, const Rgb& want, int tolerance) {
  if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
      std::abs(got.b - want.b) <= tolerance)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << int(got.r) << ", " << int(got.g) << ", " << int(got.b)
                                       << ") instead of (" << int(want.r) << ", " << int(want.g) << ", "
                                       << int(want.b) << ")";
}

TEST_F(ImageScenarioTest, PicturesLandWhereTheScriptPutsThem) {
  // Every format end to end; what each shows of a colour is worked out apart from the engine
  // (test::ShownColour), and unblended pixels must be exactly that.
  for (const int format : {8888, 888, 565, 555}) {
    auto shown = [&](Rgb c) { return test::ShownColour(format, c); };
    const std::string shots = " --screenshot 55:" + Path("s1.png") + " --screenshot 115:" + Path("s2.png") +
                              " --screenshot 170:" + Path("s3a.png") + " --screenshot 171:" + Path("s3b.png");
    ASSERT_TRUE(Run("--pixel-format " + std::to_string(format) + " --frames 200" + shots)) << format;
    EXPECT_NE(Vars().find("step=3"), std::string::npos) << Vars();

    // Scene 1. The girl by 右: 300 x 500 at (450, 100), her top 20 rows transparent, the
    // abbreviation's overlay at (10, 30) of her; her eye frame at (550, 300). The boy by 左:
    // 200 x 300 at (100, 300). A box at (230, 350) lies over the boy (z 3 over 2).
    const Shot s1 = Load("s1.png");
    EXPECT_TRUE(Near(s1.At(10, 10), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(460, 110), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(460, 125), shown(kGirl), 0)) << format;
    EXPECT_TRUE(Near(s1.At(449, 200), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(470, 140), shown(kWhite), 0)) << format;
    EXPECT_TRUE(Near(s1.At(552, 302), shown(kMagenta), 0)) << format;
    EXPECT_TRUE(Near(s1.At(100, 300), shown(kBoy), 0)) << format;
    EXPECT_TRUE(Near(s1.At(99, 300), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(110, 299), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(260, 320), shown(kBackground), 0)) << format;  // the boy's clear quarter
    EXPECT_TRUE(Near(s1.At(240, 360), shown(kBox), 0)) << format;
    // A second box by 中: 100 x 100 at (350, 500).
    EXPECT_TRUE(Near(s1.At(350, 500), shown(kBox), 0)) << format;
    EXPECT_TRUE(Near(s1.At(449, 599), shown(kBox), 0)) << format;
    EXPECT_TRUE(Near(s1.At(349, 500), shown(kBackground), 0)) << format;
    EXPECT_TRUE(Near(s1.At(350, 499), shown(kBackground), 0)) << format;

    // Scene 2. The boy over the box now; the box fading out over 600 frames; the boy
    // accelerating to the right over 600 frames (after some 50 frames a few pixels, where a
    // linear move would have gone 25).
    const Shot s2 = Load("s2.png");
    EXPECT_TRUE(Near(s2.At(240, 360), shown(kBoy), 0)) << format;
    const Rgb fading = s2.At(300, 360);
    EXPECT_GT(fading.r, 150) << format;
    EXPECT_LT(fading.r, shown(kBox).r) << format;
    int edge = 0;
    while (edge < 200 && !Near(s2.At(edge, 320), shown(kBoy), 0)) ++edge;
    EXPECT_GE(edge, 100) << format;
    EXPECT_LE(edge, 108) << format;

    // Scene 3. "Update" ended both: the box is gone, the boy at (400, 300) over the girl. The
    // girl shakes sideways: every other frame by 1 to 20 pixels.
    const Shot s3[] = {Load("s3a.png"), Load("s3b.png")};
    int moved = 0;
    for (const Shot& s : s3) {
      EXPECT_TRUE(Near(s.At(300, 360), shown(kBackground), 0)) << format;
      EXPECT_TRUE(Near(s.At(410, 320), shown(kBoy), 0)) << format;
      int right = 780;
      while (right > 700 && !Near(s.At(right, 130), shown(kGirl), 0)) --right;
      EXPECT_GE(right, 749 - 20) << format;
      EXPECT_LE(right, 749 + 20) << format;
      if (right != 749) ++moved;
    }
    EXPECT_EQ(moved, 1) << format;
  }
}

TEST_F(ImageScenarioTest, AWaitOf30FramesHoldsASecondAndAWaitOfNoneDoesNot) {
  // The third click (frame 180, delivered a frame or two later) starts a 30-frame wait.
  ASSERT_TRUE(Run("--frames 205"));
  EXPECT_NE(Vars().find("step=3"), std::string::npos) << Vars();
  EXPECT_NE(Vars().find("after=0"), std::string::npos) << Vars();
  // Ten waits of no frames follow in as many frames.
  ASSERT_TRUE(Run("--frames 240"));
  EXPECT_NE(Vars().find("after=1"), std::string::npos) << Vars();
  EXPECT_NE(Vars().find("zeros=10"), std::string::npos) << Vars();
  EXPECT_NE(Vars().find("step=4"), std::string::npos) << Vars();
}

}  // namespace
}  // namespace zan
