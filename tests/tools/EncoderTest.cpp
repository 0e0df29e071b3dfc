#include "zanarc/LzssEncoder.h"

#include <gtest/gtest.h>

#include <random>

#include "TestArchiveWriter.h"
#include "data/Lzss.h"
#include "zanarc/GameText.h"
#include "base/ShiftJis.h"

namespace zan {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Decode(const Bytes& stream, size_t size) {
  Bytes out(size);
  EXPECT_TRUE(LzssDecodeReference(stream, out));
  return out;
}

TEST(LzssEncoderTest, RoundTripsThroughTheRingDecoder) {
  std::mt19937 random(3);
  std::vector<Bytes> inputs = {{}, {1}, {1, 2}, {0, 0, 0}, Bytes(100000, 0),
                               testing::ScriptLikeText(300000, 4), testing::BmpLikeData(200, 150, 5)};
  Bytes noise(50000), fewSymbols(50000), longPeriod(30000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  for (auto& b : fewSymbols) b = static_cast<uint8_t>(random() % 3);
  for (size_t i = 0; i < longPeriod.size(); ++i) longPeriod[i] = static_cast<uint8_t>((i % 4096) * 7);
  inputs.insert(inputs.end(), {noise, fewSymbols, longPeriod});
  for (const Bytes& input : inputs) {
    Bytes stream = LzssEncode(input);
    EXPECT_EQ(Decode(stream, input.size()), input) << input.size();
  }
}

TEST(LzssEncoderTest, FindsOverlappingAndRingMatches) {
  // A run is one literal and overlapping matches of 18: about 2 bytes per 18.
  Bytes run(18 * 100 + 1, 'r');
  EXPECT_LT(LzssEncode(run).size(), 2 * 100 + 100 / 8 + 4);
  // Leading zeros match the zero-filled ring: no literal at all.
  Bytes zeros(18 * 8, 0);
  EXPECT_EQ(LzssEncode(zeros).size(), 1u + 8 * 2);
  // A period of exactly 4096 bytes is found at the far end of the window.
  Bytes block(4096);
  std::mt19937 random(9);
  for (auto& b : block) b = static_cast<uint8_t>(random());
  Bytes twice = block;
  twice.insert(twice.end(), block.begin(), block.end());
  const size_t once = LzssEncode(block).size();
  EXPECT_LT(LzssEncode(twice).size(), once + 4096 / 18 * 2 + 64);
  EXPECT_EQ(Decode(LzssEncode(twice), twice.size()), twice);
}

TEST(GameTextTest, BecomesShiftJisWithCrLf) {
  auto text = GameTextToSjis("\xEF\xBB\xBF" "一行目\nsecond\r\nthird");
  ASSERT_TRUE(text.ok());
  std::string expected = Sjis("一行目") + "\r\nsecond\r\nthird";
  EXPECT_EQ(*text, Bytes(expected.begin(), expected.end()));
  auto bad = GameTextToSjis("ok\nok\nsmile 😀\n");
  ASSERT_FALSE(bad.ok());
  EXPECT_NE(bad.error().message.find("line 3"), std::string::npos);
  EXPECT_TRUE(IsGameTextFile(Sjis("省略.CSV")));
  EXPECT_TRUE(IsGameTextFile("system1.lib"));
  EXPECT_FALSE(IsGameTextFile("bg.bmp"));
}

}  // namespace
}  // namespace zan
