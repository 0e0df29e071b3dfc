#pragma once
// What snow and falling leaves share: particles at a depth (0 far .. 99 near) drawn from one
// of three pictures, larger and faster the nearer they are, landing on the ground of the
// scene (below y = 300 + 6 x depth) when they do not leave it first.

#include <array>
#include <cstdint>

#include "weather/ParticleEffect.h"

namespace zan {

struct Flake : Particle {
  double depthStep = 0;       // depth gained each frame
  double z = 0;               // depth
  double velocityFactor = 0;  // pixels a frame beyond the effect's speed
  int32_t kind = 0;           // which picture, 0..2
};

// The pictures of an effect's three particle kinds, owned by the caller. A missing one (null
// or without pixels, or not in the frame's format) is reported once a start; without the
// first nothing of the effect is drawn or moved, without another its particles are not drawn.
using WeatherPictures = std::array<const Surface*, kWeatherPictureKinds>;

class FlakeEffect : public ParticleEffect {
 public:
  // `sizePercent` (clamped to 1..100) scales the particles; `depth` (clamped to 0..100) is
  // how fast they come nearer, a fifth of it in depth a frame.
  FlakeEffect(WeatherKind kind, const WeatherTables& tables, WeatherRandom random, int32_t sizePercent,
              int32_t depth);

  void SetPictures(const WeatherPictures& pictures);

 protected:
  void Started() override;
  // Spawning as every effect does, then the depth, the kind and the angle.
  void SpawnFlake(Flake& f, WeatherStart mode);
  // The size in pixels a particle is drawn at: floor(z) x size percent / 100 + 1.
  int32_t SizeAt(const Flake& f) const;
  // Moves a particle by the effect's speed plus `bonus` along its angle, and nearer.
  void Move(Flake& f, double bonus) const;
  // Leaves the scene or lands: then inactive.
  static void Retire(Flake& f);
  // The picture of a kind when it can be drawn into `target`, else null (reported once).
  const Surface* PictureFor(int32_t kind, const Surface& target);

 private:
  WeatherKind kind_;
  int32_t sizePercent_;
  int32_t depth_;
  WeatherPictures pictures_{};
  std::array<bool, kWeatherPictureKinds> reported_{};
};

}  // namespace zan
