#include "pixels/ZoomPixels.h"

#include <algorithm>
#include <array>
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

// The same, only where the gate byte is not 0.
void RaisePlaneWhere(uint8_t* __restrict plane, const uint8_t* __restrict alpha, const uint8_t* __restrict gate,
                     size_t count) {
  for (size_t i = 0; i < count; ++i) AddToPlane(plane + i, gate[i] != 0 ? alpha[i] : 0);
}

inline uint32_t LoadSample(const uint8_t* samples, size_t i) {
  uint32_t v;
  std::memcpy(&v, samples + 4 * i, 4);
  return v;
}

// The fourth byte of each 4-byte sample (loops the compiler vectorises: whole samples read,
// no branch).
void AlphaBytes(uint8_t* __restrict out, const uint8_t* __restrict samples, size_t count) {
  for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>(LoadSample(samples, i) >> 24);
}

// The same, 0 where the gate sample's fourth byte is 0.
void AlphaWeights(uint8_t* __restrict out, const uint8_t* __restrict samples, const uint8_t* __restrict gate,
                  size_t count) {
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>((LoadSample(samples, i) >> 24) & (LoadSample(gate, i) > 0xFFFFFF ? 0xFF : 0));
}

void OrRows(uint8_t* __restrict out, const uint8_t* __restrict a, const uint8_t* __restrict b, size_t count) {
  for (size_t i = 0; i < count; ++i) out[i] = a[i] | b[i];
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
// weight is 0 and every pixel is left alone. The filter steps and the blend are SIMD row
// kernels. In the byte formats a filter step whose weights are all 0 is the identity, so it
// is skipped, and a copy at natural size reads the source rows directly; the 16-bit formats'
// steps round and so always run, on the fields kept in place in planes of their own.
template <class F>
class StagedZoom {
  using Z = ZoomFormat<F>;
  static constexpr bool kBytes = !F::kFields;
  static constexpr int n = F::kBytes;

  // A row of samples of the 16-bit formats: each field in place, and the alpha bytes.
  struct FieldPlanes {
    std::vector<uint16_t> field[3];
    std::vector<uint8_t> alpha;
    void Resize(size_t size) {
      for (auto& f : field) f.resize(size);
      alpha.resize(size);
    }
    // The three field planes from column i.
    std::array<uint16_t*, 3> At(size_t i) { return {&field[0][i], &field[1][i], &field[2][i]}; }
  };
  // A row of samples of the byte formats: bytes B, G, R, alpha per column.
  using Samples = std::conditional_t<kBytes, std::vector<uint8_t>, FieldPlanes>;

 public:
  StagedZoom(const PixelRows& src, const AlphaRows& srcAlpha, const ZoomMap& m)
      : src_(src), srcAlpha_(srcAlpha), m_(m), width_(static_cast<size_t>(m.width)) {
    columns_.resize(width_);
    firsts_.resize(width_);
    seconds_.resize(width_);
    for (size_t i = 0; i < width_; ++i) {
      columns_[i] = SampleAt(m.baseX, static_cast<int64_t>(i), m.stepX, src.width);
      firsts_[i] = columns_[i].first;
      seconds_[i] = columns_[i].second;
    }
    weights_.resize(width_);
    if constexpr (kBytes) {
      weightsX_.resize(4 * width_);
      for (size_t i = 0; i < width_; ++i) std::fill_n(&weightsX_[4 * i], 4, static_cast<uint8_t>(columns_[i].weight));
      // A step that is a whole number of pixels leaves every weight along x at 0.
      filterX_ = (m.stepX & 0xFFFF) != 0;
      for (Row& r : rows_) {
        r.first.resize(4 * width_);
        if (filterX_) r.filtered.resize(4 * width_);
      }
      filteredY_.resize(4 * width_);
      weightsY_.resize(4 * width_);
      colour_.resize(width_ * n);
    } else {
      weightsX_.resize(width_);
      fieldWeightsX_.resize(width_);
      for (size_t i = 0; i < width_; ++i) {
        weightsX_[i] = static_cast<uint8_t>(columns_[i].weight);
        fieldWeightsX_[i] = static_cast<uint16_t>(columns_[i].weight);
      }
      // Whole-pixel steps from inside the picture read consecutive columns.
      consecutive_ = m.stepX == 0x10000 && m.baseX >= 0 && m.baseX + m.width <= src.width;
      for (Row& r : rows_) {
        r.first.Resize(width_);
        r.second.Resize(width_);
        r.filtered.Resize(width_);
        r.either.resize(width_);
      }
      filteredY_.Resize(width_);
      weightsY_.resize(width_);
      fieldWeightsY_.resize(width_);
      gate_.resize(width_);
    }
  }

  void Run(const PixelRows& dst, const PlaneRows& dstAlpha) {
    const BlendPath path = CurrentBlendPath();
    if constexpr (kBytes) {
      if (m_.stepX == 0x10000 && m_.stepY == 0x10000 && m_.baseX + m_.width <= src_.width &&
          m_.baseY + m_.height <= src_.height)
        return RunNatural(dst, dstAlpha, path);
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
      uint8_t* d = dst.Row(m_.dy + j) + static_cast<ptrdiff_t>(m_.dx) * n;
      uint8_t* plane = m_.kind == ZoomKind::kAlpha ? dstAlpha.Row(m_.dy + j) + m_.dx : nullptr;
      if constexpr (kBytes) {
        BlendBytes(d, plane, top.first.data(), FilterY(top, bottom, sy.weight, i0, i1, path), i0, i1, path);
      } else {
        BlendFields(d, plane, top, bottom, sy.weight, i0, i1, path);
      }
    }
  }

 private:
  struct Row {
    int32_t y = -1;
    AlphaSpan span;
    size_t begin = 0;  // the columns gathered and filtered so far: [begin, end)
    size_t end = 0;
    Samples first;     // the top-left samples of each column
    Samples second;    // their right neighbours (16-bit formats; the byte formats' go to `filtered`)
    Samples filtered;  // filtered along x (the byte formats without x weights: `first`)
    std::vector<uint8_t> either;  // 16-bit formats: first | second alpha, per column
    const uint8_t* Filtered() const { return filtered.empty() ? first.data() : filtered.data(); }
  };

  // The byte formats' blend of a filtered row: its colours in the format, a weight per pixel
  // (0 leaves a pixel as it is, so no pixel needs a skip test of its own), then the row
  // kernel. Per-pixel alpha leaves pixels whose top-left sample is transparent.
  void BlendBytes(uint8_t* d, uint8_t* plane, const uint8_t* topLeft, const uint8_t* v, size_t i0, size_t i1,
                  BlendPath path) {
    uint8_t* weights = weights_.data();
    const size_t count = i1 - i0;
    if (plane != nullptr) {
      // Per-pixel alpha weighs by the filtered alpha itself.
      AlphaWeights(weights + i0, v + 4 * i0, topLeft + 4 * i0, count);
    } else {
      AlphaBytes(weights + i0, v + 4 * i0, count);
      WeightRow<uint8_t>(path, weights + i0, weights + i0, m_.opacity + 1u, count);
    }
    if (plane != nullptr) RaisePlane(plane + i0, weights + i0, count);
    // 4-byte pixels blend toward the samples themselves, their alpha byte taken as 0.
    const uint8_t* colour = v + 4 * i0;
    if constexpr (n == 3) {
      for (size_t i = i0; i < i1; ++i) std::memcpy(&colour_[3 * i], v + 4 * i, 3);
      colour = &colour_[3 * i0];
    }
    TowardRowBytes<F>(path, d + i0 * n, d + i0 * n, colour, weights + i0, count, true);
  }

  // The 16-bit formats' filter along y and blend of columns [i0, i1). The gate of a pixel is
  // its top-left alpha sample where per-pixel alpha skips on that one, else the four samples
  // together; a pixel whose gate is 0 is left alone and draws nothing into the plane.
  void BlendFields(uint8_t* d, uint8_t* plane, const Row& top, const Row& bottom, uint32_t weight, size_t i0,
                   size_t i1, BlendPath path) {
    const size_t count = i1 - i0;
    std::fill(&fieldWeightsY_[i0], &fieldWeightsY_[0] + i1, static_cast<uint16_t>(weight));
    std::fill(&weightsY_[i0], &weightsY_[0] + i1, static_cast<uint8_t>(weight));
    for (int k = 0; k < 3; ++k)
      FilterRowFields(path, &filteredY_.field[k][i0], &top.filtered.field[k][i0], &bottom.filtered.field[k][i0],
                      &fieldWeightsY_[i0], Z::kRound, count);
    FilterRowBytes(path, &filteredY_.alpha[i0], &top.filtered.alpha[i0], &bottom.filtered.alpha[i0],
                   &weightsY_[i0], count);
    const uint8_t* alpha = &filteredY_.alpha[i0];
    const uint8_t* gate = &gate_[i0];
    if (m_.kind == ZoomKind::kAlpha && !Z::kAlphaSkipsOnAllFour) {
      gate = &top.first.alpha[i0];
    } else {
      OrRows(&gate_[i0], &top.either[i0], &bottom.either[i0], count);
    }
    const uint8_t* w = alpha;
    if (m_.kind == ZoomKind::kBlend) {
      WeightRow<uint8_t>(path, &weights_[i0], alpha, m_.opacity + 1u, count);
      w = &weights_[i0];
    }
    if (plane != nullptr) RaisePlaneWhere(plane + i0, alpha, gate, count);
    const std::array<uint16_t*, 3> c = filteredY_.At(i0);
    TowardRowFields<F>(path, d + i0 * n, c.data(), w, gate, Z::kRound, count);
  }

  // At natural size every weight is 0: the filtered colour and alpha are the top-left
  // sample's, so the blend reads the source row itself.
  void RunNatural(const PixelRows& dst, const PlaneRows& dstAlpha, BlendPath path) {
    for (int32_t j = 0; j < m_.height; ++j) {
      const uint8_t* s = src_.Row(static_cast<int32_t>(m_.baseY) + j) + m_.baseX * n;
      const uint8_t* a = srcAlpha_.Row(static_cast<int32_t>(m_.baseY) + j) + m_.baseX;
      uint8_t* d = dst.Row(m_.dy + j) + static_cast<ptrdiff_t>(m_.dx) * n;
      // Per-pixel alpha weighs by the alpha itself.
      const uint8_t* weights = a;
      if (m_.kind == ZoomKind::kBlend) {
        WeightRow<uint8_t>(path, weights_.data(), a, m_.opacity + 1u, width_);
        weights = weights_.data();
      }
      if (m_.kind == ZoomKind::kAlpha) RaisePlane(dstAlpha.Row(m_.dy + j) + m_.dx, a, width_);
      // The fourth byte of the filtered colour is 0.
      TowardRowBytes<F>(path, d, d, s, weights, width_, true);
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
    if constexpr (kBytes) {
      const size_t k0 = 4 * i0, k1 = 4 * i1;
      GatherSamples<F>(path, &r.first[k0], pixels, alpha, &firsts_[i0], i1 - i0, src_.width);
      // The right neighbours are gathered where their filtered samples go.
      if (filterX_) {
        GatherSamples<F>(path, &r.filtered[k0], pixels, alpha, &seconds_[i0], i1 - i0, src_.width);
        FilterRowBytes(path, &r.filtered[k0], &r.first[k0], &r.filtered[k0], &weightsX_[k0], k1 - k0);
      }
    } else {
      const size_t count = i1 - i0;
      if (consecutive_) {
        // Column i reads x = baseX + i and its right neighbour, which only the last column
        // of the picture clamps.
        const size_t x0 = static_cast<size_t>(m_.baseX) + i0;
        const size_t last = static_cast<size_t>(src_.width) - 1;
        SplitFields<F>(path, r.first.At(i0).data(), pixels + n * x0, count);
        std::memcpy(&r.first.alpha[i0], alpha + x0, count);
        const size_t inside = std::min(count, last - x0);
        SplitFields<F>(path, r.second.At(i0).data(), pixels + n * (x0 + 1), inside);
        std::memcpy(&r.second.alpha[i0], alpha + x0 + 1, inside);
        for (size_t i = i0 + inside; i < i1; ++i) GatherFields(r.second, i, pixels, alpha, columns_[i].second);
      } else {
        for (size_t i = i0; i < i1; ++i) {
          GatherFields(r.first, i, pixels, alpha, columns_[i].first);
          GatherFields(r.second, i, pixels, alpha, columns_[i].second);
        }
      }
      OrRows(&r.either[i0], &r.first.alpha[i0], &r.second.alpha[i0], count);
      for (int k = 0; k < 3; ++k)
        FilterRowFields(path, &r.filtered.field[k][i0], &r.first.field[k][i0], &r.second.field[k][i0],
                        &fieldWeightsX_[i0], Z::kRound, count);
      FilterRowBytes(path, &r.filtered.alpha[i0], &r.first.alpha[i0], &r.second.alpha[i0], &weightsX_[i0], count);
    }
  }

  static void GatherFields(FieldPlanes& out, size_t i, const uint8_t* pixels, const uint8_t* alpha, int32_t x) {
    const uint32_t p = F::Load(pixels + static_cast<ptrdiff_t>(x) * n);
    for (int k = 0; k < 3; ++k) out.field[k][i] = static_cast<uint16_t>(Z::Channel(p, k));
    out.alpha[i] = alpha[x];
  }

  const uint8_t* FilterY(const Row& top, const Row& bottom, uint32_t weight, size_t i0, size_t i1, BlendPath path) {
    if (weight == 0) return top.Filtered();
    const size_t k0 = 4 * i0, k1 = 4 * i1;
    std::fill(&weightsY_[k0], &weightsY_[0] + k1, static_cast<uint8_t>(weight));
    FilterRowBytes(path, &filteredY_[k0], top.Filtered() + k0, bottom.Filtered() + k0, &weightsY_[k0], k1 - k0);
    return filteredY_.data();
  }

  PixelRows src_;
  AlphaRows srcAlpha_;
  ZoomMap m_;
  size_t width_;
  std::vector<Sample> columns_;
  std::vector<int32_t> firsts_;    // each column's top-left sample column, ascending
  std::vector<int32_t> seconds_;   // and its right neighbour
  std::vector<uint8_t> weightsX_;  // each column's weight (the byte formats: once per byte)
  bool filterX_ = true;            // byte formats
  bool consecutive_ = false;       // 16-bit formats
  Row rows_[2];
  Samples filteredY_;
  std::vector<uint8_t> weightsY_;
  std::vector<uint8_t> weights_;  // the blend weight of each pixel
  // The 16-bit formats: the weights as 16-bit elements, and the gate of each pixel.
  std::vector<uint16_t> fieldWeightsX_;
  std::vector<uint16_t> fieldWeightsY_;
  std::vector<uint8_t> gate_;
  // The byte formats: the filtered row in 3-byte pixels.
  std::vector<uint8_t> colour_;
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
