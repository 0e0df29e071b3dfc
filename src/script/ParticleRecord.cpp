#include "script/ParticleRecord.h"

#include "base/ByteReader.h"

namespace zan {

ParticleRecord ParticleRecord::Defaults() {
  ParticleRecord r;
  r.Of(WeatherKind::kRain).settings = kRainDefaults;
  r.Of(WeatherKind::kSnow).settings = kSnowDefaults;
  r.Of(WeatherKind::kLeaves).settings = kLeafDefaults;
  return r;
}

void ParticleRecord::Encode(std::span<uint8_t, kSize> out) const {
  uint8_t* p = out.data();
  for (const Effect& e : effects) {
    for (int32_t v : {e.on, e.settings.count, e.settings.speed, e.settings.angle, e.settings.spread}) {
      StoreU32(p, static_cast<uint32_t>(v));
      p += 4;
    }
  }
}

ParticleRecord ParticleRecord::Decode(std::span<const uint8_t, kSize> in) {
  ParticleRecord r;
  const uint8_t* p = in.data();
  auto next = [&p] {
    const auto v = static_cast<int32_t>(LoadU32(p));
    p += 4;
    return v;
  };
  for (Effect& e : r.effects) {
    e.on = next();
    e.settings.count = next();
    e.settings.speed = next();
    e.settings.angle = next();
    e.settings.spread = next();
  }
  return r;
}

}  // namespace zan
