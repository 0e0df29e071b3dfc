#include "weather/FlakeEffect.h"

#include <algorithm>
#include <cmath>

#include "base/DiagnosticLog.h"
#include "surface/Surface.h"

namespace zan {
namespace {

// The ground: a particle below y = 300 lands once (y - 300) x 50 / (600 - 300) passes its depth.
constexpr double kHorizon = 300;
constexpr double kGroundDepth = 50;
constexpr double kGroundSpan = 600 - 300;

}  // namespace

FlakeEffect::FlakeEffect(WeatherKind kind, const WeatherTables& tables, WeatherRandom random, int32_t sizePercent,
                         int32_t depth)
    : ParticleEffect(tables, std::move(random)),
      kind_(kind),
      sizePercent_(std::clamp(sizePercent, 1, 100)),
      depth_(std::clamp(depth, 0, 100)) {}

void FlakeEffect::SetPictures(const WeatherPictures& pictures) {
  pictures_ = pictures;
  reported_ = {};
}

void FlakeEffect::Started() { reported_ = {}; }

void FlakeEffect::SpawnFlake(Flake& f, WeatherStart mode) {
  PlaceAtSpawn(f, mode);
  f.depthStep = depth_ * 0.2;
  // Most particles far, a third in the middle, a few very near.
  const int32_t r = Roll(100);
  if (r <= 4)
    f.z = Roll(10) + 90;
  else if (r < 40)
    f.z = Roll(40) + 30;
  else
    f.z = Roll(30);
  f.kind = Roll(kWeatherPictureKinds);
  f.angle = DealAngle();
}

int32_t FlakeEffect::SizeAt(const Flake& f) const {
  return TruncateToInt32(std::trunc(std::floor(f.z) * sizePercent_ / 100) + 1);
}

void FlakeEffect::Move(Flake& f, double bonus) const {
  const WeatherTables::Direction& to = Tables().Toward(f.angle);
  const double v = Speed() + bonus;
  f.x += v * to.sin;
  f.y += v * to.cos;
  f.z += f.depthStep;
}

void FlakeEffect::Retire(Flake& f) {
  const double ground = std::floor(f.y) - kHorizon;
  if (Gone(f) || (ground > 0 && ground * kGroundDepth / kGroundSpan > f.z)) f.active = false;
}

const Surface* FlakeEffect::PictureFor(int32_t kind, const Surface& target) {
  const Surface* picture = pictures_[static_cast<size_t>(kind)];
  if (picture != nullptr && picture->View() && picture->Width() > 0 && picture->Height() > 0 &&
      picture->FormatCode() == target.FormatCode())
    return picture;
  if (!reported_[static_cast<size_t>(kind)]) {
    reported_[static_cast<size_t>(kind)] = true;
    ZAN_WARN("%s: the picture %s is missing or not in the frame's pixel format; %s", WeatherTaskName(kind_),
            WeatherPictureName(kind_, kind).c_str(),
            kind == 0 ? "the effect draws nothing" : "its particles are not drawn");
  }
  return nullptr;
}

}  // namespace zan
