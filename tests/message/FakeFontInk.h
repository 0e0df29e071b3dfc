#pragma once
// A font for tests: every character is the same hand-made ink map.

#include <string>
#include <vector>

#include "platform/FontInk.h"

namespace zan::test {

class FakeFontInk : public FontInk {
 public:
  Status OpenFace(std::string_view) override { return {}; }
  const GlyphInk& Ink(const InkRequest& request) override {
    last = request;
    lastCharacter.assign(request.character);
    characters.push_back(lastCharacter);
    return ink;
  }
  // Ink at the given cell-local samples (-1..62 each way).
  void Set(std::vector<std::pair<int32_t, int32_t>> samples) {
    ink = {};
    ink.left = ink.top = -1;
    ink.width = ink.height = 64;
    ink.bits.assign(64 * 64, 0);
    for (auto [x, y] : samples) ink.bits[static_cast<size_t>((y + 1) * 64 + x + 1)] = 1;
  }

  GlyphInk ink;
  InkRequest last;
  std::string lastCharacter;
  std::vector<std::string> characters;
};

}  // namespace zan::test
