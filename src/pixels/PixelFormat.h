#pragma once
// Pixel formats of surfaces. A format code names the memory layout of a pixel:
//   555   16-bit word 0RRRRRGGGGGBBBBB
//   565   16-bit word RRRRRGGGGGGBBBBB
//   888   bytes B, G, R
//   8888  32-bit word 0x00RRGGBB (bytes B, G, R, 0)
//   0     the 24-bit bitmap: bytes B, G, R (its rows are padded to 4 bytes)
// Every pixel routine is written once over one of the traits types below and dispatched on
// the code with WithFormat. The traits hold the layout (load, store, packing, the colour key)
// and the arithmetic of the format's family: the 16-bit formats blend each masked field in
// place with weights out of 256; the byte formats blend each byte with the table blend
// (BlendTables.h), weights out of 255.

#include <bit>
#include <cstdint>
#include <utility>

#include "base/ByteReader.h"
#include "pixels/BlendTables.h"

namespace zan {

constexpr int32_t kFormatBitmap = 0;
constexpr int32_t kFormat555 = 555;
constexpr int32_t kFormat565 = 565;
constexpr int32_t kFormat888 = 888;
constexpr int32_t kFormat8888 = 8888;

// One of the four formats of a display device (not the bitmap fallback).
constexpr bool IsDeviceFormat(int32_t code) {
  return code == kFormat555 || code == kFormat565 || code == kFormat888 || code == kFormat8888;
}

// Bytes per pixel of a format code; 0 for a code that names no format.
constexpr int BytesPerPixel(int32_t code) {
  switch (code) {
    case kFormat555:
    case kFormat565: return 2;
    case kFormatBitmap:
    case kFormat888: return 3;
    case kFormat8888: return 4;
    default: return 0;
  }
}

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The 16-bit formats: three fields of one little-endian word.
template <int32_t Code, uint32_t RMask, uint32_t GMask, uint32_t BMask>
struct Fields16Format {
  static constexpr int32_t kCode = Code;
  static constexpr int kBytes = 2;
  static constexpr bool kFields = true;
  using Pixel = uint32_t;  // the word, in the low 16 bits
  static constexpr uint32_t kMasks[3] = {RMask, GMask, BMask};

  static Pixel Load(const uint8_t* p) { return LoadU16(p); }
  static void Store(uint8_t* p, Pixel v) { StoreU16(p, static_cast<uint16_t>(v)); }

  static constexpr int Shift(uint32_t mask) { return std::countr_zero(mask); }
  static constexpr int Width(uint32_t mask) { return std::popcount(mask); }
  // The top bits of a byte, placed in the field.
  static constexpr uint32_t Field(uint8_t v, uint32_t mask) {
    return (uint32_t{v} >> (8 - Width(mask))) << Shift(mask);
  }
  static constexpr Pixel Pack(uint8_t r, uint8_t g, uint8_t b) {
    return Field(r, RMask) | Field(g, GMask) | Field(b, BMask);
  }
  // A field widened to 8 bits by repeating its top bits (what a display shows).
  static constexpr uint8_t Expand(Pixel p, uint32_t mask) {
    const int n = Width(mask);
    uint32_t v = (p & mask) >> Shift(mask);
    return static_cast<uint8_t>((v << (8 - n)) | (v >> (2 * n - 8)));
  }
  static constexpr Rgb Unpack(Pixel p) {
    return {Expand(p, RMask), Expand(p, GMask), Expand(p, BMask)};
  }
  // The grey of the monochrome effect: fields widened by a shift alone (R5 x 8, G6 x 4).
  static constexpr uint8_t MonoGrey(Pixel p) {
    uint32_t sum = 0;
    for (uint32_t mask : kMasks) sum += ((p & mask) >> Shift(mask)) << (8 - Width(mask));
    return static_cast<uint8_t>(sum / 3);
  }

  static constexpr bool IsKey(Pixel p) { return p == Pack(0, 255, 0); }
  static constexpr bool IsMagenta(Pixel p) { return p == Pack(255, 0, 255); }
  static constexpr Pixel Invert(Pixel p) { return ~p & (RMask | GMask | BMask); }

  // Each field: (x * wx + y * wy) >> 8.
  static constexpr Pixel Weigh(Pixel x, uint32_t wx, Pixel y, uint32_t wy) {
    Pixel out = 0;
    for (uint32_t mask : kMasks) out |= (((x & mask) * wx + (y & mask) * wy) >> 8) & mask;
    return out;
  }
  // x moved toward y by w out of 256.
  static constexpr Pixel Toward(Pixel x, Pixel y, uint32_t w) { return Weigh(x, 256 - w, y, w); }
  // An alpha byte as a weight: 0 stays 0, a > 0 becomes a + 1 (so 255 becomes 256).
  static constexpr uint32_t WidenAlpha(uint8_t a) { return a == 0 ? 0u : a + 1u; }
  // Per-pixel alpha (`InnerAlphaBlt`).
  static constexpr Pixel AlphaBlend(Pixel d, Pixel s, uint8_t a) {
    return Toward(d, s, WidenAlpha(a));
  }
  // Cross-fade at level g (1..254). 565 weighs the second picture g + 1, 555 g alone.
  static constexpr uint32_t CrossFadeFirstWeight(uint8_t g) { return 255u - g; }
  static constexpr uint32_t CrossFadeSecondWeight(uint8_t g) {
    return Code == 565 ? g + 1u : uint32_t{g};
  }
  static constexpr Pixel CrossFade(Pixel first, Pixel second, uint8_t g) {
    return Weigh(first, CrossFadeFirstWeight(g), second, CrossFadeSecondWeight(g));
  }
  // Lightening: each field d + floor(s * (M - d) / (M + 1)).
  static constexpr Pixel Screen(Pixel d, Pixel s) {
    Pixel out = 0;
    for (uint32_t mask : kMasks) {
      const int shift = Shift(mask);
      const uint32_t m = mask >> shift;
      uint32_t dv = (d & mask) >> shift;
      uint32_t sv = (s & mask) >> shift;
      out |= (dv + ((sv * (m - dv)) >> Width(mask))) << shift;
    }
    return out;
  }
};

// The byte formats: Bytes bytes a pixel, B, G, R first; every byte is blended.
template <int32_t Code, int Bytes>
struct BytesFormat {
  static constexpr int32_t kCode = Code;
  static constexpr int kBytes = Bytes;
  static constexpr bool kFields = false;
  using Pixel = uint32_t;  // the bytes, little-endian

