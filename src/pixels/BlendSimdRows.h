// The SIMD row kernels, written once over a lane type (16-byte registers, and 32-byte ones
// where AVX2 is enabled). Included by one translation unit per instruction set, which names
// its namespace in ZAN_SIMD_NAMESPACE: everything here is compiled for that instruction set
// and stays in that namespace, so no code built for a wider set is shared with a narrower one.
// (No include guard: each including unit includes it once.)
//
// The byte formats compute the table blend x - floor(w x / 255) + floor(w y / 255) in 16-bit
// lanes, using floor(t / 255) = ((t + 1) * 257) >> 16, exact for every t up to 255 * 255.
// Weights all 0 leave x and all 255 give y, the table blend's own end points, so such groups
// are skipped or copied. The 16-bit formats weigh each field taken down to bit 0 (at most
// 63 x 256, inside 16 bits), shift right by 8 and put it back.

#include <immintrin.h>

#include <cstring>

#include "pixels/BlendSimd.h"
#include "pixels/PixelFormat.h"

#ifndef ZAN_SIMD_NAMESPACE
#error "define ZAN_SIMD_NAMESPACE before including BlendSimdRows.h"
#endif

namespace zan::ZAN_SIMD_NAMESPACE {
namespace {

struct Lanes128 {
  using R = __m128i;
  static constexpr size_t kBytes = 16;
  static R Load(const void* p) { return _mm_loadu_si128(static_cast<const R*>(p)); }
  static void Store(void* p, R v) { _mm_storeu_si128(static_cast<R*>(p), v); }
  static R Zero() { return _mm_setzero_si128(); }
  static R Words(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
  static R And(R a, R b) { return _mm_and_si128(a, b); }
  static R Or(R a, R b) { return _mm_or_si128(a, b); }
  static R Add16(R a, R b) { return _mm_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm_sub_epi16(a, b); }
  static R Mullo16(R a, R b) { return _mm_mullo_epi16(a, b); }
  static R MulhiU16(R a, R b) { return _mm_mulhi_epu16(a, b); }
  static R Srl16(R a, int n) { return _mm_srl_epi16(a, _mm_cvtsi32_si128(n)); }
  static R Sll16(R a, int n) { return _mm_sll_epi16(a, _mm_cvtsi32_si128(n)); }
  static R UnpackLo8(R a, R b) { return _mm_unpacklo_epi8(a, b); }
  static R UnpackHi8(R a, R b) { return _mm_unpackhi_epi8(a, b); }
  static R PackUs16(R a, R b) { return _mm_packus_epi16(a, b); }
  static R Dwords(int32_t v) { return _mm_set1_epi32(v); }
  static R Xor(R a, R b) { return _mm_xor_si128(a, b); }
  static R AndNot(R a, R b) { return _mm_andnot_si128(a, b); }
  static R Eq16(R a, R b) { return _mm_cmpeq_epi16(a, b); }
  static R Add32(R a, R b) { return _mm_add_epi32(a, b); }
  static R Sra32(R a, int n) { return _mm_sra_epi32(a, _mm_cvtsi32_si128(n)); }
  static R Madd16(R a, R b) { return _mm_madd_epi16(a, b); }
  static R UnpackLo16(R a, R b) { return _mm_unpacklo_epi16(a, b); }
  static R UnpackHi16(R a, R b) { return _mm_unpackhi_epi16(a, b); }
  static R PackS32(R a, R b) { return _mm_packs_epi32(a, b); }
  // kBytes / 2 bytes widened to as many 16-bit lanes, and back (saturating above 255).
  static R LoadWidened(const uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
  }
  static void StoreNarrowed(uint8_t* p, R v) {
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v));
  }
  static bool AllBytes(R v, uint8_t b) {
    return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(static_cast<char>(b)))) == 0xFFFF;
  }
  static bool AllWords(R v, uint16_t w) {
    return _mm_movemask_epi8(_mm_cmpeq_epi16(v, Words(w))) == 0xFFFF;
  }
  // The weights of four pixels, each spread over its pixel's four bytes.
  static R Spread4(const uint8_t* w) {
    uint32_t w4;
    std::memcpy(&w4, w, 4);
    R v = _mm_cvtsi32_si128(static_cast<int>(w4));
    v = _mm_unpacklo_epi8(v, v);
    return _mm_unpacklo_epi16(v, v);
  }
};

