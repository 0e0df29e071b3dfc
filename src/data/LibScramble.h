#pragma once
// The scrambling of definition files (".lib"): every byte is shifted by the first byte of
// the key, modulo 256. The key position goes back to its start after every byte, so the
// later key bytes never take part. Files in the archive are stored shifted up; readers
// shift them down.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zan {

// The key of every .lib file, "ぬらり" in Shift-JIS.
const std::string& LibKey();

// In place. An empty key leaves the bytes as they are.
void UnscrambleLib(std::span<uint8_t> bytes, std::string_view key);
void ScrambleLib(std::span<uint8_t> bytes, std::string_view key);

}  // namespace zan
