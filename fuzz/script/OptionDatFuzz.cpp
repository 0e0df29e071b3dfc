// The "option.dat" reader over arbitrary bytes, against a small variable table.

#include <cstddef>
#include <cstdint>
#include <span>

#include "script/Options.h"
#include "script/VariableTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zan::VariableTable variables;
  variables.LoadText("h\r\nINT,G_a,0,0,10\r\nINT,b,0,0,10\r\nSTR,G_s,\r\n");
  zan::OptionsBlock options;
  zan::GalleryFlags gallery;
  zan::ApplyOptionFile(std::span<const uint8_t>(data, size), variables, options, gallery);
  const int32_t a = variables.IntValue("G_a");
  if (a < 0 || a > 10) __builtin_trap();  // stored values pass the clamp
  return 0;
}
