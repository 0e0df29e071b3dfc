#pragma once
// SoundChannelRecord: what the game remembers of one script sound channel, so that a save
// can bring the channel back. 64 bytes as stored, little-endian:
//   0 file (char[32], NUL-terminated; empty when the channel is free), 32 playing,
//   36 paused, 40 loop, 44 mute, 48 fading out (a fade-out ending in a stop runs),
//   52 loop position (ms, 0: from the start), 56 volume (last "SoundVolume"), 60 pan.
// Saves store the twelve records behind their count (always 12).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace zan {

struct SoundChannelRecord {
  static constexpr size_t kSize = 64;
  static constexpr size_t kFileSize = 32;  // file names: at most 31 bytes

  std::string file;
  int32_t playing = 0;
  int32_t paused = 0;
  int32_t loop = 0;
  int32_t mute = 0;
  int32_t fadingOut = 0;
  int32_t loopPosition = 0;
  int32_t volume = 0;
  int32_t pan = 0;

  // True when `name` fits the file field with its terminating NUL.
  static bool FitsFileField(std::string_view name) { return name.size() < kFileSize; }

  void Encode(std::span<uint8_t, kSize> out) const;
  // A file field without a terminating NUL is no name: the record is read without a file
  // (logged), never with a name that runs into the next field.
  static SoundChannelRecord Decode(std::span<const uint8_t, kSize> in);

  bool operator==(const SoundChannelRecord&) const = default;
};

constexpr int kSoundRecordCount = 12;
using SoundChannelRecords = std::array<SoundChannelRecord, kSoundRecordCount>;

// The saved block: the count (12) and the twelve records, 4 + 12 x 64 bytes.
constexpr size_t kSoundRecordsSize = 4 + kSoundRecordCount * SoundChannelRecord::kSize;
std::vector<uint8_t> EncodeSoundRecords(const SoundChannelRecords& records);
// Nothing (logged) when the block is short or its count is not 12.
std::optional<SoundChannelRecords> DecodeSoundRecords(std::span<const uint8_t> bytes);

}  // namespace zan
