#pragma once
// The SIMD row kernels, one namespace per instruction set (sse2, and avx2 built with AVX2
// enabled in a translation unit of its own). Each does whole groups of pixels only and
// returns how many pixels it did; the caller finishes the row on the plain path. Called
// only where the processor has the instruction set (BlendKernels.cpp decides).

#include <cstddef>
#include <cstdint>

namespace zan {

#define ZAN_DECLARE_SIMD_KERNELS(isa)                                                          \
  namespace isa {                                                                               \
  template <class F>                                                                            \
  size_t WeighRow16(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,        \
                    uint32_t total, size_t pixels);                                             \
  template <class F>                                                                            \
  size_t TowardRowBytes(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,     \
                        size_t pixels, uint32_t yMask);                                         \
  size_t FilterRowBytes(uint8_t* out, const uint8_t* a, const uint8_t* b, const uint8_t* w,     \
                        size_t bytes);                                                          \
  template <class W>                                                                            \
  size_t WeightRow(W* w, const uint8_t* a, uint32_t o, size_t n);                               \
  size_t FilterRowFields(uint16_t* out, const uint16_t* a, const uint16_t* b, const uint16_t* w, \
                         uint32_t round, size_t n);                                             \
  template <class F>                                                                            \
  size_t TowardRowFields(uint8_t* d, const uint16_t* const* c, const uint8_t* w,                \
                         const uint8_t* gate, uint32_t round, size_t n);                        \
  template <class F>                                                                            \
  size_t SplitFields(uint16_t* const* c, const uint8_t* pixels, size_t n);                      \
  template <class F>                                                                            \
  size_t GatherSamples(uint8_t* out, const uint8_t* pixels, const uint8_t* alpha,               \
                       const int32_t* x, size_t n, int32_t width);                              \
  }

ZAN_DECLARE_SIMD_KERNELS(sse2)
ZAN_DECLARE_SIMD_KERNELS(avx2)

#undef ZAN_DECLARE_SIMD_KERNELS

}  // namespace zan
