// Starting transitions: what is refused (and said in the log, so the caller shows the new
// scene at once and goes on), work memory that cannot be had, a target that does not fit,
// the names scripts give, and the start-up tables worked out by hand from their formulas.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "../surface/TestSurfaces.h"
#include "base/DiagnosticLog.h"
#include "surface/AlphaPlane.h"
#include "transition/Transition.h"

namespace zan {
namespace {

using test::MakeSurface;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

const TransitionTables& Tables() {
  static const TransitionTables tables(kW, kH);
  return tables;
}

struct Scenes {
  Scenes(int32_t format = 8888) {
    old = MakeSurface(format, kW, kH);
    next = MakeSurface(format, kW, kH);
    pattern = MakeSurface(format, 120, 30);
    mask.Create(kW, kH);
  }
  TransitionParams Params(TransitionKind kind) const {
    TransitionParams p;
    p.kind = kind;
    p.duration = 500;
    p.mask = &mask;
    p.pattern = pattern.get();
    p.patternFrames = 3;
    p.cellWidth = 40;
    p.cellHeight = 30;
    return p;
  }
  std::unique_ptr<Surface> old;
  std::unique_ptr<Surface> next;
  std::unique_ptr<Surface> pattern;
  AlphaPlane mask;
};

const TransitionKind kAllKinds[] = {
    TransitionKind::kCross,        TransitionKind::kMaskCross,    TransitionKind::kMaskCrossReverse,
    TransitionKind::kWipe,         TransitionKind::kCircle,       TransitionKind::kBlind,
    TransitionKind::kWater,        TransitionKind::kNoise,        TransitionKind::kPictureCross,
    TransitionKind::kPictureCrossDirectional, TransitionKind::kPictureBlind, TransitionKind::kPattern};

TEST(TransitionStartTest, EveryKindStartsWithWhatItNeeds) {
  Scenes s;
  for (TransitionKind kind : kAllKinds) {
    auto t = StartTransition(Tables(), s.Params(kind), *s.old, *s.next);
    EXPECT_TRUE(t.ok()) << TransitionTaskName(kind) << ": " << (t.ok() ? "" : t.error().message);
  }
}

struct Refusal {
  const char* what;
  TransitionKind kind;
  std::function<void(TransitionParams&, Scenes&)> spoil;
};

TEST(TransitionStartTest, RefusalsAreLoggedAndReported) {
  AlphaPlane empty;
  const Refusal refusals[] = {
      {"a pattern of 0 frames", TransitionKind::kPattern, [](TransitionParams& p, Scenes&) { p.patternFrames = 0; }},
      {"a pattern of -3 frames", TransitionKind::kPattern, [](TransitionParams& p, Scenes&) { p.patternFrames = -3; }},
      {"a pattern cell 0 wide", TransitionKind::kPattern, [](TransitionParams& p, Scenes&) { p.cellWidth = 0; }},
      {"a pattern cell -30 high", TransitionKind::kPattern, [](TransitionParams& p, Scenes&) { p.cellHeight = -30; }},
      {"no pattern picture", TransitionKind::kPattern, [](TransitionParams& p, Scenes&) { p.pattern = nullptr; }},
      {"a pattern of another format", TransitionKind::kPattern,
       [](TransitionParams& p, Scenes& s) {
         s.pattern = MakeSurface(565, 120, 30);
         p.pattern = s.pattern.get();
       }},
      {"no mask", TransitionKind::kMaskCross, [](TransitionParams& p, Scenes&) { p.mask = nullptr; }},
      {"a mask never loaded", TransitionKind::kMaskCrossReverse, [&](TransitionParams& p, Scenes&) { p.mask = &empty; }},
      {"a picture cross without a mask", TransitionKind::kPictureCross, [&](TransitionParams& p, Scenes&) { p.mask = &empty; }},
      {"picture blinds without a mask", TransitionKind::kPictureBlind, [&](TransitionParams& p, Scenes&) { p.mask = nullptr; }},
      {"direction 4", TransitionKind::kPictureCrossDirectional, [](TransitionParams& p, Scenes&) { p.direction = 4; }},
      {"direction -1", TransitionKind::kPictureCrossDirectional, [](TransitionParams& p, Scenes&) { p.direction = -1; }},
      {"a rectangle off the screen", TransitionKind::kCross,
       [](TransitionParams& p, Scenes&) { p.area = TransitionArea{800, 0, 100, 100}; }},
      {"an empty rectangle", TransitionKind::kNoise, [](TransitionParams& p, Scenes&) { p.area = TransitionArea{10, 10, 0, 5}; }},
      {"scenes of two formats", TransitionKind::kCross, [](TransitionParams&, Scenes& s) { s.next = MakeSurface(565, kW, kH); }},
      {"an old scene smaller than the screen", TransitionKind::kWater,
       [](TransitionParams&, Scenes& s) { s.old = MakeSurface(8888, kW, kH - 1); }},
      {"a new scene without pixels", TransitionKind::kBlind,
       [](TransitionParams&, Scenes& s) { s.next = std::make_unique<Surface>(); }},
  };
  for (const Refusal& r : refusals) {
    Scenes s;
    TransitionParams p = s.Params(r.kind);
    r.spoil(p, s);
    Diagnostics().LogText(LogLevel::kWarning, "before");
    auto t = StartTransition(Tables(), p, *s.old, *s.next);
    EXPECT_FALSE(t.ok()) << r.what;
    if (t.ok()) continue;
    EXPECT_FALSE(t.error().message.empty()) << r.what;
    const std::string logged = Diagnostics().LastMessage();
    EXPECT_NE(logged.find("the new scene shows at once"), std::string::npos) << r.what << ": " << logged;
  }
}

TEST(TransitionStartTest, WorkMemoryThatCannotBeHadIsARefusal) {
  Scenes s;
  AlphaPlane small;
  small.Create(10, 10);
  int32_t asked = 0;
  const TransitionAllocator none = [&](size_t) {
    ++asked;
    return std::unique_ptr<uint8_t[]>();
  };
  for (TransitionKind kind : kAllKinds) {
    asked = 0;
    auto t = StartTransition(Tables(), s.Params(kind), *s.old, *s.next, none);
    // The cross, the mask cross with a whole mask, the blinds and the pattern work in place.
    const bool inPlace = kind == TransitionKind::kCross || kind == TransitionKind::kMaskCross ||
                         kind == TransitionKind::kMaskCrossReverse || kind == TransitionKind::kBlind ||
                         kind == TransitionKind::kPattern;
    EXPECT_EQ(t.ok(), inPlace) << TransitionTaskName(kind);
    EXPECT_EQ(asked > 0, !inPlace) << TransitionTaskName(kind);
    if (!t.ok())
      EXPECT_NE(Diagnostics().LastMessage().find("no memory"), std::string::npos) << Diagnostics().LastMessage();
  }
  // A mask smaller than the screen needs a padded copy.
  TransitionParams p = s.Params(TransitionKind::kMaskCross);
  p.mask = &small;
  EXPECT_FALSE(StartTransition(Tables(), p, *s.old, *s.next, none).ok());
}

TEST(TransitionStartTest, ATargetThatDoesNotFitEndsTheTransition) {
  Scenes s;
  auto t = StartTransition(Tables(), s.Params(TransitionKind::kCross), *s.old, *s.next);
  ASSERT_TRUE(t.ok());
  auto other = MakeSurface(565, kW, kH);
  test::FillRaw(*other, 0x1234);
  EXPECT_TRUE((*t)->Draw(*other, 100));
  EXPECT_EQ(test::Raw(*other, 5, 5), 0x1234u);
  EXPECT_NE(Diagnostics().LastMessage().find("the transition ends"), std::string::npos);
  auto small = MakeSurface(8888, 400, 300);
  auto u = StartTransition(Tables(), s.Params(TransitionKind::kWater), *s.old, *s.next);
  ASSERT_TRUE(u.ok());
  EXPECT_TRUE((*u)->Draw(*small, 1000));
  EXPECT_TRUE((*u)->Done());
}

TEST(TransitionStartTest, NamesAsScriptsGiveThem) {
  const std::pair<const char*, TransitionKind> names[] = {
      {"Cross", TransitionKind::kCross},         {"MaskCross", TransitionKind::kMaskCross},
      {"maskcrossr", TransitionKind::kMaskCrossReverse}, {"Waip", TransitionKind::kWipe},
      {"CIRCLE", TransitionKind::kCircle},       {"Blind", TransitionKind::kBlind},
      {"Water", TransitionKind::kWater},         {"NoiseC", TransitionKind::kNoise},
      {"ImageCross", TransitionKind::kPictureCross}, {"ImageBlind", TransitionKind::kPictureBlind},
      {"Pattern", TransitionKind::kPattern}};
  for (const auto& [name, kind] : names) {
    EXPECT_EQ(TransitionKindByName(name), kind) << name;
  }
  for (const char* unknown : {"", "Noise", "Wipe", "Cross ", "ImageCross_Direction"})
    EXPECT_EQ(TransitionKindByName(unknown), std::nullopt) << unknown;
  EXPECT_EQ(TransitionDirectionByName("left"), 0);
  EXPECT_EQ(TransitionDirectionByName("Top"), 1);
  EXPECT_EQ(TransitionDirectionByName("RIGHT"), 2);
  EXPECT_EQ(TransitionDirectionByName("bottom"), 3);
  EXPECT_EQ(TransitionDirectionByName("up"), std::nullopt);
  EXPECT_STREQ(TransitionTaskName(TransitionKind::kWipe), "CUpdateCircle");
  EXPECT_STREQ(TransitionTaskName(TransitionKind::kMaskCrossReverse), "CUpdateMaskCross");
  EXPECT_STREQ(TransitionTaskName(TransitionKind::kPictureCrossDirectional), "CUpdateImageCross_Direction");
  EXPECT_STREQ(TransitionTaskName(TransitionKind::kWater), "CUpdateWater");
}

TEST(TransitionTablesTest, ValuesWorkedOutFromTheFormulas) {
  const TransitionTables& t = Tables();
  // The ramp: 0 below 512, (e - 512) / 2 above.
  EXPECT_EQ(t.Ramp(0), 0);
  EXPECT_EQ(t.Ramp(513), 0);
  EXPECT_EQ(t.Ramp(514), 1);
  EXPECT_EQ(t.Ramp(700), 94);
  EXPECT_EQ(t.Ramp(1023), 255);
  EXPECT_EQ(t.MaskBlocksX(), 200);
  EXPECT_EQ(t.MaskBlocksY(), 150);
  // Circle at block (i, j) = pixel (4i, 4j), from the centre (400, 300):
  // the centre: atan2(0, 0) = 0 -> 0.
  EXPECT_EQ(t.Circle(100, 75), 0);
  // straight left: atan2(0, -400) = pi -> 1024 sin(1) = 861.6 -> 861.
  EXPECT_EQ(t.Circle(0, 75), 861);
  // straight up: atan2(-300, 0) = -pi/2 -> 1024 sin(-0.5) = -490.9 -> +1024 -> 533.
  EXPECT_EQ(t.Circle(100, 0), 533);
  // straight right: 0 -> 0; straight down: 1024 sin(0.5) = 490.9 -> 490.
  EXPECT_EQ(t.Circle(199, 75), 0);
  EXPECT_EQ(t.Circle(100, 149), 490);
  // Wipe: the centre (r = 0, s = 2 pi): 1024 sin(1) -> 861; the corner (r = 500):
  // s = 1000 / pi = 318.3, 1024 sin(2 pi / 318.3) = 20.2 -> 20.
  EXPECT_EQ(t.Wipe(100, 75), 861);
  EXPECT_EQ(t.Wipe(0, 0), 20);
  // Water: the displacement a (w - 128) / 255 toward zero, the wave (sin + 1) x 127, the
  // phase trunc(r / 2) x 32.
  EXPECT_EQ(t.Displacement(0, 255), -128);
  EXPECT_EQ(t.Displacement(255, 255), 127);
  EXPECT_EQ(t.Displacement(0, 100), -50);
  EXPECT_EQ(t.Displacement(200, 100), 28);
  EXPECT_EQ(t.Displacement(128, 255), 0);
  EXPECT_EQ(t.Wave(0), 127);
  EXPECT_EQ(t.Wave(256), 254);
  EXPECT_EQ(t.Wave(512), 127);
  EXPECT_EQ(t.Wave(768), 0);
  EXPECT_EQ(t.Wave(100), static_cast<int32_t>((std::sin(100 * 2 * 3.141592653589793 / 1024) + 1) * 127));
  EXPECT_EQ(t.RippleBlocksX(), 400);
  EXPECT_EQ(t.RippleBlocksY(), 300);
  EXPECT_EQ(t.RipplePhase(0, 0), 250 * 32);    // r = 500
  EXPECT_EQ(t.RipplePhase(200, 150), 0);       // the centre
  EXPECT_EQ(t.RipplePhase(203, 150), 3 * 32);  // r = 6
}

}  // namespace
}  // namespace zan
