#include "pixels/ZoomPixels.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "base/ByteReader.h"
#include "pixels/BlendKernels.h"
#include "pixels/BlendTables.h"

namespace zan {
namespace {

// The alpha samples, and every channel of the byte formats: P[a][255 - f] + P[b][f].
inline uint32_t FilterByte(uint32_t a, uint32_t b, uint32_t f) {
  return kBlendTables.product[a][255 - f] + kBlendTables.product[b][f];
}

// The zoom arithmetic of a format family: its three colour channels, the filter step, and
// the final move of a destination pixel toward the filtered colour.
template <class F, bool Fields = F::kFields>
struct ZoomFormat;

// 555 and 565: each field in place, masked only when the pixel is put together.
template <class F>
struct ZoomFormat<F, true> {
  using Element = uint16_t;  // a field in place (at most 0xF800)
  static constexpr uint32_t kRound = F::kCode == kFormat565 ? 255 : 0;
  // 565's per-pixel alpha leaves a pixel alone only when all four alpha samples are 0.
  static constexpr bool kAlphaSkipsOnAllFour = F::kCode == kFormat565;

  static uint32_t Channel(uint32_t p, int k) { return p & F::kMasks[k]; }
  static uint32_t Filter(uint32_t a, uint32_t b, uint32_t f) {
    return (a * (255 - f) + b * f + kRound) >> 8;
  }
  // The filtered fields keep the bits below their places until this last step.
  static uint32_t Blend(uint32_t d, const uint32_t* c, uint32_t w) {
    uint32_t out = 0;
    for (int k = 0; k < 3; ++k) out |= Filter(d & F::kMasks[k], c[k], w) & F::kMasks[k];
    return out;
  }
};

// 888, 8888 and the bitmap: bytes B, G, R; a fourth byte of the result is 0.
template <class F>
struct ZoomFormat<F, false> {
  using Element = uint8_t;
  static constexpr bool kAlphaSkipsOnAllFour = false;