#ifdef __AVX2__
// Unpacking and packing work within each 128-bit half, so bytes come back in their places.
struct Lanes256 {
  using R = __m256i;
  static constexpr size_t kBytes = 32;
  static R Load(const void* p) { return _mm256_loadu_si256(static_cast<const R*>(p)); }
  static void Store(void* p, R v) { _mm256_storeu_si256(static_cast<R*>(p), v); }
  static R Zero() { return _mm256_setzero_si256(); }
  static R Words(uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static R And(R a, R b) { return _mm256_and_si256(a, b); }
  static R Or(R a, R b) { return _mm256_or_si256(a, b); }
  static R Add16(R a, R b) { return _mm256_add_epi16(a, b); }
  static R Sub16(R a, R b) { return _mm256_sub_epi16(a, b); }
  static R Mullo16(R a, R b) { return _mm256_mullo_epi16(a, b); }
  static R MulhiU16(R a, R b) { return _mm256_mulhi_epu16(a, b); }
  static R Srl16(R a, int n) { return _mm256_srl_epi16(a, _mm_cvtsi32_si128(n)); }
  static R Sll16(R a, int n) { return _mm256_sll_epi16(a, _mm_cvtsi32_si128(n)); }
  static R UnpackLo8(R a, R b) { return _mm256_unpacklo_epi8(a, b); }
  static R UnpackHi8(R a, R b) { return _mm256_unpackhi_epi8(a, b); }
  static R PackUs16(R a, R b) { return _mm256_packus_epi16(a, b); }
  static R Dwords(int32_t v) { return _mm256_set1_epi32(v); }
  static R Xor(R a, R b) { return _mm256_xor_si256(a, b); }
  static R AndNot(R a, R b) { return _mm256_andnot_si256(a, b); }
  static R Eq16(R a, R b) { return _mm256_cmpeq_epi16(a, b); }
  static R Add32(R a, R b) { return _mm256_add_epi32(a, b); }
  static R Sra32(R a, int n) { return _mm256_sra_epi32(a, _mm_cvtsi32_si128(n)); }
  static R Madd16(R a, R b) { return _mm256_madd_epi16(a, b); }
  static R UnpackLo16(R a, R b) { return _mm256_unpacklo_epi16(a, b); }
  static R UnpackHi16(R a, R b) { return _mm256_unpackhi_epi16(a, b); }
  static R PackS32(R a, R b) { return _mm256_packs_epi32(a, b); }
  static R LoadWidened(const uint8_t* p) {
    return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
  // Packing works within halves: the two halves' bytes sit in 64-bit quarters 0 and 2.
  static void StoreNarrowed(uint8_t* p, R v) {
    const R packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm256_castsi256_si128(packed));
  }
  static bool AllBytes(R v, uint8_t b) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(
               _mm256_cmpeq_epi8(v, _mm256_set1_epi8(static_cast<char>(b))))) == 0xFFFFFFFFu;
  }
  static bool AllWords(R v, uint16_t w) {
    return static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi16(v, Words(w)))) == 0xFFFFFFFFu;
  }
  static R Spread4(const uint8_t* w) {
    const __m128i eight = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(w));
    const __m128i pairs = _mm_unpacklo_epi8(eight, eight);
    return _mm256_set_m128i(_mm_unpackhi_epi16(pairs, pairs), _mm_unpacklo_epi16(pairs, pairs));
  }
};
using Widest = Lanes256;
#else
using Widest = Lanes128;
#endif

// The weights of sixteen 3-byte pixels spread over their 48 bytes.
void Spread3(const uint8_t* w, uint8_t* out) {
#ifdef __SSSE3__
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w));
  Lanes128::Store(out, _mm_shuffle_epi8(a, _mm_setr_epi8(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5)));
  Lanes128::Store(out + 16, _mm_shuffle_epi8(a, _mm_setr_epi8(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10)));
  Lanes128::Store(out + 32, _mm_shuffle_epi8(a, _mm_setr_epi8(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15)));
