#include "message/GlyphKernels.h"

#include <algorithm>
#include <array>
#include <bit>

namespace zan {
namespace {

// Channel access of a format at its own depth (5, 6 or 8 bits), in the order red, green, blue.
template <class F>
struct Channels {
  using Pixel = typename F::Pixel;

  static constexpr int Depth(int ch) {
    if constexpr (F::kFields) return std::popcount(F::kMasks[ch]);
    else return 8;
  }
  static constexpr uint32_t Get(Pixel p, int ch) {
    if constexpr (F::kFields) return (p & F::kMasks[ch]) >> std::countr_zero(F::kMasks[ch]);
    else return F::ByteOf(p, 2 - ch);
  }
  static constexpr Pixel Make(const std::array<uint32_t, 3>& v) {
    if constexpr (F::kFields) {
      Pixel p = 0;
      for (int ch = 0; ch < 3; ++ch) p |= v[ch] << std::countr_zero(F::kMasks[ch]);
      return p;
    } else {
      return F::Pack(static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2]));
    }
  }
  // A field widened to 8 bits by shifting up (no replication).
  static constexpr uint32_t Widen(uint32_t v, int ch) { return v << (8 - Depth(ch)); }
  // An 8-bit colour reduced to the channel's depth by c x max / 255.
  static constexpr uint32_t Reduce(uint8_t c, int ch) { return c * ((1u << Depth(ch)) - 1) / 255u; }
  // The grey of the outline ring, per format.
  static constexpr std::array<uint32_t, 3> OutlineGrey() {
    switch (F::kCode) {
      case kFormat555: return {15, 15, 15};   // 0x3DEF
      case kFormat565: return {15, 31, 15};   // 0x7BEF
      case kFormat8888: return {170, 170, 170};  // 0xAAAAAA
      default: return {128, 128, 128};       // 888 and the bitmap
    }
  }
};

// The job's ink as a work map of 0 and 1 over the samples a box reads (the doubled box and
// two samples around it), copied once so that the kernels read plain bytes.
class InkMap {
 public:
  InkMap(const GlyphInk* ink, int32_t origin, int32_t x0, int32_t y0, int32_t width, int32_t height)
      : x0_(x0), y0_(y0), width_(width), height_(height) {
    thread_local std::vector<uint8_t> scratch;
    scratch.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    // The ink's rows, cut to this map and to the work map, copied whole.
    const int32_t left = std::max({x0, 0, origin + ink->left});
    const int32_t right = std::min({x0 + width, kGlyphWorkWidth, origin + ink->left + ink->width});
    const int32_t top = std::max({y0, 0, origin + ink->top});
    const int32_t bottom = std::min({y0 + height, kGlyphWorkHeight, origin + ink->top + ink->height});
    for (int32_t sy = top; sy < bottom && left < right; ++sy) {
      const uint8_t* from = ink->bits.data() +
                            static_cast<size_t>(sy - origin - ink->top) * static_cast<size_t>(ink->width) +
                            (left - origin - ink->left);
      std::copy(from, from + (right - left), scratch.begin() + (sy - y0) * width + (left - x0));
    }
    v_ = scratch.data();
  }
  int32_t operator()(int32_t x, int32_t y) const {
    x -= x0_;
    y -= y0_;
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width_) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height_))
      return 0;
    return v_[y * width_ + x];
  }

 private:
  int32_t x0_, y0_, width_, height_;
  const uint8_t* v_ = nullptr;
};

// The output pixels of a glyph box worth visiting: inside the surface, and near enough to
// the ink to be touched by it. `clipWidth` x `clipHeight` is the part of the box inside
// the surface (the outlined styles mark samples within it only).
struct Box {
  int32_t i0 = 0, j0 = 0, i1 = 0, j1 = 0;
  int32_t clipWidth = 0, clipHeight = 0;
  bool Empty() const { return i0 >= i1 || j0 >= j1; }
};

