#include "base/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace zan {
namespace {

// One conversion descriptor per direction and thread: iconv_t is not thread-safe.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much as possible. On an invalid or unconvertible sequence calls
  // onBad(in, left, out) which must consume input and may append output; stops if it
  // returns false.
  template <class OnBad>
  std::string Run(std::string_view input, OnBad onBad) {
    std::string out;
    if (!valid()) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
      char* o = buffer;
      size_t oLeft = sizeof buffer;
      size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
      out.append(buffer, static_cast<size_t>(o - buffer));
      if (r == static_cast<size_t>(-1)) {
        if (errno == E2BIG) continue;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (!onBad(in, inLeft, out)) break;
      }
    }
    return out;
  }

 private:
  iconv_t cd_;
};

Converter& ToSjis() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}
Converter& FromSjis() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

// Length of the UTF-8 sequence starting at c (1 for a stray byte).
size_t Utf8Length(unsigned char c) {
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  if (c >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::optional<std::string> TryUtf8ToSjis(std::string_view utf8) {
  bool bad = false;
  std::string out = ToSjis().Run(utf8, [&](char*&, size_t&, std::string&) {
    bad = true;
    return false;
  });
  if (bad || !ToSjis().valid()) return std::nullopt;
  return out;
}

std::string SjisToUtf8(std::string_view sjis) {
  return FromSjis().Run(sjis, [](char*& in, size_t& left, std::string& out) {
    size_t n = (IsSjisLeadByte(*in) && left >= 2) ? 2 : 1;
    in += n;
    left -= n;
    out += "\xEF\xBF\xBD";
    return true;
  });
}

char32_t SjisCodePoint(std::string_view sjis) {
  if (sjis.empty()) return 0;
  const size_t n = IsSjisLeadByte(static_cast<unsigned char>(sjis[0])) && sjis.size() >= 2 ? 2 : 1;
  bool bad = false;
  const std::string utf8 = FromSjis().Run(sjis.substr(0, n), [&](char*&, size_t&, std::string&) {
    bad = true;
    return false;
  });
  if (bad || utf8.empty()) return 0;
  const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t length = Utf8Length(u[0]);
  if (length > utf8.size()) return 0;
  if (length == 1) return u[0];
  char32_t cp = u[0] & (0xFF >> (length + 1));
  for (size_t i = 1; i < length; ++i) cp = (cp << 6) | (u[i] & 0x3F);
  return cp;
}

std::string Sjis(std::string_view utf8) {
  return ToSjis().Run(utf8, [](char*& in, size_t& left, std::string& out) {
    size_t n = std::min(left, Utf8Length(static_cast<unsigned char>(*in)));
    in += n;
    left -= n;
    out += '?';
    return true;
  });
}

std::string_view CutToCharacters(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    const size_t n = IsSjisLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
    if (end + n > limit) break;
    end += n;
  }
  return text.substr(0, end);
}

void StoreField(std::span<char> field, std::string_view text) {
  if (field.empty()) return;
  std::fill(field.begin(), field.end(), '\0');
  const std::string_view kept = CutToCharacters(text, field.size() - 1);
  std::copy(kept.begin(), kept.end(), field.begin());
}

}  // namespace zan
