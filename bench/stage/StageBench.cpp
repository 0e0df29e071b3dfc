// One frame of a busy stage: ten visible 800 x 600 slots with alpha (two scaled, two fading,
// the rest at natural size), composed straight into the back buffer as while animations
// run, then two zoom windows (one fading). Per pixel format, on the fast blend path; after
// the run a table gives each frame in milliseconds and as a share of the 33 ms frame budget.
//
// Also the scaled copy alone, the bilinear ZoomAlphaBlt of a full picture at 90 %, against
// pixman's bilinear "over" of the same picture to the same size.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "core/ErrorReporter.h"
#include "core/TaskScheduler.h"
#include "data/GameData.h"
#include "pixels/BlendKernels.h"
#include "surface/SurfaceFormat.h"
#include "stage/ImageLayers.h"
#include "platform/headless/HeadlessMessageBoxes.h"
#include "platform/headless/HeadlessPresenter.h"
#include "platform/VirtualClock.h"

namespace {

using namespace zan;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;
constexpr double kFrameBudgetMs = 1000.0 / 30.0;

// A character-like plane: an opaque ellipse with a soft edge about 8 pixels wide, centred at
// (cx, cy), transparent around it.
void SpritePlane(AlphaPlane& plane, double cx, double cy) {
  for (int32_t y = 0; y < kH; ++y) {
    uint8_t* row = plane.Row(y);
    for (int32_t x = 0; x < kW; ++x) {
      const double d = std::hypot((x - cx) / 260.0, (y - cy) / 280.0);
      row[x] = static_cast<uint8_t>(std::clamp((1.0 - d) * 280.0 / 8.0, 0.0, 1.0) * 255.0);
    }
  }
}

void RandomPixels(Surface& s, std::mt19937& rng) {
  const PixelRows v = s.View();
  for (int32_t y = 0; y < v.height; ++y)
    for (int32_t x = 0; x < v.pitch; ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
}

// The display, the game data (no archives: nothing is loaded) and the layers of one format.
struct Stage {
  explicit Stage(int32_t format) : report(&boxes), data(report, boxes) {
    boxes.SetQuiet(true);
    SetSurfaceFormatCode(format);
    layers = std::make_unique<ImageLayers>(tasks, data, [this] { return static_cast<int32_t>(rng() & 0x7FFF); });
    layers->Reset(10, 2);
    target.Create(kW, kH);
    for (int32_t i = 0; i < 10; ++i) {
      ImageSlot& slot = *layers->Slot(i);
      Surface& picture = slot.object->Picture();
      picture.Create(kW, kH);
      RandomPixels(picture, rng);
      // The background is opaque; the others stand side by side.
      if (i == 0) picture.Alpha().Fill(255);
      else SpritePlane(picture.Alpha(), 150.0 + 60.0 * i, 320.0);
      picture.SetHasAlpha(1);
      slot.visible = 1;
    }
    layers->SetRate(3, 90);
    layers->SetRate(4, 120);
    // Two fades held halfway (they never end while the benchmark runs).
    for (int32_t i : {5, 6}) {
      layers->Slot(i)->fade = MoverList::Single(128, 129, 1 << 30);
      layers->Slot(i)->alpha = 128;
    }
    for (int32_t i = 0; i < 2; ++i) {
      layers->SetZoomVisible(i, true);
      layers->SetZoomSrc(i, {100 + 200 * i, 100, 320, 240});
      layers->SetZoomDst(i, {40 + 400 * i, 20, 240, 180});
    }
    layers->Zoom(1)->fade = MoverList::Single(160, 161, 1 << 30);
    layers->Zoom(1)->alpha = 160;
    layers->StartMove(7, 1 << 30, 300, 0, kEaseLinear, kEaseLinear);
  }
  ~Stage() { SetSurfaceFormatCode(0); }

  void Frame() {
    layers->DrawScene(target, true, true);
    layers->DrawEyes(target);
    layers->DrawZooms(target);
  }

  HeadlessPresenter presenter;  // the device needs a screen; this one is never opened
  HeadlessMessageBoxes boxes;
  ErrorReporter report;
  GameData data;
  VirtualClock clock;
  TaskScheduler tasks{clock};
  std::mt19937 rng{5};
  std::unique_ptr<ImageLayers> layers;
  Surface target;
};

void BM_StageFrame(benchmark::State& state, int32_t format) {
  Stage stage(format);
  for (auto _ : state) {
    stage.Frame();
    benchmark::ClobberMemory();
  }
}

void BM_ZoomAlpha(benchmark::State& state, int32_t format) {
  HeadlessPresenter presenter;
  SetSurfaceFormatCode(format);
  std::mt19937 rng(3);
  Surface src, dst;
  src.Create(kW, kH);
  dst.Create(kW, kH);
  RandomPixels(src, rng);
  SpritePlane(src.Alpha(), 400, 300);
  for (auto _ : state) {
    dst.ZoomAlphaBlt(0, 0, src, 90 * 1024 / 100);
    benchmark::ClobberMemory();
  }
  SetSurfaceFormatCode(0);
}

// pixman: the same picture (premultiplied) scaled to 90 % with its bilinear filter, over.
void BM_PixmanBilinear(benchmark::State& state) {
  std::vector<uint32_t> src(static_cast<size_t>(kW) * kH), dst(static_cast<size_t>(kW) * kH);
  AlphaPlane plane;
  plane.Create(kW, kH);
  SpritePlane(plane, 400, 300);
  std::mt19937 rng(3);
  for (size_t i = 0; i < src.size(); ++i) {
    const uint32_t a = plane.Data()[i];
    const uint32_t c = rng();
    auto pre = [a](uint32_t v) { return (v * a + 127) / 255; };
    src[i] = (a << 24) | (pre((c >> 16) & 255) << 16) | (pre((c >> 8) & 255) << 8) | pre(c & 255);
  }
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, src.data(), kW * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dst.data(), kW * 4);
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(100.0 / 90.0), pixman_double_to_fixed(100.0 / 90.0));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, nullptr, d, 0, 0, 0, 0, 0, 0, kW * 9 / 10, kH * 9 / 10);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
}

class BudgetReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) ms_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintTable() const {
    std::printf("\nstage frame: 10 slots of 800 x 600 with alpha + 2 zoom windows\n");
    std::printf("%-12s %10s %16s\n", "format", "ms/frame", "share of 33 ms");
    for (const auto& [name, ms] : ms_) {
      if (name.rfind("StageFrame/", 0) != 0) continue;
      std::printf("%-12s %10.2f %15.1f%%\n", name.substr(11).c_str(), ms, 100.0 * ms / kFrameBudgetMs);
    }
    auto ours = ms_.find("ZoomAlpha90/8888");
    auto pixman = ms_.find("PixmanBilinear90");
    if (ours != ms_.end() && pixman != ms_.end())
      std::printf("\nbilinear 90 %% scale, 8888: ours / pixman = %.2f (below 1: ours is faster)\n",
                  ours->second / pixman->second);
  }

 private:
  std::map<std::string, double> ms_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  for (int32_t format : {555, 565, 888, 8888}) {
    benchmark::RegisterBenchmark(("StageFrame/" + std::to_string(format)).c_str(), BM_StageFrame, format)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("ZoomAlpha90/" + std::to_string(format)).c_str(), BM_ZoomAlpha, format)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("PixmanBilinear90", BM_PixmanBilinear)->Unit(benchmark::kMillisecond);
  BudgetReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
  return 0;
}