int32_t FloorDiv2(int32_t v) { return v >= 0 ? v / 2 : -((1 - v) / 2); }

// `origin` and `step` map output pixel i to sample origin + step x i; a pixel reads samples up
// to `reach` away from its own.
Box VisitBox(const GlyphJob& job, int32_t origin, int32_t step, int32_t reach) {
  Box box;
  if (job.x < 0 || job.y < 0 || job.ink == nullptr || job.ink->width <= 0 || job.ink->height <= 0)
    return box;
  box.clipWidth = std::clamp(job.pixels.width - job.x, 0, job.boxWidth);
  box.clipHeight = std::clamp(job.pixels.height - job.y, 0, job.boxHeight);
  const GlyphInk& ink = *job.ink;
  // Ink samples in work-map coordinates: [first, last].
  auto range = [&](int32_t inkStart, int32_t inkSize, int32_t clip, int32_t* lo, int32_t* hi) {
    const int32_t first = origin + inkStart - reach - origin;
    const int32_t last = origin + inkStart + inkSize - 1 + reach - origin;
    *lo = std::clamp(step == 1 ? first : -FloorDiv2(-first), 0, clip);
    *hi = std::clamp((step == 1 ? last : FloorDiv2(last)) + 1, 0, clip);
  };
  range(ink.left, ink.width, box.clipWidth, &box.i0, &box.i1);
  range(ink.top, ink.height, box.clipHeight, &box.j0, &box.j1);
  return box;
}

// The ink around the visited pixels of the doubled styles: their samples and three more on
// every side (the kernels' neighbours and the ring two samples out).
InkMap DoubledInk(const GlyphJob& job, const Box& box) {
  return InkMap(job.ink, 8, 8 + 2 * box.i0 - 3, 8 + 2 * box.j0 - 3, 2 * (box.i1 - box.i0) + 6,
                2 * (box.j1 - box.j0) + 6);
}

template <class F>
struct GlyphWriter {
  using C = Channels<F>;
  using Pixel = typename F::Pixel;
  const GlyphJob& job;

  uint8_t* PixelAt(int32_t i, int32_t j) const {
    return job.pixels.Row(job.y + j) + static_cast<ptrdiff_t>(job.x + i) * F::kBytes;
  }
  uint8_t* MaskAt(int32_t i, int32_t j) const {
    if (job.mask == nullptr || job.opaque) return nullptr;
    return job.mask + static_cast<ptrdiff_t>(job.y + j) * job.pixels.width + job.x + i;
  }
  // Replaces the pixel; the mask becomes opaque.
  void Put(int32_t i, int32_t j, Pixel p) const {
    F::Store(PixelAt(i, j), p);
    if (uint8_t* m = MaskAt(i, j)) *m = 255;
  }
  // Source over destination with coverage q (1..255), the mask as the destination's opacity.
  void Over(int32_t i, int32_t j, uint32_t q, const std::array<uint32_t, 3>& source) const {
    uint8_t* m = MaskAt(i, j);
    const uint32_t d = job.opaque ? 255u : (m ? *m : 0u);
    const uint32_t k = d * (255u - q) / 255u;
    const uint32_t a = q + k;
    const Pixel p = F::Load(PixelAt(i, j));
    std::array<uint32_t, 3> out{};
    for (int ch = 0; ch < 3; ++ch) {
      const uint32_t c = (C::Widen(C::Get(p, ch), ch) * k + source[ch] * q) / a;
      out[ch] = c >> (8 - C::Depth(ch));
    }
    F::Store(PixelAt(i, j), C::Make(out));
    if (m) *m = static_cast<uint8_t>(a);
  }
};

