#pragma once
// Rain: thin streaks lightened into the frame, each as long as twice its length factor and
// falling faster the longer it is.

#include <cstdint>
#include <span>
#include <vector>

#include "weather/ParticleEffect.h"

namespace zan {

struct RainDrop : Particle {
  int32_t length = 0;     // 10..99: the streak is twice as long (pixels)
  int32_t bonus = 0;      // pixels a frame beyond the effect's speed: (length / 2) x 3
  int32_t intensity = 0;  // length percent x length / 100
};

class RainEffect : public ParticleEffect {
 public:
  // How strongly streaks are lightened: the percent of their length that counts (the game
  // always gives 30, which lightens every streak by 15 of 255).
  static constexpr int32_t kLengthPercent = 30;

  RainEffect(const WeatherTables& tables, WeatherRandom random, int32_t lengthPercent = kLengthPercent);

  void Frame(Surface& target) override;

  // The records, for tests and the debug tools.
  std::span<const RainDrop> Drops() const { return drops_; }

 protected:
  Particle& ParticleAt(int32_t i) override { return drops_[static_cast<size_t>(i)]; }
  void ClearParticles() override;
  void Spawn(int32_t i, WeatherStart mode) override;

 private:
  int32_t lengthPercent_;
  std::vector<RainDrop> drops_;
};

}  // namespace zan
