#include "weather/Leaves.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "weather/WeatherDrawing.h"

namespace zan {
namespace {

constexpr int32_t kDepthBands = 10;
constexpr double kBandDepth = 10;

int32_t BandOf(double z) {
  if (!(z >= 0)) return 0;
  return static_cast<int32_t>(std::min(z / kBandDepth, double{kDepthBands - 1}));
}

}  // namespace

double TurnRotation(double rotation, double step) {
  const double r = std::fmod(rotation + step, 1024.0);
  return r < 0 ? r + 1024 : r;
}

LeafEffect::LeafEffect(const WeatherTables& tables, WeatherRandom random, int32_t sizePercent, int32_t depth,
                       double rotationStep)
    : FlakeEffect(WeatherKind::kLeaves, tables, std::move(random), sizePercent, depth),
      rotationStep_(std::isfinite(rotationStep) ? rotationStep : 0),
      leaves_(kParticleRecords) {
  order_.reserve(kParticleRecords);
}

void LeafEffect::ClearParticles() { std::fill(leaves_.begin(), leaves_.end(), Leaf{}); }

void LeafEffect::Spawn(int32_t i, WeatherStart mode) {
  Leaf& l = leaves_[static_cast<size_t>(i)];
  if (l.active) return;
  SpawnFlake(l, mode);
  const LeafSprite& sprite = kLeafSprites[static_cast<size_t>(l.kind)];
  l.rotation = Roll(1024);
  l.rotationStep = rotationStep_;
  l.frames = std::max(sprite.frames, 1);
  l.frame = Roll(l.frames);
  l.tick = 0;
  l.ticksPerFrame = Roll(3) + sprite.ticks;
}

void LeafEffect::OrderByDepth() {
  std::array<int32_t, kDepthBands + 1> starts{};
  for (int32_t i = 0; i < Count(); ++i) ++starts[static_cast<size_t>(BandOf(leaves_[static_cast<size_t>(i)].z)) + 1];
  for (int32_t b = 0; b < kDepthBands; ++b) starts[static_cast<size_t>(b) + 1] += starts[static_cast<size_t>(b)];
  order_.resize(static_cast<size_t>(Count()));
  for (int32_t i = 0; i < Count(); ++i)
    order_[static_cast<size_t>(starts[static_cast<size_t>(BandOf(leaves_[static_cast<size_t>(i)].z))]++)] = i;
}

void LeafEffect::Frame(Surface& target) {
  if (!Running() || PictureFor(0, target) == nullptr) return;
  OrderByDepth();
  for (int32_t i : order_) {
    if (Waits(i)) continue;
    Leaf& l = leaves_[static_cast<size_t>(i)];
    // Drawn where it is, then moved, turned and animated.
    const int64_t scale = std::min<int64_t>(int64_t{SizeAt(l)} * 1024 / 100, INT32_MAX);
    const LeafSprite& sprite = kLeafSprites[static_cast<size_t>(l.kind)];
    if (const Surface* picture = PictureFor(l.kind, target))
      RotateBlt(target, Tables(), TruncateToInt32(l.x), TruncateToInt32(l.y), *picture, sprite.width * l.frame, 0,
                sprite.width, sprite.height, TruncateToInt32(l.rotation), static_cast<int32_t>(scale));
    Move(l, l.velocityFactor);
    l.rotation = TurnRotation(l.rotation, l.rotationStep);
    l.velocityFactor = l.z * 0.1 + 1;
    if (++l.tick >= l.ticksPerFrame) {
      l.tick = 0;
      l.frame = l.frame + 1 >= l.frames ? 0 : l.frame + 1;
    }
    Retire(l);
  }
}

}  // namespace zan