  static uint32_t Channel(uint32_t p, int k) { return (p >> (8 * k)) & 0xFF; }
  static uint32_t Filter(uint32_t a, uint32_t b, uint32_t f) { return FilterByte(a, b, f); }
  static uint32_t Compose(const uint32_t* c) { return c[0] | (c[1] << 8) | (c[2] << 16); }
  static uint32_t Blend(uint32_t d, const uint32_t* c, uint32_t w) { return F::Toward(d, Compose(c), w); }
};

// Where one destination column (or row) reads the source.
struct Sample {
  int32_t first = 0;   // the top-left sample's column (row)
  int32_t second = 0;  // its right (lower) neighbour, clamped to the last one
  uint32_t weight = 0;
};

inline Sample SampleAt(int64_t base, int64_t offset, uint64_t step, int32_t size) {
  const uint64_t u = static_cast<uint64_t>(base + offset) * step;
  const int32_t last = size - 1;
  const int32_t first = static_cast<int32_t>(std::min<uint64_t>(u >> 16, static_cast<uint64_t>(last)));
  return {first, std::min(first + 1, last), static_cast<uint32_t>((u >> 8) & 0xFF)};
}

inline uint32_t Weight(ZoomKind kind, uint32_t alpha, uint8_t opacity) {
  if (kind == ZoomKind::kAlpha) return alpha;
  const uint32_t widened = alpha == 0 ? 0 : alpha + 1;
  return std::min<uint32_t>((widened * (opacity + 1u)) >> 8, 255);
}

// Whether a pixel with these four alpha samples (top-left, right, lower, lower right) is
// left alone.
template <class Z>
inline bool Skips(ZoomKind kind, uint32_t a00, uint32_t a10, uint32_t a01, uint32_t a11) {
  if (kind == ZoomKind::kAlpha && !Z::kAlphaSkipsOnAllFour) return a00 == 0;
  return (a00 | a10 | a01 | a11) == 0;
}

inline void AddToPlane(uint8_t* plane, uint32_t alpha) {
  *plane = static_cast<uint8_t>(std::min<uint32_t>(*plane + alpha, 255));
}

// A row of the destination's plane raised by the alpha drawn (a loop the compiler vectorises).
void RaisePlane(uint8_t* __restrict plane, const uint8_t* __restrict alpha, size_t count) {
  for (size_t i = 0; i < count; ++i) AddToPlane(plane + i, alpha[i]);
}

template <class F>
void ReferencePixels(const PixelRows& dst, const PlaneRows& dstAlpha, const PixelRows& src,
                     const AlphaRows& srcAlpha, const ZoomMap& m) {
  using Z = ZoomFormat<F>;
  constexpr int n = F::kBytes;
  auto pixel = [&](int32_t x, int32_t y) { return F::Load(src.Row(y) + static_cast<ptrdiff_t>(x) * n); };
  auto alpha = [&](int32_t x, int32_t y) { return uint32_t{srcAlpha.Row(y)[x]}; };
  for (int32_t j = 0; j < m.height; ++j) {
    const Sample sy = SampleAt(m.baseY, j, m.stepY, src.height);
    uint8_t* d = dst.Row(m.dy + j) + static_cast<ptrdiff_t>(m.dx) * n;
    for (int32_t i = 0; i < m.width; ++i, d += n) {
      const Sample sx = SampleAt(m.baseX, i, m.stepX, src.width);
      const uint32_t a00 = alpha(sx.first, sy.first), a10 = alpha(sx.second, sy.first);
      const uint32_t a01 = alpha(sx.first, sy.second), a11 = alpha(sx.second, sy.second);
      if (Skips<Z>(m.kind, a00, a10, a01, a11)) continue;
      const uint32_t p00 = pixel(sx.first, sy.first), p10 = pixel(sx.second, sy.first);
      const uint32_t p01 = pixel(sx.first, sy.second), p11 = pixel(sx.second, sy.second);
      uint32_t c[3];
      for (int k = 0; k < 3; ++k) {
        const uint32_t top = Z::Filter(Z::Channel(p00, k), Z::Channel(p10, k), sx.weight);
        const uint32_t bottom = Z::Filter(Z::Channel(p01, k), Z::Channel(p11, k), sx.weight);
        c[k] = Z::Filter(top, bottom, sy.weight);
      }
      const uint32_t a =
          FilterByte(FilterByte(a00, a10, sx.weight), FilterByte(a01, a11, sx.weight), sy.weight);
      F::Store(d, Z::Blend(F::Load(d), c, Weight(m.kind, a, m.opacity)));
      if (m.kind == ZoomKind::kAlpha) AddToPlane(dstAlpha.Row(m.dy + j) + m.dx + i, a);
    }
  }
}

// The columns of a source alpha row that are not 0: [first, last]; an empty span has first
// beyond every column and last before them.
struct AlphaSpan {
  int32_t first = INT32_MAX / 2;
  int32_t last = -1;
};

AlphaSpan SpanOf(const uint8_t* alpha, int32_t width) {
  // Eight bytes a step over the transparent ends.
  auto zero8 = [alpha](int32_t x) {
    uint64_t v;
    std::memcpy(&v, alpha + x, 8);
    return v == 0;
  };
  AlphaSpan span;
  int32_t x = 0;
  while (x + 8 <= width && zero8(x)) x += 8;
  while (x < width && alpha[x] == 0) ++x;
  if (x == width) return span;
  span.first = x;
  int32_t end = width;
  while (end - 8 > x && zero8(end - 8)) end -= 8;
  while (alpha[end - 1] == 0) --end;
  span.last = end - 1;
  return span;
}

// The fast path. Each source row the copy reads is gathered once (the two samples of every
// destination column, as channels c0, c1, c2, alpha) and filtered along x once, and kept
// while the next destination rows read it; the filter along y and the blend then run over
// whole rows. Only the columns whose samples can carry alpha are worked on: elsewhere every
// weight is 0 and every pixel is left alone. In the byte formats the filter steps and the
// blend are SIMD row kernels; a filter step whose weights are all 0 is the identity there,
// so it is skipped, and a copy at natural size reads the source rows directly.
template <class F>
class StagedZoom {
  using Z = ZoomFormat<F>;
  using E = typename Z::Element;
  static constexpr bool kBytes = std::is_same_v<E, uint8_t>;
  static constexpr int n = F::kBytes;

