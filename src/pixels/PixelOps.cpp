#include "pixels/PixelOps.h"

#include <cstring>
#include <vector>

namespace zan {
namespace {

uint32_t g_noiseState = 1;

// Visits each pixel pair (destination, source) of a clipped copy, rows in an order that keeps
// an overlapping copy within one view right: bottom-up when the destination lies below.
template <class F, class Visit>
void ForEachPixel(const PixelRows& dst, const PixelRows& src, const ClippedCopy& c, Visit visit) {
  const bool upward = dst.bits == src.bits && c.dy > c.sy;
  const bool backward = dst.bits == src.bits && c.dy == c.sy && c.dx > c.sx;
  for (int32_t i = 0; i < c.height; ++i) {
    const int32_t row = upward ? c.height - 1 - i : i;
    uint8_t* d = dst.Row(c.dy + row) + static_cast<ptrdiff_t>(c.dx) * F::kBytes;
    const uint8_t* s = src.Row(c.sy + row) + static_cast<ptrdiff_t>(c.sx) * F::kBytes;
    for (int32_t j = 0; j < c.width; ++j) {
      const int32_t col = backward ? c.width - 1 - j : j;
      visit(d + col * F::kBytes, s + col * F::kBytes);
    }
  }
}

}  // namespace

uint32_t PackColour(int32_t code, Rgb colour) {
  uint32_t packed = 0;
  WithFormat(code, [&]<class F>() { packed = F::Pack(colour.r, colour.g, colour.b); });
  return packed;
}

void FillPixels(int32_t code, const PixelRows& dst, const ClippedCopy& rect, Rgb colour) {
  WithFormat(code, [&]<class F>() {
    const typename F::Pixel p = F::Pack(colour.r, colour.g, colour.b);
    uint8_t first[4];
    F::Store(first, p);
    // The first row pixel by pixel, the others copied from it.
    const size_t bytes = static_cast<size_t>(rect.width) * F::kBytes;
    const uint8_t* top = dst.Row(rect.dy) + static_cast<ptrdiff_t>(rect.dx) * F::kBytes;
    for (int32_t y = 0; y < rect.height; ++y) {
      uint8_t* d = dst.Row(rect.dy + y) + static_cast<ptrdiff_t>(rect.dx) * F::kBytes;
      if (y == 0) {
        for (int32_t x = 0; x < rect.width; ++x) std::memcpy(d + x * F::kBytes, first, F::kBytes);
      } else {
        std::memcpy(d, top, bytes);
      }
    }
  });
}

void CopyPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c) {
  const int bytes = BytesPerPixel(code);
  if (bytes == 0) return;
  const bool upward = dst.bits == src.bits && c.dy > c.sy;
  for (int32_t i = 0; i < c.height; ++i) {
    const int32_t row = upward ? c.height - 1 - i : i;
    std::memmove(dst.Row(c.dy + row) + static_cast<ptrdiff_t>(c.dx) * bytes,
                 src.Row(c.sy + row) + static_cast<ptrdiff_t>(c.sx) * bytes,
                 static_cast<size_t>(c.width) * bytes);
  }
}

void KeyedCopyPixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c) {
  WithFormat(code, [&]<class F>() {
    ForEachPixel<F>(dst, src, c, [](uint8_t* d, const uint8_t* s) {
      const typename F::Pixel p = F::Load(s);
      if (!F::IsKey(p)) F::Store(d, p);
    });
  });
}

void KeyReplacePixels(int32_t code, const PixelRows& dst, const PixelRows& src, const ClippedCopy& c,
                      Rgb colour) {
  WithFormat(code, [&]<class F>() {
    const typename F::Pixel replacement = F::Pack(colour.r, colour.g, colour.b);
    ForEachPixel<F>(dst, src, c, [replacement](uint8_t* d, const uint8_t* s) {
      const typename F::Pixel p = F::Load(s);
      if (F::IsKey(p)) return;
      F::Store(d, F::IsMagenta(p) ? replacement : p);
    });
  });
}

