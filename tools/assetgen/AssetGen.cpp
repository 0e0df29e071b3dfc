#include "AssetGen.h"

#include "Pictures.h"
#include "Sounds.h"
#include "Stage.h"

namespace zan::assetgen {
namespace {

// The main window as the engine shows it with the default settings: tinted with the
// window colour 119, 119, 119 at the opacity 190.
Canvas Tinted(const Canvas& win) {
  Canvas out(win.width(), win.height());
  for (int y = 0; y < win.height(); ++y)
    for (int x = 0; x < win.width(); ++x) {
      Rgba p = win.At(x, y);
      if (p.a <= 0) continue;
      const float k = 119.0f / 255.0f;
      out.Fill(RoundRect(x, y, 1, 1, 0), Solid({p.r * k, p.g * k, p.b * k, 1}), p.a * 190.0f / 255.0f, Blend::Over, x, y, x + 1, y + 1);
    }
  return out;
}

// How a scene will look in the game, roughly: background, two characters placed as the
// script places them with an expression and a blink frame, the window and the buttons.
void MockScreen(Stage& stage, const Font& font) {
  const Canvas *bg = stage.Kept("bg_hill_night.bmp"), *akari = stage.Kept("akari.bmp"), *noel = stage.Kept("noel.bmp"),
               *smile = stage.Kept("akari_smile.bmp"), *eyes = stage.Kept("noel_eye.bmp"), *win = stage.Kept("win.bmp"),
               *buttons = stage.Kept("sysbtn.bmp"), *choice = stage.Kept("選択肢.bmp"), *choiceOn = stage.Kept("選択肢_ON.bmp");
  if (!bg || !akari || !noel || !smile || !eyes || !win || !buttons || !choice || !choiceOn) return;
  Canvas c = *bg;
  int ax = 200 - akari->width() / 2, ay = 600 - akari->height();
  int nx = 600 - noel->width() / 2, ny = 600 - noel->height();
  c.Draw(*akari, ax, ay);
  c.Draw(*smile, ax + kAkariFace.x, ay + kAkariFace.y);
  c.Draw(*noel, nx, ny);
  c.Draw(eyes->Crop(kNoelEyes.w * 2, 0, kNoelEyes.w, kNoelEyes.h), nx + kNoelEyes.x, ny + kNoelEyes.y);
  Canvas play = c;
  play.Draw(Tinted(*win), 0, 400);
  for (int b = 0; b < 7; ++b) play.Draw(buttons->Crop(0, b * 20, 64, 20), 350 + b * 64, 402);
  play.FillMask(font.Render("灯", 24), 6, 428, Solid(Hex(0xFFFFFF)));
  play.FillMask(font.Render("「ねえ、見て。流れ星！」", 22), 48, 486, Solid(Hex(0xFFFFFF)));
  stage.Preview("mock_play.bmp", play);
  Canvas pick = c;
  pick.Draw(*choiceOn, 0, 80);
  pick.Draw(*choice, 0, 138);
  pick.FillMask(font.Render("灯台へ向かう", 24), (800 - 24 * 6) / 2, 92, Solid(Hex(0xFFFFFF)));
  pick.FillMask(font.Render("浜辺へ向かう", 24), (800 - 24 * 6) / 2, 151, Solid(Hex(0xFFFFFF)));
  stage.Preview("mock_choice.bmp", pick);
}

}  // namespace

Result<std::vector<std::string>> Generate(const Options& o) {
  Stage stage(o.out, o.preview);
  if (o.pictures) {
    Result<Font> font = Font::Open();
    if (!font) return font.error();
    MakeScenes(stage, *font);
    MakeCharacters(stage);
    MakeInterface(stage, *font);
    MakeSaveScreens(stage, *font);
    if (stage.previewing()) MockScreen(stage, *font);
  }
  if (o.sounds) MakeSounds(stage);
  if (!stage.status().ok()) return stage.status().error();
  return stage.written();
}

}  // namespace zan::assetgen
