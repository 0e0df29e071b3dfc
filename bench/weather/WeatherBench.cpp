// The cost of one frame of each weather effect at 800 x 600, per pixel format: rain at its
// largest count, snow and leaves at the game's starting settings, all started "Now" so that
// the screen is full from the first frame. Each iteration moves every particle and draws it
// into the frame (the scene under it is not redrawn: the drawing costs the same whatever it
// lands on). Times are milliseconds a frame.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pixels/PixelFormat.h"
#include "surface/Surface.h"
#include "weather/Leaves.h"
#include "weather/Rain.h"
#include "weather/Snow.h"

namespace {

using namespace zan;

constexpr int32_t kW = 800;
constexpr int32_t kH = 600;

const DisplayDevice kDevice;

const WeatherTables& Tables() {
  static const WeatherTables tables;
  return tables;
}

WeatherRandom Seeded(uint32_t seed) {
  return [state = seed]() mutable {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
  };
}

std::unique_ptr<Surface> Make(int32_t format, int32_t width, int32_t height) {
  auto s = std::make_unique<Surface>();
  s->CreateOnDevice(&kDevice, width, height, DDSCAPS_SYSTEMMEMORY, format);
  return s;
}

void Put(Surface& s, int32_t x, int32_t y, Rgb c) {
  const PixelRows v = s.View();
  WithFormat(s.FormatCode(), [&]<class F>() { F::Store(v.Row(y) + x * F::kBytes, F::Pack(c.r, c.g, c.b)); });
}

// A soft round flake of n x n on black, as the game's snow pictures are.
std::unique_ptr<Surface> Flake(int32_t format, int32_t n) {
  auto s = Make(format, n, n);
  for (int32_t y = 0; y < n; ++y)
    for (int32_t x = 0; x < n; ++x) {
      const double d = std::hypot(x + 0.5 - n / 2.0, y + 0.5 - n / 2.0) / (n / 2.0);
      const auto k = static_cast<uint8_t>(d >= 1 ? 0 : 255 * (1 - d) * (1 - d));
      Put(*s, x, y, {k, k, k});
    }
  return s;
}

// A leaf sheet at the sprite table's size: an oval leaf in every frame on the colour key.
std::unique_ptr<Surface> LeafSheet(int32_t format, int32_t kind) {
  const LeafSprite& sprite = kLeafSprites[static_cast<size_t>(kind)];
  auto s = Make(format, sprite.width * sprite.frames, sprite.height);
  for (int32_t f = 0; f < sprite.frames; ++f)
    for (int32_t y = 0; y < sprite.height; ++y)
      for (int32_t x = 0; x < sprite.width; ++x) {
        const double u = (x + 0.5 - sprite.width / 2.0) / (sprite.width * 0.4);
        const double v = (y + 0.5 - sprite.height / 2.0) / (sprite.height * 0.3);
        Put(*s, f * sprite.width + x, y, u * u + v * v <= 1 ? Rgb{200, 110, 40} : Rgb{0, 255, 0});
      }
  return s;
}

struct Pictures {
  explicit Pictures(int32_t format) {
    for (int32_t n : {16, 12, 8}) owned.push_back(Flake(format, n));
    for (int32_t kind = 0; kind < kWeatherPictureKinds; ++kind) owned.push_back(LeafSheet(format, kind));
  }
  WeatherPictures Snow() const { return {owned[0].get(), owned[1].get(), owned[2].get()}; }
  WeatherPictures Leaves() const { return {owned[3].get(), owned[4].get(), owned[5].get()}; }
  std::vector<std::unique_ptr<Surface>> owned;
};

void BM_Weather(benchmark::State& state, WeatherKind kind, int32_t format) {
  auto frame = Make(format, kW, kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      Put(*frame, x, y, {static_cast<uint8_t>(y / 5), static_cast<uint8_t>(x / 7), 90});
  const Pictures pictures(format);
  std::unique_ptr<ParticleEffect> effect;
  switch (kind) {
    case WeatherKind::kRain: {
      auto rain = std::make_unique<RainEffect>(Tables(), Seeded(1));
      rain->Apply({kMaxParticleCount, kRainDefaults.speed, kRainDefaults.angle, kRainDefaults.spread});
      effect = std::move(rain);
      break;
    }
    case WeatherKind::kSnow: {
      auto snow = std::make_unique<SnowEffect>(Tables(), Seeded(1));
      snow->SetPictures(pictures.Snow());
      snow->Apply(kSnowDefaults);
      effect = std::move(snow);
      break;
    }
    case WeatherKind::kLeaves: {
      auto leaves = std::make_unique<LeafEffect>(Tables(), Seeded(1));
      leaves->SetPictures(pictures.Leaves());
      leaves->Apply(kLeafDefaults);
      effect = std::move(leaves);
      break;
    }
  }
  effect->Start(WeatherStart::kNow);
  for (auto _ : state) {
    effect->Frame(*frame);
    benchmark::ClobberMemory();
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  struct Named {
    const char* name;
    WeatherKind kind;
  };
  const Named kinds[] = {{"Rain-1999", WeatherKind::kRain},
                         {"Snow-1000", WeatherKind::kSnow},
                         {"Leaves-300", WeatherKind::kLeaves}};
  for (int32_t format : {8888, 565}) {
    for (const Named& k : kinds) {
      const std::string name = std::string(k.name) + "/" + std::to_string(format);
      benchmark::RegisterBenchmark(name.c_str(), BM_Weather, k.kind, format)->Unit(benchmark::kMillisecond);
    }
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