#else
  for (size_t k = 0; k < 16; ++k) std::memset(out + 3 * k, w[k], 3);
#endif
}

template <class L>
typename L::R TowardLanes(typename L::R x, typename L::R y, typename L::R w) {
  const typename L::R one = L::Words(1);
  const typename L::R k257 = L::Words(257);
  const typename L::R px = L::MulhiU16(L::Add16(L::Mullo16(x, w), one), k257);
  const typename L::R py = L::MulhiU16(L::Add16(L::Mullo16(y, w), one), k257);
  return L::Add16(L::Sub16(x, px), py);
}

// floor(a (255 - w) / 255) + floor(b w / 255) in 16-bit lanes: one step of the bilinear
// filter, the product table read twice.
template <class L>
typename L::R FilterLanes(typename L::R a, typename L::R b, typename L::R w) {
  const typename L::R one = L::Words(1);
  const typename L::R k257 = L::Words(257);
  const typename L::R pa = L::MulhiU16(L::Add16(L::Mullo16(a, L::Sub16(L::Words(255), w)), one), k257);
  const typename L::R pb = L::MulhiU16(L::Add16(L::Mullo16(b, w), one), k257);
  return L::Add16(pa, pb);
}

// (a (255 - w) + b w + round) >> 8 in 16-bit lanes, for a and b up to 0xFFFF and w up to
// 255. a and b are biased by -32768 into signed lanes, so one multiply-add gives the sum less
// 32768 x 255; the shift takes the bias off and the signed pack then cannot saturate, and a
// last exclusive-or puts the result back in unsigned lanes.
template <class L>
typename L::R FieldLanes(typename L::R a, typename L::R b, typename L::R w, int32_t round) {
  using R = typename L::R;
  const R bias = L::Words(0x8000);
  const R as = L::Xor(a, bias);
  const R bs = L::Xor(b, bias);
  const R wa = L::Sub16(L::Words(255), w);
  const R k = L::Dwords(round - 32768);
  const R lo = L::Sra32(L::Add32(L::Madd16(L::UnpackLo16(as, bs), L::UnpackLo16(wa, w)), k), 8);
  const R hi = L::Sra32(L::Add32(L::Madd16(L::UnpackHi16(as, bs), L::UnpackHi16(wa, w)), k), 8);
  return L::Xor(L::PackS32(lo, hi), bias);
}

// L::kBytes bytes of x moved toward y (its bytes ANDed with yMask) by per-byte weights w.
template <class L>
void TowardGroup(uint8_t* out, const uint8_t* x, const uint8_t* y, typename L::R w, typename L::R yMask) {
  if (L::AllBytes(w, 0)) {
    if (out != x) std::memcpy(out, x, L::kBytes);
    return;
  }
  const typename L::R yv = L::And(L::Load(y), yMask);
  if (L::AllBytes(w, 255)) {
    L::Store(out, yv);
    return;
  }
  const typename L::R zero = L::Zero();
  const typename L::R xv = L::Load(x);
  const typename L::R lo = TowardLanes<L>(L::UnpackLo8(xv, zero), L::UnpackLo8(yv, zero), L::UnpackLo8(w, zero));
  const typename L::R hi = TowardLanes<L>(L::UnpackHi8(xv, zero), L::UnpackHi8(yv, zero), L::UnpackHi8(w, zero));
  L::Store(out, L::PackUs16(lo, hi));
}

// L::kBytes bytes filtered: FilterLanes over each half.
template <class L>
void FilterGroup(uint8_t* out, const uint8_t* a, const uint8_t* b, const uint8_t* w) {
  const typename L::R zero = L::Zero();
  const typename L::R av = L::Load(a);
  const typename L::R bv = L::Load(b);
  const typename L::R wv = L::Load(w);
  const typename L::R lo = FilterLanes<L>(L::UnpackLo8(av, zero), L::UnpackLo8(bv, zero), L::UnpackLo8(wv, zero));
  const typename L::R hi = FilterLanes<L>(L::UnpackHi8(av, zero), L::UnpackHi8(bv, zero), L::UnpackHi8(wv, zero));
  L::Store(out, L::PackUs16(lo, hi));
}

}  // namespace

