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

// Byte rows, F::kBytes bytes a pixel, one weight per pixel. With `yColourOnly` the fourth
// byte of each 4-byte pixel of y is taken as 0 (the colour without its top byte).
template <class F>
void TowardRowBytes(BlendPath path, uint8_t* out, const uint8_t* x, const uint8_t* y,
                    const uint8_t* w, size_t pixels, bool yColourOnly = false);

// One step of the bilinear filter of the byte formats, byte by byte: out = P[a][255 - w] +
// P[b][w] with the product table P (BlendTables.h). `out` may be `a` or `b`.
void FilterRowBytes(BlendPath path, uint8_t* out, const uint8_t* a, const uint8_t* b,
                    const uint8_t* w, size_t bytes);

// Weights from alpha bytes and an opacity o (0..256): w = (o * a') >> 8 with a' = a + 1 when
// a > 0 (0 stays 0), at most 255 for byte weights. o = 256 gives a' itself. Byte weights may
// be written over their alpha bytes (w == a).
template <class W>
void WeightRow(BlendPath path, W* w, const uint8_t* a, uint32_t o, size_t n);

// The samples of the scaled copies of the byte formats: for each column i, the pixel at
// column x[i] of a source row (its bytes B, G, R) with the alpha byte x[i] of its plane
// row as the fourth byte; `width` is the rows' width in pixels. x ascends. (4-byte pixels:
// eight columns within 16 of each other are picked out of one 64-byte read.)
template <class F>
void GatherSamples(BlendPath path, uint8_t* out, const uint8_t* pixels, const uint8_t* alpha, const int32_t* x,
                   size_t n, int32_t width);

// The scaled copies of the 16-bit formats work on colour fields kept in place (each masked
// out of its pixel, at most 0xF800), with room below them for the filter's fraction.
// One filter step: out = (a * (255 - w) + b * w + round) >> 8, element by element.
void FilterRowFields(BlendPath path, uint16_t* out, const uint16_t* a, const uint16_t* b,
                     const uint16_t* w, uint32_t round, size_t n);
// The last step: every field of each pixel of d becomes (d's field * (255 - w) + c[k] * w +
// round) >> 8, masked to the field; a pixel whose gate byte is 0 is left alone.
template <class F>
void TowardRowFields(BlendPath path, uint8_t* d, const uint16_t* const* c, const uint8_t* w,
                     const uint8_t* gate, uint32_t round, size_t n);
// The fields of n pixels, each masked out in place into c[0], c[1], c[2].
template <class F>
void SplitFields(BlendPath path, uint16_t* const* c, const uint8_t* pixels, size_t n);

}  // namespace zan
