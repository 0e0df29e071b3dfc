// The image and zoom commands as scripts run them: arguments and keywords, the position
// form, z swaps, abbreviations and gallery flags, the wait option on the headless clock,
// skip mode and effects switched off, results, and "Update".

#include <gtest/gtest.h>

#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "ScriptTestGame.h"
#include "data/CsvRowTable.h"
#include "data/NameList.h"
#include "surface/SurfaceFormat.h"
#include "stage/ImageLayers.h"

namespace zan {
namespace {

using R = DispatchResult;
using test::BmpForm;
using test::FlatBmp;
using testing::ScriptTestGame;

const char* kVariables =
    "種類,名前,初期値,最小,最大\n"
    "INT,done,0,0,100\n"
    "INT,slot,0,0,100\n";
const char* kAbbreviations =
    "略称,説明,画像,重ね画像,重ねX,重ねY\n"
    "丸,丸い顔,tall.bmp,dot.bmp,5,6\n"
    "素,素顔,wide.bmp,,0,0\n";
const char* kEventPictures =
    "イベントＣＧリスト\n"
    "説明\n"
    "ファイル名,説明\n"
    "ev_first.bmp,一枚目\n"
    "tall.bmp,二枚目\n"
    "missing.bmp,三枚目\n";

class ImageCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSurfaceFormatCode(8888);
    target.Create(800, 600);
  }
  void TearDown() override { SetSurfaceFormatCode(0); }

  void Play(const std::string& script) {
    game.WriteArchives({{"main.txt", script}},
                       {{"variable.csv", kVariables},
                        {"省略.csv", kAbbreviations},
                        {"イベントＣＧリスト.csv", kEventPictures}});
    testing::WriteBytes((game.Dir() / "gra.arc").string(),
                        testing::WriteTestArchive({{"tall.bmp", FlatBmp(300, 500, BmpForm::kRgb24, {200, 40, 40})},
                                                   {"wide.bmp", FlatBmp(400, 300, BmpForm::kArgb32, {40, 200, 40})},
                                                   {"dot.bmp", FlatBmp(10, 10, BmpForm::kArgb32, {255, 255, 255})},
                                                   {"eyes.bmp", FlatBmp(20, 10, BmpForm::kArgb32, {0, 0, 255})}},
                                                  "Rod7Q", true));
    // The tables again, with a binary eye definition (two frames of the sheet) beside them.
    testing::WriteBytes((game.Dir() / "dat.arc").string(),
                        testing::WriteTestArchive({{"variable.csv", testing::GameBytes(kVariables)},
                                                   {Sjis("省略.csv"), testing::GameBytes(kAbbreviations)},
                                                   {Sjis("イベントＣＧリスト.csv"), testing::GameBytes(kEventPictures)},
                                                   {"eye.dat", test::EyeDefinitionFile("eyes.bmp", {{0, 0, 10, 10, 3},
                                                                                                    {10, 0, 10, 10, 3}})}},
                                                  "Rod7Q", true));
    game.Open(false);
    names.Load(game.Data(), Sjis("イベントＣＧリスト.csv"), kSlotTables);
    abbreviations.Load(game.Data(), Sjis("省略.csv"), kSlotTables);
    G().SetPictureTables(&names, &abbreviations);
    game.SetFrame(target);
    G().StartGame("main.txt");
  }
  Interpreter& G() { return game.Game(); }
  ImageLayers& L() { return G().Layers(); }
  ImageSlot& Slot(int32_t i) { return *L().Slot(i); }
  R Run(const std::string& tag) { return G().DispatchCommand(Sjis(tag)); }

  Surface target;
  ScriptTestGame game{"images"};
  NameList names;
  CsvRowTable abbreviations;
};

TEST_F(ImageCommandsTest, AGameStartsWithTenSlotsAndFiveZooms) {
  Play("<ImageCreate 3><ZoomCreate 2><KW>");
  EXPECT_EQ(L().SlotCount(), 10);
  EXPECT_EQ(L().ZoomCount(), 5);
  game.Frames(1);
  EXPECT_EQ(L().SlotCount(), 3);
  EXPECT_EQ(L().ZoomCount(), 2);
}

