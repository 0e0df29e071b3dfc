// The reader of system2.lib (one action name per input): the input is the file. An odd
// first byte reads it as stored (scrambled), an even one as plain text.

#include <cstdint>
#include <vector>

#include "data/KeyDefinitions.h"
#include "data/LibScramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  if (size > 0 && (data[0] & 1)) zan::UnscrambleLib(bytes, zan::LibKey());
  const zan::KeyDefinitions keys =
      zan::ReadKeyDefinitions({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  if (keys.rows.size() > static_cast<size_t>(zan::KeyDefinitions::kInputCount)) __builtin_trap();
  for (const zan::KeyDefinitionRow& row : keys.rows) {
    if (row.action < 0 || row.action > 30 || row.actionName.size() >= 260) __builtin_trap();
  }
  for (const zan::DefinitionProblem& problem : keys.problems) (void)zan::DescribeProblem("system2.lib", problem);
  return 0;
}
