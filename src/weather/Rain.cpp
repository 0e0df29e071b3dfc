#include "weather/Rain.h"

#include <algorithm>

#include "weather/WeatherDrawing.h"

namespace zan {

RainEffect::RainEffect(const WeatherTables& tables, WeatherRandom random, int32_t lengthPercent)
    : ParticleEffect(tables, std::move(random)),
      lengthPercent_(std::clamp(lengthPercent, 0, 100)),
      drops_(kParticleRecords) {}

void RainEffect::ClearParticles() { std::fill(drops_.begin(), drops_.end(), RainDrop{}); }

void RainEffect::Spawn(int32_t i, WeatherStart mode) {
  RainDrop& d = drops_[static_cast<size_t>(i)];
  if (d.active) return;
  PlaceAtSpawn(d, mode);
  d.length = Roll(90) + 10;
  d.bonus = (d.length / 2) * 3;
  d.angle = DealAngle();
  d.intensity = lengthPercent_ * d.length / 100;
}

void RainEffect::Frame(Surface& target) {
  if (!Running()) return;
  for (int32_t i = 0; i < Count(); ++i) {
    if (Waits(i)) continue;
    RainDrop& d = drops_[static_cast<size_t>(i)];
    const WeatherTables::Direction& to = Tables().Toward(d.angle);
    // In 64 bits: no speed a script gives can overflow.
    const double v = static_cast<double>(int64_t{Speed()} + d.bonus);
    d.x += v * to.sin;
    d.y += v * to.cos;
    if (Gone(d)) d.active = false;  // still drawn this frame
    const double reach = 2.0 * d.length;
    const int32_t amount = std::max(15, (140 - d.length) * d.intensity / 100);
    DrawLine(target, TruncateToInt32(d.x), TruncateToInt32(d.y), TruncateToInt32(d.x + reach * to.sin),
             TruncateToInt32(d.y + reach * to.cos), amount);
  }
}

}  // namespace zan
