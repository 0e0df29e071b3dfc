#pragma once
// The Japanese line-breaking rules (kinsoku): characters that may not begin a line and
// characters that may not end one. Only double-byte characters are listed; a single-byte
// character never matches.

#include <string_view>

namespace zan {

// Closing punctuation and brackets, iteration marks, the small kana (may not begin a line).
bool IsLineStartForbidden(std::string_view character);
// Opening brackets and currency signs (may not end a line).
bool IsLineEndForbidden(std::string_view character);

}  // namespace zan