 public:
  StagedZoom(const PixelRows& src, const AlphaRows& srcAlpha, const ZoomMap& m)
      : src_(src), srcAlpha_(srcAlpha), m_(m), width_(static_cast<size_t>(m.width)) {
    columns_.resize(width_);
    firsts_.resize(width_);
    weightsX_.resize(4 * width_);
    for (size_t i = 0; i < width_; ++i) {
      columns_[i] = SampleAt(m.baseX, static_cast<int64_t>(i), m.stepX, src.width);
      firsts_[i] = columns_[i].first;
      std::fill_n(&weightsX_[4 * i], 4, static_cast<E>(columns_[i].weight));
    }
    // A step that is a whole number of pixels leaves every weight along x at 0.
    filterX_ = !kBytes || (m.stepX & 0xFFFF) != 0;
    for (Row& r : rows_) {
      r.first.resize(4 * width_);
      r.second.resize(4 * width_);
      if (filterX_) r.filtered.resize(4 * width_);
    }
    filteredY_.resize(4 * width_);
    weightsY_.resize(4 * width_);
    colour_.resize(width_ * n);
    weights_.resize(width_);
    for (uint32_t a = 0; a < 256; ++a) weightOf_[a] = static_cast<uint8_t>(Weight(m.kind, a, m.opacity));
  }

  void Run(const PixelRows& dst, const PlaneRows& dstAlpha) {
    const BlendPath path = CurrentBlendPath();
    if (m_.stepX == 0x10000 && m_.stepY == 0x10000 && m_.baseX + m_.width <= src_.width &&
        m_.baseY + m_.height <= src_.height) {
      if constexpr (kBytes) return RunNatural(dst, dstAlpha, path);
      else return RunNaturalFields(dst, dstAlpha);
    }
    for (int32_t j = 0; j < m_.height; ++j) {
      const Sample sy = SampleAt(m_.baseY, j, m_.stepY, src_.height);
      Row& top = Fetch(sy.first, sy.second);
      Row& bottom = Fetch(sy.second, sy.first);
      // The columns whose four samples are not all transparent.
      const int32_t lo = std::min(top.span.first, bottom.span.first) - 1;
      const int32_t hi = std::max(top.span.last, bottom.span.last);
      if (lo >= hi) continue;
      const size_t i0 = static_cast<size_t>(std::lower_bound(firsts_.begin(), firsts_.end(), lo) - firsts_.begin());
      const size_t i1 = static_cast<size_t>(std::upper_bound(firsts_.begin(), firsts_.end(), hi) - firsts_.begin());
      if (i0 >= i1) continue;
      Ensure(top, i0, i1, path);
      Ensure(bottom, i0, i1, path);
      const E* v = FilterY(top, bottom, sy.weight, i0, i1, path);
      uint8_t* d = dst.Row(m_.dy + j) + static_cast<ptrdiff_t>(m_.dx) * n;
      uint8_t* plane = m_.kind == ZoomKind::kAlpha ? dstAlpha.Row(m_.dy + j) + m_.dx : nullptr;
      if constexpr (kBytes) {
        BlendBytes(d, plane, top.first.data(), v, i0, i1, path);
      } else {
        for (size_t i = i0; i < i1; ++i) {
          const size_t k = 4 * i;
          if (Skips<Z>(m_.kind, top.first[k + 3], top.second[k + 3], bottom.first[k + 3], bottom.second[k + 3]))
            continue;
          if (plane != nullptr) AddToPlane(plane + i, v[k + 3]);
          const uint32_t c[3] = {v[k], v[k + 1], v[k + 2]};
          uint8_t* p = d + i * n;
          F::Store(p, Z::Blend(F::Load(p), c, weightOf_[v[k + 3]]));
        }
      }
    }
  }

