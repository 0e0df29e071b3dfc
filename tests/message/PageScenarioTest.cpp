// The real `zan` binary, headless, on a page of Japanese text with a speaker, ruby, an
// inline icon, a colour change and a size change (tests/message/games/page); the pictures
// are made here. Screenshots are checked by counting pixels in regions, not whole images.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

#include "../platform/JapaneseFont.h"
#include "../surface/TestPng.h"
#include "TestArchiveWriter.h"
#include "ZanRun.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

struct Rgba {
  uint8_t r, g, b, a;
};

// A 32-bit BMP (B, G, R, A, rows bottom-up).
std::vector<uint8_t> Bmp32(int32_t w, int32_t h, const std::function<Rgba(int32_t, int32_t)>& at) {
  const uint32_t image = static_cast<uint32_t>(w * h * 4);
  std::vector<uint8_t> out(54 + image);
  auto put32 = [&](size_t o, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[o + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  out[0] = 'B';
  out[1] = 'M';
  put32(2, 54 + image);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  out[26] = 1;
  out[28] = 32;
  put32(34, image);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const Rgba c = at(x, h - 1 - y);
      uint8_t* p = &out[54 + static_cast<size_t>((y * w + x) * 4)];
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
      p[3] = c.a;
    }
  return out;
}

struct Shot {
  std::vector<uint8_t> rgb;
  int width = 0;
  int height = 0;
  Rgba At(int x, int y) const {
    test::CheckInside(x, y, width, height);
    const uint8_t* p = &rgb[static_cast<size_t>((y * width + x) * 3)];
    return {p[0], p[1], p[2], 255};
  }
  // Pixels in [x0, x1) x [y0, y1) that pass `test`.
  int Count(int x0, int y0, int x1, int y1, const std::function<bool(Rgba)>& test) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += test(At(x, y)) ? 1 : 0;
    return n;
  }
};

// Text drawn in white stands out of the grey window (about 44 to 58) even while it fades in.
bool White(Rgba c) { return c.r > 100 && c.g > 100 && c.b > 100; }
bool Red(Rgba c) { return c.r > 180 && c.g < 120 && c.b < 120; }
bool Magenta(Rgba c) { return c.r > 200 && c.g < 60 && c.b > 200; }

class PageScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) !=
        "AMissingJapaneseFontStopsTheStartWithAMessage") {
      ZAN_SKIP_WITHOUT_JAPANESE_FONT();
    }
    root = fs::temp_directory_path() / ("zan_page_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root / "run");
    fs::copy(ZAN_PAGE_GAME_DIR, root / "game", fs::copy_options::recursive);
    setenv("XDG_RUNTIME_DIR", (root / "run").c_str(), 1);
    // The pictures: a plain grey window, the icon strip, and a magenta icon.
    std::vector<testing::TestEntry> pictures;
    auto add = [&](const char* utf8, std::vector<uint8_t> bytes) {
      pictures.push_back({Sjis(utf8), std::move(bytes), false});
    };
    add("win.bmp", Bmp32(800, 200, [](int32_t, int32_t) { return Rgba{128, 128, 128, 255}; }));
    add("送りアイコン.bmp", Bmp32(256, 32, [](int32_t, int32_t) { return Rgba{0, 255, 0, 255}; }));
    add("icon_star.bmp", Bmp32(24, 24, [](int32_t, int32_t) { return Rgba{255, 0, 255, 255}; }));
    testing::WriteBytes((root / "game" / "gra.arc").string(), testing::WriteTestArchive(pictures, "Rod7Q", true));
  }
  void TearDown() override {
    if (!getenv("ZAN_KEEP") && !root.empty()) fs::remove_all(root);
  }

  // zan --headless ARGS game (no shell; the files it is asked to write removed first): its
  // exit code, -1 when it did not end by itself.
  int Run(const std::string& args) {
    std::vector<std::string> argv = {ZAN_BINARY, "--headless"};
    for (const std::string& word : testing::Words(args)) argv.push_back(word);
    testing::ZanRun::StartStoryUnlessGiven(argv);
    argv.push_back((root / "game").string());
    for (const fs::path& output : testing::ZanRun::Outputs(argv)) fs::remove(output);
    return testing::RunProgram(argv, {.out = (root / "out").string(), .err = (root / "err").string()});
  }
  std::string Err() {
    std::ifstream in(root / "err");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Shot Load(const std::string& name) {
    Shot s;
    s.rgb = test::ReadPng((root / name).string(), &s.width, &s.height);
    EXPECT_EQ(s.width, 800) << name;
    return s;
  }
  // Frames count from the story's first frame: a new game's scene fades in over 1000 ms,
  // so the script's first element runs in frame 23.
  static constexpr int kStoryStart = 23;
  static std::string Frames(int n) { return "--frames " + std::to_string(n + kStoryStart); }
  std::string ShotArg(int frame, const std::string& name) {
    return " --screenshot " + std::to_string(frame + kStoryStart) + ":" + (root / name).string();
  }

  fs::path root;
};

// The window is at (0, 400), the text home (40, 60): the ruby band from y = 460, the first
// line from y = 470. The name plate is at (6, 428), 256 x 36.
constexpr int kTextTop = 460;

