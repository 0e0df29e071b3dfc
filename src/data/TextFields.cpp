#include "data/TextFields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <string>

#include "base/ShiftJis.h"

namespace zan {
namespace {

// True when the n bytes of the character at `at` equal the delimiter's first n bytes,
// counting its terminator as a byte.
bool Matches(const char* at, size_t n, const char* delimiter) {
  if (!delimiter) return false;
  for (size_t i = 0; i < n; ++i) {
    if (at[i] != delimiter[i]) return false;
    if (delimiter[i] == '\0') return i + 1 == n;
  }
  return true;
}

// Copies `text` into `out` (cleared first): with its terminator when shorter, else exactly
// out.size() bytes.
void CopyField(std::string_view text, std::span<char> out) {
  if (out.empty()) return;
  std::fill(out.begin(), out.end(), '\0');
  std::memcpy(out.data(), text.data(), std::min(text.size(), out.size()));
}

std::string_view UpToNul(std::string_view text) {
  return text.substr(0, ::strnlen(text.data(), text.size()));
}

// The field at `start` up to the delimiters, cut to the work buffer, and the position just
// after the delimiter.
struct Field {
  std::array<char, kFieldWorkSize> work{};
  size_t length = 0;
  int32_t next = 0;
  std::string_view text() const { return {work.data(), length}; }
};

Field Scan(std::string_view data, int32_t start, const char* d1, const char* d2) {
  Field field;
  size_t a = start > 0 ? static_cast<size_t>(start) : 0;
  while (a < data.size()) {
    // A lead byte at the very end is taken alone: nothing is read past the data.
    size_t n = IsSjisLeadByte(static_cast<unsigned char>(data[a])) && a + 1 < data.size() ? 2 : 1;
    if (Matches(data.data() + a, n, d1) || Matches(data.data() + a, n, d2)) break;
    if (field.length + n < kFieldWorkSize) {
      std::memcpy(field.work.data() + field.length, data.data() + a, n);
      field.length += n;
    }
    a += n;
  }
  // The work text is a C string: a NUL inside the field ends it.
  field.length = ::strnlen(field.work.data(), field.length);
  field.next = static_cast<int32_t>(a + 1);
  return field;
}

}  // namespace

int32_t ScanField(std::string_view data, int32_t start, std::span<char> out, const char* d1,
                  const char* d2) {
  Field field = Scan(data, start, d1, d2);
  CopyField(field.text(), out);
  return field.next;
}

int32_t SkipPast(std::string_view data, const char* delimiter) {
  return Scan(data, 0, delimiter, nullptr).next;
}

int32_t ReadLine(std::string_view data, std::span<char> out) {
  return ScanField(data, 0, out, "\n", "\r") + 1;
}

void DropField(std::string_view text, std::span<char> out, const char* delimiter) {
  text = UpToNul(text);
  const auto next = static_cast<size_t>(Scan(text, 0, delimiter, nullptr).next);
  // `out` may be the buffer `text` lives in: take the rest before clearing.
  std::string rest(next < text.size() ? text.substr(next) : std::string_view{});
  CopyField(rest, out);
}

bool GetField(std::string_view text, std::span<char> out, const char* delimiter,
              int32_t index) {
  std::array<char, kFieldWorkSize> buffer{};
  text = UpToNul(text);
  std::memcpy(buffer.data(), text.data(), std::min(text.size(), kFieldWorkSize - 1));
  for (int32_t i = 0; i < index; ++i) {
    DropField({buffer.data(), buffer.size()}, buffer, delimiter);
  }
  Field field = Scan(UpToNul({buffer.data(), buffer.size()}), 0, delimiter, nullptr);
  if (field.length == 0 || out.empty()) return field.length != 0;
  const size_t n = std::min(field.length, out.size() - 1);
  std::memcpy(out.data(), field.work.data(), n);
  out[n] = '\0';
  return true;
}

int32_t ParseDecimal(std::string_view text) {
  size_t i = 0;
  auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  while (i < text.size() && blank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min(kLimit, value * 10 + (text[i] - '0'));
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

bool GetIntField(std::string_view text, int32_t* out, const char* delimiter, int32_t index) {
  std::array<char, kFieldWorkSize> field{};
  if (!GetField(text, field, delimiter, index)) return false;
  if (out) *out = ParseDecimal(UpToNul({field.data(), field.size()}));
  return true;
}

void FormatNumber(std::span<char> out, int32_t value, bool fullWidth, bool separators) {
  if (out.empty()) return;
  std::fill(out.begin(), out.end(), '\0');
  static const std::string fullMinus = Sjis("－");
  static const std::string fullComma = Sjis("，");
  static const std::string fullDigits = Sjis("０１２３４５６７８９");

  std::string text;
  const int64_t v = value;
  if (v < 0) text += fullWidth ? fullMinus : "-";
  const std::string digits = std::to_string(v < 0 ? -v : v);
  for (size_t i = 0; i < digits.size(); ++i) {
    const int d = digits[i] - '0';
    text += fullWidth ? fullDigits.substr(static_cast<size_t>(d) * 2, 2) : std::string(1, digits[i]);
    const size_t toCome = digits.size() - 1 - i;
    if (separators && toCome != 0 && toCome % 3 == 0) text += fullWidth ? fullComma : ",";
  }
  // Keep the terminator and never split a double-byte character.
  size_t n = 0;
  while (n < text.size()) {
    size_t step = IsSjisLeadByte(static_cast<unsigned char>(text[n])) ? 2 : 1;
    if (n + step > out.size() - 1) break;
    n += step;
  }
  std::memcpy(out.data(), text.data(), n);
}

bool PointInRect(int32_t x, int32_t y, int32_t left, int32_t top, int32_t width,
                 int32_t height) {
  const int64_t right = int64_t{left} + width;
  const int64_t bottom = int64_t{top} + height;
  return x >= left && x <= right && y >= top && y <= bottom;
}

std::string_view CText(std::span<const char> chars) {
  return UpToNul({chars.data(), chars.size()});
}

void ForEachTableLine(std::string_view data, int headerLines,
                      const std::function<bool(std::string_view line)>& row) {
  const auto length = static_cast<int64_t>(data.size());
  int64_t p = 0;
  for (int i = 0; i < headerLines && p < length; ++i) {
    p += SkipPast(data.substr(static_cast<size_t>(p)), "\n");
  }
  while (p < length) {
    char line[kFieldSize];
    p += ReadLine(data.substr(static_cast<size_t>(p)), line);
    if (!row(UpToNul({line, sizeof line}))) break;
  }
}

}  // namespace zan
