#include "pixels/BlendKernels.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "pixels/BlendSimd.h"
#include "pixels/BlendTables.h"
#include "pixels/PixelFormat.h"

#if defined(__x86_64__)
#define ZAN_X86_SIMD 1
// The number of elements the path's SIMD kernel did (whole groups only); the caller
// finishes on the plain path.
#define ZAN_SIMD_DONE(path, call) \
  ((path) == BlendPath::kAvx2 ? avx2::call : (path) == BlendPath::kSse2 ? sse2::call : size_t{0})
#else
#define ZAN_SIMD_DONE(path, call) ((void)(path), size_t{0})
#endif

namespace zan {

BlendPath BestBlendPath() {
#if ZAN_X86_SIMD
  static const BlendPath best = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") ? BlendPath::kAvx2 : BlendPath::kSse2;
  }();
  return best;
#else
  return BlendPath::kPlain;
#endif
}

namespace {
std::atomic<int> g_path{-1};  // -1: not set, the best path
}  // namespace

void SetBlendPath(BlendPath path) {
  g_path.store(static_cast<int>(path <= BestBlendPath() ? path : BestBlendPath()));
}

BlendPath CurrentBlendPath() {
  const int path = g_path.load(std::memory_order_relaxed);
  return path < 0 ? BestBlendPath() : static_cast<BlendPath>(path);
}

namespace {

// --- Plain: the traits' own arithmetic ---------------------------------------------------------

template <class F>
void WeighRow16Plain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                     uint32_t total, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i)
    F::Store(out + 2 * i, F::Weigh(F::Load(x + 2 * i), total - w[i], F::Load(y + 2 * i), w[i]));
}

template <class F>
void TowardRowBytesPlain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                         size_t pixels, uint32_t yMask) {
  constexpr int n = F::kBytes;
  for (size_t i = 0; i < pixels; ++i)
    F::Store(out + n * i, F::Toward(F::Load(x + n * i), F::Load(y + n * i) & yMask, w[i]));
}

void FilterRowBytesPlain(uint8_t* out, const uint8_t* a, const uint8_t* b, const uint8_t* w,
                        size_t bytes) {
  for (size_t i = 0; i < bytes; ++i)
    out[i] = static_cast<uint8_t>(kBlendTables.product[a[i]][255 - w[i]] + kBlendTables.product[b[i]][w[i]]);
}

template <class W>
void WeightRowPlain(W* w, const uint8_t* a, uint32_t o, size_t n) {
  constexpr uint32_t top = sizeof(W) == 1 ? 255 : 256;
  for (size_t i = 0; i < n; ++i) w[i] = static_cast<W>(std::min((o * Format565::WidenAlpha(a[i])) >> 8, top));
}

// The fields' filter step, plain.
inline uint32_t FieldStep(uint32_t a, uint32_t b, uint32_t w, uint32_t round) {
  return (a * (255 - w) + b * w + round) >> 8;
}

}  // namespace

void FilterRowBytes(BlendPath path, uint8_t* out, const uint8_t* a, const uint8_t* b,
                    const uint8_t* w, size_t bytes) {
  size_t done = ZAN_SIMD_DONE(path, FilterRowBytes(out, a, b, w, bytes));
  FilterRowBytesPlain(out + done, a + done, b + done, w + done, bytes - done);
}

template <class F>
void WeighRow16(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                uint32_t total, size_t pixels) {
  size_t done = ZAN_SIMD_DONE(path, WeighRow16<F>(out, x, y, w, total, pixels));
  WeighRow16Plain<F>(out + 2 * done, x + 2 * done, y + 2 * done, w + done, total, pixels - done);
}