 private:
  // The byte formats' blend of a filtered row: its colours in the format, a weight per pixel
  // (0 leaves a pixel as it is, so no pixel needs a skip test of its own), then the row
  // kernel. Per-pixel alpha leaves pixels whose top-left sample is transparent.
  void BlendBytes(uint8_t* d, uint8_t* plane, const uint8_t* topLeft, const uint8_t* v, size_t i0, size_t i1,
                  BlendPath path) {
    uint8_t* colour = colour_.data();
    uint8_t* weights = weights_.data();
    const uint8_t* weightOf = weightOf_;
    for (size_t i = i0; i < i1; ++i) {
      uint32_t c;
      std::memcpy(&c, v + 4 * i, 4);
      const uint32_t a = c >> 24;
      uint8_t w = weightOf[a];
      if (plane != nullptr && topLeft[4 * i + 3] == 0) w = 0;
      weights[i] = w;
      c &= 0xFFFFFF;
      std::memcpy(colour + i * n, &c, n);
    }
    if (plane != nullptr) RaisePlane(plane + i0, weights + i0, i1 - i0);
    TowardRowBytes<F>(path, d + i0 * n, d + i0 * n, colour + i0 * n, weights + i0, i1 - i0);
  }

 private:
  struct Row {
    int32_t y = -1;
    AlphaSpan span;
    size_t begin = 0;  // the columns gathered and filtered so far: [begin, end)
    size_t end = 0;
    std::vector<E> first;     // the top-left samples: c0, c1, c2, alpha per column
    std::vector<E> second;    // their right neighbours
    std::vector<E> filtered;  // filtered along x (the byte formats without x weights: `first`)
    const E* Filtered() const { return filtered.empty() ? first.data() : filtered.data(); }
  };

  // At natural size every weight is 0: the filtered colour and alpha are the top-left
  // sample's, so the blend reads the source row itself.
  void RunNatural(const PixelRows& dst, const PlaneRows& dstAlpha, BlendPath path) {
    for (int32_t j = 0; j < m_.height; ++j) {
      const uint8_t* s = src_.Row(static_cast<int32_t>(m_.baseY) + j) + m_.baseX * n;
      const uint8_t* a = srcAlpha_.Row(static_cast<int32_t>(m_.baseY) + j) + m_.baseX;
      uint8_t* d = dst.Row(m_.dy + j) + static_cast<ptrdiff_t>(m_.dx) * n;
      uint8_t* weights = weights_.data();
      const uint8_t* weightOf = weightOf_;
      for (size_t i = 0; i < width_; ++i) weights[i] = weightOf[a[i]];
      if (m_.kind == ZoomKind::kAlpha) RaisePlane(dstAlpha.Row(m_.dy + j) + m_.dx, a, width_);
      if constexpr (n == 4) {
        // The fourth byte of the filtered colour is 0.
        uint8_t* colour = colour_.data();
        for (size_t i = 0; i < width_; ++i) {
          uint32_t c;
          std::memcpy(&c, s + 4 * i, 4);
          c &= 0xFFFFFF;
          std::memcpy(colour + 4 * i, &c, 4);
        }
        s = colour;
      }
      TowardRowBytes<F>(path, d, d, s, weights_.data(), width_);
    }
  }

