#pragma once
// LZSS as the archives store it: a 4096-byte ring, zero-filled, written from 0xFEE. Each
// flag byte announces eight tokens, bit 0 first; a set bit is a literal byte, a clear bit
// a two-byte match (12-bit ring position, 4-bit length - 3, so 3 to 18 bytes).

#include <cstdint>
#include <span>

namespace zan {

constexpr uint32_t kLzssRingSize = 4096;
constexpr uint32_t kLzssRingStart = 0xFEE;
constexpr uint32_t kLzssMinMatch = 3;
constexpr uint32_t kLzssMaxMatch = 18;

// Decodes until `output` is full; bytes and flag bits left over in `input` are ignored.
// Never writes beyond `output` nor reads beyond `input`: false when the stream runs out
// before the output is full, or when a match would run past the end of the output.
bool LzssDecode(std::span<const uint8_t> input, std::span<uint8_t> output);

// The same decoder written plainly over the ring, step by step as the format describes it.
// The fast decoder above is checked against it byte for byte (tests, fuzzing, benchmark).
bool LzssDecodeReference(std::span<const uint8_t> input, std::span<uint8_t> output);

}  // namespace zan