void StretchPixels(int32_t code, const PixelRows& dst, const PixelBox& to, const PixelRows& src,
                   const PixelBox& from) {
  const int bytes = BytesPerPixel(code);
  if (bytes == 0 || to.width <= 0 || to.height <= 0 || from.width <= 0 || from.height <= 0) return;
  // Source steps in 16.16 fixed point; each destination pixel samples at its centre.
  const uint64_t stepX = (uint64_t{static_cast<uint32_t>(from.width)} << 16) / to.width;
  const uint64_t stepY = (uint64_t{static_cast<uint32_t>(from.height)} << 16) / to.height;
  // Within one view, stretch through a copy of the source box.
  std::vector<uint8_t> copy;
  PixelRows source = src;
  PixelBox box = from;
  if (dst.bits == src.bits) {
    copy.resize(static_cast<size_t>(from.width) * from.height * bytes);
    for (int32_t y = 0; y < from.height; ++y)
      std::memcpy(copy.data() + static_cast<size_t>(y) * from.width * bytes,
                  src.Row(from.y + y) + static_cast<ptrdiff_t>(from.x) * bytes,
                  static_cast<size_t>(from.width) * bytes);
    source = PixelRows{copy.data(), from.width * bytes, from.width, from.height};
    box.x = 0;
    box.y = 0;
  }
  // The source column of each destination column, as a byte offset, is the same on every row.
  std::vector<size_t> columns(static_cast<size_t>(to.width));
  for (int32_t x = 0; x < to.width; ++x)
    columns[static_cast<size_t>(x)] = ((stepX * static_cast<uint64_t>(x) + stepX / 2) >> 16) * bytes;
  // Pixels of a fixed size, so each is copied by one load and one store.
  auto rows = [&]<int N>() {
    for (int32_t y = 0; y < to.height; ++y) {
      const int32_t sy = box.y + static_cast<int32_t>((stepY * static_cast<uint64_t>(y) + stepY / 2) >> 16);
      const uint8_t* s = source.Row(sy) + static_cast<ptrdiff_t>(box.x) * N;
      uint8_t* d = dst.Row(to.y + y) + static_cast<ptrdiff_t>(to.x) * N;
      for (size_t x = 0; x < columns.size(); ++x) std::memcpy(d + x * N, s + columns[x], N);
    }
  };
  switch (bytes) {
    case 2: rows.template operator()<2>(); break;
    case 3: rows.template operator()<3>(); break;
    default: rows.template operator()<4>(); break;
  }
}

void ConvertPixels(int32_t dstCode, const PixelRows& dst, int32_t srcCode, const PixelRows& src) {
  WithFormat(dstCode, [&]<class D>() {
    WithFormat(srcCode, [&]<class S>() {
      for (int32_t y = 0; y < dst.height; ++y) {
        uint8_t* d = dst.Row(y);
        const uint8_t* s = src.Row(y);
        for (int32_t x = 0; x < dst.width; ++x) {
          const Rgb c = S::Unpack(S::Load(s + x * S::kBytes));
          D::Store(d + x * D::kBytes, D::Pack(c.r, c.g, c.b));
        }
      }
    });
  });
}

Rgb PixelColour(int32_t code, const PixelRows& view, int32_t x, int32_t y) {
  Rgb c;
  WithFormat(code, [&]<class F>() { c = F::Unpack(F::Load(view.Row(y) + x * F::kBytes)); });
  return c;
}

void InvertPixels(int32_t code, const PixelRows& view) {
  WithFormat(code, [&]<class F>() {
    for (int32_t y = 0; y < view.height; ++y) {
      uint8_t* d = view.Row(y);
      for (int32_t x = 0; x < view.width; ++x, d += F::kBytes) F::Store(d, F::Invert(F::Load(d)));
    }
  });
}

void MonoPixels(int32_t code, const PixelRows& view) {
  if (!IsDeviceFormat(code)) return;
  WithFormat(code, [&]<class F>() {
    for (int32_t y = 0; y < view.height; ++y) {
      uint8_t* d = view.Row(y);
      for (int32_t x = 0; x < view.width; ++x, d += F::kBytes) {
        const uint8_t grey = F::MonoGrey(F::Load(d));
        F::Store(d, F::Pack(grey, grey, grey));
      }
    }
  });
}

void NoisePixels(int32_t code, const PixelRows& view, const ClippedCopy& rect) {
  if (!IsDeviceFormat(code)) return;
  WithFormat(code, [&]<class F>() {
    for (int32_t y = 0; y < rect.height; ++y) {
      uint8_t* d = view.Row(rect.dy + y) + static_cast<ptrdiff_t>(rect.dx) * F::kBytes;
      for (int32_t x = 0; x + 1 < rect.width; x += 2) {
        g_noiseState = g_noiseState * 1103515245u + 12345u;
        const uint8_t v = static_cast<uint8_t>(g_noiseState >> 16);
        const typename F::Pixel p = F::Pack(v, v, v);
        F::Store(d + x * F::kBytes, p);
        F::Store(d + (x + 1) * F::kBytes, p);
      }
    }
  });
}

uint32_t NoiseState() { return g_noiseState; }
void SetNoiseState(uint32_t state) { g_noiseState = state; }

}  // namespace zan
