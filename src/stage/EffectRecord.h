#pragma once
// EffectRecord: what is drawn over a slot's picture and how it is coloured: a tint colour with
// its amount, the reverse, mono and nega-posi flags and an overlay picture at an offset. Save
// files store it byte for byte (284 bytes, little-endian), inside the image and zoom slot
// records; the helpers below write and read those records' text fields.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zan {

struct EffectRecord {
  static constexpr size_t kSize = 284;
  static constexpr size_t kNameSize = 260;

  uint8_t amount = 0;  // tint amount 0..255 (stored first: A, R, G, B)
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  int32_t reverse = 0;  // kept and saved; no drawing step uses it
  int32_t mono = 0;
  int32_t negaposi = 0;
  std::string overlay;   // overlay picture name, empty for none
  int32_t overlayX = 0;  // relative to the picture's top-left corner
  int32_t overlayY = 0;

  // All four colour bytes, the three flags and the overlay name zero: the main picture is
  // drawn as it is.
  bool Empty() const;
  void Encode(std::span<uint8_t, kSize> out) const;
  static EffectRecord Decode(std::span<const uint8_t, kSize> in);
  friend bool operator==(const EffectRecord&, const EffectRecord&) = default;
};

// A NUL-terminated, zero-padded text field of `size` bytes: the text, cut at a character
// boundary so that the terminator fits.
void StoreTextField(uint8_t* out, size_t size, std::string_view text);
// The text of such a field: up to its first NUL, at most size - 1 bytes (a field whose
// terminator is missing reads as it would have been stored).
std::string LoadTextField(const uint8_t* in, size_t size);

}  // namespace zan
