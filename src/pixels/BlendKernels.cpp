#include "pixels/BlendKernels.h"

#include <atomic>

#include "pixels/BlendSimd.h"
#include "pixels/BlendTables.h"
#include "pixels/PixelFormat.h"

#if defined(__x86_64__)
#define ZAN_X86_SIMD 1
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
                         size_t pixels) {
  constexpr int n = F::kBytes;
  for (size_t i = 0; i < pixels; ++i)
    F::Store(out + n * i, F::Toward(F::Load(x + n * i), F::Load(y + n * i), w[i]));
}

void FilterRowBytesPlain(uint8_t* out, const uint8_t* a, const uint8_t* b, const uint8_t* w,
                        size_t bytes) {
  for (size_t i = 0; i < bytes; ++i)
    out[i] = static_cast<uint8_t>(kBlendTables.product[a[i]][255 - w[i]] + kBlendTables.product[b[i]][w[i]]);
}

}  // namespace

void FilterRowBytes(BlendPath path, uint8_t* out, const uint8_t* a, const uint8_t* b,
                    const uint8_t* w, size_t bytes) {
  size_t done = 0;
#if ZAN_X86_SIMD
  if (path == BlendPath::kAvx2) done = avx2::FilterRowBytes(out, a, b, w, bytes);
  if (path == BlendPath::kSse2) done = sse2::FilterRowBytes(out, a, b, w, bytes);
#endif
  FilterRowBytesPlain(out + done, a + done, b + done, w + done, bytes - done);
}

template <class F>
void WeighRow16(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                uint32_t total, size_t pixels) {
  size_t done = 0;
#if ZAN_X86_SIMD
  if (path == BlendPath::kAvx2) done = avx2::WeighRow16<F>(out, x, y, w, total, pixels);
  if (path == BlendPath::kSse2) done = sse2::WeighRow16<F>(out, x, y, w, total, pixels);
#endif
  WeighRow16Plain<F>(out + 2 * done, x + 2 * done, y + 2 * done, w + done, total, pixels - done);
}

template <class F>
void TowardRowBytes(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y,
                    const uint8_t* w, size_t pixels) {
  constexpr size_t n = F::kBytes;
  size_t done = 0;
#if ZAN_X86_SIMD
  if (path == BlendPath::kAvx2) done = avx2::TowardRowBytes<F>(out, x, y, w, pixels);
  if (path == BlendPath::kSse2) done = sse2::TowardRowBytes<F>(out, x, y, w, pixels);
#endif
  TowardRowBytesPlain<F>(out + n * done, x + n * done, y + n * done, w + done, pixels - done);
}

template void WeighRow16<Format555>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void WeighRow16<Format565>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint16_t*, uint32_t, size_t);
template void TowardRowBytes<Format888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytes<Format8888>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);
template void TowardRowBytes<FormatBitmap>(BlendPath, uint8_t*, const uint8_t*, const uint8_t*, const uint8_t*, size_t);

}  // namespace zan
