// The reader of system1.lib (picture section, then six-line button records): the input is
// the file. An odd first byte reads it as stored (scrambled), an even one as plain text.

#include <cstdint>
#include <vector>

#include "data/LibScramble.h"
#include "data/SystemButtonDefinition.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (size > 0 && (data[0] & 1)) zan::UnscrambleLib(bytes, zan::LibKey());
  auto def = zan::ReadSystemButtonDefinition({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  if (!def) return 0;
  const auto count = static_cast<int32_t>(def->buttons.size());
  for (int32_t b = -1; b <= count; ++b) {
    const int32_t parent = def->PositionParent(b);
    if (parent >= count || (parent >= 0 && parent == b)) __builtin_trap();
    for (int32_t s = -1; s <= zan::SystemButton::kStates; ++s) (void)def->Position(b, s);
  }
  for (int32_t n : def->absolute) {
    if (n < 0 || n >= count || def->buttons[static_cast<size_t>(n)].parent != zan::SystemButton::kAbsolute) {
      __builtin_trap();
    }
  }
  for (const zan::SystemButtonPicture& picture : def->pictures) (void)picture.Loads();
  for (const zan::DefinitionProblem& problem : def->problems) (void)zan::DescribeProblem("system1.lib", problem);
  return 0;
}
