#include "weather/ParticleEffect.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace zan {
namespace {

// The spawn line: its distance beyond the centre, its length, and the centre it is measured
// from (pixels).
constexpr double kSpawnDistance = 600;
constexpr int32_t kSpawnLine = 1400;
constexpr double kCentreX = 400;
constexpr double kCentreY = 300;
// How far along its path a particle of a "Now" start may already be, and how many frames one
// of a gradual start may wait (both exclusive).
constexpr int32_t kNowReach = 1000;
constexpr int32_t kMaxDelay = 800;

}  // namespace

int32_t TruncateToInt32(double v) {
  if (std::isnan(v)) return 0;
  constexpr double kLow = std::numeric_limits<int32_t>::min();
  constexpr double kHigh = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(std::trunc(v), kLow, kHigh));
}

ParticleEffect::ParticleEffect(const WeatherTables& tables, WeatherRandom random)
    : tables_(tables), random_(std::move(random)) {
  Aim();
}

ParticleEffect::~ParticleEffect() = default;

void ParticleEffect::SetCount(int32_t count) { count_ = std::clamp(count, 0, kMaxParticleCount); }

void ParticleEffect::SetSpeed(int32_t speed) { speed_ = speed; }

void ParticleEffect::SetAngle(int32_t degrees) {
  angle_ = ReduceAngle(degrees);
  Aim();
  for (int32_t i = 0; i < count_; ++i) ParticleAt(i).angle = DealAngle();
}

void ParticleEffect::SetSpread(int32_t spread) { spread_ = std::clamp(spread, 1, kMaxSpread); }

void ParticleEffect::Apply(const WeatherSettings& settings) {
  SetCount(settings.count);
  SetAngle(settings.angle);
  SetSpeed(settings.speed);
  SetSpread(settings.spread);
}

void ParticleEffect::Start(WeatherStart mode) {
  ClearParticles();
  running_ = true;
  Started();
  for (int32_t i = 0; i < count_; ++i) {
    if (mode == WeatherStart::kNow)
      Spawn(i, mode);
    else
      ParticleAt(i).delay = Roll(kMaxDelay);
  }
}

int32_t ParticleEffect::Roll(int32_t n) {
  // The generator gives 0..32767; a negative draw from another source still lands in range.
  const int32_t r = random_() % n;
  return r < 0 ? r + n : r;
}

void ParticleEffect::Aim() {
  fall_ = tables_.Toward(angle_);
  line_ = tables_.Toward(angle_ + 90);
  originX_ = -kSpawnDistance * fall_.sin - kSpawnDistance * line_.sin;
  originY_ = -kSpawnDistance * fall_.cos - kSpawnDistance * line_.cos;
}

void ParticleEffect::PlaceAtSpawn(Particle& p, WeatherStart mode) {
  p.active = true;
  const int32_t d = Roll(kSpawnLine);
  p.x = originX_ + d * line_.sin + kCentreX;
  p.y = originY_ + d * line_.cos + kCentreY;
  if (mode == WeatherStart::kNow) {
    const int32_t e = Roll(kNowReach);
    p.x += e * fall_.sin;
    p.y += e * fall_.cos;
    p.delay = 0;
  }
}

bool ParticleEffect::Waits(int32_t i) {
  Particle& p = ParticleAt(i);
  if (p.delay > 0) {
    --p.delay;
    return true;
  }
  if (!p.active) {
    Spawn(i, WeatherStart::kGradual);
    return true;
  }
  return false;
}

bool ParticleEffect::Gone(const Particle& p) { return p.x < -800 || p.y < -800 || p.x > 1600 || p.y > 1400; }

}  // namespace zan
