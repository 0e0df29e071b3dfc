#include "pixels/BlendTables.h"

namespace zan {
namespace {

constexpr BlendTables Build() {
  BlendTables t{};
  for (uint32_t v = 0; v < 256; ++v) {
    for (uint32_t a = 0; a < 256; ++a) {
      uint32_t p = a * v / 255;
      // Built from the complementary product, then topped up where the two fall short of v.
      uint32_t q = (255 - a) * v / 255;
      if (p + q < v) q = v - p;
      t.product[v][a] = static_cast<uint8_t>(p);
      t.complement[v][a] = static_cast<uint8_t>(q);
    }
  }
  return t;
}

}  // namespace

constinit const BlendTables kBlendTables = Build();

}  // namespace zan
