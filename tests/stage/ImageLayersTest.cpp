// Image slots and zoom windows composed frame by frame on a 32-bit display: placement, z
// order, fades, moves, scale, colour effects, overlays, eye animations, zoom windows, scope
// bars, the movie layer, finishing animations and the saved records.

#include "stage/ImageLayers.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <unistd.h>

#include "TestArchiveWriter.h"
#include "../surface/TestPictures.h"
#include "../surface/TestSurfaces.h"
#include "core/ErrorReporter.h"
#include "core/TaskScheduler.h"
#include "base/DiagnosticLog.h"
#include "data/GameData.h"
#include "surface/SurfaceFormat.h"
#include "platform/headless/HeadlessMessageBoxes.h"
#include "platform/VirtualClock.h"

namespace zan {
namespace {

namespace fs = std::filesystem;
using test::BmpForm;
using test::FlatBmp;

constexpr Rgb kRed{200, 40, 40};
constexpr Rgb kGreen{40, 200, 40};
constexpr Rgb kBlue{40, 40, 200};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kBackground{10, 20, 30};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kCyan{0, 255, 255};

class ImageLayersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("zan_layers_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    Diagnostics().SetEcho(false);
    boxes.SetQuiet(true);
    report.Setup(1, nullptr, (dir / "GameErrorLog.txt").string());
    SetSurfaceFormatCode(8888);
    // A 100 x 100 figure: its left half opaque, its right half transparent.
    const auto halfOpaque = [](int32_t x, int32_t) { return uint8_t(x < 50 ? 255 : 0); };
    const auto eyes = test::MakeBmp(20, 10, BmpForm::kArgb32,
                                    [](int32_t x, int32_t) { return x < 10 ? kMagenta : kCyan; });
    testing::WriteBytes(
        (dir / "gra.arc").string(),
        testing::WriteTestArchive(
            {{"bg.bmp", FlatBmp(800, 600, BmpForm::kRgb24, kBackground)},
             {"tall.bmp", FlatBmp(300, 500, BmpForm::kRgb24, kRed)},
             {"wide.bmp", FlatBmp(400, 300, BmpForm::kRgb24, kGreen)},
             {"figure.bmp", test::MakeBmp(100, 100, BmpForm::kRgb24Alpha, [](int32_t, int32_t) { return kBlue; },
                                          halfOpaque)},
             {"dot.bmp", FlatBmp(10, 10, BmpForm::kArgb32, {255, 255, 255})},
             {"eyes.bmp", eyes}},
            "Rod7Q", true));
    testing::WriteBytes(
        (dir / "dat.arc").string(),
        testing::WriteTestArchive({{"eye.dat", test::EyeDefinitionFile("eyes.bmp", {{0, 0, 10, 10, 1}, {10, 0, 10, 10, 0}}, 1)},
                                   {"short.dat", std::vector<uint8_t>(100, 0)},
                                   {"nosheet.dat", test::EyeDefinitionFile("none.bmp", {{0, 0, 10, 10, 1}})}},
                                  "Rod7Q", true));
    data = std::make_unique<GameData>(report, boxes);
    data->LocateGameData(0, dir.string());
    data->SetArchiveMode(1);
    data->OpenGameArchives();
    layers = std::make_unique<ImageLayers>(tasks, *data, [this] { return NextRandom(); });
    layers->Reset(10, 5);
    ASSERT_TRUE(target.Create(800, 600));
  }
  void TearDown() override {
    layers.reset();
    SetSurfaceFormatCode(0);
    fs::remove_all(dir);
  }

  int32_t NextRandom() {
    if (randoms.empty()) return 1;  // never a multiple of 100: no blink restarts
    const int32_t r = randoms.front();
    randoms.pop_front();
    return r;
  }
  // One frame as the game draws it: the scene, then the eyes and the zoom windows.
  void Frame() {
    layers->DrawScene(target, true, true);
    layers->DrawEyes(target);
    layers->DrawZooms(target);
  }
  Rgb At(int32_t x, int32_t y) { return test::Colour(target, x, y); }
  ImageSlot& Slot(int32_t i) { return *layers->Slot(i); }