template <class F>
void Plain(const GlyphJob& job) {
  const GlyphWriter<F> w{job};
  const Box box = VisitBox(job, 4, 1, 0);
  if (box.Empty()) return;
  const InkMap ink(job.ink, 4, 4 + box.i0, 4 + box.j0, box.i1 - box.i0, box.j1 - box.j0);
  const auto colour = F::Pack(job.colour.r, job.colour.g, job.colour.b);
  for (int32_t j = box.j0; j < box.j1; ++j)
    for (int32_t i = box.i0; i < box.i1; ++i)
      if (ink(4 + i, 4 + j)) w.Put(i, j, colour);
}

template <class F, bool EightLevels>
void Smooth(const GlyphJob& job) {
  using C = Channels<F>;
  const GlyphWriter<F> w{job};
  // A pixel reads the ink one sample away.
  const Box box = VisitBox(job, 8, 2, 1);
  if (box.Empty()) return;
  const InkMap ink = DoubledInk(job, box);
  const std::array<uint32_t, 3> text{job.colour.r, job.colour.g, job.colour.b};
  for (int32_t j = box.j0; j < box.j1; ++j) {
    for (int32_t i = box.i0; i < box.i1; ++i) {
      const int32_t sx = 8 + 2 * i, sy = 8 + 2 * j;
      if constexpr (EightLevels) {
        const int32_t level = Coverage8(ink, sx, sy);
        if (level != 0) w.Over(i, j, static_cast<uint32_t>(level) * 255u >> 3, text);
        continue;
      }
      const int32_t s = Coverage16(ink, sx, sy);
      if (s == 0) continue;
      if (!job.opaque) {
        w.Over(i, j, static_cast<uint32_t>(s) * 255u >> 4, text);
        continue;
      }
      // Onto an opaque surface: each field moves toward the text colour by s / 16.
      const auto p = F::Load(w.PixelAt(i, j));
      std::array<uint32_t, 3> out{};
      for (int ch = 0; ch < 3; ++ch) {
        const uint32_t t = uint32_t{text[ch]} >> (8 - C::Depth(ch));
        out[ch] = (C::Get(p, ch) * static_cast<uint32_t>(16 - s) + t * static_cast<uint32_t>(s)) >> 4;
      }
      F::Store(w.PixelAt(i, j), C::Make(out));
    }
  }
}

// The double-size mark map of the outlined styles around the visited pixels: samples
// [x0, x0 + width) x [y0, y0 + height). Only samples inside the (clipped) glyph box are
// marked; any other reads as unmarked.
struct MarkMap {
  int32_t x0 = 0, y0 = 0, width = 0, height = 0;
  std::vector<GlyphSample> kinds;
  GlyphSample At(int32_t sx, int32_t sy) const {
    const int32_t x = sx - x0, y = sy - y0;
    if (static_cast<uint32_t>(x) >= static_cast<uint32_t>(width) ||
        static_cast<uint32_t>(y) >= static_cast<uint32_t>(height))
      return GlyphSample::kNone;
    return kinds[static_cast<size_t>(y * width + x)];
  }
  int32_t Marked(int32_t sx, int32_t sy) const { return At(sx, sy) != GlyphSample::kNone ? 1 : 0; }
};

MarkMap BuildMarks(const InkMap& ink, const Box& box, bool ring) {
  MarkMap marks;
  // A pixel reads its 2 x 2 block and the samples one further out.
  marks.x0 = 8 + 2 * box.i0 - 1;
  marks.y0 = 8 + 2 * box.j0 - 1;
  marks.width = 2 * (box.i1 - box.i0) + 2;
  marks.height = 2 * (box.j1 - box.j0) + 2;
  marks.kinds.assign(static_cast<size_t>(marks.width) * static_cast<size_t>(marks.height),
                     GlyphSample::kNone);
  const int32_t xEnd = std::min(marks.x0 + marks.width, 8 + 2 * box.clipWidth);
  const int32_t yEnd = std::min(marks.y0 + marks.height, 8 + 2 * box.clipHeight);
  for (int32_t sy = std::max(marks.y0, 8); sy < yEnd; ++sy) {
    for (int32_t sx = std::max(marks.x0, 8); sx < xEnd; ++sx) {
      GlyphSample kind = GlyphSample::kNone;
      if (ink(sx, sy)) {
        kind = GlyphSample::kInk;
      } else if (ink(sx, sy - 1) | ink(sx, sy + 1) | ink(sx + 1, sy) | ink(sx - 1, sy)) {
        kind = GlyphSample::kOutline;
      } else if (ring && (ink(sx, sy - 2) | ink(sx, sy + 2) | ink(sx + 2, sy) | ink(sx - 2, sy))) {
        kind = GlyphSample::kRing;
      }
      marks.kinds[static_cast<size_t>((sy - marks.y0) * marks.width + (sx - marks.x0))] = kind;
    }
  }
  return marks;
}

