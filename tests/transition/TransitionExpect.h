#pragma once
// Expected pixels of the transitions, worked out from the formulas of the pixel formats and
// the blends, independently of the library: packing by the packing rules, the 16-bit blends
// field by field with weights out of 256, the byte blends as x - floor(a x / 255) +
// floor(a y / 255) per byte.

#include <cstdint>

namespace zan::test {

struct Channels {
  uint32_t r = 0;
  uint32_t g = 0;
  uint32_t b = 0;
};

inline bool IsFields(int32_t format) { return format == 565 || format == 555; }

inline uint32_t PackRgb(int32_t format, Channels c) {
  switch (format) {
    case 565: return ((c.r & 0xF8) << 8) | ((c.g & 0xFC) << 3) | (c.b >> 3);
    case 555: return ((c.r & 0xF8) << 7) | ((c.g & 0xF8) << 2) | (c.b >> 3);
    default: return (c.r << 16) | (c.g << 8) | c.b;
  }
}

// The channels at 8 bits, each field shifted up as packed.
inline Channels ChannelsOf(int32_t format, uint32_t p) {
  switch (format) {
    case 565: return {((p >> 11) & 31) << 3, ((p >> 5) & 63) << 2, (p & 31) << 3};
    case 555: return {((p >> 10) & 31) << 3, ((p >> 5) & 31) << 3, (p & 31) << 3};
    default: return {(p >> 16) & 255, (p >> 8) & 255, p & 255};
  }
}

// 16-bit: ((x AND mask) wx + (y AND mask) wy) >> 8 AND mask, per field.
inline uint32_t WeighFields(int32_t format, uint32_t x, uint32_t wx, uint32_t y, uint32_t wy) {
  const uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
  const uint32_t masks555[3] = {0x7C00, 0x03E0, 0x001F};
  const uint32_t* masks = format == 565 ? masks565 : masks555;
  uint32_t out = 0;
  for (int i = 0; i < 3; ++i) out |= (((x & masks[i]) * wx + (y & masks[i]) * wy) >> 8) & masks[i];
  return out;
}

// Bytes: each of the pixel's bytes (3 colour bytes and the fourth, 0 in every test picture)
// x - floor(a x / 255) + floor(a y / 255).
inline uint32_t TableBlendBytes(uint32_t x, uint32_t y, uint32_t a) {
  uint32_t out = 0;
  for (int i = 0; i < 4; ++i) {
    const uint32_t xv = (x >> (8 * i)) & 255;
    const uint32_t yv = (y >> (8 * i)) & 255;
    out |= (xv - a * xv / 255 + a * yv / 255) << (8 * i);
  }
  return out;
}

// The cross-fade of first toward second at level g (1..254): 565 weighs first 255 - g and
// second g + 1, 555 second g alone; bytes the table blend by g.
inline uint32_t CrossFadeOf(int32_t format, uint32_t first, uint32_t second, uint32_t g) {
  if (g == 255) return second;
  if (format == 565) return WeighFields(format, first, 255 - g, second, g + 1);
  if (format == 555) return WeighFields(format, first, 255 - g, second, g);
  return TableBlendBytes(first, second, g);
}

// The mask blend (and the per-pixel alpha) of first toward second by m: 16-bit with
// m' = m + 1 for m > 0 out of 256; bytes the table blend by m.
inline uint32_t MaskBlendOf(int32_t format, uint32_t first, uint32_t second, uint32_t m) {
  if (IsFields(format)) {
    const uint32_t w = m == 0 ? 0 : m + 1;
    return WeighFields(format, first, 256 - w, second, w);
  }
  return TableBlendBytes(first, second, m);
}

// The mask cross's blend band: first h + second (255 - h) >> 8 per 8-bit channel, packed.
inline uint32_t MaskCrossBandOf(int32_t format, uint32_t first, uint32_t second, uint32_t h) {
  const Channels a = ChannelsOf(format, first);
  const Channels b = ChannelsOf(format, second);
  return PackRgb(format, {(a.r * h + b.r * (255 - h)) >> 8, (a.g * h + b.g * (255 - h)) >> 8,
                          (a.b * h + b.b * (255 - h)) >> 8});
}

}  // namespace zan::test
