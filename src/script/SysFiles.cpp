#include "script/SysFiles.h"

#include <string>

#include "base/DiagnosticLog.h"
#include "data/GameData.h"
#include "platform/Files.h"

namespace zan {
namespace {

std::string StatePath(const GameData& data, std::string_view folder, std::string_view name) {
  return data.StateFile(std::string(folder) + "/" + std::string(name));
}

std::optional<std::vector<uint8_t>> ReadStateFile(const GameData& data, std::string_view folder,
                                                  std::string_view name) {
  auto bytes = ReadWholeFile(StatePath(data, folder, name));
  if (!bytes) return std::nullopt;
  return std::move(*bytes);
}

bool WriteStateFile(const GameData& data, std::string_view folder, std::string_view name,
                    std::span<const uint8_t> bytes) {
  const std::string file(name);
  if (!data.CreateStateFolder(folder)) {
    ZAN_WARN("%s: the folder %s cannot be created in %s", file.c_str(), std::string(folder).c_str(),
             data.StateFolder().c_str());
    return false;
  }
  if (Status s = WriteFileAtomic(StatePath(data, folder, name), bytes); !s) {
    ZAN_WARN("%s: %s", file.c_str(), s.error().message.c_str());
    return false;
  }
  return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadSysFile(const GameData& data, std::string_view name) {
  return ReadStateFile(data, "sys", name);
}

bool WriteSysFile(const GameData& data, std::string_view name, std::span<const uint8_t> bytes) {
  return WriteStateFile(data, "sys", name, bytes);
}

std::optional<std::vector<uint8_t>> ReadSaveFile(const GameData& data, std::string_view name) {
  return ReadStateFile(data, "save", name);
}

bool WriteSaveFile(const GameData& data, std::string_view name, std::span<const uint8_t> bytes) {
  return WriteStateFile(data, "save", name, bytes);
}

bool RemoveSaveFile(const GameData& data, std::string_view name) {
  return RemoveFile(StatePath(data, "save", name));
}

}  // namespace zan
