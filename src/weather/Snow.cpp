#include "weather/Snow.h"

#include <algorithm>

#include "weather/WeatherDrawing.h"

namespace zan {

SnowEffect::SnowEffect(const WeatherTables& tables, WeatherRandom random, int32_t sizePercent, int32_t depth)
    : FlakeEffect(WeatherKind::kSnow, tables, std::move(random), sizePercent, depth), flakes_(kParticleRecords) {}

void SnowEffect::ClearParticles() { std::fill(flakes_.begin(), flakes_.end(), Flake{}); }

void SnowEffect::Spawn(int32_t i, WeatherStart mode) {
  Flake& f = flakes_[static_cast<size_t>(i)];
  if (f.active) return;
  SpawnFlake(f, mode);
  f.velocityFactor = Drift(f);
}

void SnowEffect::Frame(Surface& target) {
  if (!Running() || PictureFor(0, target) == nullptr) return;
  for (int32_t i = 0; i < Count(); ++i) {
    if (Waits(i)) continue;
    Flake& f = flakes_[static_cast<size_t>(i)];
    // Drawn where it is, then moved.
    const int32_t size = SizeAt(f);
    const Surface* picture = PictureFor(f.kind, target);
    if (size > 0 && picture != nullptr)
      AddStretchBlt(target, TruncateToInt32(f.x - size / 2), TruncateToInt32(f.y - size / 2), size, size, *picture);
    Move(f, f.velocityFactor);
    f.velocityFactor = Drift(f);
    Retire(f);
  }
}

}  // namespace zan