TEST_F(ImageCommandsTest, ThePositionForm) {
  Play("");
  struct Case {
    const char* tag;
    int32_t x, y, z;
  };
  const Case cases[] = {
      {"<ImageLoad 1, tall.bmp, 中>", 250, 100, 1},
      {"<ImagePos 1, 右>", 450, 100, 1},
      {"<ImagePos 1, 左, 4>", 50, 100, 4},  // a side, then the z value
      {"<ImagePos 1, -, 30>", 50, 30, 4},   // "-" keeps x
      {"<ImagePos 1, 7, -, ->", 7, 30, 4},  // "-" as z changes nothing
      {"<ImagePos 1, 5, 6, 2>", 5, 6, 2},
      {"<ImagePos 1, , 99, 3>", 5, 6, 2},  // an empty first position changes nothing
      {"<ImageLoadInit 1, tall.bmp, 左>", 50, 100, 2},
      {"<ImageLoad 1, tall.bmp>", 0, 0, 2},  // loading clears the position
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.tag), R::kContinue) << c.tag;
    EXPECT_EQ(Slot(1).x, c.x) << c.tag;
    EXPECT_EQ(Slot(1).y, c.y) << c.tag;
    EXPECT_EQ(Slot(1).z, c.z) << c.tag;
  }
  EXPECT_EQ(Slot(4).z, 1);  // slot 1 took 4 from slot 4, which took slot 1's 1
  EXPECT_EQ(Slot(2).z, 4);  // then 2 from slot 2, which took slot 1's 4
}

TEST_F(ImageCommandsTest, ImagePrySwapsZValues) {
  Play("");
  Run("<ImagePry 4, 3>");
  EXPECT_EQ(Slot(4).z, 3);
  EXPECT_EQ(Slot(3).z, 4);
  Run("<ImagePry 1, 3>");  // slot 4 held 3: it takes slot 1's old value
  EXPECT_EQ(Slot(1).z, 3);
  EXPECT_EQ(Slot(4).z, 1);
  Run("<ImagePry 1, ->");
  Run("<ImagePry 1>");
  Run("<ImagePry 1, 10>");  // outside 0..9: refused
  EXPECT_EQ(Slot(1).z, 3);
  Run("<ImageInit ALL>");
  for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(Slot(i).z, i);
}

TEST_F(ImageCommandsTest, AbbreviationsNamePictureAndOverlay) {
  Play("");
  EXPECT_EQ(Run("<Image 2, 丸, 左>"), R::kContinue);
  EXPECT_EQ(Slot(2).object->FileName(), "tall.bmp");
  EXPECT_EQ(Slot(2).effect.overlay, "dot.bmp");
  EXPECT_EQ(Slot(2).effect.overlayX, 5);
  EXPECT_EQ(Slot(2).effect.overlayY, 6);
  EXPECT_EQ(Slot(2).variant, 1);
  EXPECT_EQ(Slot(2).x, 50);
  EXPECT_EQ(Slot(2).visible, 1);
  Run("<Image 2, 素>");
  EXPECT_EQ(Slot(2).object->FileName(), "wide.bmp");
  EXPECT_TRUE(Slot(2).effect.overlay.empty());
  // An abbreviation not in the table does nothing at all.
  Run("<ImagePos 2, 11, 12>");
  Run("<Image 2, 無い, 中>");
  EXPECT_EQ(Slot(2).object->FileName(), "wide.bmp");
  EXPECT_EQ(Slot(2).x, 11);
}

TEST_F(ImageCommandsTest, ShowingAListedPictureUnlocksItsGalleryFlag) {
  Play("");
  Run("<ImageLoad 1, TALL.BMP>");  // the list is searched without regard to case
  EXPECT_TRUE(G().Gallery().Get(1));
  EXPECT_FALSE(G().Gallery().Get(0));
  Run("<ImageLoad 1, missing.bmp>");  // a picture that cannot be shown unlocks nothing
  EXPECT_FALSE(G().Gallery().Get(2));
  Run("<Image 3, 素>");
  EXPECT_FALSE(G().Gallery().Get(0));
}

