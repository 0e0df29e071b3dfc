#include "script/ScriptWeather.h"

#include "core/GameTask.h"
#include "frame/FrameCompositor.h"
#include "stage/PictureFiles.h"
#include "weather/Leaves.h"
#include "weather/Rain.h"
#include "weather/Snow.h"

namespace zan {

// An effect's task: its layer draws the effect while the task runs.
class ScriptWeather::Task : public GameTask, public FrameLayer {
 public:
  Task(TaskScheduler& tasks, WeatherKind kind, ParticleEffect& effect)
      : GameTask(tasks, WeatherTaskName(kind), WeatherTaskDescription(kind)), effect_(effect) {}

  void Draw(Surface& frame) override { effect_.Frame(frame); }
  bool Changed() const override { return effect_.Running() && effect_.Count() > 0; }

 private:
  ParticleEffect& effect_;
};

ScriptWeather::ScriptWeather(TaskScheduler& tasks, GameData& data, WeatherRandom random) : data_(data) {
  Of(WeatherKind::kRain).effect = std::make_unique<RainEffect>(tables_, random);
  Of(WeatherKind::kSnow).effect = std::make_unique<SnowEffect>(tables_, random);
  Of(WeatherKind::kLeaves).effect = std::make_unique<LeafEffect>(tables_, random);
  for (WeatherKind kind : {WeatherKind::kRain, WeatherKind::kSnow, WeatherKind::kLeaves})
    Of(kind).task = std::make_unique<Task>(tasks, kind, *Of(kind).effect);
  Reset();
}

ScriptWeather::~ScriptWeather() {
  if (frame_ != nullptr)
    for (const Weather& w : weathers_) frame_->Remove(*w.task);
}

void ScriptWeather::Attach(FrameCompositor& frame) {
  frame_ = &frame;
  for (Weather& w : weathers_) frame.Add(Layer::kEffects, *w.task, *w.task);
}

void ScriptWeather::Reset() { Restore(ParticleRecord::Defaults()); }

void ScriptWeather::Switch(WeatherKind kind, bool on, WeatherStart start) {
  record_.Of(kind).on = on ? 1 : 0;
  if (on) Run(kind, start);
  else Halt(kind);
}

void ScriptWeather::Set(WeatherKind kind, WeatherSetting which, int32_t value) {
  WeatherSettings& kept = record_.Of(kind).settings;
  ParticleEffect& effect = *Of(kind).effect;
  switch (which) {
    case WeatherSetting::kCount:
      kept.count = value;
      effect.SetCount(value);
      break;
    case WeatherSetting::kSpeed:
      kept.speed = value;
      effect.SetSpeed(value);
      break;
    case WeatherSetting::kAngle:
      kept.angle = value;
      effect.SetAngle(value);
      break;
    case WeatherSetting::kSpread:
      kept.spread = value;
      effect.SetSpread(value);
      break;
  }
}

void ScriptWeather::StopAll() {
  for (WeatherKind kind : {WeatherKind::kRain, WeatherKind::kSnow, WeatherKind::kLeaves}) Halt(kind);
}

void ScriptWeather::Restore(const ParticleRecord& record) {
  record_ = record;
  for (WeatherKind kind : {WeatherKind::kRain, WeatherKind::kSnow, WeatherKind::kLeaves}) {
    if (record_.Of(kind).on != 0) {
      Run(kind, WeatherStart::kNow);
    } else {
      Of(kind).effect->Apply(record_.Of(kind).settings);
      Halt(kind);
    }
  }
}

const ParticleEffect& ScriptWeather::Effect(WeatherKind kind) const {
  return *weathers_[static_cast<size_t>(kind)].effect;
}

bool ScriptWeather::Running(WeatherKind kind) const {
  const Task& task = *weathers_[static_cast<size_t>(kind)].task;
  return task.IsRunning() && !task.Ended();
}

void ScriptWeather::LoadPictures(WeatherKind kind) {
  Weather& w = Of(kind);
  WeatherPictures pictures{};
  for (int32_t i = 0; i < kWeatherPictureKinds; ++i) {
    // A missing picture leaves its surface empty; the effect says so once when it draws.
    Surface& picture = w.pictures[static_cast<size_t>(i)];
    LoadImageFile(data_, WeatherPictureName(kind, i), picture);
    pictures[static_cast<size_t>(i)] = &picture;
  }
  static_cast<FlakeEffect&>(*w.effect).SetPictures(pictures);
}

void ScriptWeather::Run(WeatherKind kind, WeatherStart start) {
  Weather& w = Of(kind);
  if (kind != WeatherKind::kRain) LoadPictures(kind);
  w.effect->Apply(record_.Of(kind).settings);
  w.effect->Start(start);
  // Ended earlier in this frame, the task is still in the list: it stays there.
  if (w.task->IsRunning()) w.task->SetEnded(false);
  else w.task->Start(kOrderOverlay);
}

void ScriptWeather::Halt(WeatherKind kind) {
  Weather& w = Of(kind);
  w.effect->Stop();
  if (w.task->IsRunning()) w.task->End();
}

}  // namespace zan
