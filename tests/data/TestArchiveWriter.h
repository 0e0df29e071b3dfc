#pragma once
// An archive writer for tests, written from the file format alone and apart from zanarc's
// writer and encoder, so the reader and the tool are each checked against a second
// implementation. It can also write what zanarc refuses: duplicate names, zero stored
// sizes, raw index values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zan::testing {

struct TestEntry {
  std::string name;  // Shift-JIS bytes, written into the 32-byte field as they are
  std::vector<uint8_t> body;
  bool zeroStoredSize = false;  // write the record with stored size 0
};

// Header, index scrambled by subtracting the key, bodies in order (compressed with the
// naive encoder below when `compress`).
std::vector<uint8_t> WriteTestArchive(const std::vector<TestEntry>& entries,
                                      const std::string& key, bool compress);

// A plain LZSS encoder: keeps the decoder's ring and tries the last `reach` ring positions
// for the longest match, simulating overlapping copies.
std::vector<uint8_t> NaiveLzssEncode(const std::vector<uint8_t>& input, int reach = 64);

// Structured test data: script-like Shift-JIS text with CR LF lines, and a 24-bit BMP with
// smooth gradients and flat areas.
std::vector<uint8_t> ScriptLikeText(size_t bytes, uint32_t seed);
std::vector<uint8_t> BmpLikeData(int width, int height, uint32_t seed);

// UTF-8 text with LF as the game stores it: Shift-JIS with CR LF.
std::string GameText(std::string_view utf8);
std::vector<uint8_t> GameBytes(std::string_view utf8);

// A definition file as the build stores it: GameBytes with every byte raised by 0x82, the
// first byte of the .lib key "ぬらり" in Shift-JIS.
std::vector<uint8_t> ScrambledLib(std::string_view utf8);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace zan::testing
