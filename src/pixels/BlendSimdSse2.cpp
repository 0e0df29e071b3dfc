// The SIMD row kernels for SSE2, the baseline of every x86-64 processor.
#define ZAN_SIMD_NAMESPACE sse2
#include "pixels/BlendSimdRows.h"
