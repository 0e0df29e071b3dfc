// The cost of one frame of each transition at 800 x 600, per pixel format, on the fast blend
// path. Each run plays the transition at 30 frames a second from its start to its end (and
// again from the start), so the figure is the mean over every stage of it. After the run a
// table gives each in milliseconds a frame against the 5 ms goal.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "surface/AlphaPlane.h"
#include "surface/Surface.h"
#include "transition/Transition.h"

namespace {

using namespace zan;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;
constexpr uint32_t kFrameMs = 33;
constexpr double kGoalMs = 5.0;

const DisplayDevice kDevice;

const TransitionTables& Tables() {
  static const TransitionTables tables(kW, kH);
  return tables;
}

std::unique_ptr<Surface> RandomSurface(int32_t format, int32_t width, int32_t height, std::mt19937& rng) {
  auto s = std::make_unique<Surface>();
  s->CreateOnDevice(&kDevice, width, height, DDSCAPS_SYSTEMMEMORY, format);
  const PixelRows v = s->View();
  for (int32_t y = 0; y < v.height; ++y)
    for (int32_t x = 0; x < v.pitch; ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
  return s;
}

// Two scenes, a mask picture like the games' (soft diagonal bands), a pattern of 10 frames of
// 40 x 30 with alpha, and the target.
struct Scenes {
  explicit Scenes(int32_t format) {
    std::mt19937 rng(7);
    old = RandomSurface(format, kW, kH, rng);
    next = RandomSurface(format, kW, kH, rng);
    target = RandomSurface(format, kW, kH, rng);
    pattern = RandomSurface(format, 400, 30, rng);
    for (int32_t y = 0; y < 30; ++y)
      for (int32_t x = 0; x < 400; ++x) pattern->Alpha().Row(y)[x] = static_cast<uint8_t>(255 - (x / 40) * 28);
    mask.Create(kW, kH);
    for (int32_t y = 0; y < kH; ++y)
      for (int32_t x = 0; x < kW; ++x)
        mask.Row(y)[x] = static_cast<uint8_t>(127.5 + 127.5 * std::sin((x + y) / 40.0));
  }
  std::unique_ptr<Surface> old;
  std::unique_ptr<Surface> next;
  std::unique_ptr<Surface> target;
  std::unique_ptr<Surface> pattern;
  AlphaPlane mask;
};

void BM_Transition(benchmark::State& state, TransitionKind kind, int32_t direction, int32_t format) {
  Scenes scenes(format);
  TransitionParams p;
  p.kind = kind;
  p.duration = 1000;
  p.mask = &scenes.mask;
  p.direction = direction;
  p.pattern = scenes.pattern.get();
  p.patternFrames = 10;
  p.cellWidth = 40;
  p.cellHeight = 30;
  auto start = [&] {
    auto t = StartTransition(Tables(), p, *scenes.old, *scenes.next);
    return t.ok() ? std::move(*t) : nullptr;
  };
  std::unique_ptr<Transition> t = start();
  if (!t) {
    state.SkipWithError("the transition did not start");
    return;
  }
  uint32_t elapsed = 0;
  for (auto _ : state) {
    if (t->Draw(*scenes.target, elapsed)) {
      t = start();
      elapsed = 0;
    } else {
      elapsed += kFrameMs;
    }
    benchmark::ClobberMemory();
  }
}

class GoalReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) ms_.emplace_back(r.benchmark_name(), r.GetAdjustedCPUTime());
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintTable() const {
    std::printf("\ntransition frame at 800 x 600 (mean over the whole transition at 30 frames a second)\n");
    std::printf("%-34s %10s %14s\n", "transition/format", "ms/frame", "share of 5 ms");
    for (const auto& [name, ms] : ms_) std::printf("%-34s %10.2f %13.0f%%\n", name.c_str(), ms, 100.0 * ms / kGoalMs);
  }

 private:
  std::vector<std::pair<std::string, double>> ms_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Named {
    const char* name;
    TransitionKind kind;
    int32_t direction;
  };
  const Named kinds[] = {
      {"Cross", TransitionKind::kCross, 0},
      {"MaskCross", TransitionKind::kMaskCross, 0},
      {"MaskCrossR", TransitionKind::kMaskCrossReverse, 0},
      {"Waip", TransitionKind::kWipe, 0},
      {"Circle", TransitionKind::kCircle, 0},
      {"Blind", TransitionKind::kBlind, 0},
      {"Water", TransitionKind::kWater, 0},
      {"NoiseC", TransitionKind::kNoise, 0},
      {"ImageCross", TransitionKind::kPictureCross, 0},
      {"ImageCross-left", TransitionKind::kPictureCrossDirectional, 0},
      {"ImageCross-top", TransitionKind::kPictureCrossDirectional, 1},
      {"ImageBlind", TransitionKind::kPictureBlind, 0},
      {"Pattern", TransitionKind::kPattern, 0},
  };
  for (int32_t format : {8888, 565}) {
    for (const Named& k : kinds) {
      const std::string name = std::string(k.name) + "/" + std::to_string(format);
      benchmark::RegisterBenchmark(name.c_str(), BM_Transition, k.kind, k.direction, format)
          ->Unit(benchmark::kMillisecond);
    }
  }
  GoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintTable();
  benchmark::Shutdown();
  return 0;
}