TEST_F(ImageCommandsTest, ColourAndFlagCommandsEditTheEffectRecord) {
  Play("");
  Run("<ImageLoad 1, tall.bmp>");
  Run("<ImageRGBA 1, 10, 20, 30, 40>");
  EXPECT_EQ(Slot(1).effect.red, 10);
  EXPECT_EQ(Slot(1).effect.amount, 40);
  Run("<ImageRGBA 1, -, 128>");  // only green changes
  EXPECT_EQ(Slot(1).effect.red, 10);
  EXPECT_EQ(Slot(1).effect.green, 128);
  EXPECT_EQ(Slot(1).effect.blue, 30);
  EXPECT_EQ(Slot(1).effect.amount, 40);
  Run("<ImageRGBA 1, 300, -, -, -5>");  // bytes: kept within 0..255
  EXPECT_EQ(Slot(1).effect.red, 255);
  EXPECT_EQ(Slot(1).effect.amount, 0);
  Run("<ImageRGBA 1, off>");
  EXPECT_TRUE(Slot(1).effect.Empty());
  EXPECT_EQ(Slot(1).variant, 0);
  Run("<ImageReverse 1, ON>");
  Run("<ImageNegaposi 1, ON>");
  Run("<ImageMono 1, on>");  // keywords ignore case
  EXPECT_EQ(Slot(1).effect.reverse, 1);
  EXPECT_EQ(Slot(1).effect.negaposi, 1);
  EXPECT_EQ(Slot(1).effect.mono, 1);
  Run("<ImageMono 1, ONE>");  // anything but "ON" is off
  EXPECT_EQ(Slot(1).effect.mono, 0);
  Run("<ImageParts 1, dot.bmp, 3, 4>");
  EXPECT_EQ(Slot(1).effect.overlay, "dot.bmp");
  EXPECT_EQ(Slot(1).effect.overlayY, 4);
  Run("<ImagePartsDel 1>");
  EXPECT_TRUE(Slot(1).effect.overlay.empty());
  Run("<ImageVisible 1, OFF>");
  EXPECT_EQ(Slot(1).visible, 0);
  Run("<ImageRate 1, 80>");
  EXPECT_EQ(Slot(1).object->Rate(), 80);
}

TEST_F(ImageCommandsTest, SlotsOutsideTheRangeDoNothing) {
  Play("");
  EXPECT_EQ(Run("<ImageMove 10, 5, 1, 1, ON>"), R::kNoSlot);
  EXPECT_FALSE(G().Timed().active);
  EXPECT_EQ(Run("<ImageMove -1, 5, 1, 1>"), R::kNoSlot);
  EXPECT_EQ(Run("<ImageFade 10, 5, ON, ON>"), R::kContinue);
  EXPECT_EQ(Run("<ImageLoad 12, tall.bmp>"), R::kContinue);
  EXPECT_EQ(Run("<ZoomFade 5, 5, ON, ON>"), R::kContinue);
  EXPECT_EQ(Run("<ZoomMove 9, 5, SrcPos, 1, 1, ON>"), R::kContinue);
  EXPECT_FALSE(G().Timed().active);
}

TEST_F(ImageCommandsTest, AWaitOf30FramesHoldsTheScript1000Milliseconds) {
  Play("<ImageMove 1, 30, 10, 10, ON><Mov done, 1><KW>");
  game.Frames(1);
  EXPECT_TRUE(G().Timed().active);
  EXPECT_EQ(G().Timed().duration, 1000u);
  // Frames 33 ms apart: the wait started in the first frame; 31 frames later 1023 ms have
  // passed.
  game.Frames(30);
  EXPECT_EQ(game.Var("done"), 0);
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 1);
  EXPECT_EQ(Slot(1).x, 10);
}

TEST_F(ImageCommandsTest, AWaitOfNoFramesStopsOnlyForTheFrame) {
  Play("先の文<ImageMove 1, 0, 10, 10, ON><Mov done, 1><KW>");
  game.Frames(1);
  EXPECT_FALSE(G().Timed().active);
  EXPECT_EQ(game.Var("done"), 0);  // the frame ended at the wait, the page presented
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 1);
}

