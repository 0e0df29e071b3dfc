// The reader of variable.csv: the input is the file's text. Every name and value fits its
// stored field, and setting a variable whose range is in order keeps it in that range.

#include <cstdint>
#include <string>
#include <string_view>

#include "script/VariableTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zan::VariableTable vars;
  vars.LoadText({reinterpret_cast<const char*>(data), size});
  for (const auto& v : vars.Ints()) {
    if (v.name.size() >= zan::VariableTable::kNameSize) __builtin_trap();
    const int32_t probe = static_cast<int32_t>(size) - 64;
    vars.SetInt(v.name, probe);
    const int32_t stored = vars.IntValue(v.name);
    // The first of equal names is the one found; its range is what counts.
    const auto* found = vars.FindInt(v.name);
    if (found->minimum <= found->maximum && (stored < found->minimum || stored > found->maximum)) __builtin_trap();
  }
  for (const auto& s : vars.Strings()) {
    if (s.name.size() >= zan::VariableTable::kNameSize || s.value.size() >= zan::VariableTable::kStringSize)
      __builtin_trap();
  }
  return 0;
}
