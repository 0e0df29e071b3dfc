// The script reader over arbitrary bytes: every element, its command name and arguments,
// and the label scan, as the interpreter and the read-flag counting walk a script.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/ScriptText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string element;
  std::string arg;
  for (int32_t position = 0; position < static_cast<int32_t>(size);) {
    const int32_t next = zan::ReadElement(text, position, element, (position & 1) != 0);
    if (next <= position) __builtin_trap();  // reading always moves on
    if (element.size() > 1023) __builtin_trap();
    if (!element.empty() && element[0] == '<') {
      const auto name = zan::GetCommandName(element);
      const int32_t count = zan::CountArgs(element, name.offset);
      for (int32_t i = 0; i <= count && i < 60; ++i) {
        zan::GetArg(element, i, arg);
        if (arg.size() > 259) __builtin_trap();
      }
      if (zan::GetArgs(element, name.offset).size() > 50) __builtin_trap();
    }
    position = next;
  }
  for (const auto& label : zan::ScanLabels(text))
    if (label.name.size() > 63 || label.position > static_cast<int32_t>(size)) __builtin_trap();
  return 0;
}
