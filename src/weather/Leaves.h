#pragma once
// Falling leaves: animated leaf pictures, turning as they fall, drawn far ones first so that
// near leaves pass over them.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "weather/FlakeEffect.h"

namespace zan {

struct Leaf : Flake {
  double rotationStep = 0;  // turn a frame, in 1024ths of a turn
  double rotation = 0;      // 0..1024
  int32_t frame = 0;        // the animation frame shown
  int32_t frames = 1;
  int32_t tick = 0;         // frames the animation frame has been shown
  int32_t ticksPerFrame = 0;
};

// A leaf picture: `frames` frames of width x height side by side (frame f at x = f x width),
// each shown for `ticks` frames or up to two more.
struct LeafSprite {
  int32_t width = 0;
  int32_t height = 0;
  int32_t frames = 1;
  int32_t ticks = 0;
};
constexpr std::array<LeafSprite, kWeatherPictureKinds> kLeafSprites{{{80, 64, 6, 4}, {80, 80, 8, 5}, {112, 48, 8, 6}}};

// A rotation of 1024ths of a turn after a step, kept in 0..1024 (1023.9 + 0.2 gives 0.1).
double TurnRotation(double rotation, double step);

class LeafEffect : public FlakeEffect {
 public:
  // The game always gives size percent 80, depth 0 and a turn of 0.2 a frame.
  static constexpr int32_t kSizePercent = 80;
  static constexpr int32_t kDepth = 0;
  static constexpr double kRotationStep = 0.2;

  LeafEffect(const WeatherTables& tables, WeatherRandom random, int32_t sizePercent = kSizePercent,
             int32_t depth = kDepth, double rotationStep = kRotationStep);

  void Frame(Surface& target) override;

  // The records, for tests and the debug tools.
  std::span<const Leaf> Leaves() const { return leaves_; }

 protected:
  Particle& ParticleAt(int32_t i) override { return leaves_[static_cast<size_t>(i)]; }
  void ClearParticles() override;
  void Spawn(int32_t i, WeatherStart mode) override;

 private:
  // The particles in use ordered by depth band (0..9, 10..19, ... 90 and beyond), each band in
  // index order; taken once a frame, so that every particle moves once.
  void OrderByDepth();

  double rotationStep_;
  std::vector<Leaf> leaves_;
  std::vector<int32_t> order_;
};

}  // namespace zan
