// The saved sound channel block (count and twelve records) over arbitrary bytes: a block
// that is read holds names that fit their field, and reads back the same once written again.

#include <cstddef>
#include <cstdint>
#include <span>

#include "script/SoundChannelRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto records = zan::DecodeSoundRecords(std::span<const uint8_t>(data, size));
  if (!records) return 0;
  for (const zan::SoundChannelRecord& r : *records)
    if (!zan::SoundChannelRecord::FitsFileField(r.file)) __builtin_trap();
  const auto again = zan::DecodeSoundRecords(zan::EncodeSoundRecords(*records));
  if (!again || *again != *records) __builtin_trap();  // a read block survives a save
  return 0;
}