template <class F, bool Smoothed>
void Outlined(const GlyphJob& job) {
  using C = Channels<F>;
  const GlyphWriter<F> w{job};
  // A pixel reads marks one sample away, and a mark reads ink two samples away.
  const Box box = VisitBox(job, 8, 2, 3);
  if (box.Empty()) return;
  const InkMap ink = DoubledInk(job, box);
  const MarkMap marks = BuildMarks(ink, box, Smoothed);
  const std::array<uint32_t, 3> text{C::Reduce(job.colour.r, 0), C::Reduce(job.colour.g, 1),
                                     C::Reduce(job.colour.b, 2)};
  constexpr std::array<uint32_t, 3> grey = C::OutlineGrey();
  // The mean of the four double-size colours of the pixel's 2 x 2 block, at channel depth.
  auto average = [&](int32_t sx, int32_t sy) {
    std::array<uint32_t, 3> sum{};
    for (int32_t dy = 0; dy < 2; ++dy) {
      for (int32_t dx = 0; dx < 2; ++dx) {
        const GlyphSample kind = marks.At(sx + dx, sy + dy);
        const std::array<uint32_t, 3>* colour = kind == GlyphSample::kInk       ? &text
                                                : kind == GlyphSample::kOutline ? &grey
                                                                                : nullptr;
        if (colour == nullptr) continue;
        for (int ch = 0; ch < 3; ++ch) sum[ch] += (*colour)[ch];
      }
    }
    for (uint32_t& v : sum) v >>= 2;
    return sum;
  };
  const auto marked = [&](int32_t x, int32_t y) { return marks.Marked(x, y); };
  for (int32_t j = box.j0; j < box.j1; ++j) {
    for (int32_t i = box.i0; i < box.i1; ++i) {
      const int32_t sx = 8 + 2 * i, sy = 8 + 2 * j;
      if constexpr (!Smoothed) {
        if (marks.Marked(sx, sy)) w.Put(i, j, C::Make(average(sx, sy)));
      } else {
        const int32_t level = Coverage8(marked, sx, sy);
        if (level == 0) continue;
        std::array<uint32_t, 3> source = average(sx, sy);
        for (int ch = 0; ch < 3; ++ch) source[ch] = C::Widen(source[ch], ch);
        w.Over(i, j, static_cast<uint32_t>(level) * 255u >> 3, source);
      }
    }
  }
}

}  // namespace

void DrawGlyph(int32_t code, int32_t style, const GlyphJob& job) {
  if (job.ink == nullptr || !job.pixels) return;
  WithFormat(code, [&]<class F>() {
    switch (style) {
      case kGlyphPlain: Plain<F>(job); break;
      // The bitmap has no 16-level routine: its smooth style weighs with the 8-level kernel.
      case kGlyphSmooth: Smooth<F, F::kCode == kFormatBitmap>(job); break;
      case kGlyphOutlined: Outlined<F, false>(job); break;
      case kGlyphOutlinedSmooth: Outlined<F, true>(job); break;
      default: break;
    }
  });
}

}  // namespace zan
