#pragma once
// A weather effect: up to 1999 particles that fall in a direction given in degrees, spawn
// along a line outside the screen and are drawn into the frame after the scene. The script
// sets its count, speed, angle and spread at any time (they take effect at once), switches it
// on with a start and off with a stop; while it runs, each frame moves every particle and
// draws it into the target.
//
// The geometry is that of an 800 x 600 screen: particles spawn on a line of 1400 pixels,
// 600 pixels beyond the screen's centre against their direction, and leave when they pass
// x < -800, y < -800, x > 1600 or y > 1400. Random draws come from the game's shared
// generator, in a fixed order, so that a seed replays an effect exactly.

#include <cstdint>
#include <functional>

#include "weather/Weather.h"
#include "weather/WeatherTables.h"

namespace zan {

class Surface;

// The game's generator: 0..32767 a draw, shared with the script's random numbers.
using WeatherRandom = std::function<int32_t()>;

// What every particle has.
struct Particle {
  bool active = false;
  double x = 0;
  double y = 0;
  int32_t angle = 0;  // its own direction in degrees: the effect's angle plus a random spread
  int32_t delay = 0;  // frames before it first appears
};

// The records of an effect; the first `count` of them are in use.
constexpr int32_t kParticleRecords = 2000;
constexpr int32_t kMaxParticleCount = kParticleRecords - 1;
constexpr int32_t kMaxSpread = 360;

class ParticleEffect {
 public:
  // `tables` must outlive the effect; `random` is called on the main thread only.
  ParticleEffect(const WeatherTables& tables, WeatherRandom random);
  virtual ~ParticleEffect();
  ParticleEffect(const ParticleEffect&) = delete;
  ParticleEffect& operator=(const ParticleEffect&) = delete;

  // The number of particles in use, clamped to 0..1999.
  void SetCount(int32_t count);
  // Pixels a frame added to each particle's own speed.
  void SetSpeed(int32_t speed);
  // The direction in degrees (any value; kept reduced into 0..359). It moves the spawn line
  // and deals every particle in use a new angle of its own.
  void SetAngle(int32_t degrees);
  // How far (degrees) a particle's angle may lie beyond the effect's, clamped to 1..360.
  void SetSpread(int32_t spread);
  // All four, in the order count, angle, speed, spread.
  void Apply(const WeatherSettings& settings);

  int32_t Count() const { return count_; }
  int32_t Speed() const { return speed_; }
  int32_t Angle() const { return angle_; }
  int32_t Spread() const { return spread_; }

  // Clears every record and starts: "Now" spawns every particle in use at once somewhere on
  // its path, otherwise each waits rand mod 800 frames before it spawns at the line.
  void Start(WeatherStart mode);
  // Nothing more is drawn; the records stay until the next start.
  void Stop() { running_ = false; }
  bool Running() const { return running_; }

  // One frame while running: moves every particle in use and draws it into `target` (the
  // frame after the scene). Does nothing while stopped.
  virtual void Frame(Surface& target) = 0;

 protected:
  // A draw of 0..n - 1 (n > 0) from the shared generator.
  int32_t Roll(int32_t n);
  const WeatherTables& Tables() const { return tables_; }

  virtual Particle& ParticleAt(int32_t i) = 0;
  // Every record back to its cleared state.
  virtual void ClearParticles() = 0;
  // Spawns particle i when it is not active: at the line, or ("Now") anywhere on its path.
  virtual void Spawn(int32_t i, WeatherStart mode) = 0;
  // Called by Start after the records are cleared, before any particle spawns.
  virtual void Started() {}

  // Spawning's first steps, shared by every effect: active, a place on the spawn line and,
  // for "Now", a distance along the path (and no delay).
  void PlaceAtSpawn(Particle& p, WeatherStart mode);
  // A particle's own angle: the effect's plus a random spread.
  int32_t DealAngle() { return Roll(spread_) + angle_; }
  // The first step of every particle's frame: true when it waits (its delay counts down) or
  // was inactive and has just spawned; either way it does nothing more this frame.
  bool Waits(int32_t i);
  // Whether a particle has left the area it may live in.
  static bool Gone(const Particle& p);

 private:
  // The spawn origin, the spawn line's direction and the fall direction for the angle.
  void Aim();

  const WeatherTables& tables_;
  WeatherRandom random_;
  int32_t count_ = 0;
  int32_t speed_ = 0;
  int32_t angle_ = 0;
  int32_t spread_ = 1;
  bool running_ = false;
  double originX_ = 0;
  double originY_ = 0;
  WeatherTables::Direction line_;
  WeatherTables::Direction fall_;
};

// A double truncated toward zero into int32, saturating (NaN gives 0): positions and sizes
// of particles that ran far off stay harmless.
int32_t TruncateToInt32(double v);

}  // namespace zan