  // The 16-bit formats at natural size: every weight is 0, so each field takes the filter's
  // two steps from the top-left sample alone; the neighbours' alphas still decide which
  // pixels are left alone.
  void RunNaturalFields(const PixelRows& dst, const PlaneRows& dstAlpha) {
    const int32_t lastX = src_.width - 1;
    const int32_t lastY = src_.height - 1;
    for (int32_t j = 0; j < m_.height; ++j) {
      const int32_t y = static_cast<int32_t>(m_.baseY) + j;
      const uint8_t* s = src_.Row(y);
      const uint8_t* a0 = srcAlpha_.Row(y);
      const uint8_t* a1 = srcAlpha_.Row(std::min(y + 1, lastY));
      uint8_t* d = dst.Row(m_.dy + j) + static_cast<ptrdiff_t>(m_.dx) * n;
      uint8_t* plane = m_.kind == ZoomKind::kAlpha ? dstAlpha.Row(m_.dy + j) + m_.dx : nullptr;
      for (size_t i = 0; i < width_; ++i) {
        const int32_t x = static_cast<int32_t>(m_.baseX) + static_cast<int32_t>(i);
        const int32_t right = std::min(x + 1, lastX);
        if (Skips<Z>(m_.kind, a0[x], a0[right], a1[x], a1[right])) continue;
        if (plane != nullptr) AddToPlane(plane + i, a0[x]);
        const uint32_t p = F::Load(s + static_cast<ptrdiff_t>(x) * n);
        uint32_t c[3];
        for (int k = 0; k < 3; ++k) c[k] = Z::Filter(Z::Filter(Z::Channel(p, k), 0, 0), 0, 0);
        uint8_t* out = d + i * n;
        F::Store(out, Z::Blend(F::Load(out), c, weightOf_[a0[x]]));
      }
    }
  }

  // The cached row for source row y (its alpha span known, nothing gathered yet when new),
  // keeping the row for `keep` when it is cached.
  Row& Fetch(int32_t y, int32_t keep) {
    for (Row& r : rows_)
      if (r.y == y) return r;
    Row& r = rows_[0].y == keep ? rows_[1] : rows_[0];
    r.y = y;
    r.span = SpanOf(srcAlpha_.Row(y), src_.width);
    r.begin = r.end = 0;
    return r;
  }

  // Gathers and filters the columns [i0, i1) of a row that are not done yet.
  void Ensure(Row& r, size_t i0, size_t i1, BlendPath path) {
    if (r.begin == r.end) {
      Compute(r, i0, i1, path);
      r.begin = i0;
      r.end = i1;
      return;
    }
    if (i0 < r.begin) {
      Compute(r, i0, r.begin, path);
      r.begin = i0;
    }
    if (i1 > r.end) {
      Compute(r, r.end, i1, path);
      r.end = i1;
    }
  }

  void Compute(Row& r, size_t i0, size_t i1, BlendPath path) {
    const uint8_t* pixels = src_.Row(r.y);
    const uint8_t* alpha = srcAlpha_.Row(r.y);
    for (size_t i = i0; i < i1; ++i) {
      Gather(&r.first[4 * i], pixels, alpha, columns_[i].first);
      Gather(&r.second[4 * i], pixels, alpha, columns_[i].second);
    }
    const size_t k0 = 4 * i0, k1 = 4 * i1;
    if constexpr (kBytes) {
      if (filterX_)
        FilterRowBytes(path, &r.filtered[k0], &r.first[k0], &r.second[k0], &weightsX_[k0], k1 - k0);
    } else {
      FilterRowFields(&r.filtered[k0], &r.first[k0], &r.second[k0], &weightsX_[k0], k1 - k0);
    }
  }

  static void Gather(E* out, const uint8_t* pixels, const uint8_t* alpha, int32_t x) {
    const uint32_t p = F::Load(pixels + static_cast<ptrdiff_t>(x) * n);
    if constexpr (kBytes) {
      // Bytes B, G, R then the alpha, in one store.
      const uint32_t sample = (p & 0xFFFFFF) | (uint32_t{alpha[x]} << 24);
      std::memcpy(out, &sample, 4);
    } else {
      for (int k = 0; k < 3; ++k) out[k] = static_cast<E>(Z::Channel(p, k));
      out[3] = alpha[x];
    }
  }