template <class F>
size_t TowardRowBytes(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                      size_t pixels, uint32_t yMask) {
  using L = Widest;
  constexpr size_t n = F::kBytes;
  // The mask repeats every 4 bytes: it is meant for 4-byte pixels (3-byte ones take all ones).
  const typename L::R yMaskV = L::Dwords(static_cast<int32_t>(yMask));
  size_t i = 0;
  // Sixteen pixels a step; a step whose weights are all 0 or all 255 is skipped or copied whole.
  for (; i + 16 <= pixels; i += 16) {
    const __m128i a = Lanes128::Load(w + i);
    uint8_t* o = out + n * i;
    const uint8_t* xs = x + n * i;
    const uint8_t* ys = y + n * i;
    if (Lanes128::AllBytes(a, 0)) {
      if (out != x) std::memcpy(o, xs, 16 * n);
      continue;
    }
    if constexpr (n == 4) {
      if (Lanes128::AllBytes(a, 255)) {
        for (size_t k = 0; k < 64; k += L::kBytes) L::Store(o + k, L::And(L::Load(ys + k), yMaskV));
        continue;
      }
      for (size_t k = 0; k < 16; k += L::kBytes / 4)
        TowardGroup<L>(o + 4 * k, xs + 4 * k, ys + 4 * k, L::Spread4(w + i + k), yMaskV);
    } else {
      if (Lanes128::AllBytes(a, 255)) {
        std::memcpy(o, ys, 16 * n);
        continue;
      }
      alignas(16) uint8_t spread[48];
      Spread3(w + i, spread);
      // As many whole registers as fit in 48 bytes, then a 16-byte one for what is left.
      constexpr size_t kWide = 48 / L::kBytes * L::kBytes;
      const typename L::R all = L::Dwords(-1);
      for (size_t g = 0; g < kWide; g += L::kBytes) TowardGroup<L>(o + g, xs + g, ys + g, L::Load(spread + g), all);
      if constexpr (kWide < 48)
        TowardGroup<Lanes128>(o + kWide, xs + kWide, ys + kWide, Lanes128::Load(spread + kWide), Lanes128::Dwords(-1));
    }
  }
  // 4-byte pixels: what is left of the row four at a time.
  if constexpr (n == 4) {
    for (; i + 4 <= pixels; i += 4)
      TowardGroup<Lanes128>(out + 4 * i, x + 4 * i, y + 4 * i, Lanes128::Spread4(w + i),
                            Lanes128::Dwords(static_cast<int32_t>(yMask)));
  }
  return i;
}

size_t FilterRowBytes(uint8_t* out, const uint8_t* a, const uint8_t* b, const uint8_t* w,
                      size_t bytes) {
  size_t i = 0;
  for (; i + Widest::kBytes <= bytes; i += Widest::kBytes) FilterGroup<Widest>(out + i, a + i, b + i, w + i);
  // Then 16 bytes more where they fit (4-byte samples come in fours).
  if constexpr (Widest::kBytes > 16) {
    if (i + 16 <= bytes) {
      FilterGroup<Lanes128>(out + i, a + i, b + i, w + i);
      i += 16;
    }
  }
  return i;
}

template <class F>
size_t WeighRow16(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                  uint32_t total, size_t pixels) {
  using L = Widest;
  using R = typename L::R;
  constexpr size_t kStep = L::kBytes / 2;
  constexpr uint16_t kFields = static_cast<uint16_t>(F::kMasks[0] | F::kMasks[1] | F::kMasks[2]);
  constexpr int kShift[3] = {F::Shift(F::kMasks[0]), F::Shift(F::kMasks[1]), F::Shift(F::kMasks[2])};
  constexpr uint16_t kField[3] = {static_cast<uint16_t>(F::kMasks[0] >> kShift[0]),
                                  static_cast<uint16_t>(F::kMasks[1] >> kShift[1]),
                                  static_cast<uint16_t>(F::kMasks[2] >> kShift[2])};
  const R totalV = L::Words(static_cast<uint16_t>(total));
  const R fields = L::Words(kFields);
  size_t i = 0;
  for (; i + kStep <= pixels; i += kStep) {
    const R wy = L::Load(w + i);
    if (total == 256) {
      // Weight 0 gives x's fields exactly, weight 256 y's (bits outside the fields clear).
      if (L::AllWords(wy, 0)) {
        if (out != x || kFields != 0xFFFF) L::Store(out + 2 * i, L::And(L::Load(x + 2 * i), fields));
        continue;
      }
      if (L::AllWords(wy, 256)) {
        L::Store(out + 2 * i, L::And(L::Load(y + 2 * i), fields));
        continue;
      }
    }
    const R wx = L::Sub16(totalV, wy);
    const R xv = L::Load(x + 2 * i);
    const R yv = L::Load(y + 2 * i);
    R result = L::Zero();
    for (int f = 0; f < 3; ++f) {
      const R m = L::Words(kField[f]);
      const R xf = L::And(L::Srl16(xv, kShift[f]), m);
      const R yf = L::And(L::Srl16(yv, kShift[f]), m);
      const R weighed = L::Srl16(L::Add16(L::Mullo16(xf, wx), L::Mullo16(yf, wy)), 8);
      result = L::Or(result, L::Sll16(weighed, kShift[f]));
    }
    L::Store(out + 2 * i, result);
  }
  return i;
}