  static Pixel Load(const uint8_t* p) {
    if constexpr (Bytes == 4) {
      return LoadU32(p);
    } else {
      return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    }
  }
  static void Store(uint8_t* p, Pixel v) {
    for (int i = 0; i < Bytes; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
  }
  static constexpr uint8_t ByteOf(Pixel p, int i) { return static_cast<uint8_t>(p >> (8 * i)); }

  static constexpr Pixel Pack(uint8_t r, uint8_t g, uint8_t b) {
    return uint32_t{b} | (uint32_t{g} << 8) | (uint32_t{r} << 16);
  }
  static constexpr Rgb Unpack(Pixel p) { return {ByteOf(p, 2), ByteOf(p, 1), ByteOf(p, 0)}; }
  static constexpr uint8_t MonoGrey(Pixel p) {
    return static_cast<uint8_t>((uint32_t{ByteOf(p, 0)} + ByteOf(p, 1) + ByteOf(p, 2)) / 3);
  }

  // The top byte of a 32-bit pixel plays no part in the key.
  static constexpr bool IsKey(Pixel p) { return (p & 0xFFFFFF) == 0x00FF00; }
  static constexpr bool IsMagenta(Pixel p) { return (p & 0xFFFFFF) == 0xFF00FF; }
  static constexpr Pixel Invert(Pixel p) { return ~p & 0xFFFFFF; }

  // Each byte x moved toward y by w out of 255 (the table blend).
  static Pixel Toward(Pixel x, Pixel y, uint32_t w) {
    Pixel out = 0;
    for (int i = 0; i < Bytes; ++i)
      out |= uint32_t{TableBlend(ByteOf(x, i), ByteOf(y, i), static_cast<uint8_t>(w))} << (8 * i);
    return out;
  }
  static constexpr uint32_t WidenAlpha(uint8_t a) { return a; }
  static Pixel AlphaBlend(Pixel d, Pixel s, uint8_t a) { return Toward(d, s, a); }
  static constexpr uint32_t CrossFadeFirstWeight(uint8_t g) { return 255u - g; }
  static constexpr uint32_t CrossFadeSecondWeight(uint8_t g) { return g; }
  static Pixel CrossFade(Pixel first, Pixel second, uint8_t g) { return Toward(first, second, g); }
  // Lightening of the three colour bytes; a fourth byte stays as it was.
  static constexpr Pixel Screen(Pixel d, Pixel s) {
    Pixel out = d & ~uint32_t{0xFFFFFF};
    for (int i = 0; i < 3; ++i) {
      uint32_t dv = ByteOf(d, i);
      uint32_t sv = ByteOf(s, i);
      out |= (dv + ((sv * (255 - dv)) >> 8)) << (8 * i);
    }
    return out;
  }
};

using Format555 = Fields16Format<kFormat555, 0x7C00, 0x03E0, 0x001F>;
using Format565 = Fields16Format<kFormat565, 0xF800, 0x07E0, 0x001F>;
using Format888 = BytesFormat<kFormat888, 3>;
using Format8888 = BytesFormat<kFormat8888, 4>;

// The bitmap fallback: the 888 layout, except that its per-pixel alpha blend is
// ((s - d) * a + 255 * d + 255) >> 8 per byte.
struct FormatBitmap : BytesFormat<kFormatBitmap, 3> {
  static constexpr Pixel AlphaBlend(Pixel d, Pixel s, uint8_t a) {
    Pixel out = 0;
    for (int i = 0; i < 3; ++i) {
      int32_t dv = ByteOf(d, i);
      int32_t sv = ByteOf(s, i);
      out |= static_cast<uint32_t>(((sv - dv) * a + 255 * dv + 255) >> 8) << (8 * i);
    }
    return out;
  }
};

// Calls fn.template operator()<Traits>() for the format of `code`; false for an unknown code.
template <class Fn>
bool WithFormat(int32_t code, Fn&& fn) {
  switch (code) {
    case kFormat555: fn.template operator()<Format555>(); return true;
    case kFormat565: fn.template operator()<Format565>(); return true;
    case kFormat888: fn.template operator()<Format888>(); return true;
    case kFormat8888: fn.template operator()<Format8888>(); return true;
    case kFormatBitmap: fn.template operator()<FormatBitmap>(); return true;
    default: return false;
  }
}

// A colour in the layout of a format (0 for an unknown code).
uint32_t PackColour(int32_t code, Rgb colour);

}  // namespace zan
