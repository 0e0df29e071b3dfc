#pragma once
// Row kernels of the weighted blends. Each has a plain form, written over the format traits,
// which is the reference, and a SIMD form that must give the same bytes (the tests compare
// them bit for bit). The blends choose between them by the process-wide fast-path switch.
//
// Weights are per pixel. Byte formats: every byte x moves toward y by w out of 255 (the table
// blend). 16-bit formats: every field becomes (x * (total - w) + y * w) >> 8.

#include <cstddef>
#include <cstdint>

namespace zan {

// On by default; tests switch it off to run the plain forms.
void SetFastBlending(bool on);
bool FastBlending();

// 16-bit rows: `total` is 256, or 255 for the 555 cross-fade.
template <class F>
void WeighRow16Plain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                     uint32_t total, size_t pixels);
template <class F>
void WeighRow16Fast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint16_t* w,
                    uint32_t total, size_t pixels);

// Byte rows, F::kBytes bytes a pixel, one weight per pixel.
template <class F>
void TowardRowBytesPlain(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                         size_t pixels);
template <class F>
void TowardRowBytesFast(uint8_t* out, const uint8_t* x, const uint8_t* y, const uint8_t* w,
                        size_t pixels);

}  // namespace zan
