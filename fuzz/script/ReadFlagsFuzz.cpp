// The "kidoku.dat" reader over arbitrary bytes, against a table of three entries.

#include <cstddef>
#include <cstdint>
#include <span>

#include "script/ReadFlagStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zan::ReadFlagStore readFlags;
  readFlags.BuildTable({{"a.txt", 3, 0}, {"b.txt", 0, 2}, {"c.txt", 5, 1}});
  readFlags.ApplyFile(std::span<const uint8_t>(data, size), nullptr);
  // The table keeps its shape whatever the file says.
  if (readFlags.Entries().size() != 3 || readFlags.Entries()[2].waits.size() != 5) __builtin_trap();
  if (readFlags.EncodeFile().size() != 8 + 3 * 8 + 3 + 2 + 5 + 1) __builtin_trap();
  return 0;
}
