#include "message/LineBreakRules.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/ShiftJis.h"

namespace zan {
namespace {

// The double-byte codes (lead << 8 | trail) of a list of characters, sorted.
std::vector<uint16_t> Codes(std::string_view utf8) {
  const std::string sjis = Sjis(utf8);
  std::vector<uint16_t> codes;
  for (size_t i = 0; i + 1 < sjis.size(); i += 2)
    codes.push_back(static_cast<uint16_t>((static_cast<unsigned char>(sjis[i]) << 8) |
                                          static_cast<unsigned char>(sjis[i + 1])));
  std::sort(codes.begin(), codes.end());
  return codes;
}

bool Listed(const std::vector<uint16_t>& codes, std::string_view character) {
  if (character.size() < 2 || !IsSjisLeadByte(static_cast<unsigned char>(character[0]))) return false;
  const auto code = static_cast<uint16_t>((static_cast<unsigned char>(character[0]) << 8) |
                                          static_cast<unsigned char>(character[1]));
  return std::binary_search(codes.begin(), codes.end(), code);
}

}  // namespace

bool IsLineStartForbidden(std::string_view character) {
  // The 27 characters of the classic table, then the small kana.
  static const std::vector<uint16_t> codes = Codes(
      "°’”‰′″℃、。々〉》」』】〕゛゜ゝゞ・ヽヾ！％）？"
      "ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ");
  return Listed(codes, character);
}

bool IsLineEndForbidden(std::string_view character) {
  static const std::vector<uint16_t> codes = Codes("‘“〈《「『【〔＄（［｛￡￥");
  return Listed(codes, character);
}

}  // namespace zan