template <class W>
size_t WeightRow(W* w, const uint8_t* a, uint32_t o, size_t n) {
  using L = Widest;
  using R = typename L::R;
  constexpr size_t kStep = L::kBytes / 2;
  const R ov = L::Words(static_cast<uint16_t>(o));
  const R one = L::Words(1);
  size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    const R av = L::LoadWidened(a + i);
    // a + 1 where a > 0; the product (at most 256 x 256) spans the two halves of a lane.
    const R widened = L::AndNot(L::Eq16(av, L::Zero()), L::Add16(av, one));
    const R e = L::Or(L::Srl16(L::Mullo16(widened, ov), 8), L::Sll16(L::MulhiU16(widened, ov), 8));
    if constexpr (sizeof(W) == 2) {
      L::Store(w + i, e);
    } else {
      L::StoreNarrowed(w + i, e);  // 256 saturates to 255
    }
  }
  return i;
}

size_t FilterRowFields(uint16_t* out, const uint16_t* a, const uint16_t* b, const uint16_t* w,
                       uint32_t round, size_t n) {
  using L = Widest;
  constexpr size_t kStep = L::kBytes / 2;
  size_t i = 0;
  for (; i + kStep <= n; i += kStep)
    L::Store(out + i, FieldLanes<L>(L::Load(a + i), L::Load(b + i), L::Load(w + i), static_cast<int32_t>(round)));
  return i;
}

template <class F>
size_t TowardRowFields(uint8_t* d, const uint16_t* const* c, const uint8_t* w, const uint8_t* gate,
                       uint32_t round, size_t n) {
  using L = Widest;
  using R = typename L::R;
  constexpr size_t kStep = L::kBytes / 2;
  size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    const R keep = L::Eq16(L::LoadWidened(gate + i), L::Zero());
    if (L::AllWords(keep, 0xFFFF)) continue;
    const R dv = L::Load(d + 2 * i);
    const R wv = L::LoadWidened(w + i);
    R result = L::Zero();
    for (int k = 0; k < 3; ++k) {
      const R mask = L::Words(static_cast<uint16_t>(F::kMasks[k]));
      const R field = FieldLanes<L>(L::And(dv, mask), L::Load(c[k] + i), wv, static_cast<int32_t>(round));
      result = L::Or(result, L::And(field, mask));
    }
    L::Store(d + 2 * i, L::Or(L::And(keep, dv), L::AndNot(keep, result)));
  }
  return i;
}

template <class F>
size_t SplitFields(uint16_t* const* c, const uint8_t* pixels, size_t n) {
  using L = Widest;
  constexpr size_t kStep = L::kBytes / 2;
  size_t i = 0;
  for (; i + kStep <= n; i += kStep) {
    const typename L::R p = L::Load(pixels + 2 * i);
    for (int k = 0; k < 3; ++k) L::Store(c[k] + i, L::And(p, L::Words(static_cast<uint16_t>(F::kMasks[k]))));
  }
  return i;
}