template <class F>
void TowardRowBytes(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y,
                    const uint8_t* w, size_t pixels, bool yColourOnly) {
  constexpr size_t n = F::kBytes;
  const uint32_t yMask = n == 4 && yColourOnly ? 0x00FFFFFFu : 0xFFFFFFFFu;
  size_t done = ZAN_SIMD_DONE(path, TowardRowBytes<F>(out, x, y, w, pixels, yMask));
  TowardRowBytesPlain<F>(out + n * done, x + n * done, y + n * done, w + done, pixels - done, yMask);
}

template <class W>
void WeightRow(BlendPath path, W* w, const uint8_t* a, uint32_t o, size_t n) {
  size_t done = ZAN_SIMD_DONE(path, WeightRow<W>(w, a, o, n));
  WeightRowPlain<W>(w + done, a + done, o, n - done);
}

void FilterRowFields(BlendPath path, uint16_t* out, const uint16_t* a, const uint16_t* b,
                     const uint16_t* w, uint32_t round, size_t n) {
  size_t i = ZAN_SIMD_DONE(path, FilterRowFields(out, a, b, w, round, n));
  for (; i < n; ++i) out[i] = static_cast<uint16_t>(FieldStep(a[i], b[i], w[i], round));
}

template <class F>
void TowardRowFields(BlendPath path, uint8_t* d, const uint16_t* const* c, const uint8_t* w,
                     const uint8_t* gate, uint32_t round, size_t n) {
  size_t i = ZAN_SIMD_DONE(path, TowardRowFields<F>(d, c, w, gate, round, n));
  for (; i < n; ++i) {
    if (gate[i] == 0) continue;
    const uint32_t p = F::Load(d + 2 * i);
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) out |= FieldStep(p & F::kMasks[k], c[k][i], w[i], round) & F::kMasks[k];
    F::Store(d + 2 * i, out);
  }
}

template <class F>
void SplitFields(BlendPath path, uint16_t* const* c, const uint8_t* pixels, size_t n) {
  size_t i = ZAN_SIMD_DONE(path, SplitFields<F>(c, pixels, n));
  for (; i < n; ++i)
    for (int k = 0; k < 3; ++k) c[k][i] = static_cast<uint16_t>(F::Load(pixels + 2 * i) & F::kMasks[k]);
}

template <class F>
void GatherSamples(BlendPath path, uint8_t* out, const uint8_t* pixels, const uint8_t* alpha, const int32_t* x,
                   size_t n, int32_t width) {
  size_t i = ZAN_SIMD_DONE(path, GatherSamples<F>(out, pixels, alpha, x, n, width));
  for (; i < n; ++i) {
    const uint32_t sample = (F::Load(pixels + static_cast<ptrdiff_t>(x[i]) * F::kBytes) & 0xFFFFFF) |
                            (uint32_t{alpha[x[i]]} << 24);
    std::memcpy(out + 4 * i, &sample, 4);
  }
}

template void GatherSamples<Format888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);
template void GatherSamples<Format8888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);
template void GatherSamples<FormatBitmap>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const int32_t*, size_t, int32_t);
template void WeightRow<uint8_t>(BlendPath, uint8_t*, const uint8_t*, uint32_t, size_t);
template void WeightRow<uint16_t>(BlendPath, uint16_t*, const uint8_t*, uint32_t, size_t);
template void TowardRowFields<Format555>(BlendPath, uint8_t*, const uint16_t* const*, const uint8_t*, const uint8_t*, uint32_t, size_t);
template void TowardRowFields<Format565>(BlendPath, uint8_t*, const uint16_t* const*, const uint8_t*, const uint8_t*, uint32_t, size_t);
template void SplitFields<Format555>(BlendPath, uint16_t* const*, const uint8_t*, size_t);
template void SplitFields<Format565>(BlendPath, uint16_t* const*, const uint8_t*, size_t);
template void WeighRow16<Format555>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void WeighRow16<Format565>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void TowardRowBytes<Format888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, bool);
template void TowardRowBytes<Format8888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, bool);
template void TowardRowBytes<FormatBitmap>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t, bool);

}  // namespace zan
