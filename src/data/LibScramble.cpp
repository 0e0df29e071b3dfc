#include "data/LibScramble.h"

#include "base/ShiftJis.h"

namespace zan {
namespace {

// Walks the key as the format does: the position advances, and returns to the start
// whenever it does not exceed the key's length, which is after every byte.
void Shift(std::span<uint8_t> bytes, std::string_view key, int direction) {
  if (key.empty()) return;
  size_t k = 0;
  for (uint8_t& b : bytes) {
    const auto keyByte = static_cast<uint8_t>(key[k]);
    b = static_cast<uint8_t>(direction > 0 ? b + keyByte : b - keyByte);
    ++k;
    if (k <= key.size()) k = 0;
  }
}

}  // namespace

const std::string& LibKey() {
  static const std::string key = Sjis("ぬらり");
  return key;
}

void UnscrambleLib(std::span<uint8_t> bytes, std::string_view key) { Shift(bytes, key, -1); }
void ScrambleLib(std::span<uint8_t> bytes, std::string_view key) { Shift(bytes, key, +1); }

}  // namespace zan
