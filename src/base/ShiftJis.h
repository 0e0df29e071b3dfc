#pragma once
// Shift-JIS (code page 932) helpers. All game text is Shift-JIS; sources and the terminal
// are UTF-8. Conversion goes through iconv's CP932 table.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace zan {

// A byte that starts a two-byte Shift-JIS character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The largest prefix of `text` of at most `limit` bytes that ends on a character boundary (a
// lone lead byte at the very end counts as a character of its own).
std::string_view CutToCharacters(std::string_view text, size_t limit);

// Stores text in a fixed field of the stored records: the field zero-filled, the text cut at
// a character boundary so that its NUL fits.
void StoreField(std::span<char> field, std::string_view text);

// UTF-8 to Shift-JIS; nullopt when some character has no CP932 form or the input is not UTF-8.
std::optional<std::string> TryUtf8ToSjis(std::string_view utf8);

// Shift-JIS to UTF-8; bytes that are not valid CP932 become U+FFFD, so it never fails.
std::string SjisToUtf8(std::string_view sjis);

// The Unicode code point of the first Shift-JIS character of `sjis` (one or two bytes); 0 for
// empty text or a character without a CP932 form.
char32_t SjisCodePoint(std::string_view sjis);

// The Shift-JIS form of a text written in the source as UTF-8 (messages, keywords, file
// names). Meant for literals: text without a CP932 form is a programming error and
// yields "?" for each such character.
std::string Sjis(std::string_view utf8);

}  // namespace zan
