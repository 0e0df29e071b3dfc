#pragma once
// Snow: flakes of three pictures, stretched to their size and added onto the frame, drifting
// as they fall.

#include <cstdint>
#include <span>
#include <vector>

#include "weather/FlakeEffect.h"

namespace zan {

class SnowEffect : public FlakeEffect {
 public:
  // The game always gives size percent 20 (flakes up to 20 pixels) and depth 0.
  static constexpr int32_t kSizePercent = 20;
  static constexpr int32_t kDepth = 0;

  SnowEffect(const WeatherTables& tables, WeatherRandom random, int32_t sizePercent = kSizePercent,
             int32_t depth = kDepth);

  void Frame(Surface& target) override;

  // The records, for tests and the debug tools.
  std::span<const Flake> Flakes() const { return flakes_; }

 protected:
  Particle& ParticleAt(int32_t i) override { return flakes_[static_cast<size_t>(i)]; }
  void ClearParticles() override;
  void Spawn(int32_t i, WeatherStart mode) override;

 private:
  // Pixels a frame beyond the effect's speed: near flakes fall faster, and each frame adds a
  // random pixel or none.
  double Drift(const Flake& f) { return Roll(2) + f.z * 0.1 + 1; }

  std::vector<Flake> flakes_;
};

}  // namespace zan
