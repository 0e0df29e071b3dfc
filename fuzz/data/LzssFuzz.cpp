// LZSS: the input is read as a stream by both decoders, which must agree; and it is
// encoded and decoded back, which must give it again.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "data/Lzss.h"
#include "zanarc/LzssEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first two bytes give the unpacked size (up to 64 KiB).
  const size_t unpacked = data[0] | (size_t{data[1]} << 8);
  std::span<const uint8_t> stream(data + 2, size - 2);
  std::vector<uint8_t> fast(unpacked), reference(unpacked);
  const bool ok = zan::LzssDecode(stream, fast);
  if (ok != zan::LzssDecodeReference(stream, reference)) std::abort();
  if (ok && fast != reference) std::abort();

  std::vector<uint8_t> packed = zan::LzssEncode(stream);
  std::vector<uint8_t> back(stream.size());
  if (!zan::LzssDecode(packed, back)) std::abort();
  if (!std::equal(back.begin(), back.end(), stream.begin())) std::abort();
  return 0;
}
