#include "graphics/BlendKernels.h"

#include <atomic>
#include <cstring>

#include "graphics/PixelFormat.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zan {
namespace {

std::atomic<bool> g_fast{true};

}  // namespace

void SetFastBlending(bool on) { g_fast.store(on); }
bool FastBlending() { return g_fast.load(std::memory_order_relaxed); }

template <class F>
void WeighRow16Plain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                     uint32_t total, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i)
    F::Store(out + 2 * i, F::Weigh(F::Load(x + 2 * i), total - w[i], F::Load(y + 2 * i), w[i]));
}

template <class F>
void TowardRowBytesPlain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                         size_t pixels) {
  constexpr int n = F::kBytes;
  for (size_t i = 0; i < pixels; ++i)
    F::Store(out + n * i, F::Toward(F::Load(x + n * i), F::Load(y + n * i), w[i]));
}

#if defined(__SSE2__)
namespace {

// Sixteen bytes x moved toward y by the per-byte weights w: x - floor(w x / 255) +
// floor(w y / 255), where floor(t / 255) = ((t + 1) * 257) >> 16 for every t up to 255 * 255.
inline __m128i TowardBytes16(__m128i x, __m128i y, __m128i w) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi16(1);
  const __m128i k257 = _mm_set1_epi16(257);
  auto half = [&](__m128i xh, __m128i yh, __m128i wh) {
    __m128i px = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(xh, wh), one), k257);
    __m128i py = _mm_mulhi_epu16(_mm_add_epi16(_mm_mullo_epi16(yh, wh), one), k257);
    return _mm_add_epi16(_mm_sub_epi16(xh, px), py);
  };
  __m128i lo = half(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(y, zero),
                    _mm_unpacklo_epi8(w, zero));
  __m128i hi = half(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(y, zero),
                    _mm_unpackhi_epi8(w, zero));
  return _mm_packus_epi16(lo, hi);
}

inline __m128i Load16(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void Store16(uint8_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

// Weights all 0 leave x, all 255 give y: the table blend's own end points.
inline bool AllZero(__m128i w) { return _mm_movemask_epi8(_mm_cmpeq_epi8(w, _mm_setzero_si128())) == 0xFFFF; }
inline bool AllFull(__m128i w) {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(w, _mm_set1_epi8(static_cast<char>(0xFF)))) == 0xFFFF;
}

inline void TowardGroup(uint8_t* out, const uint8_t* x, const uint8_t* y, __m128i w) {
  if (AllZero(w)) {
    if (out != x) std::memcpy(out, x, 16);
  } else if (AllFull(w)) {
    std::memcpy(out, y, 16);
  } else {
    Store16(out, TowardBytes16(Load16(x), Load16(y), w));
  }
}

}  // namespace

template <class F>
void TowardRowBytesFast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                        size_t pixels) {
  size_t i = 0;
  if constexpr (F::kBytes == 4) {
    // Four pixels a step; each weight spread over its pixel's four bytes.
    for (; i + 4 <= pixels; i += 4) {
      uint32_t w4;
      std::memcpy(&w4, w + i, 4);
      __m128i wv = _mm_cvtsi32_si128(static_cast<int>(w4));
      wv = _mm_unpacklo_epi8(wv, wv);
      wv = _mm_unpacklo_epi16(wv, wv);
      TowardGroup(out + 4 * i, x + 4 * i, y + 4 * i, wv);
    }
  } else {
    // Weights spread to bytes in a chunk buffer: 64 pixels are 192 bytes, twelve groups.
    constexpr size_t kChunk = 64;
    uint8_t spread[kChunk * 3];
    for (; i + kChunk <= pixels; i += kChunk) {
      for (size_t k = 0; k < kChunk; ++k) std::memset(spread + 3 * k, w[i + k], 3);
      for (size_t g = 0; g < kChunk * 3; g += 16)
        TowardGroup(out + 3 * i + g, x + 3 * i + g, y + 3 * i + g, Load16(spread + g));
    }
  }
  TowardRowBytesPlain<F>(out + F::kBytes * i, x + F::kBytes * i, y + F::kBytes * i, w + i,
                         pixels - i);
}

template <class F>
void WeighRow16Fast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                    uint32_t total, size_t pixels) {
  const __m128i totalV = _mm_set1_epi16(static_cast<short>(total));
  const __m128i full = _mm_set1_epi16(256);
  constexpr uint32_t kAllFields = F::kMasks[0] | F::kMasks[1] | F::kMasks[2];
  const __m128i fields = _mm_set1_epi16(static_cast<short>(kAllFields));
  size_t i = 0;
  for (; i + 8 <= pixels; i += 8) {
    const __m128i wy = Load16(reinterpret_cast<const uint8_t*>(w + i));
    if (total == 256) {
      // Weight 0 gives x's fields exactly, weight 256 y's (bits outside the fields clear).
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(wy, _mm_setzero_si128())) == 0xFFFF) {
        if (out != x || kAllFields != 0xFFFF)
          Store16(out + 2 * i, _mm_and_si128(Load16(x + 2 * i), fields));
        continue;
      }
      if (_mm_movemask_epi8(_mm_cmpeq_epi16(wy, full)) == 0xFFFF) {
        Store16(out + 2 * i, _mm_and_si128(Load16(y + 2 * i), fields));
        continue;
      }
    }
    const __m128i wx = _mm_sub_epi16(totalV, wy);
    const __m128i xv = Load16(x + 2 * i);
    const __m128i yv = Load16(y + 2 * i);
    __m128i result = _mm_setzero_si128();
    // Each field taken down to bits 0.., weighed (at most 63 * 256, inside 16 bits), put back.
    for (uint32_t mask : F::kMasks) {
      const int shift = F::Shift(mask);
      const __m128i count = _mm_cvtsi32_si128(shift);
      const __m128i m = _mm_set1_epi16(static_cast<short>(mask >> shift));
      const __m128i xf = _mm_and_si128(_mm_srl_epi16(xv, count), m);
      const __m128i yf = _mm_and_si128(_mm_srl_epi16(yv, count), m);
      __m128i f = _mm_add_epi16(_mm_mullo_epi16(xf, wx), _mm_mullo_epi16(yf, wy));
      f = _mm_srli_epi16(f, 8);
      result = _mm_or_si128(result, _mm_sll_epi16(f, count));
    }
    Store16(out + 2 * i, result);
  }
  WeighRow16Plain<F>(out + 2 * i, x + 2 * i, y + 2 * i, w + i, total, pixels - i);
}

#else

template <class F>
void TowardRowBytesFast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                        size_t pixels) {
  TowardRowBytesPlain<F>(out, x, y, w, pixels);
}
template <class F>
void WeighRow16Fast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                    uint32_t total, size_t pixels) {
  WeighRow16Plain<F>(out, x, y, w, total, pixels);
}

#endif

template void WeighRow16Plain<Format555>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void WeighRow16Plain<Format565>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void WeighRow16Fast<Format555>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void WeighRow16Fast<Format565>(uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void TowardRowBytesPlain<Format888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytesPlain<Format8888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytesPlain<FormatDib>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytesFast<Format888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytesFast<Format8888>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytesFast<FormatDib>(uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);

}  // namespace zan
