#pragma once
// The game's own state files ("option.dat", "kidoku.dat") live in the folder "sys" of the
// game's state folder (GameData::StateFolder), created on the first write. Writes go through a temporary file and a
// rename, so a crash never leaves a half-written file in place of the old one.

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

}  // namespace zan
