#pragma once
// The blend tables: the product table P[v][a] = floor(a * v / 255) and the complement table
// Q[v][a] = v - P[v][a]. The table blend of a byte x toward y by a is Q[x][a] + P[y][a]:
// exactly x at a = 0 and exactly y at a = 255, with no division.

#include <cstdint>

namespace zan {

struct BlendTables {
  uint8_t product[256][256];     // [v][a]
  uint8_t complement[256][256];  // [v][a]
};

// Built at compile time (128 KB of constant data).
extern const BlendTables kBlendTables;

inline uint8_t TableBlend(uint8_t x, uint8_t y, uint8_t a) {
  return static_cast<uint8_t>(kBlendTables.complement[x][a] + kBlendTables.product[y][a]);
}

}  // namespace zan