TEST_F(PageScenarioTest, APageTypesItselfOutInTheWindowAtTheTextHome) {
  ASSERT_EQ(Run(Frames(60) + ShotArg(4, "early.png") + ShotArg(12, "middle.png") +
                ShotArg(55, "page.png")),
            0)
      << Err();
  const Shot early = Load("early.png");
  const Shot middle = Load("middle.png");
  const Shot page = Load("page.png");
  auto text = [](const Shot& s) { return s.Count(0, kTextTop, 800, 600, White); };
  EXPECT_GT(text(early), 0);
  EXPECT_LT(text(early), text(middle));
  EXPECT_LT(text(middle), text(page));

  // Nothing left of the text home or above the window; the first character starts at it.
  EXPECT_EQ(page.Count(0, kTextTop, 40, 600, White), 0);
  EXPECT_EQ(page.Count(0, 0, 800, 400, White), 0);
  EXPECT_GT(page.Count(40, 470, 64, 500, White), 20);
  // The window picture: grey, tinted darker.
  const Rgba window = page.At(780, 590);
  EXPECT_GT(window.r, 30);
  EXPECT_LT(window.r, 100);
  EXPECT_EQ(window.r, window.b);
  // The speaker on the name plate.
  EXPECT_GT(page.Count(6, 428, 6 + 24, 428 + 24, White), 20);
  // Ruby above the line (the band between the home and the first line).
  EXPECT_GT(page.Count(40, kTextTop, 400, 470, White), 5);
  // The icon, the red words and the large character on the second line.
  EXPECT_GT(page.Count(40, 470, 400, 500, Magenta), 200);
  EXPECT_GT(page.Count(40, 500, 400, 560, Red), 50);
  int rows = 0;
  for (int y = 500; y < 580; ++y) rows += page.Count(150, y, 400, y + 1, White) > 0 ? 1 : 0;
  EXPECT_GT(rows, 30);  // the 40-pixel character stands taller than the 24-pixel line above
  // The page-advance icon (the strip's first frame, pure green) once the page is complete.
  EXPECT_GT(page.Count(750, 544, 782, 576, [](Rgba c) { return c.g > 200 && c.r < 40; }), 500);
  EXPECT_EQ(middle.Count(750, 544, 782, 576, [](Rgba c) { return c.g > 200 && c.r < 40; }), 0);
}

TEST_F(PageScenarioTest, AClickShowsTheWholePageAtOnceAndTheNextOneAdvances) {
  std::ofstream(root / "input") << 6 + kStoryStart << " click 400 300\n" << 40 + kStoryStart << " click 400 300\n";
  ASSERT_EQ(Run(Frames(80) + " --input " + (root / "input").string() + " --dump-vars " +
                (root / "vars").string() + ShotArg(5, "before.png") + ShotArg(9, "after.png") +
                ShotArg(30, "still.png") + ShotArg(75, "next.png")),
            0)
      << Err();
  const Shot before = Load("before.png");
  const Shot after = Load("after.png");
  const Shot still = Load("still.png");
  const Shot next = Load("next.png");
  auto text = [](const Shot& s) { return s.Count(0, kTextTop, 800, 600, White); };
  EXPECT_LT(text(before) * 3, text(after));
  EXPECT_EQ(text(after), text(still));  // complete right after the click
  EXPECT_GT(after.Count(40, 500, 400, 560, Red), 50);
  // The second click went to the next page.
  std::ifstream vars(root / "vars");
  const std::string dump(std::istreambuf_iterator<char>(vars), {});
  EXPECT_NE(dump.find("page=1"), std::string::npos) << dump;
  EXPECT_EQ(next.Count(40, 500, 400, 560, Red), 0);
  EXPECT_GT(text(next), 0);
}

TEST_F(PageScenarioTest, TextReadInAnEarlierPlayIsDrawnInTheReadTextColour) {
  // The read flags of the first play stay in the game's sys folder; the settings' read-text
  // colour is 0, 0, 160.
  auto blue = [](Rgba c) { return c.b > 120 && c.r < 40 && c.g < 40; };
  ASSERT_EQ(Run(Frames(60) + ShotArg(55, "first.png")), 0) << Err();
  ASSERT_EQ(Run(Frames(60) + ShotArg(55, "second.png")), 0) << Err();
  const Shot first = Load("first.png");
  const Shot second = Load("second.png");
  EXPECT_GT(first.Count(40, 470, 800, 600, White), 200);
  EXPECT_EQ(first.Count(40, 470, 800, 600, blue), 0);
  // Every character, the red ones included, is in the read-text colour; the speaker is not.
  EXPECT_EQ(second.Count(40, 470, 800, 600, White), 0);
  EXPECT_EQ(second.Count(40, 470, 800, 600, Red), 0);
  EXPECT_GT(second.Count(40, 470, 800, 600, blue), 200);
  EXPECT_GT(second.Count(6, 428, 6 + 24, 428 + 24, White), 20);
}

TEST_F(PageScenarioTest, AMissingJapaneseFontStopsTheStartWithAMessage) {
  // A fontconfig configuration that knows no fonts at all.
  std::ofstream(root / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>"
                                     << (root / "fc-cache").string() << "</cachedir></fontconfig>\n";
  setenv("FONTCONFIG_FILE", (root / "fonts.conf").c_str(), 1);
  const int status = Run("--frames 10");
  unsetenv("FONTCONFIG_FILE");
  EXPECT_EQ(status, 1);
  EXPECT_NE(Err().find("fonts-ipafont-gothic"), std::string::npos) << Err();
}

}  // namespace
}  // namespace zan
