// The SIMD row kernels against the plain ones, bit for bit.

#include "pixels/BlendKernels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "pixels/BlendTables.h"
#include "pixels/PixelFormat.h"

namespace zan {
namespace {

TEST(BlendTablesTest, TheTableBlendEndsExactlyAtBothPictures) {
  for (int v = 0; v < 256; ++v) {
    for (int a = 0; a < 256; ++a) {
      ASSERT_EQ(kBlendTables.product[v][a], a * v / 255);
      ASSERT_EQ(kBlendTables.complement[v][a] + kBlendTables.product[v][a], v);
    }
    EXPECT_EQ(kBlendTables.product[255][v], v);  // row 255 is the identity
    EXPECT_EQ(TableBlend(static_cast<uint8_t>(v), 17, 0), v);
    EXPECT_EQ(TableBlend(17, static_cast<uint8_t>(v), 255), v);
  }
}

// Weights with runs of the end values, so the whole-group shortcuts are taken too.
template <class W>
std::vector<W> Weights(std::mt19937& rng, size_t n, uint32_t top) {
  std::vector<W> w(n);
  for (size_t i = 0; i < n;) {
    const uint32_t kind = rng() % 4;
    const size_t run = 1 + rng() % 20;
    for (size_t k = 0; k < run && i < n; ++k, ++i)
      w[i] = static_cast<W>(kind == 0 ? 0 : kind == 1 ? top : rng() % (top + 1));
  }
  return w;
}

std::vector<uint8_t> Bytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

template <class F>
void CompareBytes(BlendPath path, std::mt19937& rng, size_t pixels, bool inPlace) {
  const size_t n = pixels * F::kBytes;
  auto x = Bytes(rng, n), y = Bytes(rng, n);
  auto w = Weights<uint8_t>(rng, pixels, 255);
  std::vector<uint8_t> plain = x, fast = x;
  std::vector<uint8_t> out(n);
  TowardRowBytes<F>(BlendPath::kPlain, plain.data(), x.data(), y.data(), w.data(), pixels);
  if (inPlace) {
    TowardRowBytes<F>(path, fast.data(), fast.data(), y.data(), w.data(), pixels);
  } else {
    TowardRowBytes<F>(path, out.data(), x.data(), y.data(), w.data(), pixels);
    fast = out;
  }
  ASSERT_EQ(fast, plain) << "format " << F::kCode << ", " << pixels << " pixels, path "
                         << static_cast<int>(path);
}

template <class F>
void CompareFields(BlendPath path, std::mt19937& rng, size_t pixels, uint32_t total, bool inPlace) {
  const size_t n = pixels * 2;
  auto x = Bytes(rng, n), y = Bytes(rng, n);
  auto w = Weights<uint16_t>(rng, pixels, total == 256 ? 256 : 254);
  std::vector<uint8_t> plain(n), fast = x;
  WeighRow16<F>(BlendPath::kPlain, plain.data(), x.data(), y.data(), w.data(), total, pixels);
  if (inPlace) {
    WeighRow16<F>(path, fast.data(), fast.data(), y.data(), w.data(), total, pixels);
  } else {
    std::vector<uint8_t> out(n);
    WeighRow16<F>(path, out.data(), x.data(), y.data(), w.data(), total, pixels);
    fast = out;
  }
  ASSERT_EQ(fast, plain) << "format " << F::kCode << ", " << pixels << " pixels, total " << total
                         << ", path " << static_cast<int>(path);
}

// The SIMD paths this processor runs.
std::vector<BlendPath> SimdPaths() {
  std::vector<BlendPath> paths;
  for (BlendPath p : {BlendPath::kSse2, BlendPath::kAvx2})
    if (p <= BestBlendPath()) paths.push_back(p);
  return paths;
}

TEST(BlendKernelsTest, SimdRowsEqualPlainRowsInEveryFormat) {
  std::mt19937 rng(1234);
  for (BlendPath path : SimdPaths()) {
    for (size_t pixels : {0, 1, 3, 4, 7, 8, 15, 16, 17, 31, 32, 33, 63, 64, 65, 129, 800}) {
      for (bool inPlace : {false, true}) {
        CompareBytes<Format888>(path, rng, pixels, inPlace);
        CompareBytes<Format8888>(path, rng, pixels, inPlace);
        CompareBytes<FormatBitmap>(path, rng, pixels, inPlace);
        for (uint32_t total : {256u, 255u}) {
          CompareFields<Format565>(path, rng, pixels, total, inPlace);
          CompareFields<Format555>(path, rng, pixels, total, inPlace);
        }
      }
    }
  }
}

TEST(BlendKernelsTest, TheSimdByteBlendIsTheTableBlendForEveryByteAndWeight) {
  // Every (x, y) pair at every weight: 65536 pixels of four equal bytes per weight.
  std::vector<uint8_t> x(65536 * 4), y(65536 * 4), out(65536 * 4);
  for (uint32_t i = 0; i < 65536; ++i) {
    std::fill_n(&x[4 * i], 4, static_cast<uint8_t>(i));
    std::fill_n(&y[4 * i], 4, static_cast<uint8_t>(i >> 8));
  }
  std::vector<uint8_t> w(65536);
  for (uint32_t a = 0; a < 256; ++a) {
    std::fill(w.begin(), w.end(), static_cast<uint8_t>(a));
    for (BlendPath path : SimdPaths()) {
      TowardRowBytes<Format8888>(path, out.data(), x.data(), y.data(), w.data(), 65536);
      for (uint32_t i = 0; i < 65536; ++i)
        ASSERT_EQ(out[4 * i], TableBlend(x[4 * i], y[4 * i], static_cast<uint8_t>(a)))
            << "x " << (i & 255) << " y " << (i >> 8) << " a " << a << " path " << static_cast<int>(path);
    }
  }
}

}  // namespace
}  // namespace zan