  const E* FilterY(const Row& top, const Row& bottom, uint32_t weight, size_t i0, size_t i1, BlendPath path) {
    const size_t k0 = 4 * i0, k1 = 4 * i1;
    if (kBytes && weight == 0) return top.Filtered();
    std::fill(&weightsY_[k0], &weightsY_[0] + k1, static_cast<E>(weight));
    if constexpr (kBytes)
      FilterRowBytes(path, &filteredY_[k0], top.Filtered() + k0, bottom.Filtered() + k0, &weightsY_[k0], k1 - k0);
    else
      FilterRowFields(&filteredY_[k0], &top.filtered[k0], &bottom.filtered[k0], &weightsY_[k0], k1 - k0);
    return filteredY_.data();
  }

  // A filter step over a row of the 16-bit formats' elements (c0, c1, c2, alpha per column):
  // every element first takes the fields' arithmetic in one loop without branches, which the
  // compiler vectorises, then every fourth one, the alpha, is redone with the product table.
  static void FilterRowFields(E* __restrict out, const E* __restrict a, const E* __restrict b,
                              const E* __restrict w, size_t count) {
    for (size_t k = 0; k < count; ++k) out[k] = static_cast<E>(Z::Filter(a[k], b[k], w[k]));
    for (size_t k = 3; k < count; k += 4) out[k] = static_cast<E>(FilterByte(a[k], b[k], w[k]));
  }

  PixelRows src_;
  AlphaRows srcAlpha_;
  ZoomMap m_;
  size_t width_;
  std::vector<Sample> columns_;
  std::vector<int32_t> firsts_;  // each column's top-left sample column, ascending
  std::vector<E> weightsX_;      // each column's weight, once per element
  bool filterX_ = true;
  Row rows_[2];
  std::vector<E> filteredY_;
  std::vector<E> weightsY_;
  std::vector<uint8_t> colour_;   // byte formats: the filtered row in the format
  std::vector<uint8_t> weights_;  // byte formats: the blend weight of each pixel
  uint8_t weightOf_[256];         // the blend weight of each filtered alpha
};

bool Usable(const ZoomMap& m, const PixelRows& src, const AlphaRows& srcAlpha) {
  return m.width > 0 && m.height > 0 && src.width > 0 && src.height > 0 && srcAlpha.width >= src.width &&
         srcAlpha.height >= src.height;
}

}  // namespace

void ZoomPixels(int32_t code, const PixelRows& dst, const PlaneRows& dstAlpha, const PixelRows& src,
                const AlphaRows& srcAlpha, const ZoomMap& map) {
  if (!Usable(map, src, srcAlpha)) return;
  WithFormat(code, [&]<class F>() { StagedZoom<F>(src, srcAlpha, map).Run(dst, dstAlpha); });
}

void ZoomPixelsReference(int32_t code, const PixelRows& dst, const PlaneRows& dstAlpha,
                         const PixelRows& src, const AlphaRows& srcAlpha, const ZoomMap& map) {
  if (!Usable(map, src, srcAlpha)) return;
  WithFormat(code, [&]<class F>() { ReferencePixels<F>(dst, dstAlpha, src, srcAlpha, map); });
}

void ShowPlanePixels(int32_t code, const PixelRows& dst, int32_t dx, int32_t dy, int32_t width,
                     int32_t height, const AlphaRows& plane, int32_t px, int32_t py) {
  WithFormat(code, [&]<class F>() {
    for (int32_t j = 0; j < height; ++j) {
      uint8_t* d = dst.Row(dy + j) + static_cast<ptrdiff_t>(dx) * F::kBytes;
      const uint8_t* v = plane.Row(py + j) + px;
      for (int32_t i = 0; i < width; ++i) F::Store(d + i * F::kBytes, F::Pack(v[i], v[i], v[i]));
    }
  });
}

}  // namespace zan
