#pragma once
// The story's weather: rain, snow and falling leaves as the "Easy..." commands switch and
// set them. Each effect runs as a task of its own ("CEasyRain", "CEasySnow", "CEasyLeaf",
// order key 0xA0000000) whose layer draws it in the frame's effects place, over the message
// window; it moves its particles once a drawn frame. The settings and on flags are kept as
// one record, the one a save stores (script/ParticleRecord.h); a running effect takes a new
// value at once. Random draws come from the game's generator, shared with "Rnd".

#include <array>
#include <cstdint>
#include <memory>

#include "script/ParticleRecord.h"
#include "surface/Surface.h"
#include "weather/ParticleEffect.h"
#include "weather/WeatherTables.h"

namespace zan {

class FrameCompositor;
class GameData;
class TaskScheduler;

// Which of the four values a command sets.
enum class WeatherSetting { kCount, kSpeed, kAngle, kSpread };

class ScriptWeather {
 public:
  ScriptWeather(TaskScheduler& tasks, GameData& data, WeatherRandom random);
  ~ScriptWeather();
  ScriptWeather(const ScriptWeather&) = delete;
  ScriptWeather& operator=(const ScriptWeather&) = delete;

  // The frame the effects are drawn in; without it they run unseen.
  void Attach(FrameCompositor& frame);

  // The start of a game: every effect off, each value at its default.
  void Reset();
  // Switches an effect on (its pictures loaded anew, its values applied, started gradually
  // or, with kNow, full at once) or off (its task leaves the list).
  void Switch(WeatherKind kind, bool on, WeatherStart start);
  // Keeps a value and hands it to the effect at once, running or not.
  void Set(WeatherKind kind, WeatherSetting which, int32_t value);
  // Every effect stops (the return to the title); the record keeps its values.
  void StopAll();

  // The state a save stores.
  const ParticleRecord& Record() const { return record_; }
  // Takes a saved state: the values as stored (the effects clamp them), every effect that is
  // on started full at once, the others off.
  void Restore(const ParticleRecord& record);

  const ParticleEffect& Effect(WeatherKind kind) const;
  bool Running(WeatherKind kind) const;

 private:
  class Task;
  struct Weather {
    std::unique_ptr<ParticleEffect> effect;
    std::unique_ptr<Task> task;
    std::array<Surface, kWeatherPictureKinds> pictures;
  };

  Weather& Of(WeatherKind kind) { return weathers_[static_cast<size_t>(kind)]; }
  void LoadPictures(WeatherKind kind);
  void Run(WeatherKind kind, WeatherStart start);
  void Halt(WeatherKind kind);

  GameData& data_;
  FrameCompositor* frame_ = nullptr;
  WeatherTables tables_;
  std::array<Weather, 3> weathers_;  // rain, snow, leaves
  ParticleRecord record_ = ParticleRecord::Defaults();
};

}  // namespace zan
