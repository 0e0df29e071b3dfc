#include "script/SysFiles.h"

#include <string>

#include "base/DiagnosticLog.h"
#include "data/GameData.h"
#include "platform/Files.h"

namespace zan {
namespace {

std::string SysPath(const GameData& data, std::string_view name) {
  return data.StateFile("sys/" + std::string(name));
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadSysFile(const GameData& data, std::string_view name) {
  auto bytes = ReadWholeFile(SysPath(data, name));
  if (!bytes) return std::nullopt;
  return std::move(*bytes);
}

bool WriteSysFile(const GameData& data, std::string_view name, std::span<const uint8_t> bytes) {
  const std::string file(name);
  if (!data.CreateStateFolder("sys")) {
    ZAN_WARN("%s: the folder sys cannot be created in %s", file.c_str(),
             data.StateFolder().c_str());
    return false;
  }
  if (Status s = WriteFileAtomic(SysPath(data, name), bytes); !s) {
    ZAN_WARN("%s: %s", file.c_str(), s.error().message.c_str());
    return false;
  }
  return true;
}

}  // namespace zan
