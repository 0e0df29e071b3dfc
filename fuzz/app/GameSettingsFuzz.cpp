// game.csv of a game's data archive: the title and the settings' defaults it names.

#include <cstdint>
#include <string_view>

#include "app/GameSettings.h"
#include "base/DiagnosticLog.h"
#include "script/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zan::Diagnostics().SetEcho(false);
  const zan::GameSettings settings =
      zan::GameSettings::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  if (settings.titleSjis.size() > zan::kMaxTitleBytes) __builtin_trap();
  zan::OptionsBlock options;
  settings.ApplyDefaults(options);
  return 0;
}