#ifdef __AVX2__
// The 16 pixels and 16 alpha bytes of a source row from column x0 on (x0 at most the row's
// width less 16), from which samples are picked by their offsets 0..15 from x0.
struct SampleWindow {
  __m256i low, high, alpha;
  SampleWindow(const uint8_t* pixels, const uint8_t* alphaRow, int32_t x0) {
    const auto* from = reinterpret_cast<const __m256i*>(pixels + 4 * static_cast<ptrdiff_t>(x0));
    low = _mm256_loadu_si256(from);
    high = _mm256_loadu_si256(from + 1);
    // The byte shuffle works within 128-bit halves: both halves hold the 16 alpha bytes.
    alpha = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(alphaRow + x0)));
  }
  // Eight samples: the colour bytes of each pixel with its alpha as the fourth byte.
  __m256i Pick(__m256i offset) const {
    const __m256i p = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, offset),
                                         _mm256_permutevar8x32_epi32(high, offset),
                                         _mm256_cmpgt_epi32(offset, _mm256_set1_epi32(7)));
    const __m256i a =
        _mm256_shuffle_epi8(alpha, _mm256_or_si256(_mm256_slli_epi32(offset, 24), _mm256_set1_epi32(0x00808080)));
    return _mm256_or_si256(_mm256_and_si256(p, _mm256_set1_epi32(0x00FFFFFF)), a);
  }
};
#endif

// SSE2 has no gather: its unit does none and leaves every column to the plain loop.
template <class F>
size_t GatherSamples(uint8_t* out, const uint8_t* pixels, const uint8_t* alpha, const int32_t* x, size_t n,
                     int32_t width) {
  size_t i = 0;
#ifdef __AVX2__
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  for (; i + 8 <= n; i += 8) {
    const __m256i xs = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
    if constexpr (F::kBytes == 4) {
      // Eight columns within 16 of the first (any scale above one half) are picked out of
      // one window.
      const int32_t x0 = x[i];
      if (x[i + 7] - x0 < 16 && x0 <= width - 16) {
        const __m256i offset = _mm256_sub_epi32(xs, _mm256_set1_epi32(x0));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i), SampleWindow(pixels, alpha, x0).Pick(offset));
        continue;
      }
    }
    // Each read takes 4 bytes from the column on: only columns 4 or more from the row's end.
    if (x[i + 7] > width - 4) break;
    __m256i p;
    if constexpr (F::kBytes == 4) {
      p = _mm256_i32gather_epi32(reinterpret_cast<const int*>(pixels), xs, 4);
    } else {
      p = _mm256_i32gather_epi32(reinterpret_cast<const int*>(pixels), _mm256_add_epi32(xs, _mm256_add_epi32(xs, xs)), 1);
    }
    const __m256i a = _mm256_i32gather_epi32(reinterpret_cast<const int*>(alpha), xs, 1);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i),
                        _mm256_or_si256(_mm256_and_si256(p, colour), _mm256_slli_epi32(a, 24)));
  }
#else
  (void)out, (void)pixels, (void)alpha, (void)x, (void)n, (void)width;
#endif
  return i;
}

template size_t WeighRow16<Format555>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template size_t WeighRow16<Format565>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template size_t TowardRowBytes<Format888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, uint32_t);
template size_t TowardRowBytes<Format8888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, uint32_t);
template size_t TowardRowBytes<FormatBitmap>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, uint32_t);
template size_t WeightRow<uint8_t>(uint8_t*, const uint8_t*, uint32_t, size_t);
template size_t WeightRow<uint16_t>(uint16_t*, const uint8_t*, uint32_t, size_t);
template size_t TowardRowFields<Format555>(uint8_t*, const uint16_t* const*, const uint8_t*, const uint8_t*, uint32_t, size_t);
template size_t TowardRowFields<Format565>(uint8_t*, const uint16_t* const*, const uint8_t*, const uint8_t*, uint32_t, size_t);
template size_t SplitFields<Format555>(uint16_t* const*, const uint8_t*, size_t);
template size_t SplitFields<Format565>(uint16_t* const*, const uint8_t*, size_t);
template size_t GatherSamples<Format888>(uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);
template size_t GatherSamples<Format8888>(uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);
template size_t GatherSamples<FormatBitmap>(uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);

}  // namespace zan::ZAN_SIMD_NAMESPACE
