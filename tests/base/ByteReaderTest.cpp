#include "base/ByteReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace zan {
namespace {

TEST(ByteReaderTest, ReadsLittleEndianAndFailsSafelyPastTheEnd) {
  const std::vector<uint8_t> data = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0x7F};
  ByteReader r(data);
  EXPECT_EQ(r.U32(), 0x04030201u);
  EXPECT_EQ(r.I16(), -2);
  EXPECT_FALSE(r.failed());
  EXPECT_EQ(r.U16(), 0u);  // only one byte left: yields 0 and fails
  EXPECT_TRUE(r.failed());
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ByteReaderTest, BytesAndViewsAreAllOrNothing) {
  const std::vector<uint8_t> data = {1, 2, 3};
  ByteReader r(data);
  uint8_t out[4] = {9, 9, 9, 9};
  EXPECT_FALSE(r.Bytes(out, 4));
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(r.position(), 0u);
  EXPECT_EQ(r.View(2).size(), 2u);
  EXPECT_TRUE(r.View(2).empty());
  EXPECT_FALSE(r.Seek(4));
  EXPECT_TRUE(r.Seek(3));
}

TEST(ByteReaderTest, StoreAndLoadRoundTrip) {
  uint8_t buffer[6] = {};
  StoreU32(buffer, 0xA1B2C3D4);
  StoreU16(buffer + 4, 0xBEEF);
  EXPECT_EQ(buffer[0], 0xD4);
  EXPECT_EQ(LoadU32(buffer), 0xA1B2C3D4u);
  EXPECT_EQ(LoadU16(buffer + 4), 0xBEEF);
}

}  // namespace
}  // namespace zan
