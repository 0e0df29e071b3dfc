#include "TestArchiveWriter.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "base/ShiftJis.h"

namespace zan::testing {
namespace {

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  out[at] = v & 0xFF;
  out[at + 1] = (v >> 8) & 0xFF;
  out[at + 2] = (v >> 16) & 0xFF;
  out[at + 3] = (v >> 24) & 0xFF;
}

}  // namespace

std::vector<uint8_t> NaiveLzssEncode(const std::vector<uint8_t>& input, int reach) {
  std::vector<uint8_t> out;
  uint8_t ring[4096] = {};
  int r = 0xFEE;
  size_t i = 0;
  size_t flagPos = 0;
  int bit = 8;
  while (i < input.size()) {
    if (bit == 8) {
      flagPos = out.size();
      out.push_back(0);
      bit = 0;
    }
    int bestLen = 0;
    int bestPos = 0;
    const int maxLen = static_cast<int>(std::min<size_t>(18, input.size() - i));
    for (int back = 1; back <= reach && back <= 4096; ++back) {
      const int p = (r - back) & 0xFFF;
      int len = 0;
      while (len < maxLen) {
        // Bytes before the write position come from the ring, later ones from this copy.
        const uint8_t c = len < back ? ring[(p + len) & 0xFFF] : input[i + len - back];
        if (c != input[i + len]) break;
        ++len;
      }
      if (len > bestLen) {
        bestLen = len;
        bestPos = p;
      }
    }
    if (bestLen >= 3) {
      out.push_back(bestPos & 0xFF);
      out.push_back(((bestPos >> 4) & 0xF0) | (bestLen - 3));
    } else {
      bestLen = 1;
      out[flagPos] |= 1 << bit;
      out.push_back(input[i]);
    }
    for (int k = 0; k < bestLen; ++k) {
      ring[r] = input[i + k];
      r = (r + 1) & 0xFFF;
    }
    i += bestLen;
    ++bit;
  }
  return out;
}

std::vector<uint8_t> WriteTestArchive(const std::vector<TestEntry>& entries,
                                      const std::string& key, bool compress) {
  const size_t n = entries.size();
  std::vector<uint8_t> out(8 + 44 * n, 0);
  Put32(out, 0, static_cast<uint32_t>(n));
  Put32(out, 4, compress ? 0x12345678u : 0u);  // any non-zero flag means compressed
  for (size_t e = 0; e < n; ++e) {
    const TestEntry& entry = entries[e];
    std::vector<uint8_t> body = compress ? NaiveLzssEncode(entry.body) : entry.body;
    const size_t at = 8 + 44 * e;
    for (size_t k = 0; k < entry.name.size() && k < 32; ++k) out[at + k] = entry.name[k];
    Put32(out, at + 32, static_cast<uint32_t>(entry.body.size()));
    Put32(out, at + 36, entry.zeroStoredSize ? 0 : static_cast<uint32_t>(body.size()));
    Put32(out, at + 40, static_cast<uint32_t>(out.size()));
    out.insert(out.end(), body.begin(), body.end());
  }
  for (size_t k = 0; k < 44 * n && !key.empty(); ++k) {
    out[8 + k] = static_cast<uint8_t>(out[8 + k] - static_cast<uint8_t>(key[k % key.size()]));
  }
  return out;
}

std::vector<uint8_t> ScriptLikeText(size_t bytes, uint32_t seed) {
  // Shift-JIS words of a story with tags, as script files mix them.
  static const char* const kWords[] = {
      "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd",  // こんにちは
      "\x8d\xa1\x93\xfa",                          // 今日
      "\x82\xcd",                                  // は
      "\x81\x41",                                  // 、
      "\x81\x42",                                  // 。
      "\x90\xa2\x8a\x45",                          // 世界
      "<KW>", "<Image 1,bg01,0>", "<Sound 2,voice001>", "<Wait 500>", "\x81\x75", "\x81\x76"};
  std::mt19937 random(seed);
  std::vector<uint8_t> out;
  while (out.size() < bytes) {
    const int words = 3 + static_cast<int>(random() % 12);
    for (int w = 0; w < words; ++w) {
      const char* word = kWords[random() % std::size(kWords)];
      while (*word) out.push_back(static_cast<uint8_t>(*word++));
    }
    out.push_back('\r');
    out.push_back('\n');
  }
  out.resize(bytes);
  return out;
}

std::vector<uint8_t> BmpLikeData(int width, int height, uint32_t seed) {
  std::mt19937 random(seed);
  const size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
  std::vector<uint8_t> out(54 + row * static_cast<size_t>(height), 0);
  out[0] = 'B';
  out[1] = 'M';
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, 54);
  Put32(out, 14, 40);
  Put32(out, 18, static_cast<uint32_t>(width));
  Put32(out, 22, static_cast<uint32_t>(height));
  out[26] = 1;
  out[28] = 24;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &out[54 + static_cast<size_t>(y) * row + static_cast<size_t>(x) * 3];
      if (x < width / 3) {  // a flat key-colour area
        p[0] = 0;
        p[1] = 255;
        p[2] = 0;
      } else {  // gradients with a little noise
        p[0] = static_cast<uint8_t>(x / 4);
        p[1] = static_cast<uint8_t>(y / 4);
        p[2] = static_cast<uint8_t>((x + y) / 8 + (random() % 3));
      }
    }
  }
  return out;
}

std::string GameText(std::string_view utf8) {
  std::string out;
  for (char c : Sjis(utf8)) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

std::vector<uint8_t> GameBytes(std::string_view utf8) {
  const std::string text = GameText(utf8);
  return {text.begin(), text.end()};
}

std::vector<uint8_t> ScrambledLib(std::string_view utf8) {
  std::vector<uint8_t> bytes = GameBytes(utf8);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(b + 0x82);
  return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace zan::testing
