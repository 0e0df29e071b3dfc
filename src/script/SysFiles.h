#pragma once
// The game's own state files live in its state folder (GameData::StateFolder): "option.dat"
// and "kidoku.dat" in the folder "sys", the saves in the folder "save", each folder created
// on the first write. Writes go through a temporary file in the same folder, checked,
// synced and renamed over the old file, so a crash or a full disk never leaves a
// half-written file in place of the old one.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace zan {

class GameData;

// The file's bytes; nullopt when it does not exist or cannot be read.
std::optional<std::vector<uint8_t>> ReadSysFile(const GameData& data, std::string_view name);
// False (logged) when the folder or the file cannot be written.
bool WriteSysFile(const GameData& data, std::string_view name, std::span<const uint8_t> bytes);

// The same for the save files ("save3.sav", "saveq.sav"...).
std::optional<std::vector<uint8_t>> ReadSaveFile(const GameData& data, std::string_view name);
bool WriteSaveFile(const GameData& data, std::string_view name, std::span<const uint8_t> bytes);
// True when the save existed and is gone.
bool RemoveSaveFile(const GameData& data, std::string_view name);

}  // namespace zan
