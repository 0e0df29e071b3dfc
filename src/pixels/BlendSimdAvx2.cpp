// The SIMD row kernels for AVX2; this file alone is built with AVX2 enabled, and its code
// runs only on processors that have it.
#define ZAN_SIMD_NAMESPACE avx2
#include "pixels/BlendSimdRows.h"
