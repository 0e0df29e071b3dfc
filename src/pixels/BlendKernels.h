#pragma once
// Row kernels of the weighted blends. The plain path, written over the format traits, is the
// reference; the SIMD paths (SSE2, and AVX2 where the processor has it) must give the same
// bytes, which the tests check bit for bit.
//
// Weights are per pixel. Byte formats: every byte x moves toward y by w out of 255 (the table
// blend). 16-bit formats: every field becomes (x * (total - w) + y * w) >> 8.

#include <cstddef>
#include <cstdint>

namespace zan {

enum class BlendPath { kPlain, kSse2, kAvx2 };

// The widest path this processor runs.
BlendPath BestBlendPath();
// The path the blends take: the best one, unless set (to compare paths); never above the best.
void SetBlendPath(BlendPath path);
BlendPath CurrentBlendPath();

// 16-bit rows: `total` is 256, or 255 for the 555 cross-fade; weights 0..total.
template <class F>
void WeighRow16(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                uint32_t total, size_t pixels);

// Byte rows, F::kBytes bytes a pixel, one weight per pixel.
template <class F>
void TowardRowBytes(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y,
                    const uint8_t* w, size_t pixels);

// One step of the bilinear filter of the byte formats, byte by byte: out = P[a][255 - w] +
// P[b][w] with the product table P (BlendTables.h). `out` may be `a` or `b`.
void FilterRowBytes(BlendPath path, uint8_t* out, const uint8_t* a, const uint8_t* b,
                    const uint8_t* w, size_t bytes);

}  // namespace zan
