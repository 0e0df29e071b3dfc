// The row kernels: the SIMD ones against the plain ones bit for bit, and every path against
// the formulas, over random rows, the end values and odd lengths.

#include "pixels/BlendKernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "PathTest.h"

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

using SimdRowsTest = test::PathTest;

TEST_P(SimdRowsTest, EqualPlainRowsInEveryFormat) {
  std::mt19937 rng(1234);
  const BlendPath path = Path();
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

TEST_P(SimdRowsTest, TheByteBlendIsTheTableBlendForEveryByteAndWeight) {
  // Every (x, y) pair at every weight: 65536 pixels of four equal bytes per weight.
  std::vector<uint8_t> x(65536 * 4), y(65536 * 4), out(65536 * 4);
  for (uint32_t i = 0; i < 65536; ++i) {
    std::fill_n(&x[4 * i], 4, static_cast<uint8_t>(i));
    std::fill_n(&y[4 * i], 4, static_cast<uint8_t>(i >> 8));
  }
  std::vector<uint8_t> w(65536);
  for (uint32_t a = 0; a < 256; ++a) {
    std::fill(w.begin(), w.end(), static_cast<uint8_t>(a));
    TowardRowBytes<Format8888>(Path(), out.data(), x.data(), y.data(), w.data(), 65536);
    for (uint32_t i = 0; i < 65536; ++i)
      ASSERT_EQ(out[4 * i], TableBlend(x[4 * i], y[4 * i], static_cast<uint8_t>(a)))
          << "x " << (i & 255) << " y " << (i >> 8) << " a " << a;
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, SimdRowsTest, test::SimdPaths(), test::PathParamName);

// The kernels of the weights and of the 16-bit scaled copies, on every path, against their
// formulas written out here.
using RowKernelsTest = test::PathTest;

// Lengths that leave tails after whole SSE2 (8-pixel) and AVX2 (16-pixel) groups.
constexpr size_t kLengths[] = {0, 1, 5, 8, 9, 15, 16, 17, 23, 31, 32, 33, 47, 100, 801};

TEST_P(RowKernelsTest, WeightsFromAlphaAndOpacityFollowTheFormulaForEveryPair) {
  // Every alpha byte, three times over so the groups straddle the row; every opacity 0..256.
  std::vector<uint8_t> a(256 * 3 + 5);
  for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<uint8_t>(i * 7);
  std::vector<uint8_t> bytes(a.size());
  std::vector<uint16_t> words(a.size());
  for (uint32_t o = 0; o <= 256; ++o) {
    WeightRow<uint8_t>(Path(), bytes.data(), a.data(), o, a.size());
    WeightRow<uint16_t>(Path(), words.data(), a.data(), o, a.size());
    for (size_t i = 0; i < a.size(); ++i) {
      const uint32_t widened = a[i] == 0 ? 0 : a[i] + 1u;
      const uint32_t e = o * widened / 256;
      ASSERT_EQ(bytes[i], std::min(e, 255u)) << "alpha " << int{a[i]} << " opacity " << o;
      ASSERT_EQ(words[i], e) << "alpha " << int{a[i]} << " opacity " << o;
    }
  }
}

TEST_P(RowKernelsTest, TheFieldFilterStepFollowsTheFormulaOverTheWholeWordRange) {
  std::mt19937 rng(77);
  for (uint32_t round : {0u, 255u}) {
    for (size_t count : kLengths) {
      std::vector<uint16_t> a(count), b(count), w(count), out(count + 1, 0xABCD);
      for (size_t i = 0; i < count; ++i) {
        // The extremes of the words and of the weights as well as random ones.
        const uint32_t kind = rng() % 4;
        a[i] = static_cast<uint16_t>(kind == 0 ? 0xFFFF : kind == 1 ? 0 : rng());
        b[i] = static_cast<uint16_t>(kind == 2 ? 0xFFFF : rng());
        w[i] = static_cast<uint16_t>(kind == 3 ? 255 * (rng() % 2) : rng() % 256);
      }
      FilterRowFields(Path(), out.data(), a.data(), b.data(), w.data(), round, count);
      for (size_t i = 0; i < count; ++i)
        ASSERT_EQ(out[i], (a[i] * (255u - w[i]) + b[i] * uint32_t{w[i]} + round) >> 8)
            << "element " << i << " of " << count << ", round " << round;
      EXPECT_EQ(out[count], 0xABCD) << "written past the row";
    }
  }
}

template <class F>
void CheckTowardFields(BlendPath path, std::mt19937& rng, size_t count, uint32_t round) {
  std::vector<uint8_t> d(2 * count + 2, 0x5A), w(count), gate(count);
  std::vector<uint16_t> planes[3];
  for (auto& p : planes) p.resize(count);
  for (size_t i = 0; i < 2 * count; ++i) d[i] = static_cast<uint8_t>(rng());
  for (size_t i = 0; i < count; ++i) {
    for (int k = 0; k < 3; ++k) planes[k][i] = static_cast<uint16_t>(rng() % (F::kMasks[k] + 1));
    w[i] = static_cast<uint8_t>(rng());
    // Runs of closed gates, so whole groups are left alone too.
    gate[i] = (i / 20) % 3 == 0 ? 0 : static_cast<uint8_t>(rng() % 3);
  }
  const std::vector<uint8_t> before = d;
  const uint16_t* c[3] = {planes[0].data(), planes[1].data(), planes[2].data()};
  TowardRowFields<F>(path, d.data(), c, w.data(), gate.data(), round, count);
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = before[2 * i] | (before[2 * i + 1] << 8);
    uint32_t expected = p;
    if (gate[i] != 0) {
      expected = 0;
      for (int k = 0; k < 3; ++k)
        expected |= (((p & F::kMasks[k]) * (255u - w[i]) + planes[k][i] * uint32_t{w[i]} + round) >> 8) & F::kMasks[k];
    }
    ASSERT_EQ(d[2 * i] | (d[2 * i + 1] << 8), expected)
        << "format " << F::kCode << ", pixel " << i << " of " << count << ", gate " << int{gate[i]};
  }
  EXPECT_EQ(d[2 * count], 0x5A) << "written past the row";
}

TEST_P(RowKernelsTest, TheFieldBlendMovesOpenPixelsAndLeavesClosedOnes) {
  std::mt19937 rng(31);
  for (size_t count : kLengths) {
    CheckTowardFields<Format565>(Path(), rng, count, 255);
    CheckTowardFields<Format555>(Path(), rng, count, 0);
  }
}

TEST_P(RowKernelsTest, ColourOnlyBlendsTakeTheFourthByteOfTheTargetAsZero) {
  std::mt19937 rng(8);
  for (size_t pixels : kLengths) {
    auto x = Bytes(rng, 4 * pixels), y = Bytes(rng, 4 * pixels);
    auto w = Weights<uint8_t>(rng, pixels, 255);
    std::vector<uint8_t> colour = y, expected(4 * pixels), out = x;
    for (size_t i = 0; i < pixels; ++i) colour[4 * i + 3] = 0;
    for (size_t i = 0; i < 4 * pixels; ++i) expected[i] = TableBlend(x[i], colour[i], w[i / 4]);
    TowardRowBytes<Format8888>(Path(), out.data(), out.data(), y.data(), w.data(), pixels, true);
    ASSERT_EQ(out, expected) << pixels << " pixels";
    // 3-byte pixels have no fourth byte: the flag changes nothing.
    auto x3 = Bytes(rng, 3 * pixels);
    std::vector<uint8_t> out3(3 * pixels), expected3(3 * pixels);
    for (size_t i = 0; i < 3 * pixels; ++i) expected3[i] = TableBlend(x3[i], y[i], w[i / 3]);
    TowardRowBytes<Format888>(Path(), out3.data(), x3.data(), y.data(), w.data(), pixels, true);
    ASSERT_EQ(out3, expected3) << pixels << " pixels of 888";
  }
}

template <class F>
void CheckGather(BlendPath path, std::mt19937& rng, int32_t width, const std::vector<int32_t>& x) {
  constexpr int n = F::kBytes;
  const size_t columns = x.size();
  auto pixels = Bytes(rng, static_cast<size_t>(width) * n);
  auto alpha = Bytes(rng, static_cast<size_t>(width));
  std::vector<uint8_t> out(4 * columns + 1, 0x77);
  GatherSamples<F>(path, out.data(), pixels.data(), alpha.data(), x.data(), columns, width);
  for (size_t i = 0; i < columns; ++i) {
    const uint8_t* p = &pixels[static_cast<size_t>(x[i]) * n];
    const uint8_t expected[4] = {p[0], p[1], p[2], alpha[static_cast<size_t>(x[i])]};
    ASSERT_TRUE(std::equal(expected, expected + 4, &out[4 * i]))
        << "format " << F::kCode << ", column " << i << " of " << columns << ", width " << width;
  }
  EXPECT_EQ(out[4 * columns], 0x77) << "written past the row";
}

TEST_P(RowKernelsTest, GatheredSamplesAreTheColourBytesAndTheAlphaOfTheirColumn) {
  std::mt19937 rng(12);
  auto check = [&](int32_t width, const std::vector<int32_t>& x) {
    CheckGather<Format8888>(Path(), rng, width, x);
    CheckGather<Format888>(Path(), rng, width, x);
    CheckGather<FormatBitmap>(Path(), rng, width, x);
  };
  for (int32_t width : {1, 3, 4, 5, 9, 16, 17, 33, 200}) {
    // Ascending columns spread over the whole row, repeats included, up to the last one
    // (where the reads end).
    for (size_t columns : kLengths) {
      if (columns == 0) continue;
      std::vector<int32_t> x(columns);
      for (size_t i = 0; i < columns; ++i)
        x[i] = static_cast<int32_t>(i * (width - 1) / std::max<size_t>(1, columns - 1));
      check(width, x);
    }
    // The columns of scaled copies: 16.16 steps from a first column on, clamped to the last
    // one. Eight columns span 15 or 16 columns at steps of 2 and a little over 2 (the
    // whole-group reads and the per-column ones), 1 or 2 near 1, 0 when magnified 16 times.
    for (uint64_t step : {0x1000ull, 0x8000ull, 0xD555ull, 0x10000ull, 0x11C72ull, 0x1FFFFull, 0x20000ull,
                          0x20001ull, 0x24925ull, 0x50000ull}) {
      for (int32_t first : {0, 1, 7}) {
        std::vector<int32_t> x(std::min<size_t>(kLengths[std::size(kLengths) - 1], static_cast<size_t>(width) * 4));
        for (size_t i = 0; i < x.size(); ++i)
          x[i] = static_cast<int32_t>(std::min<uint64_t>(((first + i) * step) >> 16, static_cast<uint64_t>(width - 1)));
        check(width, x);
      }
    }
  }
  // Random ascending columns: runs of repeats and jumps of up to 40 columns.
  for (int round = 0; round < 200; ++round) {
    const int32_t width = 1 + static_cast<int32_t>(rng() % 300);
    std::vector<int32_t> x(1 + rng() % 100);
    int32_t at = static_cast<int32_t>(rng() % 8);
    for (int32_t& v : x) {
      at += rng() % 3 == 0 ? 0 : static_cast<int32_t>(rng() % 41);
      v = std::min(at, width - 1);
    }
    check(width, x);
  }
}

template <class F>
void CheckSplit(BlendPath path, std::mt19937& rng, size_t count) {
  std::vector<uint8_t> pixels(2 * count);
  for (auto& b : pixels) b = static_cast<uint8_t>(rng());
  std::vector<uint16_t> planes[3];
  for (auto& p : planes) p.assign(count + 1, 0x1111);
  uint16_t* c[3] = {planes[0].data(), planes[1].data(), planes[2].data()};
  SplitFields<F>(path, c, pixels.data(), count);
  for (size_t i = 0; i < count; ++i)
    for (int k = 0; k < 3; ++k)
      ASSERT_EQ(planes[k][i], (pixels[2 * i] | (pixels[2 * i + 1] << 8)) & F::kMasks[k])
          << "format " << F::kCode << ", pixel " << i << ", field " << k;
  for (auto& p : planes) EXPECT_EQ(p[count], 0x1111) << "written past the row";
}

TEST_P(RowKernelsTest, SplittingTakesEachFieldInPlace) {
  std::mt19937 rng(5);
  for (size_t count : kLengths) {
    CheckSplit<Format565>(Path(), rng, count);
    CheckSplit<Format555>(Path(), rng, count);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, RowKernelsTest, test::AllPaths(), test::PathParamName);

}  // namespace
}  // namespace zan
