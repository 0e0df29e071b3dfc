// The records save files keep byte for byte: the effect record (284 bytes), an image slot
// (836) and a zoom window (328), field by field, and their text fields.

#include <gtest/gtest.h>

#include <array>

#include "base/ByteReader.h"
#include "stage/EffectRecord.h"
#include "stage/ImageLayers.h"

namespace zan {
namespace {

EffectRecord SampleEffect() {
  EffectRecord e;
  e.amount = 9;
  e.red = 1;
  e.green = 2;
  e.blue = 3;
  e.reverse = 1;
  e.negaposi = 1;
  e.overlay = "parts.bmp";
  e.overlayX = -5;
  e.overlayY = 7;
  return e;
}

TEST(ImageRecordsTest, TheEffectRecordLayout) {
  std::array<uint8_t, EffectRecord::kSize> b{};
  SampleEffect().Encode(b);
  EXPECT_EQ(b[0], 9);  // A, R, G, B
  EXPECT_EQ(b[1], 1);
  EXPECT_EQ(b[3], 3);
  EXPECT_EQ(LoadU32(&b[4]), 1u);   // reverse
  EXPECT_EQ(LoadU32(&b[8]), 0u);   // mono
  EXPECT_EQ(LoadU32(&b[12]), 1u);  // nega-posi
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[16])), "parts.bmp");
  EXPECT_EQ(b[16 + 9], 0);
  EXPECT_EQ(LoadU32(&b[276]), 0xFFFFFFFBu);
  EXPECT_EQ(LoadU32(&b[280]), 7u);
  EXPECT_EQ(EffectRecord::Decode(b), SampleEffect());
  EXPECT_FALSE(SampleEffect().Empty());
  EffectRecord reverseOnly;
  reverseOnly.reverse = 1;
  EXPECT_FALSE(reverseOnly.Empty());
  EXPECT_TRUE(EffectRecord{}.Empty());
}

TEST(ImageRecordsTest, TheImageSlotRecordLayout) {
  SavedImageSlot s;
  s.picture = "bg.bmp";
  s.objectName = "bg.bmp";
  s.rate = 80;
  s.effect = SampleEffect();
  s.variant = 1;
  s.visible = 1;
  s.reserved = 5;
  s.kind = 0;
  s.x = -12;
  s.y = 34;
  s.z = 3;
  std::array<uint8_t, SavedImageSlot::kSize> b{};
  static_assert(SavedImageSlot::kSize == 836);
  s.Encode(b);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[0])), "bg.bmp");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[260])), "bg.bmp");
  EXPECT_EQ(LoadU32(&b[520]), 80u);
  EXPECT_EQ(b[524], 9);  // the effect record's amount
  EXPECT_EQ(LoadU32(&b[808]), 1u);  // variant, visible, reserved, kind, x, y, z
  EXPECT_EQ(LoadU32(&b[812]), 1u);
  EXPECT_EQ(LoadU32(&b[816]), 5u);
  EXPECT_EQ(LoadU32(&b[820]), 0u);
  EXPECT_EQ(LoadU32(&b[824]), static_cast<uint32_t>(-12));
  EXPECT_EQ(LoadU32(&b[828]), 34u);
  EXPECT_EQ(LoadU32(&b[832]), 3u);
  EXPECT_EQ(SavedImageSlot::Decode(b), s);
}

TEST(ImageRecordsTest, TheZoomSlotRecordLayout) {
  SavedZoomSlot z;
  z.reserved = 2;
  z.visible = 1;
  z.inUse = 1;
  z.dst = {580, 430, 200, 150};
  z.src = {0, 0, 800, 600};
  std::array<uint8_t, SavedZoomSlot::kSize> b{};
  static_assert(SavedZoomSlot::kSize == 328);
  z.Encode(b);
  EXPECT_EQ(LoadU32(&b[284]), 2u);
  EXPECT_EQ(LoadU32(&b[288]), 1u);
  EXPECT_EQ(LoadU32(&b[292]), 1u);
  EXPECT_EQ(LoadU32(&b[296]), 580u);
  EXPECT_EQ(LoadU32(&b[308]), 150u);
  EXPECT_EQ(LoadU32(&b[312]), 0u);
  EXPECT_EQ(LoadU32(&b[320]), 800u);
  EXPECT_EQ(LoadU32(&b[324]), 600u);
  EXPECT_EQ(SavedZoomSlot::Decode(b), z);
}

TEST(ImageRecordsTest, TextFieldsKeepTheirTerminator) {
  std::array<uint8_t, 8> field{};
  field.fill(0xEE);
  StoreTextField(field.data(), field.size(), "abcdefghij");
  EXPECT_EQ(LoadTextField(field.data(), field.size()), "abcdefg");
  EXPECT_EQ(field[7], 0);
  StoreTextField(field.data(), field.size(), "ab");
  EXPECT_EQ(field[2], 0);
  EXPECT_EQ(field[7], 0);
  // A double-byte character that the terminator would cut in two is left out whole; a lone
  // lead byte at the end of the text is one byte.
  const std::string a = "\x82\xA0";  // あ
  StoreTextField(field.data(), field.size(), "abcdef" + a);
  EXPECT_EQ(LoadTextField(field.data(), field.size()), "abcdef");
  StoreTextField(field.data(), field.size(), "abcde" + a);
  EXPECT_EQ(LoadTextField(field.data(), field.size()), "abcde" + a);
  StoreTextField(field.data(), field.size(), "abcdef\x81");
  EXPECT_EQ(LoadTextField(field.data(), field.size()), "abcdef\x81");
  // The effect record's overlay name and the slot's picture name are such fields.
  EffectRecord effect;
  effect.overlay = std::string(258, 'o') + a;
  std::array<uint8_t, EffectRecord::kSize> bytes{};
  effect.Encode(bytes);
  EXPECT_EQ(EffectRecord::Decode(bytes).overlay, std::string(258, 'o'));
  SavedImageSlot slot;
  slot.picture = std::string(257, 'p') + a + a;
  std::array<uint8_t, SavedImageSlot::kSize> slotBytes{};
  slot.Encode(slotBytes);
  EXPECT_EQ(SavedImageSlot::Decode(slotBytes).picture, std::string(257, 'p') + a);
  // A stored field without a terminator is read as it would have been stored, never past it.
  field.fill('x');
  EXPECT_EQ(LoadTextField(field.data(), field.size()), "xxxxxxx");
}

}  // namespace
}  // namespace zan
