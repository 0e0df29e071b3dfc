// The weather commands: "EasyRain", "EasySnow", "EasyLeaf" "ON" ["Now"] switch an effect on
// (with "Now" full at once) and anything else off; "...Pow", "...Speed", "...Angle" and
// "...Rand" keep a value (numeric argument rule) and hand it to the effect at once.

#include "script/CommandFamilies.h"
#include "script/ScriptWeather.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

using S = WeatherCommandServices;
using R = DispatchResult;

template <WeatherKind kKind>
R Switch(const S& s, const CommandCall& c) {
  s.weather.Switch(kKind, c.Is(0, "ON"), c.Is(1, "Now") ? WeatherStart::kNow : WeatherStart::kGradual);
  return R::kContinue;
}

template <WeatherKind kKind, WeatherSetting kWhich>
R Set(const S& s, const CommandCall& c) {
  s.weather.Set(kKind, kWhich, s.variables.Evaluate(c.Arg(0)));
  return R::kContinue;
}

constexpr WeatherKind kRain = WeatherKind::kRain;
constexpr WeatherKind kSnow = WeatherKind::kSnow;
constexpr WeatherKind kLeaves = WeatherKind::kLeaves;
constexpr WeatherSetting kPow = WeatherSetting::kCount;
constexpr WeatherSetting kSpeed = WeatherSetting::kSpeed;
constexpr WeatherSetting kAngle = WeatherSetting::kAngle;
constexpr WeatherSetting kRand = WeatherSetting::kSpread;

}  // namespace

void RegisterWeatherCommands(CommandTable& table, const WeatherCommandServices& services) {
  SetHandlers(table, services, {
      {"EasyRain", Switch<kRain>},
      {"EasyRainPow", Set<kRain, kPow>},
      {"EasyRainSpeed", Set<kRain, kSpeed>},
      {"EasyRainAngle", Set<kRain, kAngle>},
      {"EasyRainRand", Set<kRain, kRand>},
      {"EasySnow", Switch<kSnow>},
      {"EasySnowPow", Set<kSnow, kPow>},
      {"EasySnowSpeed", Set<kSnow, kSpeed>},
      {"EasySnowAngle", Set<kSnow, kAngle>},
      {"EasySnowRand", Set<kSnow, kRand>},
      {"EasyLeaf", Switch<kLeaves>},
      {"EasyLeafPow", Set<kLeaves, kPow>},
      {"EasyLeafSpeed", Set<kLeaves, kSpeed>},
      {"EasyLeafAngle", Set<kLeaves, kAngle>},
      {"EasyLeafRand", Set<kLeaves, kRand>},
  });
}

}  // namespace zan
