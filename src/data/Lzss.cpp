#include "data/Lzss.h"

#include <array>
#include <cstddef>
#include <cstring>

namespace zan {

bool LzssDecode(std::span<const uint8_t> input, std::span<uint8_t> output) {
  const uint8_t* in = input.data();
  const uint8_t* const inEnd = in + input.size();
  uint8_t* const begin = output.data();
  uint8_t* out = begin;
  uint8_t* const end = begin + output.size();
  uint32_t flags = 0;

  // The ring is never kept: ring slot (0xFEE + i) & 0xFFF holds output byte i until byte
  // i + 4096 replaces it, so a match reads the output itself `distance` bytes back (1 to
  // 4096), and positions before the start of the output read the ring's initial zeros.
  while (out < end) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      if (in == inEnd) return false;
      flags = *in++ | 0xFF00u;
    }
    if (flags & 1) {
      if (in == inEnd) return false;
      *out++ = *in++;
      continue;
    }
    if (inEnd - in < 2) return false;
    const uint32_t position = in[0] | ((in[1] & 0xF0u) << 4);
    size_t length = (in[1] & 0x0Fu) + kLzssMinMatch;
    in += 2;
    if (length > static_cast<size_t>(end - out)) return false;

    const size_t produced = static_cast<size_t>(out - begin);
    const uint32_t ringWrite = static_cast<uint32_t>((kLzssRingStart + produced) & 0xFFF);
    size_t distance = (ringWrite - position) & 0xFFF;
    if (distance == 0) distance = kLzssRingSize;

    if (distance > produced) {
      // Starts in the untouched part of the ring.
      const size_t zeros = distance - produced < length ? distance - produced : length;
      std::memset(out, 0, zeros);
      out += zeros;
      length -= zeros;
      if (length == 0) continue;
    }
    const uint8_t* from = out - distance;
    if (distance >= length) {
      std::memcpy(out, from, length);
      out += length;
    } else {
      // Overlapping: the match repeats the bytes it is producing.
      for (size_t i = 0; i < length; ++i) out[i] = from[i];
      out += length;
    }
  }
  return true;
}

bool LzssDecodeReference(std::span<const uint8_t> input, std::span<uint8_t> output) {
  std::array<uint8_t, kLzssRingSize> ring{};
  uint32_t r = kLzssRingStart;
  uint32_t flags = 0;
  size_t in = 0;
  size_t out = 0;
  auto next = [&](uint8_t& byte) {
    if (in >= input.size()) return false;
    byte = input[in++];
    return true;
  };
  while (out < output.size()) {
    flags >>= 1;
    if ((flags & 0x100) == 0) {
      uint8_t b;
      if (!next(b)) return false;
      flags = b | 0xFF00u;
    }
    if (flags & 1) {
      uint8_t c;
      if (!next(c)) return false;
      output[out++] = c;
      ring[r] = c;
      r = (r + 1) & 0xFFF;
    } else {
      uint8_t b0, b1;
      if (!next(b0) || !next(b1)) return false;
      uint32_t p = b0 | ((b1 & 0xF0u) << 4);
      uint32_t length = (b1 & 0x0Fu) + kLzssMinMatch;
      for (uint32_t k = 0; k < length; ++k) {
        if (out >= output.size()) return false;
        uint8_t c = ring[p & 0xFFF];
        output[out++] = c;
        ring[r] = c;
        r = (r + 1) & 0xFFF;
        ++p;
      }
    }
  }
  return true;
}

}  // namespace zan
