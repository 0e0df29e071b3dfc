#pragma once
// LZSS encoder for the archives' format (see data/Lzss.h). Greedy matching with a one-step
// lazy check over hash chains in the 4096-byte window; the window starts as the decoder's
// zero-filled ring, so leading zero runs are matches too, and a match may overlap the bytes
// it produces. No match runs past the end of the input.

#include <cstdint>
#include <span>
#include <vector>

namespace zan {

std::vector<uint8_t> LzssEncode(std::span<const uint8_t> input);

}  // namespace zan
