#include "base/TextCase.h"

#include "base/ShiftJis.h"

namespace zan {

std::string ToLowerSjis(std::string_view text) {
  std::string out(text);
  for (size_t i = 0; i < out.size(); ++i) {
    const auto c = static_cast<unsigned char>(out[i]);
    if (IsSjisLeadByte(c)) {
      ++i;  // the trail byte stays as it is
    } else if (c >= 'A' && c <= 'Z') {
      out[i] = static_cast<char>(c - 'A' + 'a');
    }
  }
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLowerSjis(a) == ToLowerSjis(b);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace zan