TEST_F(ImageCommandsTest, WaitOptionsOfEveryAnimatedCommand) {
  Play("");
  Run("<ImageLoad 1, tall.bmp>");
  struct Case {
    const char* tag;
    uint32_t ms;
  };
  const Case cases[] = {{"<ImageMoveRate 1, 15, 50, ON, +>", 500},
                        {"<ImageFade 1, 3, OFF, ON>", 100},
                        {"<ImageShake 1, 7, 4, 4, ON>", 233},
                        {"<ImageShake2 1, 60, 0, 6, 0, 2, ON>", 2000},
                        {"<ZoomMove 0, 45, DstSize, 100, 80, ON>", 1500},
                        {"<ZoomFade 0, 9, ON, ON>", 300}};
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.tag), R::kShowText) << c.tag;
    EXPECT_EQ(G().Timed().duration, c.ms) << c.tag;
  }
  EXPECT_EQ(Run("<ImageFade 1, 3, ON>"), R::kContinue);
  EXPECT_EQ(Slot(1).shake.phaseStepY, 0.2);
  EXPECT_EQ(Slot(1).shake.startY, 6);
  EXPECT_EQ(Slot(1).shake.shakeType, kShakeSine);
  EXPECT_EQ(Slot(1).rate.endX, 50);
  EXPECT_EQ(Slot(1).rate.easeX, kEaseAccelerating);
  EXPECT_EQ(L().Zoom(0)->dstSize.endX, 100);
  EXPECT_EQ(L().Zoom(0)->dstSize.easeX, kEaseLinear);
}

TEST_F(ImageCommandsTest, EffectsOffTakeTheEndStateAndNeverWait) {
  for (int mode = 0; mode < 2; ++mode) {
    Play("");
    if (mode == 0) G().Options().noEffects = 1;
    else G().Options().skipMode = 1;
    Run("<ImageLoad 1, tall.bmp>");
    Run("<ImageShake 1, 100, 5, 5>");
    EXPECT_EQ(Slot(1).shake.active, 0);
    EXPECT_EQ(Run("<ImageMove 1, 30, 40, 50, ON>"), R::kShowText);
    EXPECT_FALSE(G().Timed().active);
    EXPECT_EQ(Slot(1).x, 40);
    EXPECT_EQ(Slot(1).y, 50);
    EXPECT_EQ(Slot(1).move.active, 0);
    Run("<ImageMoveRate 1, 30, 70>");
    EXPECT_EQ(Slot(1).object->Rate(), 70);
    Run("<ImageFade 1, 30, OFF>");
    EXPECT_EQ(Slot(1).visible, 0);
    EXPECT_EQ(Slot(1).fade.active, 0);
    Run("<ZoomMove 0, 30, SrcPos, 9, 8>");
    EXPECT_EQ(L().Zoom(0)->src.x, 9);
    Run("<ZoomFade 0, 30, ON>");
    EXPECT_EQ(L().Zoom(0)->visible, 1);
    EXPECT_EQ(L().Zoom(0)->fade.active, 0);
    EXPECT_FALSE(L().Animating());
  }
  // A shake running when effects go off ends at the next shake command.
  Play("");
  Run("<ImageShake 1, 100, 5, 5>");
  game.Frames(2);
  G().Options().noEffects = 1;
  Run("<ImageShake 1, 100, 5, 5>");
  EXPECT_EQ(Slot(1).shake.active, 0);
  EXPECT_EQ(Slot(1).shakeX, 0);
  EXPECT_EQ(Slot(1).shakeY, 0);
}

TEST_F(ImageCommandsTest, ScopeBarsSlideOverTwentySixFramesOrStandAtOnce) {
  const Rgb black{0, 0, 0}, green{40, 200, 40};
  Play("<ImageLoad 0, wide.bmp><RkoScope ON><KW>");
  game.Frames(25);
  EXPECT_EQ(L().ScopeBarIntensity(), 250);
  game.Frames(1);
  EXPECT_EQ(L().ScopeBarIntensity(), 255);
  EXPECT_EQ(test::Colour(target, 200, 59), black);  // 60 rows at the top
  EXPECT_EQ(test::Colour(target, 200, 60), green);
  // Off at once: the next frame shows the picture without bars, also once nothing moves.
  EXPECT_EQ(Run("<RkoScope OFF, ON>"), R::kContinue);
  game.Frames(2);
  EXPECT_EQ(L().ScopeBarIntensity(), 0);
  EXPECT_FALSE(L().Animating());
  EXPECT_EQ(test::Colour(target, 200, 0), green);
  Run("<RkoScope ON, ON>");
  game.Frames(1);
  EXPECT_EQ(L().ScopeBarIntensity(), 255);
  EXPECT_EQ(test::Colour(target, 200, 0), black);
  EXPECT_EQ(test::Colour(target, 200, 448), black);  // 152 rows at the bottom
  Run("<RkoScope on>");  // keywords ignore case: stays on
  Run("<RkoScope>");     // anything but "ON" slides them out
  game.Frames(1);
  EXPECT_EQ(L().ScopeBarIntensity(), 245);
}

