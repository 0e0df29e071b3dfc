#pragma once
// The settings block kept in "option.dat" (176 bytes), the gallery flags (126 bytes) and
// the "option.dat" file: both variable tables (globals are applied on reading), the
// settings block and the gallery flags, little-endian, written in one piece.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zan {

class VariableTable;

// Field names follow their meaning; widths and offsets are the stored layout.
struct OptionsBlock {
  int32_t readTextColours = 1;                    // 0: 1 draws read text in the read colour
  uint8_t windowTint[3] = {119, 119, 119};        // 4
  uint8_t windowOpacity = 190;                    // 7
  uint8_t textColour[3] = {255, 255, 255};        // 8
  uint8_t readTextColour[3] = {0, 0, 160};        // 11
  uint8_t reserved14[2] = {0, 0};                 // 14
  int32_t skipMode = 0;                           // 16, live state
  int32_t autoMode = 0;                           // 20, live state
  int32_t autoTimestamp = 0;                      // 24, live state (ms)
  int32_t rightClickAction = 1;                   // 28: 0 skip, 1 hide the window, 2 save
  int32_t unused32 = 0;                           // 32, carried unchanged
  int32_t displayMode = 1;                        // 36: 1 window, else full screen
  int32_t noEffects = 0;                          // 40
  int32_t skipUnread = 0;                         // 44
  int32_t duckMusicForVoice = 1;                  // 48
  int32_t muteAll = 0;                            // 52
  int32_t muteMusic = 0;                          // 56
  int32_t muteVoices = 0;                         // 60
  int32_t muteEffects = 0;                        // 64
  int32_t textRate = 8;                           // 68: typing pace 0..10
  int32_t autoPaceVoice = 8;                      // 72
  int32_t masterVolume = 9;                       // 76: levels 0..9
  int32_t musicVolume = 5;                        // 80
  int32_t voiceVolume = 5;                        // 84
  int32_t effectVolume = 5;                       // 88
  int32_t lastSavePage = 0;                       // 92
  int32_t lastSaveSlot = 0;                       // 96
  int32_t mouseWheel = 1;                         // 100
  int32_t askConfirmation = 1;                    // 104
  int32_t movieDisplay = 1;                       // 108
  int32_t skipRequest = 0;                        // 112, live state
  int32_t autoRequest = 0;                        // 116, live state
  int32_t configValue120 = 1;                     // 120, configuration screen
  int32_t configValue124 = 1;                     // 124, configuration screen
  int32_t carriedLevels[5] = {9, 9, 9, 9, 9};     // 128, carried unchanged
  int32_t carriedFlags[5] = {0, 0, 0, 0, 0};      // 148, carried unchanged
  int32_t autoPace = 8;                           // 168
  int32_t stopVoiceOnClick = 1;                   // 172

  static constexpr size_t kSize = 176;
  void Encode(std::span<uint8_t, kSize> out) const;
  static OptionsBlock Decode(std::span<const uint8_t, kSize> in);
};

// The stored layout is the in-memory one on a little-endian machine: encoding copies it.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(OptionsBlock) == OptionsBlock::kSize);
static_assert(offsetof(OptionsBlock, windowOpacity) == 7);
static_assert(offsetof(OptionsBlock, readTextColour) == 11);
static_assert(offsetof(OptionsBlock, skipMode) == 16);
static_assert(offsetof(OptionsBlock, displayMode) == 36);
static_assert(offsetof(OptionsBlock, textRate) == 68);
static_assert(offsetof(OptionsBlock, mouseWheel) == 100);
static_assert(offsetof(OptionsBlock, skipRequest) == 112);
static_assert(offsetof(OptionsBlock, carriedLevels) == 128);
static_assert(offsetof(OptionsBlock, carriedFlags) == 148);
static_assert(offsetof(OptionsBlock, autoPace) == 168);
static_assert(offsetof(OptionsBlock, stopVoiceOnClick) == 172);

// 1000 unlock flags of the picture gallery: flag i is bit i % 8 of byte i / 8.
class GalleryFlags {
 public:
  static constexpr int32_t kCount = 1000;
  static constexpr size_t kSize = 126;

  bool Get(int32_t index) const;
  // Indexes outside 0..999 do nothing.
  void Set(int32_t index);
  std::array<uint8_t, kSize>& Bytes() { return bytes_; }
  const std::array<uint8_t, kSize>& Bytes() const { return bytes_; }

 private:
  std::array<uint8_t, kSize> bytes_{};
};

// "option.dat": integer count, string count, the records, the block, the flags.
std::vector<uint8_t> EncodeOptionFile(const VariableTable& variables, const OptionsBlock& options,
                                      const GalleryFlags& gallery);
// Applies a stored "option.dat": the global variables by name, then the block and the
// flags. A file whose counts or size do not add up is refused whole (logged; everything
// keeps its value). True when applied.
bool ApplyOptionFile(std::span<const uint8_t> bytes, VariableTable& variables,
                     OptionsBlock& options, GalleryFlags& gallery);

}  // namespace zan
