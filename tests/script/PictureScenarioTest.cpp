// Transitions and weather end to end: the real `zan` binary, headless, on a game the test
// writes (flat pictures, masks, a pattern, snow and leaf pictures), checked in screenshots
// against the transitions' and the effects' formulas.
//
// Timing on the headless clock: frames are paced at 30 a second, 33, 33 and 34 ms in turn,
// and frame f is composed at the end of its pacing, at T(f) = the sum of the first f + 1
// frame lengths (33 ms for frame 0, 766 ms for frame 22); the interpreter of frame f + 1
// runs 1 ms later. The screenshot after frame F shows the frame composed in F - 1. A new
// game's 1000 ms cross from the screen (level min(elapsed / 3, 255), done at 255) ends in
// the first frame composed at 765 ms or later, frame 22: the script's first element runs in
// frame 23.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>

#include "../surface/TestPictures.h"
#include "../surface/TestPng.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "base/ShiftJis.h"
#include "script/Options.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;
using Shot = test::Screenshot;

constexpr int kW = 800;
constexpr int kH = 600;
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kOld{0, 0, 200};
constexpr Rgb kNew{230, 200, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kPatternInk{255, 0, 255};
constexpr Rgb kKey{0, 255, 0};  // the colour key of the leaf sheets
constexpr Rgb kLeafInk{200, 90, 20};

// The frame the script's first element runs in (see above).
constexpr int kStoryStart = 23;

bool Same(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool IsBlack(Rgb c) { return Same(c, kBlack); }

// The frame length of frame f on the headless clock, and the time frame f is composed at.
int FrameLength(int f) { return f % 3 == 2 ? 34 : 33; }
int ComposedAt(int f) {
  int t = 0;
  for (int i = 0; i <= f; ++i) t += FrameLength(i);
  return t;
}
// A cross-fade's level `elapsed` ms into `duration` (step duration >> 8, increment 256 /
// duration, each at least 1).
int CrossLevel(int elapsed, int duration) {
  const int step = std::max(duration >> 8, 1);
  const int inc = std::max(256 / duration, 1);
  return std::min(elapsed / step * inc, 255);
}

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,done,0,0,100\n"
    "INT,d,0,0,100000\n";

class PictureScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(root);
    fs::create_directories(root / "game");
  }
  void TearDown() override {
    if (!getenv("ZAN_KEEP")) fs::remove_all(root);
  }

  // The game: `scripts` (UTF-8 name -> text) and the pictures every test may use; with
  // `leaves`, the leaf sheets too.
  void WriteGame(const std::map<std::string, std::string>& scripts, bool leaves = true) {
    const fs::path dir = root / "game";
    std::vector<testing::TestEntry> pictures;
    auto add = [&](const std::string& utf8, std::vector<uint8_t> bytes) {
      pictures.push_back({Sjis(utf8), std::move(bytes), false});
    };
    add("white.bmp", FlatBmp(kW, kH, BmpForm::kRgb24, kWhite));
    add("old.bmp", FlatBmp(kW, kH, BmpForm::kRgb24, kOld));
    add("new.bmp", FlatBmp(kW, kH, BmpForm::kRgb24, kNew));
    add("red.bmp", FlatBmp(100, 100, BmpForm::kRgb24, kRed));
    // Masks: black on the left half and white on the right; a ramp from left to right.
    add("halves.bmp", test::MakeBmp(kW, kH, BmpForm::kRgb24, [](int32_t x, int32_t) {
          return x < kW / 2 ? kBlack : kWhite;
        }));
    add("ramp.bmp", test::MakeBmp(kW, kH, BmpForm::kRgb24, [](int32_t x, int32_t) {
          const auto v = static_cast<uint8_t>(x * 255 / (kW - 1));
          return Rgb{v, v, v};
        }));
    // A pattern of three 40 x 30 frames: all ink, the left half ink, nothing.
    add("pattern.bmp", test::MakeBmp(120, 30, BmpForm::kArgb32, [](int32_t, int32_t) { return kPatternInk; },
                                     [](int32_t x, int32_t) {
                                       const int32_t frame = x / 40;
                                       return uint8_t(frame == 0 || (frame == 1 && x % 40 < 20) ? 255 : 0);
                                     }));
    // Snow: three flakes of grey light; leaves: three sheets of frames, a leaf on the key.
    add("雪.bmp", FlatBmp(16, 16, BmpForm::kRgb24, {90, 90, 90}));
    add("雪2.bmp", FlatBmp(8, 8, BmpForm::kRgb24, {120, 120, 120}));
    add("雪3.bmp", FlatBmp(24, 24, BmpForm::kRgb24, {60, 60, 60}));
    if (leaves) {
      const int sizes[3][3] = {{80, 64, 6}, {80, 80, 8}, {112, 48, 8}};
      for (int k = 0; k < 3; ++k) {
        const int w = sizes[k][0], h = sizes[k][1];
        add("chaha0" + std::to_string(k) + ".bmp",
            test::MakeBmp(w * sizes[k][2], h, BmpForm::kRgb24, [w, h](int32_t x, int32_t y) {
              const int32_t dx = x % w - w / 2, dy = y - h / 2;
              return dx * dx * 4 + dy * dy * 16 < w * h ? kLeafInk : kKey;
            }));
      }
    }
    testing::WriteBytes((dir / "gra.arc").string(), testing::WriteTestArchive(pictures, "Rod7Q", true));
    std::vector<testing::TestEntry> texts;
    for (const auto& [name, text] : scripts) texts.push_back({Sjis(name), testing::GameBytes(text), false});
    testing::WriteBytes((dir / "msg.arc").string(), testing::WriteTestArchive(texts, "Rod7Q", true));
    testing::WriteBytes((dir / "dat.arc").string(),
                        testing::WriteTestArchive({{"variable.csv", testing::GameBytes(kVariables)}}, "Rod7Q", true));
    testing::WriteBytes((dir / "snd.arc").string(), testing::WriteTestArchive({}, "Rod7Q", true));
    // The key configuration, a row per input: the left button is the click, S skips.
    std::string keys = "入力,動作\n";
    for (int input = 0; input <= 30; ++input)
      keys += std::to_string(input) + (input == 2 ? " 左ボタン,決定\n" : input == 28 ? " S,スキップ\n" : ",\n");
    testing::WriteBytes((dir / "system.arc").string(),
                        testing::WriteTestArchive({{"system2.lib", testing::ScrambledLib(keys)}}, "plume", true));
  }

  // A settings file: effects off or unread text skipped.
  void WriteOptions(const std::function<void(OptionsBlock&)>& edit) {
    OptionsBlock options;
    edit(options);
    fs::create_directories(root / "game" / "sys");
    testing::WriteBytes((root / "game" / "sys" / "option.dat").string(),
                        EncodeOptionFile(VariableTable(), options, GalleryFlags()));
  }

  bool Run(const std::string& args, const std::string& timeline = "") {
    std::ofstream(root / "input.txt") << timeline;
    return zan.Run("--input " + Path("input.txt") + " " + args);
  }
  // Screenshot arguments for frames [from, to], named "<tag><frame>.png".
  std::string Shots(int from, int to, const std::string& tag = "s") {
    std::string args;
    for (int f = from; f <= to; ++f)
      args += " --screenshot " + std::to_string(f) + ":" + Path(tag + std::to_string(f) + ".png");
    return args;
  }
  std::string Path(const std::string& name) const { return (root / name).string(); }
  Shot Load(int frame, const std::string& tag = "s") {
    Shot s = Shot::Read(Path(tag + std::to_string(frame) + ".png"));
    if (s.width == kW && s.height == kH) return s;
    ADD_FAILURE() << "no screenshot " << tag << frame;
    // A picture no check expects.
    s.width = kW;
    s.height = kH;
    s.rgb.assign(size_t{kW} * kH * 3, 7);
    return s;
  }
  std::string Vars() { return zan.Vars(); }
  bool Has(const std::string& line) { return Vars().find(line + "\n") != std::string::npos; }
  std::string Log() {
    std::ifstream in(root / "out");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static int CountAll(const Shot& s, Rgb c) {
    return s.Count(0, 0, kW, kH, [c](Rgb p) { return Same(p, c); });
  }

  // One folder per test: a parameterised test's name ("Name/3") made a folder name.
  static std::string FolderName() {
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    return "zan_picture_scenario_" + std::to_string(::getpid()) + "_" + name;
  }
  fs::path root = fs::temp_directory_path() / FolderName();
  testing::ZanRun zan{ZAN_BINARY, root};
};

// --- Transitions -----------------------------------------------------------------------------

class CrossInFormat : public PictureScenarioTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(CrossInFormat, ACrossOfASecondFollowsItsLevelsAndTheScriptGoesOnTheFrameAfter) {
  // From frame 23: black to white over 1000 ms; when it is done, a red square at once.
  WriteGame({{"main.txt",
              "<ImageLoad 0, white.bmp, 0, 0>\n<Update Cross, 1000>\n<Mov done, 1>\n"
              "<ImageLoad 1, red.bmp, 0, 0>\n<Update Cross, 1>\n"}});
  constexpr int kLast = 70;
  ASSERT_TRUE(Run(std::string("--pixel-format ") + GetParam() + " --frames " + std::to_string(kLast + 1) +
                  Shots(kStoryStart, kLast)));
  EXPECT_TRUE(Has("done=1")) << Vars();

  // The cross starts in the interpreter of frame 23, 1 ms after frame 22 was composed.
  const int start = ComposedAt(kStoryStart - 1) + 1;
  int firstWhite = -1;
  for (int shot = kStoryStart + 1; shot <= kLast && firstWhite < 0; ++shot) {
    const int elapsed = ComposedAt(shot - 1) - start;
    const int level = CrossLevel(elapsed, 1000);
    const Shot s = Load(shot);
    const Rgb c = s.At(600, 400);
    // The formula's level, within the 16-bit formats' steps.
    for (int channel : {c.r, c.g, c.b}) EXPECT_NEAR(channel, level, 9) << "shot " << shot << " at " << elapsed << " ms";
    if (elapsed >= 270 && elapsed <= 330) EXPECT_NEAR(c.r, 100, 12) << "about a third at 300 ms";
    if (level == 255) {
      firstWhite = shot;
      EXPECT_GE(elapsed, 765);
      EXPECT_EQ(CountAll(s, kWhite), kW * kH);
    }
  }
  ASSERT_GT(firstWhite, 0);
  // Done in the frame that drew it white: the script's next scene is composed in the next.
  EXPECT_EQ(Load(firstWhite + 1).Count(0, 0, 100, 100, [](Rgb c) { return Same(c, kRed); }), 100 * 100);
}

INSTANTIATE_TEST_SUITE_P(Formats, CrossInFormat, ::testing::Values("8888", "565"));

TEST_F(PictureScenarioTest, AGameStartsAfterTheCrossFromBlack) {
  // The first element runs in frame 23: its scene fades in over 1000 ms from there.
  WriteGame({{"main.txt", "<Mov done, 1>\n<ImageLoad 0, white.bmp, 0, 0>\n<Update Cross, 1000>\n"}});
  ASSERT_TRUE(Run("--frames 23"));
  EXPECT_TRUE(Has("done=0")) << Vars();
  ASSERT_TRUE(Run("--frames 24" + Shots(2, 23)));
  EXPECT_TRUE(Has("done=1")) << Vars();
  for (int shot = 2; shot <= 23; ++shot) EXPECT_EQ(CountAll(Load(shot), kBlack), kW * kH) << shot;
}

// The frames of a transition from old.bmp to new.bmp started in frame 24, when `mid` and
// `end` ms have passed.
struct KindCase {
  const char* update;  // the tag
  int midMs;
  int endMs;
  bool oldShowsMidway;  // exact pixels of each scene mid-way
  bool newShowsMidway;
};

class TransitionKindTest : public PictureScenarioTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(TransitionKindTest, ShowsAMixMidwayAndExactlyTheNewSceneWhenDone) {
  const KindCase& k = GetParam();
  WriteGame({{"main.txt", std::string("<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n"
                                      "<ImageLoad 0, new.bmp, 0, 0>\n") +
                              k.update + "\n<Mov done, 1>\n"}});
  // Started by the interpreter of frame 24 (frame 23 showed old.bmp through a 1 ms cross).
  const int start = ComposedAt(kStoryStart) + 1;
  auto shotAt = [&](int ms) {
    int shot = kStoryStart + 2;
    while (ComposedAt(shot - 1) - start < ms) ++shot;
    return shot;
  };
  const int mid = shotAt(k.midMs);
  const int end = shotAt(k.endMs);
  ASSERT_TRUE(Run("--frames " + std::to_string(end + 1) + Shots(mid, mid) + Shots(end, end)));
  EXPECT_TRUE(Has("done=1")) << k.update << "\n" << Vars();

  const Shot m = Load(mid);
  const int olds = CountAll(m, kOld);
  const int news = CountAll(m, kNew);
  EXPECT_LT(olds, kW * kH) << k.update;
  EXPECT_LT(news, kW * kH) << k.update;
  if (k.oldShowsMidway) EXPECT_GT(olds, kW * kH / 200) << k.update;
  if (k.newShowsMidway) EXPECT_GT(news, kW * kH / 200) << k.update;
  EXPECT_EQ(CountAll(Load(end), kNew), kW * kH) << k.update;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TransitionKindTest,
    ::testing::Values(
        // Blinds of 16 pixels over 66 steps; the circle runs 1.5 times its duration.
        KindCase{"<Update Blind, 2000>", 1000, 2100, true, true},
        KindCase{"<Update Circle, 2000>", 1500, 3100, true, true},
        // The wipe's map is small away from the centre: early on, the old scene shows there.
        KindCase{"<Update Waip, 2000>", 300, 2100, true, false},
        KindCase{"<Update NoiseC, 2000>", 500, 2100, false, false},
        KindCase{"<Update Cross, 2000>", 1000, 2100, false, false},
        // The picture kinds by a ramp from left (0) to right (255).
        KindCase{"<Update ImageCross, 2000, ramp.bmp>", 700, 2100, true, false},
        // The directional form slides the halves mask in: one half of each scene.
        KindCase{"<Update ImageCross, 2000, halves.bmp, left>", 600, 2100, true, true},
        KindCase{"<Update ImageCross, 2000, halves.bmp, bottom>", 600, 2100, true, true},
        KindCase{"<Update ImageBlind, 2000, ramp.bmp>", 1000, 2100, true, true},
        KindCase{"<Update MaskCross, 2000, ramp.bmp>", 1000, 2100, true, true},
        // Three pattern frames of 40 x 30, 1000 ms each: mid-way the second (half ink).
        KindCase{"<Update Pattern, 3000, pattern.bmp, 2, 40, 30>", 1500, 3100, false, true}));

TEST_F(PictureScenarioTest, WaterLastsThreeSecondsWhateverItsDurationSays) {
  WriteGame({{"main.txt", "<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n<ImageLoad 0, new.bmp, 0, 0>\n"
                          "<Update Water, 100>\n<Mov done, 1>\n"}});
  const int start = ComposedAt(kStoryStart) + 1;
  // Level elapsed / 11 (3000 >> 8), the last frame before 2805 ms still short of the end.
  int last = kStoryStart + 2;
  while (ComposedAt(last) - start < 2805) ++last;
  const int second = kStoryStart + 2 + 30;  // about 1000 ms in
  ASSERT_TRUE(Run("--frames " + std::to_string(last + 1) + Shots(second, second) + Shots(last, last)));
  EXPECT_TRUE(Has("done=0")) << Vars();
  EXPECT_EQ(CountAll(Load(second), kNew), 0);
  EXPECT_EQ(CountAll(Load(second), kOld), 0);
  EXPECT_LT(CountAll(Load(last), kNew), kW * kH);  // composed in last - 1, before 2805 ms
  ASSERT_TRUE(Run("--frames " + std::to_string(last + 2) + Shots(last + 1, last + 1)));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_EQ(CountAll(Load(last + 1), kNew), kW * kH);  // composed in `last`, the end
}

struct MaskCase {
  const char* kind;
  Rgb left;  // half-way
  Rgb right;
};

class MaskCrossTest : public PictureScenarioTest, public ::testing::WithParamInterface<MaskCase> {};

TEST_P(MaskCrossTest, HalfwayEachHalfShowsExactlyOneScene) {
  const MaskCase& c = GetParam();
  WriteGame({{"main.txt", std::string("<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n"
                                      "<ImageLoad 0, new.bmp, 0, 0>\n<Update ") +
                              c.kind + ", 2000, halves.bmp>\n"}});
  const int mid = kStoryStart + 2 + 30;  // about 1000 ms in
  ASSERT_TRUE(Run("--frames " + std::to_string(mid + 1) + Shots(mid, mid)));
  const Shot s = Load(mid);
  EXPECT_EQ(s.Count(0, 0, kW / 2, kH, [&](Rgb p) { return Same(p, c.left); }), kW / 2 * kH) << c.kind;
  EXPECT_EQ(s.Count(kW / 2, 0, kW, kH, [&](Rgb p) { return Same(p, c.right); }), kW / 2 * kH) << c.kind;
}

// Low mask values turn first; reversed, high ones.
INSTANTIATE_TEST_SUITE_P(Both, MaskCrossTest,
                         ::testing::Values(MaskCase{"MaskCross", kNew, kOld}, MaskCase{"MaskCrossR", kOld, kNew}));

// Scripts whose transition shows the new scene at once: the frame after the Update shows it
// whole, and the script went on.
const char* kHeldScene =
    "<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n<TW 2000>\n<ImageLoad 0, new.bmp, 0, 0>\n"
    "<Update Cross, 3000>\n<Mov done, 1>\n";

TEST_F(PictureScenarioTest, EffectsOffShowTheNewSceneAtOnce) {
  WriteGame({{"main.txt", kHeldScene}});
  // The timed wait ends in frame 24 + 60 at the latest; 10 frames later a cross of 3000 ms
  // would still be at its start.
  const int shot = kStoryStart + 2 + 60 + 10;
  ASSERT_TRUE(Run("--frames " + std::to_string(shot + 1) + Shots(shot, shot)));
  EXPECT_LT(CountAll(Load(shot), kNew), kW * kH) << "with effects on, a cross";
  WriteOptions([](OptionsBlock& o) { o.noEffects = 1; });
  ASSERT_TRUE(Run("--frames " + std::to_string(shot + 1) + Shots(shot, shot)));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_EQ(CountAll(Load(shot), kNew), kW * kH);
}

TEST_F(PictureScenarioTest, SkipModeShowsTheNewSceneAtOnce) {
  WriteGame({{"main.txt", kHeldScene}});
  WriteOptions([](OptionsBlock& o) { o.skipUnread = 1; });
  // S at frame 30 turns skip on (released at 31): the timed wait ends, the cross is skipped.
  const int shot = 36;
  ASSERT_TRUE(Run("--frames " + std::to_string(shot + 1) + Shots(shot, shot), "30 key S\n"));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_EQ(CountAll(Load(shot), kNew), kW * kH);
}

TEST_F(PictureScenarioTest, ATransitionThatCannotRunNeverHoldsTheStory) {
  // Each shows new.bmp at once; the script goes on to count them.
  WriteGame({{"main.txt",
              "<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n<ImageLoad 0, new.bmp, 0, 0>\n"
              "<Update MaskCross, 1000, missing.bmp>\n<Inc d>\n"
              "<Update ImageBlind, 1000, missing.bmp>\n<Inc d>\n"
              "<Update Pattern, 1000, pattern.bmp, 2, 0, 30>\n<Inc d>\n"
              "<Update Pattern, 1000, pattern.bmp, -1, 40, 30>\n<Inc d>\n"
              "<Update Sparkle, 1000>\n<Inc d>\n<Mov done, 1>\n"}});
  const int shot = kStoryStart + 8;
  ASSERT_TRUE(Run("--frames " + std::to_string(shot + 1) + Shots(kStoryStart + 3, shot)));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_TRUE(Has("d=5")) << Vars();
  for (int s = kStoryStart + 3; s <= shot; ++s) EXPECT_EQ(CountAll(Load(s), kNew), kW * kH) << s;
  const std::string log = Log();
  EXPECT_NE(log.find("missing.bmp"), std::string::npos) << log;
  EXPECT_NE(log.find("Sparkle"), std::string::npos) << log;
  EXPECT_NE(log.find("pattern cell of 0x30"), std::string::npos) << log;
  EXPECT_NE(log.find("a pattern of 0 frames"), std::string::npos) << log;
}

TEST_F(PictureScenarioTest, AClickFinishesATransitionAtOnce) {
  WriteGame({{"main.txt", "<ImageLoad 0, old.bmp, 0, 0>\n<Update Cross, 1>\n<ImageLoad 0, new.bmp, 0, 0>\n"
                          "<Update Circle, 5000>\n<Mov done, 1>\n"}});
  // The pointer moves at frame 30, the button goes down at 31 and up at 32: the circle,
  // early on, ends in that frame.
  ASSERT_TRUE(Run("--frames 36" + Shots(32, 33), "30 click 100 100\n"));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_LT(CountAll(Load(32), kNew), kW * kH);
  EXPECT_EQ(CountAll(Load(33), kNew), kW * kH);
}

// --- Weather ---------------------------------------------------------------------------------

// Lit pixels of a screenshot over a black scene, and how many of them have a lit neighbour
// below and to the right.
struct Streaks {
  int lit = 0;
  int vertical = 0;
  int horizontal = 0;
};
Streaks Measure(const Shot& s) {
  Streaks r;
  auto lit = [&](int x, int y) { return !IsBlack(s.At(x, y)); };
  for (int y = 0; y < kH - 1; ++y)
    for (int x = 0; x < kW - 1; ++x) {
      if (!lit(x, y)) continue;
      ++r.lit;
      r.vertical += lit(x, y + 1) ? 1 : 0;
      r.horizontal += lit(x + 1, y) ? 1 : 0;
    }
  return r;
}

TEST_F(PictureScenarioTest, RainAtFullPowerNowFallsInStreaksThatTheAngleTurns) {
  WriteGame({{"main.txt", "<EasyRainPow 1999>\n<EasyRain ON, Now>\n"},
             {"side.txt", "<EasyRainPow 1999>\n<EasyRainAngle 90>\n<EasyRain ON, Now>\n"}});
  const int shot = kStoryStart + 2;  // the first frame drawn with the rain
  ASSERT_TRUE(Run("--seed 7 --frames " + std::to_string(shot + 1) + Shots(shot, shot)));
  const Streaks down = Measure(Load(shot));
  EXPECT_GE(down.lit, kW * kH / 100);
  EXPECT_GT(down.vertical, 5 * down.horizontal) << down.vertical << " " << down.horizontal;
  // Streaks lighten toward white: greys only.
  EXPECT_EQ(Load(shot).Count(0, 0, kW, kH, [](Rgb c) { return c.r != c.g || c.g != c.b; }), 0);

  ASSERT_TRUE(Run("--seed 7 --start side.txt --frames " + std::to_string(shot + 1) + Shots(shot, shot)));
  const Streaks across = Measure(Load(shot));
  EXPECT_GE(across.lit, kW * kH / 100);
  EXPECT_GT(across.horizontal, 5 * across.vertical) << across.horizontal << " " << across.vertical;
}

TEST_F(PictureScenarioTest, RainWithoutNowStartsFromTheSceneAndOffReturnsToIt) {
  WriteGame({{"main.txt", "<EasyRain ON>\n"},
             {"off.txt", "<EasyRainPow 1999>\n<EasyRain ON, Now>\n<TW 300>\n<EasyRain OFF>\n<Mov done, 1>\n"}});
  // Every particle waits rand mod 800 frames, and one spawning draws nothing in its frame.
  ASSERT_TRUE(Run("--frames 26" + Shots(kStoryStart + 1, kStoryStart + 2)));
  EXPECT_EQ(CountAll(Load(kStoryStart + 1), kBlack), kW * kH);
  EXPECT_EQ(CountAll(Load(kStoryStart + 2), kBlack), kW * kH);

  ASSERT_TRUE(Run("--start off.txt --frames 50" + Shots(kStoryStart + 3, 49)));
  EXPECT_TRUE(Has("done=1")) << Vars();
  EXPECT_GE(Measure(Load(kStoryStart + 3)).lit, kW * kH / 100);
  EXPECT_EQ(CountAll(Load(49), kBlack), kW * kH);
}

struct SpriteCase {
  const char* script;
  bool (*ink)(Rgb);
};

class SpriteWeatherTest : public PictureScenarioTest, public ::testing::WithParamInterface<SpriteCase> {};

TEST_P(SpriteWeatherTest, DrawsItsPicturesAndMovesThemFrameByFrame) {
  WriteGame({{"main.txt", GetParam().script}});
  const int first = kStoryStart + 2;
  ASSERT_TRUE(Run("--seed 11 --frames " + std::to_string(first + 3) + Shots(first, first + 2)));
  const Shot a = Load(first);
  const Shot b = Load(first + 1);
  EXPECT_GT(a.Count(0, 0, kW, kH, GetParam().ink), 200);
  // Nothing but the pictures is drawn.
  EXPECT_EQ(a.Count(0, 0, kW, kH, [](Rgb c) { return !IsBlack(c) && c.r == 0 && c.g == 255; }), 0);
  EXPECT_NE(a.rgb, b.rgb) << "the particles move";
  EXPECT_NE(Load(first + 2).rgb, b.rgb);
}

INSTANTIATE_TEST_SUITE_P(
    SnowAndLeaves, SpriteWeatherTest,
    ::testing::Values(
        // Flakes add their grey onto black.
        SpriteCase{"<EasySnowPow 600>\n<EasySnow ON, Now>\n",
                   [](Rgb c) { return !IsBlack(c) && c.r == c.g && c.g == c.b; }},
        SpriteCase{"<EasyLeafPow 300>\n<EasyLeaf ON, Now>\n", [](Rgb c) { return Same(c, kLeafInk); }}));

TEST_F(PictureScenarioTest, AMissingLeafSheetLeavesTheSceneAndIsReportedOnce) {
  WriteGame({{"main.txt", "<EasyLeaf ON, Now>\n"}}, /*leaves=*/false);
  ASSERT_TRUE(Run("--frames 40" + Shots(kStoryStart + 2, 39)));
  for (int s = kStoryStart + 2; s <= 39; ++s) EXPECT_EQ(CountAll(Load(s), kBlack), kW * kH) << s;
  const std::string log = Log();
  const size_t at = log.find("chaha00.bmp");
  ASSERT_NE(at, std::string::npos) << log;
  EXPECT_EQ(log.find("chaha00.bmp", at + 1), std::string::npos) << log;
}

TEST_F(PictureScenarioTest, TheSameSeedGivesTheSameFramesAndAnotherSeedOthers) {
  WriteGame({{"main.txt", "<EasyRainPow 500>\n<EasyRain ON, Now>\n<EasySnow ON, Now>\n<EasyLeaf ON, Now>\n"}});
  const int shot = kStoryStart + 10;
  auto frameOf = [&](const std::string& seed, const std::string& tag) {
    EXPECT_TRUE(Run(seed + " --frames " + std::to_string(shot + 1) + Shots(shot, shot, tag)));
    return testing::ReadBytes(Path(tag + std::to_string(shot) + ".png"));
  };
  const auto first = frameOf("--seed 3", "a");
  ASSERT_FALSE(first.empty());
  EXPECT_EQ(frameOf("--seed 3", "b"), first);
  EXPECT_NE(frameOf("--seed 4", "c"), first);
  // Without a seed a headless run repeats too.
  EXPECT_EQ(frameOf("", "d"), frameOf("", "e"));
}

}  // namespace
}  // namespace zan