  fs::path dir;
  HeadlessMessageBoxes boxes;
  ErrorReporter report{&boxes};
  std::unique_ptr<GameData> data;
  VirtualClock clock;
  TaskScheduler tasks{clock};
  std::deque<int32_t> randoms;
  std::unique_ptr<ImageLayers> layers;
  Surface target;
};

TEST_F(ImageLayersTest, StartsWithTenEmptySlotsInIndexOrderAndFiveZooms) {
  EXPECT_EQ(layers->SlotCount(), 10);
  EXPECT_EQ(layers->ZoomCount(), 5);
  EXPECT_EQ(layers->Order(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  const ZoomRecord& z = *layers->Zoom(4);
  EXPECT_EQ(z.inUse, 1);
  EXPECT_EQ(z.visible, 0);
  EXPECT_EQ(z.dst, (ZoomRect{580, 430, 200, 150}));
  EXPECT_EQ(z.src, (ZoomRect{0, 0, 800, 600}));
  EXPECT_EQ(layers->Slot(10), nullptr);
  EXPECT_EQ(layers->Slot(-1), nullptr);
  layers->CreateSlots(100000);
  EXPECT_EQ(layers->SlotCount(), ImageLayers::kMaxSlots);
}

TEST_F(ImageLayersTest, SidesCentreThePictureOnThirdsWithItsBottomOnTheStageBottom) {
  ASSERT_TRUE(layers->LoadPicture(1, "tall.bmp"));
  EXPECT_EQ(Slot(1).visible, 1);
  struct Case {
    ImageLayers::Side side;
    int32_t x;
  };
  for (const Case& c : {Case{ImageLayers::Side::kRight, 450}, Case{ImageLayers::Side::kCentre, 250},
                        Case{ImageLayers::Side::kLeft, 50}}) {
    layers->PlaceAtSide(1, c.side);
    EXPECT_EQ(Slot(1).x, c.x);
    EXPECT_EQ(Slot(1).y, 100);
  }
  layers->SetPosition(1, std::nullopt, 7);
  EXPECT_EQ(Slot(1).x, 50);
  EXPECT_EQ(Slot(1).y, 7);
  Frame();
  EXPECT_EQ(At(50, 7), kRed);
  EXPECT_EQ(At(49, 7), kBlack);
  EXPECT_EQ(At(349, 506), kRed);
  EXPECT_EQ(At(350, 506), kBlack);
}

TEST_F(ImageLayersTest, ZValuesSwapAndDecideWhatLiesOnTop) {
  layers->LoadPicture(1, "wide.bmp");
  layers->LoadPicture(2, "tall.bmp");
  Frame();
  EXPECT_EQ(At(10, 10), kRed);
  // Slot 2 takes slot 0's z value; slot 0 takes slot 2's.
  EXPECT_TRUE(layers->SetZ(2, 0));
  EXPECT_EQ(Slot(0).z, 2);
  EXPECT_EQ(layers->Order(), (std::vector<int32_t>{2, 1, 0, 3, 4, 5, 6, 7, 8, 9}));
  Frame();
  EXPECT_EQ(At(10, 10), kGreen);
  EXPECT_FALSE(layers->SetZ(1, 10));
  EXPECT_EQ(Slot(1).z, 1);
}

TEST_F(ImageLayersTest, AFadeInStartsTransparentRisesAndEndsOpaque) {
  layers->LoadPicture(1, "tall.bmp");
  layers->SetVisible(1, false);
  layers->StartFade(1, 4, true);
  EXPECT_EQ(Slot(1).visible, 1);
  // Alpha 0, 63, 127, 191, then the end: e = ((alpha + 1) * 256) >> 8, red P[200][e].
  const uint8_t reds[] = {0, 50, 100, 150, 200};
  for (uint8_t red : reds) {
    Frame();
    EXPECT_EQ(At(20, 20).r, red);
  }
  EXPECT_TRUE(layers->Animating());
  Frame();
  EXPECT_FALSE(layers->Animating());
  EXPECT_EQ(At(20, 20), kRed);
}

TEST_F(ImageLayersTest, AFadeOutHidesTheSlotAtOnceAndDrawsItUntilItEnds) {
  layers->LoadPicture(1, "tall.bmp");
  layers->StartFade(1, 2, false);
  EXPECT_EQ(Slot(1).visible, 0);
  Frame();
  EXPECT_EQ(At(20, 20), kRed);
  Frame();
  EXPECT_EQ(At(20, 20).r, 101);  // alpha 255 - 127 = 128, e = 129
  Frame();
  EXPECT_EQ(At(20, 20), kBlack);
}

TEST_F(ImageLayersTest, MovesStepEveryFrameWithTheirEasing) {
  layers->LoadPicture(1, "figure.bmp");
  layers->StartMove(1, 0, 300, 200, kEaseLinear, kEaseLinear);
  Frame();
  EXPECT_EQ(Slot(1).x, 300);
  EXPECT_EQ(Slot(1).y, 200);
  EXPECT_EQ(At(300, 200), kBlue);
  layers->StartMove(1, 4, 400, 100, kEaseAccelerating, kEaseDecelerating);
  const int32_t xs[] = {300, 306, 325, 356, 400};
  const int32_t ys[] = {200, 157, 125, 107, 100};
  for (int i = 0; i < 5; ++i) {
    Frame();
    EXPECT_EQ(Slot(1).x, xs[i]) << i;
    EXPECT_EQ(Slot(1).y, ys[i]) << i;
    EXPECT_EQ(At(xs[i], ys[i]), kBlue) << i;
  }
}

TEST_F(ImageLayersTest, ScaleRatesDrawThePictureSmallerOrLarger) {
  // Without alpha: the device's scaled copy, 400 x 300 at 50 % covers 200 x 150.
  layers->LoadPicture(1, "wide.bmp");
  layers->SetPosition(1, 100, 100);
  layers->SetRate(1, 50);
  // With alpha: the bilinear copy, the figure at 200 % covers 200 x 200, its left half drawn.
  layers->LoadPicture(2, "figure.bmp");
  layers->SetPosition(2, 500, 300);
  layers->SetRate(2, 200);
  Frame();
  EXPECT_EQ(At(299, 249), kGreen);
  EXPECT_EQ(At(300, 249), kBlack);
  EXPECT_EQ(At(299, 250), kBlack);
  EXPECT_EQ(At(500, 300), kBlue);
  EXPECT_EQ(At(596, 498), kBlue);  // an even offset: weights 0, the sample itself
  EXPECT_EQ(At(620, 300), kBlack);
  EXPECT_EQ(At(500, 500), kBlack);
  // A rate animation runs from the current rate.
  layers->StartRateChange(1, 2, 100, kEaseLinear);
  Frame();
  Frame();
  Frame();
  EXPECT_EQ(Slot(1).object->Rate(), 100);
  EXPECT_EQ(At(499, 399), kGreen);
}

TEST_F(ImageLayersTest, AStageWithoutVisibleSlotsIsBlack) {
  target.FillAll(255, 255, 255);
  Frame();
  EXPECT_EQ(At(400, 300), kBlack);
  // Parts of the stage no slot covers are black too, never an older frame.
  layers->LoadPicture(1, "figure.bmp");
  layers->StartMove(1, 3, 200, 0, kEaseLinear, kEaseLinear);
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(At(10, 10), kBlack);
}

TEST_F(ImageLayersTest, ColourEffectsAreBakedIntoTheVariant) {
  layers->LoadPicture(1, "tall.bmp");
  auto drawnWith = [&](const EffectRecord& e) {
    layers->SetEffect(1, e);
    Frame();
    return At(20, 20);
  };
  EffectRecord tint;
  tint.red = 1;  // a colour without an amount: a variant identical to the picture
  EXPECT_EQ(drawnWith(tint), kRed);
  EXPECT_EQ(Slot(1).variant, 1);
  tint.red = 0;
  tint.blue = 255;
  tint.amount = 255;
  EXPECT_EQ(drawnWith(tint), (Rgb{0, 0, 255}));
  EffectRecord negative;
  negative.negaposi = 1;
  EXPECT_EQ(drawnWith(negative), (Rgb{55, 215, 215}));
  EffectRecord grey;
  grey.mono = 1;
  EXPECT_EQ(drawnWith(grey), (Rgb{93, 93, 93}));  // (200 + 40 + 40) / 3
  EffectRecord overlay;
  overlay.overlay = "dot.bmp";
  overlay.overlayX = 15;
  overlay.overlayY = 15;
  EXPECT_EQ(drawnWith(overlay), (Rgb{255, 255, 255}));
  EXPECT_EQ(At(14, 14), kRed);
  EXPECT_EQ(drawnWith(EffectRecord{}), kRed);
  EXPECT_EQ(Slot(1).variant, 0);
  // Clearing keeps the three flags and drops the colour and the overlay.
  EffectRecord all = overlay;
  all.mono = 1;
  all.reverse = 1;
  all.amount = 9;
  layers->SetEffect(1, all);
  layers->ClearSlot(1);
  EXPECT_EQ(Slot(1).effect.mono, 1);
  EXPECT_EQ(Slot(1).effect.reverse, 1);
  EXPECT_EQ(Slot(1).effect.amount, 0);
  EXPECT_TRUE(Slot(1).effect.overlay.empty());
  EXPECT_EQ(Slot(1).visible, 0);
  EXPECT_EQ(Slot(1).object->Rate(), 100);
}

TEST_F(ImageLayersTest, EyeFramesFollowTheirDurationsAndLoopLimit) {
  layers->LoadPicture(1, "figure.bmp");
  layers->SetPosition(1, 100, 100);
  ASSERT_TRUE(layers->StartEye(1, "eye.dat", 20, 30));
  // Frame 0 shows for two frames (duration 1), frame 1 for one; after one further pass
  // (loop limit 1) the animation stops.
  const Rgb seen[] = {kMagenta, kMagenta, kCyan, kMagenta, kMagenta, kCyan, kBlue};
  for (const Rgb& c : seen) {
    Frame();
    EXPECT_EQ(At(121, 131), c);
  }
  EXPECT_EQ(Slot(1).object->EyeAnimation().active, 0);
  EXPECT_EQ(At(131, 131), kBlue);  // only the frame's rectangle

  // "-" keeps the offset; a random draw of a multiple of 100 restarts the blink.
  ASSERT_TRUE(layers->StartEye(1, "eye.dat", std::nullopt, 5));
  EXPECT_EQ(Slot(1).object->EyeAnimation().offsetX, 20);
  Frame();
  Frame();
  randoms = {200};
  Frame();  // frame 1 drawn, then back to frame 0
  EXPECT_EQ(At(121, 106), kCyan);
  Frame();
  EXPECT_EQ(At(121, 106), kMagenta);

  // A hidden slot hides its eyes; they go on blinking.
  layers->SetVisible(1, false);
  Frame();
  EXPECT_EQ(At(121, 106), kBlack);
  EXPECT_EQ(Slot(1).object->EyeAnimation().frame, 1);

  EXPECT_FALSE(layers->StartEye(1, "short.dat", 0, 0));
  EXPECT_FALSE(layers->StartEye(1, "nosheet.dat", 0, 0));
  EXPECT_EQ(Slot(1).object->EyeAnimation().active, 0);
}

TEST_F(ImageLayersTest, ZoomWindowsShowAScaledPartOfTheStage) {
  layers->LoadPicture(1, "tall.bmp");
  layers->SetZoomSrc(0, {0, 0, 400, 300});
  layers->SetZoomDst(0, {600, 400, 200, 150});
  layers->SetZoomVisible(0, true);
  Frame();
  EXPECT_EQ(At(610, 410), kRed);      // stage (20, 20)
  EXPECT_EQ(At(790, 540), kBlack);    // stage (380, 280)
  EXPECT_EQ(At(599, 410), kBlack);

  layers->StartZoomMove(0, ImageLayers::ZoomPart::kDstPos, 2, 0, 0, kEaseLinear, kEaseLinear);
  for (int i = 0; i < 3; ++i) Frame();
  EXPECT_EQ(layers->Zoom(0)->dst, (ZoomRect{0, 0, 200, 150}));

  // A fade shows the window by its alpha, stepped after each frame's drawing.
  layers->ClearZoom(0);
  EXPECT_EQ(layers->Zoom(0)->dst, ZoomRect{});
  layers->SetZoomSrc(1, {0, 0, 400, 300});
  layers->SetZoomDst(1, {600, 0, 200, 150});
  layers->StartZoomFade(1, 2, true);
  Frame();
  EXPECT_EQ(At(610, 10), kBlack);  // alpha 0
  Frame();
  EXPECT_EQ(At(610, 10), kBlack);  // alpha 0, the first step's value
  Frame();
  EXPECT_EQ(At(610, 10).r, 100);  // alpha 127
  Frame();
  EXPECT_EQ(At(610, 10), kRed);
}

TEST_F(ImageLayersTest, FinishingAnimationsJumpsToTheirEnds) {
  layers->LoadPicture(1, "figure.bmp");
  layers->StartMove(1, 30, 200, 100, kEaseAccelerating, kEaseLinear);
  layers->StartRateChange(1, 30, 150, kEaseLinear);
  layers->StartShake(1, kShakeSine, 30, 10, 10, 0.5, 0.5);
  layers->StartFade(1, 30, false);
  Frame();
  Frame();
  layers->FinishAnimations();
  EXPECT_FALSE(layers->Animating());
  EXPECT_EQ(Slot(1).x, 200);
  EXPECT_EQ(Slot(1).y, 100);
  EXPECT_EQ(Slot(1).object->Rate(), 150);
  EXPECT_EQ(Slot(1).shakeX, 0);
  EXPECT_EQ(Slot(1).alpha, 0);
  Frame();
  EXPECT_EQ(At(250, 150), kBlack);  // faded out
}

TEST_F(ImageLayersTest, ScopeBarsSlideInTenStepsAFrame) {
  layers->LoadPicture(0, "bg.bmp");
  layers->SetScopeBars(true);
  for (int i = 0; i < 3; ++i) Frame();
  // Intensity 30: bars of 30 * 60 / 255 = 7 and 30 * 152 / 255 = 17 rows.
  EXPECT_EQ(layers->ScopeBarIntensity(), 30);
  EXPECT_EQ(At(400, 6), kBlack);
  EXPECT_EQ(At(400, 7), kBackground);
  EXPECT_EQ(At(400, 583), kBlack);
  EXPECT_EQ(At(400, 582), kBackground);
  layers->SetScopeBars(false);
  for (int i = 0; i < 4; ++i) Frame();
  EXPECT_EQ(layers->ScopeBarIntensity(), 0);
  EXPECT_EQ(At(400, 0), kBackground);
}

struct FakeMovie : MovieLayer {
  void DrawFrame(Surface& target) override { target.FillAll(0, 0, 99); }
  void DrawCover(Surface& target, bool overlay) override {
    target.FillAll(99, 0, 0);
    overlayAsked = overlay;
  }
  bool Loops() const override { return loops; }
  bool loops = false;
  bool overlayAsked = false;
};

TEST_F(ImageLayersTest, TheMovieLayerLiesUnderTheSlotsOnlyWhenItLoops) {
  layers->LoadPicture(1, "figure.bmp");
  FakeMovie movie;
  layers->SetMovieLayer(&movie);
  Frame();
  EXPECT_EQ(At(10, 10), (Rgb{0, 0, 99}));  // the movie covers the slots
  movie.loops = true;
  Frame();
  EXPECT_EQ(At(10, 10), kBlue);
  EXPECT_EQ(At(80, 10), (Rgb{0, 0, 99}));  // the figure's transparent half
  layers->DrawScene(target, false, true);
  EXPECT_EQ(At(80, 10), (Rgb{99, 0, 0}));  // the cover picture where movies may not play
  EXPECT_TRUE(movie.overlayAsked);
  layers->SetMovieLayer(nullptr);
  Frame();
  EXPECT_EQ(At(80, 10), kBlack);
}

TEST_F(ImageLayersTest, SavedSlotsAndZoomsComeBack) {
  layers->LoadPicture(0, "bg.bmp");
  layers->LoadPicture(3, "tall.bmp");
  layers->SetPosition(3, 40, 50);
  layers->SetRate(3, 80);
  EffectRecord grey;
  grey.mono = 1;
  layers->SetEffect(3, grey);
  layers->SetZ(3, 9);
  layers->SetZoomDst(2, {1, 2, 3, 4});
  layers->SetZoomVisible(2, true);
  Frame();
  const std::vector<SavedImageSlot> saved = layers->SaveSlots();
  const std::vector<SavedZoomSlot> zooms = layers->SaveZooms();
  ASSERT_EQ(saved.size(), 10u);
  EXPECT_EQ(saved[3].picture, "tall.bmp");
  EXPECT_EQ(saved[3].z, 9);
  EXPECT_EQ(saved[9].z, 3);
  EXPECT_EQ(saved[3].variant, 1);

  ImageLayers restored(tasks, *data, [] { return 1; });
  restored.RestoreSlots(saved);
  restored.RestoreZooms(zooms);
  EXPECT_EQ(restored.SaveSlots(), saved);
  EXPECT_EQ(restored.Zoom(2)->dst, (ZoomRect{1, 2, 3, 4}));
  Surface again;
  again.Create(800, 600);
  restored.DrawScene(again, true, true);
  EXPECT_EQ(test::Colour(again, 60, 60), At(60, 60));
  EXPECT_EQ(test::Colour(again, 5, 5), kBackground);

  // z values that are not a permutation fall back to the slot indexes.
  std::vector<SavedImageSlot> broken = saved;
  broken[1].z = 9;
  restored.RestoreSlots(broken);
  EXPECT_EQ(restored.Order(), (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
}  // namespace zan