TEST_F(ImageCommandsTest, ClearingSlots) {
  Play("");
  for (int i = 0; i < 4; ++i) Run("<ImageLoad " + std::to_string(i) + ", tall.bmp>");
  Run("<ChrInit>");
  EXPECT_EQ(Slot(0).visible, 1);
  EXPECT_EQ(Slot(1).visible, 0);
  EXPECT_EQ(Slot(3).object->FileName(), "");
  Run("<BgInit>");
  EXPECT_EQ(Slot(0).visible, 0);
  Run("<ImageLoad 2, tall.bmp, 3, 4>");
  Run("<ImageInit 2>");
  EXPECT_EQ(Slot(2).x, 0);
  EXPECT_EQ(Slot(2).visible, 0);
}

TEST_F(ImageCommandsTest, ZoomCommands) {
  Play("");
  Run("<ZoomVisible 1, ON>");
  Run("<ZoomDst 1, 10, 20, 30, 40>");
  Run("<ZoomSrc 1, 1, 2, 3, 4>");
  ZoomRecord& z = *L().Zoom(1);
  EXPECT_EQ(z.visible, 1);
  EXPECT_EQ(z.dst, (ZoomRect{10, 20, 30, 40}));
  EXPECT_EQ(z.src, (ZoomRect{1, 2, 3, 4}));
  Run("<ZoomMove 1, 2, srcsize, 50, 60, , -, +>");  // target names ignore case
  EXPECT_EQ(z.srcSize.active, 1);
  EXPECT_EQ(z.srcSize.easeX, kEaseDecelerating);
  EXPECT_EQ(z.srcSize.easeY, kEaseAccelerating);
  Run("<ZoomMove 1, 2, Elsewhere, 70, 80>");  // any other target moves the destination
  EXPECT_EQ(z.dstPos.endX, 70);
  game.Frames(3);
  EXPECT_EQ(z.src, (ZoomRect{1, 2, 50, 60}));
  EXPECT_EQ(z.dst, (ZoomRect{70, 80, 30, 40}));
  Run("<ZoomInit ALL>");
  EXPECT_EQ(z.visible, 0);
  EXPECT_EQ(z.inUse, 1);
  EXPECT_EQ(z.dst, ZoomRect{});
  EXPECT_EQ(L().Zoom(0)->src, ZoomRect{});
}

TEST_F(ImageCommandsTest, UpdateFinishesTheAnimationsAndShowsTheSceneAtOnce) {
  Play("<ImageLoad 1, tall.bmp><ImageMove 1, 60, 100, 50><ImageFade 1, 60, ON><Update Cross, 1000><Mov done, 1><KW>");
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 0);  // "Update" stopped the frame
  EXPECT_EQ(Slot(1).x, 100);
  EXPECT_EQ(Slot(1).fade.active, 0);
  EXPECT_FALSE(L().Animating());
  EXPECT_EQ(test::Colour(target, 110, 60), (Rgb{200, 40, 40}));
  game.Frames(1);
  EXPECT_EQ(game.Var("done"), 1);
}

TEST_F(ImageCommandsTest, EyeAnimationsStartAndStop) {
  Play("");
  Run("<ImageLoad 1, tall.bmp>");
  Run("<ImageLoadEye 1, none.dat, 3, 4>");  // unreadable: nothing starts
  EXPECT_EQ(Slot(1).object->EyeAnimation().active, 0);
  Run("<ImageLoadEye 1, OFF>");
  EXPECT_EQ(Slot(1).object->EyeAnimation().active, 0);
  // A readable definition starts the animation at the given offset with its frames.
  Run("<ImageLoadEye 1, eye.dat, 3, 4>");
  const auto& eye = Slot(1).object->EyeAnimation();
  EXPECT_EQ(eye.active, 1);
  EXPECT_EQ(eye.offsetX, 3);
  EXPECT_EQ(eye.offsetY, 4);
  EXPECT_EQ(eye.definition.frames[1].x, 10);
  EXPECT_EQ(eye.definition.frames[1].duration, 3);
  EXPECT_EQ(eye.sheet.Width(), 20);
  Run("<ImageLoadEye 1, OFF>");
  EXPECT_EQ(Slot(1).object->EyeAnimation().active, 0);
}

}  // namespace
}  // namespace zan
