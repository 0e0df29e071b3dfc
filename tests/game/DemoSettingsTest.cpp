// What the demo says of itself in dat/game.csv: its own name in the title bar, and a main
// message window that stays legible: text new and read reaches the 4.5:1 contrast of WCAG 2
// (level AA) against every pixel the engine draws under the text, whatever the scene behind
// the window. The colours are the demo's own (game.csv, the scripts' font colours for area
// 0); the window is its picture, tinted and blended by the engine's code.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../surface/TestSurfaces.h"
#include "app/GameSettings.h"
#include "base/ShiftJis.h"
#include "message/MessageArea.h"
#include "platform/Files.h"
#include "script/Options.h"
#include "surface/Bitmap.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// WCAG 2 relative luminance of an sRGB colour.
double Luminance(Rgb c) {
  auto linear = [](uint8_t v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ToRgb(const uint8_t (&c)[3]) { return {c[0], c[1], c[2]}; }

// The colours area 0 draws new text in: its default colour and every colour the scripts
// give text there, following <WinCurrent n> through each script in file order.
std::vector<Rgb> AreaZeroTextColours(const fs::path& scripts, Rgb fallback) {
  std::vector<Rgb> colours;
  bool defaultSet = false;
  const std::regex tag(R"(<(WinCurrent|WinDefFontColor|WinFontColor)\s+([0-9 ,]+)>)");
  for (const auto& entry : fs::directory_iterator(scripts)) {
    const std::string text = ReadText(entry.path());
    int area = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), tag); it != std::sregex_iterator(); ++it) {
      const std::string name = (*it)[1];
      int v[3] = {0, 0, 0};
      std::sscanf((*it)[2].str().c_str(), "%d , %d , %d", &v[0], &v[1], &v[2]);
      if (name == "WinCurrent") {
        area = v[0];
      } else if (area == 0) {
        colours.push_back({static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2])});
        defaultSet = defaultSet || name == "WinDefFontColor";
      }
    }
  }
  if (!defaultSet) colours.push_back(fallback);
  return colours;
}

GameSettings DemoSettings() {
  return GameSettings::Parse(Sjis(ReadText(fs::path(ZAN_GAME_SOURCE_DIR) / "dat" / "game.csv")));
}

TEST(DemoSettingsTest, TheTitleBarShowsTheDemosOwnName) {
  EXPECT_EQ(SjisToUtf8(DemoSettings().titleSjis), "星を拾った夜");
}

TEST(DemoSettingsTest, NewAndReadTextReachAaContrastOnTheMainWindow) {
  const fs::path source = ZAN_GAME_SOURCE_DIR;
  const GameSettings settings = DemoSettings();
  OptionsBlock options;
  settings.ApplyDefaults(options);
  // The demo chooses its own window and read-text colours.
  ASSERT_TRUE(settings.windowColour && settings.windowOpacity && settings.readTextColour);

  auto file = ReadWholeFile((fs::path(ZAN_DEMO_STAGE_DIR) / "gra" / "win.bmp").string());
  ASSERT_TRUE(file) << file.error().message;
  Bitmap picture;
  ASSERT_EQ(picture.CreateFromBMP(*file), ReadResult::kOk);
  TintPicture(picture, ToRgb(options.windowTint), options.windowOpacity);
  const int32_t w = picture.BitmapWidth(), h = picture.BitmapHeight();
  auto window = test::MakeSurface(8888, w, h);
  ASSERT_TRUE(window->CopyFromBitmap(picture));
  window->Alpha().Blt(0, 0, w, h, picture.Alpha(), 0, 0, 0);

  std::vector<std::pair<std::string, Rgb>> texts;
  for (Rgb c : AreaZeroTextColours(source / "msg", ToRgb(options.textColour))) texts.emplace_back("new", c);
  texts.emplace_back("read", ToRgb(options.readTextColour));

  // Where area 0 writes (setup.txt: WinMsgHome 48, 74; four lines of 22-pixel text, 30
  // characters wide), drawn over the darkest and the lightest scene.
  for (const Rgb scene : {Rgb{0, 0, 0}, Rgb{255, 255, 255}}) {
    auto screen = test::MakeSurface(8888, w, h);
    screen->FillAll(scene.r, scene.g, scene.b);
    screen->Blt(0, 0, w, h, *window, 0, 0, 2);
    for (const auto& [what, colour] : texts) {
      double worst = 1e9;
      for (int32_t y = 74; y < 74 + 4 * 28; ++y)
        for (int32_t x = 48; x < 48 + 30 * 22; ++x) worst = std::min(worst, Contrast(colour, test::Colour(*screen, x, y)));
      EXPECT_GE(worst, 4.5) << what << " text " << int(colour.r) << "," << int(colour.g) << "," << int(colour.b)
                            << " over a scene of " << int(scene.r);
      RecordProperty(what + "_" + std::to_string(scene.r) + "_" + std::to_string(colour.r) + "_" +
                         std::to_string(colour.g) + "_" + std::to_string(colour.b),
                     std::to_string(worst));
    }
  }
}

}  // namespace
}  // namespace zan
