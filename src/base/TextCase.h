#pragma once
// ASCII case folding of Shift-JIS byte strings, as names and keywords are compared: ASCII
// letters ignore case, double-byte characters compare exactly (their trail bytes may fall
// in the letter range and are never folded).

#include <string>
#include <string_view>

namespace zan {

// `text` with the ASCII letters of its single-byte characters lower-cased.
std::string ToLowerSjis(std::string_view text);
// True when both texts are equal under that folding.
bool EqualsNoCase(std::string_view a, std::string_view b);
// True when `text` starts with `prefix` under that folding.
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace zan
