#include "pixels/Blend.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "pixels/BlendKernels.h"

namespace zan {
namespace {

// A row's weights: 0..256 for the 16-bit formats, 0..255 for the byte formats.
template <class F>
using WeightOf = std::conditional_t<F::kFields, uint16_t, uint8_t>;

// One row of three views (out, x, y) with a byte offset each.
struct RowTriple {
  uint8_t* out;
  const uint8_t* x;
  const uint8_t* y;
};

// Runs the weighted row kernel of format F over `rows` rows. `row(i)` gives the row's
// pointers; `weigh(i, buffer)` gives the row's per-pixel weights (0..256 for the 16-bit
// formats, 0..255 for the byte formats), filled into `buffer` or found elsewhere. `total` is
// the 16-bit weight sum (256, or 255 for the 555 cross-fade).
template <class F, class Row, class Weigh>
void WeightedRows(int32_t rows, int32_t width, uint32_t total, Row row, Weigh weigh) {
  std::vector<WeightOf<F>> buffer(static_cast<size_t>(width));
  const BlendPath path = CurrentBlendPath();
  for (int32_t i = 0; i < rows; ++i) {
    const WeightOf<F>* w = weigh(i, buffer.data());
    RowTriple r = row(i);
    if constexpr (F::kFields) {
      WeighRow16<F>(path, r.out, r.x, r.y, w, total, static_cast<size_t>(width));
    } else {
      TowardRowBytes<F>(path, r.out, r.x, r.y, w, static_cast<size_t>(width));
    }
  }
}

// The weights of an alpha or mask row: widened in the buffer for the 16-bit formats, the
// bytes themselves for the byte formats.
template <class F>
const WeightOf<F>* AlphaWeights(BlendPath path, const uint8_t* a, int32_t width, WeightOf<F>* buffer) {
  if constexpr (F::kFields) {
    WeightRow<uint16_t>(path, buffer, a, 256, static_cast<size_t>(width));
    return buffer;
  } else {
    return a;
  }
}

// Row pointers of a two-view operation: the destination is both the output and x.
template <class F>
auto CopyRows(const PixelRows& dst, const PixelRows& src, const ClippedCopy& c) {
  return [&dst, &src, c](int32_t i) {
    uint8_t* d = dst.Row(c.dy + i) + static_cast<ptrdiff_t>(c.dx) * F::kBytes;
    return RowTriple{d, d, src.Row(c.sy + i) + static_cast<ptrdiff_t>(c.sx) * F::kBytes};
  };
}

}  // namespace

void AlphaBlendPixels(int32_t code, const PixelRows& dst, const PixelRows& src,
                      const AlphaRows& alpha, const ClippedCopy& c) {
  if (code == kFormatBitmap) {
    for (int32_t i = 0; i < c.height; ++i) {
      uint8_t* d = dst.Row(c.dy + i) + static_cast<ptrdiff_t>(c.dx) * 3;
      const uint8_t* s = src.Row(c.sy + i) + static_cast<ptrdiff_t>(c.sx) * 3;
      const uint8_t* a = alpha.Row(c.sy + i) + c.sx;
      for (int32_t j = 0; j < c.width; ++j)
        FormatBitmap::Store(d + 3 * j, FormatBitmap::AlphaBlend(FormatBitmap::Load(d + 3 * j),
                                                          FormatBitmap::Load(s + 3 * j), a[j]));
    }
    return;
  }
  if (!IsDeviceFormat(code)) return;
  const BlendPath path = CurrentBlendPath();
  WithFormat(code, [&]<class F>() {
    WeightedRows<F>(c.height, c.width, 256, CopyRows<F>(dst, src, c), [&](int32_t i, WeightOf<F>* w) {
      return AlphaWeights<F>(path, alpha.Row(c.sy + i) + c.sx, c.width, w);
    });
  });
}

void OpacityBlendPixels(int32_t code, const PixelRows& dst, const PixelRows& src,
                        const AlphaRows& alpha, const ClippedCopy& c, uint8_t opacity) {
  if (!IsDeviceFormat(code)) return;
  const uint32_t o = Format565::WidenAlpha(opacity);
  const BlendPath path = CurrentBlendPath();
  WithFormat(code, [&]<class F>() {
    WeightedRows<F>(c.height, c.width, 256, CopyRows<F>(dst, src, c), [&](int32_t i, WeightOf<F>* w) {
      WeightRow<WeightOf<F>>(path, w, alpha.Row(c.sy + i) + c.sx, o, static_cast<size_t>(c.width));
      return static_cast<const WeightOf<F>*>(w);
    });
  });
}

void CrossFadePixels(int32_t code, const PixelRows& out, const PixelRows& first,
                     const PixelRows& second, const TripleRect& r, uint8_t level) {
  WithFormat(code, [&]<class F>() {
    const uint32_t weight = F::CrossFadeSecondWeight(level);
    const uint32_t total = F::CrossFadeFirstWeight(level) + weight;
    auto rows = [&](int32_t i) {
      const ptrdiff_t x = static_cast<ptrdiff_t>(r.x) * F::kBytes;
      return RowTriple{out.Row(r.y + i) + x, first.Row(r.y + i) + x,
                       second.Row(r.y2 + i) + static_cast<ptrdiff_t>(r.x2) * F::kBytes};
    };
    WeightedRows<F>(r.height, r.width, total, rows, [&](int32_t i, WeightOf<F>* w) {
      if (i == 0) std::fill(w, w + r.width, static_cast<WeightOf<F>>(weight));
      return static_cast<const WeightOf<F>*>(w);
    });
  });
}

void MaskBlendPixels(int32_t code, const PixelRows& out, const PixelRows& first,
                     const PixelRows& second, const AlphaRows& mask, int32_t width, int32_t height) {
  const BlendPath path = CurrentBlendPath();
  WithFormat(code, [&]<class F>() {
    auto rows = [&](int32_t i) { return RowTriple{out.Row(i), first.Row(i), second.Row(i)}; };
    WeightedRows<F>(height, width, 256, rows, [&](int32_t i, WeightOf<F>* w) {
      return AlphaWeights<F>(path, mask.Row(i), width, w);
    });
  });
}

void ColorBlendPixels(int32_t code, const PixelRows& view, const ClippedCopy& rect, uint8_t amount,
                      Rgb colour) {
  WithFormat(code, [&]<class F>() {
    const typename F::Pixel target = F::Pack(colour.r, colour.g, colour.b);
    for (int32_t i = 0; i < rect.height; ++i) {
      uint8_t* d = view.Row(rect.dy + i) + static_cast<ptrdiff_t>(rect.dx) * F::kBytes;
      for (int32_t j = 0; j < rect.width; ++j, d += F::kBytes)
        F::Store(d, F::Toward(F::Load(d), target, amount));
    }
  });
}

void ScreenPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c) {
  WithFormat(code, [&]<class F>() {
    for (int32_t i = 0; i < c.height; ++i) {
      uint8_t* d = dst.Row(c.dy + i) + static_cast<ptrdiff_t>(c.dx) * F::kBytes;
      const uint8_t* s = src.Row(c.sy + i) + static_cast<ptrdiff_t>(c.sx) * F::kBytes;
      for (int32_t j = 0; j < c.width; ++j, d += F::kBytes, s += F::kBytes) {
        const typename F::Pixel sp = F::Load(s);
        if (!F::IsKey(sp)) F::Store(d, F::Screen(F::Load(d), sp));
      }
    }
  });
}

}  // namespace zan
