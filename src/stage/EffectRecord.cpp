#include "stage/EffectRecord.h"

#include <cstring>

#include "base/ByteReader.h"
#include "base/ShiftJis.h"

namespace zan {

bool EffectRecord::Empty() const {
  return amount == 0 && red == 0 && green == 0 && blue == 0 && reverse == 0 && mono == 0 &&
         negaposi == 0 && overlay.empty();
}

void EffectRecord::Encode(std::span<uint8_t, kSize> out) const {
  uint8_t* p = out.data();
  p[0] = amount;
  p[1] = red;
  p[2] = green;
  p[3] = blue;
  StoreU32(p + 4, static_cast<uint32_t>(reverse));
  StoreU32(p + 8, static_cast<uint32_t>(mono));
  StoreU32(p + 12, static_cast<uint32_t>(negaposi));
  StoreTextField(p + 16, kNameSize, overlay);
  StoreU32(p + 276, static_cast<uint32_t>(overlayX));
  StoreU32(p + 280, static_cast<uint32_t>(overlayY));
}

EffectRecord EffectRecord::Decode(std::span<const uint8_t, kSize> in) {
  const uint8_t* p = in.data();
  EffectRecord r;
  r.amount = p[0];
  r.red = p[1];
  r.green = p[2];
  r.blue = p[3];
  r.reverse = static_cast<int32_t>(LoadU32(p + 4));
  r.mono = static_cast<int32_t>(LoadU32(p + 8));
  r.negaposi = static_cast<int32_t>(LoadU32(p + 12));
  r.overlay = LoadTextField(p + 16, kNameSize);
  r.overlayX = static_cast<int32_t>(LoadU32(p + 276));
  r.overlayY = static_cast<int32_t>(LoadU32(p + 280));
  return r;
}

void StoreTextField(uint8_t* out, size_t size, std::string_view text) {
  StoreField(std::span<char>(reinterpret_cast<char*>(out), size), text);
}

std::string LoadTextField(const uint8_t* in, size_t size) {
  const char* chars = reinterpret_cast<const char*>(in);
  return std::string(chars, ::strnlen(chars, size - 1));
}

}  // namespace zan
