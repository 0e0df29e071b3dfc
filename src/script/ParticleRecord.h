#pragma once
// The weather as the story keeps it and a save stores it (60 bytes): for rain, snow and
// leaves in that order, whether the effect is on and the four values its commands set
// ("...Pow", "...Speed", "...Angle", "...Rand"), each a little-endian int32. The values are
// kept as the script gave them; the effects clamp them where they take them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "weather/Weather.h"

namespace zan {

struct ParticleRecord {
  static constexpr size_t kSize = 60;

  struct Effect {
    int32_t on = 0;
    WeatherSettings settings;
    friend bool operator==(const Effect&, const Effect&) = default;
  };
  std::array<Effect, 3> effects;  // rain, snow, leaves

  // The start of a game: every effect off, with its default values.
  static ParticleRecord Defaults();

  Effect& Of(WeatherKind kind) { return effects[static_cast<size_t>(kind)]; }
  const Effect& Of(WeatherKind kind) const { return effects[static_cast<size_t>(kind)]; }

  void Encode(std::span<uint8_t, kSize> out) const;
  static ParticleRecord Decode(std::span<const uint8_t, kSize> in);
  friend bool operator==(const ParticleRecord&, const ParticleRecord&) = default;
};

}  // namespace zan
