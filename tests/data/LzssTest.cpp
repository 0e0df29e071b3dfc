#include "data/Lzss.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "TestArchiveWriter.h"

namespace zan {
namespace {

using Bytes = std::vector<uint8_t>;

struct StreamCase {
  const char* what;
  Bytes stream;
  size_t outputSize;
  bool ok;
  Bytes expected;  // checked when ok
};

// Match token for ring position p and length n.
Bytes Match(uint32_t p, uint32_t n) {
  return {static_cast<uint8_t>(p & 0xFF), static_cast<uint8_t>(((p >> 4) & 0xF0) | (n - 3))};
}

Bytes Cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::vector<StreamCase> Cases() {
  return {
      {"literals only", {0xFF, 'a', 'b', 'c'}, 3, true, {'a', 'b', 'c'}},
      {"empty output needs no input", {}, 0, true, {}},
      {"first match reads the zero-filled ring", Cat({{0x00}, Match(0x000, 5)}), 5, true, Bytes(5, 0)},
      {"match just behind the write position repeats the bytes it produces",
       Cat({{0x01, 'x'}, Match(0xFEE, 10)}), 11, true, Bytes(11, 'x')},
      {"two-byte pattern repeated by an overlapping match",
       Cat({{0x03, 'a', 'b'}, Match(0xFEE, 8)}), 10, true,
       {'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b', 'a', 'b'}},
      {"match of 18 bytes, the longest", Cat({{0x01, 'q'}, Match(0xFEE, 18)}), 19, true, Bytes(19, 'q')},
      {"tokens beyond the unpacked size are ignored", {0xFF, 'a', 'b', 'c', 'd', 'e'}, 2, true, {'a', 'b'}},
      {"flag bits beyond the end are ignored", {0x01, 'z'}, 1, true, {'z'}},
      {"stream runs out before the output is full", {0xFF, 'a', 'b'}, 3, false, {}},
      {"stream without its flag byte", {}, 1, false, {}},
      {"match cut after its first byte", {0x00, 0x12}, 3, false, {}},
      {"last match runs past the unpacked size", Cat({{0x01, 'x'}, Match(0xFEE, 10)}), 5, false, {}},
  };
}

TEST(LzssTest, HandWrittenStreams) {
  for (const StreamCase& c : Cases()) {
    SCOPED_TRACE(c.what);
    Bytes fast(c.outputSize, 0xAA);
    Bytes reference(c.outputSize, 0xAA);
    EXPECT_EQ(LzssDecode(c.stream, fast), c.ok);
    EXPECT_EQ(LzssDecodeReference(c.stream, reference), c.ok);
    if (c.ok) {
      EXPECT_EQ(fast, c.expected);
      EXPECT_EQ(reference, c.expected);
    }
  }
}

TEST(LzssTest, TheDecoderNeverWritesPastItsOutput) {
  // The overrunning match of the table, decoded into the front of a larger buffer.
  Bytes stream = Cat({{0x01, 'x'}, Match(0xFEE, 10)});
  Bytes buffer(16, 0xAA);
  EXPECT_FALSE(LzssDecode(stream, std::span<uint8_t>(buffer).first(5)));
  for (size_t i = 5; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xAA) << i;
}

TEST(LzssTest, FastDecoderMatchesTheRingDecoderOnEncodedAndRandomStreams) {
  std::mt19937 random(7);
  std::vector<Bytes> inputs = {testing::ScriptLikeText(20000, 1), testing::BmpLikeData(64, 48, 2),
                               Bytes(9000, 0), Bytes{}};
  Bytes noise(5000);
  for (auto& b : noise) b = static_cast<uint8_t>(random() % 4);  // few symbols: many matches
  inputs.push_back(noise);
  for (const Bytes& input : inputs) {
    // Reaching across the whole ring exercises distances up to 4096 and the wrap.
    Bytes stream = testing::NaiveLzssEncode(input, input.size() > 8000 ? 4096 : 300);
    Bytes fast(input.size());
    Bytes reference(input.size());
    ASSERT_TRUE(LzssDecode(stream, fast));
    ASSERT_TRUE(LzssDecodeReference(stream, reference));
    EXPECT_EQ(fast, input);
    EXPECT_EQ(reference, input);
  }
  // Arbitrary bytes read as a stream: both decoders agree on success and on the output.
  for (int round = 0; round < 2000; ++round) {
    Bytes stream(random() % 64);
    for (auto& b : stream) b = static_cast<uint8_t>(random());
    const size_t size = random() % 200;
    Bytes fast(size);
    Bytes reference(size);
    const bool ok = LzssDecode(stream, fast);
    ASSERT_EQ(ok, LzssDecodeReference(stream, reference)) << round;
    if (ok) ASSERT_EQ(fast, reference) << round;
  }
}

}  // namespace
}  // namespace zan
