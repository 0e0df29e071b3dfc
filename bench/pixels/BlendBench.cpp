// Full-frame (800 x 600) blends in every pixel format, fast and plain paths, against the
// same "over" composite done by pixman on 32-bit images. After the run a table gives each
// of ours as a ratio of pixman's time (below 1: ours is faster).
//
// Alpha planes: "sprite" is a picture-like plane (opaque middle, transparent surround, soft
// edges); "noise" is random alpha in every pixel, where no whole-group shortcut applies.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pixels/BlendKernels.h"
#include "surface/Surface.h"

namespace {

using namespace zan;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

std::vector<uint8_t> SpritePlane() {
  std::vector<uint8_t> a(static_cast<size_t>(kW) * kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) {
      // An ellipse over most of the frame with a soft edge about 8 pixels wide.
      const double d = std::hypot((x - 400) / 330.0, (y - 300) / 260.0);
      a[static_cast<size_t>(y) * kW + x] =
          static_cast<uint8_t>(std::clamp((1.0 - d) * 300.0 / 8.0, 0.0, 1.0) * 255.0);
    }
  return a;
}

std::vector<uint8_t> NoisePlane() {
  std::mt19937 rng(7);
  std::vector<uint8_t> a(static_cast<size_t>(kW) * kH);
  for (auto& v : a) v = static_cast<uint8_t>(rng());
  return a;
}

const std::vector<uint8_t>& Plane(bool noise) {
  static const std::vector<uint8_t> sprite = SpritePlane();
  static const std::vector<uint8_t> random = NoisePlane();
  return noise ? random : sprite;
}

struct Frames {
  explicit Frames(int32_t format, bool noise) {
    for (auto* s : {&dst, &src, &other}) s->CreateInFormat(kW, kH, format);
    std::mt19937 rng(3);
    for (auto* s : {&dst, &src, &other}) {
      const PixelRows v = s->View();
      for (int32_t y = 0; y < kH; ++y)
        for (int32_t x = 0; x < v.pitch; ++x) v.Row(y)[x] = static_cast<uint8_t>(rng());
    }
    src.Alpha().CopyRaw(Plane(noise));
    mask.Create(kW, kH);
    mask.CopyRaw(Plane(noise));
  }
  Surface dst, src, other;
  AlphaPlane mask;
};

enum class Op { kAlphaCopy, kOpacity, kCrossFade, kMaskBlend };

void BM_Ours(benchmark::State& state, int32_t format, Op op, bool noise, BlendPath path) {
  SetBlendPath(path);
  Frames f(format, noise);
  for (auto _ : state) {
    switch (op) {
      case Op::kAlphaCopy: f.dst.Blt(0, 0, kW, kH, f.src, 0, 0, 2); break;
      case Op::kOpacity: f.dst.BitBltAlpha(0, 0, kW, kH, f.src, 0, 0, 128); break;
      case Op::kCrossFade: f.dst.CrossFade(f.src, 0, 0, kW, kH, f.other, 0, 0, 100); break;
      case Op::kMaskBlend: f.dst.MaskBlend(f.src, f.other, f.mask); break;
    }
    benchmark::ClobberMemory();
  }
  SetBlendPath(BestBlendPath());
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

// pixman: a8r8g8b8 source (premultiplied from the same colours and plane) over x8r8g8b8,
// optionally through a solid 50% mask (the constant-opacity blend).
void BM_Pixman(benchmark::State& state, bool noise, bool constantMask) {
  std::vector<uint32_t> src(static_cast<size_t>(kW) * kH), dst(static_cast<size_t>(kW) * kH);
  std::mt19937 rng(3);
  const auto& plane = Plane(noise);
  for (size_t i = 0; i < src.size(); ++i) {
    const uint32_t a = plane[i];
    const uint32_t c = rng();
    auto pre = [a](uint32_t v) { return (v * a + 127) / 255; };
    src[i] = (a << 24) | (pre((c >> 16) & 255) << 16) | (pre((c >> 8) & 255) << 8) | pre(c & 255);
    dst[i] = rng();
  }
  pixman_image_t* s = pixman_image_create_bits(PIXMAN_a8r8g8b8, kW, kH, src.data(), kW * 4);
  pixman_image_t* d = pixman_image_create_bits(PIXMAN_x8r8g8b8, kW, kH, dst.data(), kW * 4);
  pixman_color_t half{0, 0, 0, 0x8000};
  pixman_image_t* m = constantMask ? pixman_image_create_solid_fill(&half) : nullptr;
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, s, m, d, 0, 0, 0, 0, 0, 0, kW, kH);
    benchmark::ClobberMemory();
  }
  if (m) pixman_image_unref(m);
  pixman_image_unref(s);
  pixman_image_unref(d);
  state.SetItemsProcessed(state.iterations() * kW * kH);
}

// Keeps the CPU time of every run, by name, for the ratio table (CPU time: the machine may
// be shared, and every run is one thread).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration) times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nours / pixman over (time ratio; below 1 means ours is faster)\n");
    std::printf("%-34s %10s %10s\n", "benchmark", "sprite", "noise");
    for (const auto& [name, time] : times_) {
      if (name.rfind("Ours/", 0) != 0 || name.find("/sprite") == std::string::npos) continue;
      const bool opacity = name.find("Opacity") != std::string::npos;
      std::string noiseName = name;
      noiseName.replace(noiseName.find("/sprite"), 7, "/noise");
      auto ratio = [&](const std::string& ours, const char* plane) {
        auto o = times_.find(ours);
        auto p = times_.find(std::string("Pixman/") + (opacity ? "OverHalfMask/" : "Over/") + plane);
        return (o == times_.end() || p == times_.end()) ? std::string("-")
                                                        : std::to_string(o->second / p->second).substr(0, 4);
      };
      std::string label = name;
      label.erase(label.find("/sprite"), 7);
      std::printf("%-34s %10s %10s\n", label.c_str(), ratio(name, "sprite").c_str(),
                  ratio(noiseName, "noise").c_str());
    }
  }

 private:
  std::map<std::string, double> times_;
};

void Register() {
  const std::pair<Op, const char*> ops[] = {{Op::kAlphaCopy, "AlphaCopy"},
                                            {Op::kOpacity, "Opacity"},
                                            {Op::kCrossFade, "CrossFade"},
                                            {Op::kMaskBlend, "MaskBlend"}};
  const std::pair<BlendPath, const char*> paths[] = {
      {BlendPath::kAvx2, "avx2"}, {BlendPath::kSse2, "sse2"}, {BlendPath::kPlain, "plain"}};
  for (int32_t format : {555, 565, 888, 8888})
    for (const auto& [op, opName] : ops)
      for (const auto& [path, pathName] : paths)
        for (bool noise : {false, true}) {
          // Cross-fades have no plane: one run is enough.
          if (op == Op::kCrossFade && noise) continue;
          if (path > BestBlendPath()) continue;
          const std::string name = std::string("Ours/") + opName + "/" + std::to_string(format) + "/" +
                                   pathName + (noise ? "/noise" : "/sprite");
          benchmark::RegisterBenchmark(name.c_str(), BM_Ours, format, op, noise, path)
              ->Unit(benchmark::kMillisecond);
        }
  for (bool noise : {false, true}) {
    const char* plane = noise ? "noise" : "sprite";
    benchmark::RegisterBenchmark((std::string("Pixman/Over/") + plane).c_str(), BM_Pixman, noise, false)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Pixman/OverHalfMask/") + plane).c_str(), BM_Pixman, noise, true)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Register();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
