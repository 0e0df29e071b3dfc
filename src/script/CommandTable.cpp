#include "script/CommandTable.h"

#include "base/ShiftJis.h"
#include "base/TextCase.h"

namespace zan {
namespace {

// The catalogue in matching order, family by family.
constexpr const char* kCatalogue[] = {
    // Image slots.
    "ImageCreate", "ImageInit", "BgInit", "ChrInit", "Image", "ImageLoad", "ImageLoadInit",
    "ImageLoadEye", "ImagePos", "ImageVisible", "ImageRGBA", "ImageReverse", "ImageNegaposi",
    "ImageRate", "ImageMove", "ImageFade", "ImageShake", "ImageShake2", "ImagePry", "ImageParts",
    "ImagePartsDel", "ImageMoveRate", "ImageMono",
    // Particle effects.
    "EasyRain", "EasyRainPow", "EasyRainSpeed", "EasyRainAngle", "EasyRainRand", "EasySnow",
    "EasySnowPow", "EasySnowSpeed", "EasySnowAngle", "EasySnowRand", "EasyLeaf", "EasyLeafPow",
    "EasyLeafSpeed", "EasyLeafAngle", "EasyLeafRand",
    // Movies.
    "ImageMovieLoad", "ImageMovieStop", "ImageMoviePause", "ImageMovieRun", "ImageMovieLoop",
    // Sound channels.
    "SoundInit", "SoundLoad", "SoundPlay", "SoundRun", "SoundLoop", "SoundDir", "SoundMute",
    "SoundVolume", "SoundLoopPos",
    // Zoom slots.
    "ZoomCreate", "ZoomInit", "ZoomVisible", "ZoomDst", "ZoomSrc", "ZoomMove", "ZoomFade",
    "SoundFade",
    // Transitions.
    "Update",
    // Variables and jumps.
    "Mov", "Add", "Sub", "Mul", "Div", "Mod", "Inc", "Dec", "Rnd", "If", "Jump", "JumpR",
    "JumpClear", "Return",
    // Choices.
    "SltAdd", "SltDel", "SltRun", "SltRunCD3", "SltRunCD5", "SltMaskHitSet", "SltMaskOverSet",
    "SltMaskDel", "SltMaskAdd", "SltMaskRun",
    // Message windows.
    "WinCurrent", "WinImage", "WinMsgLength", "WinDefFontColor", "WinDefFontSize", "WinFrame",
    "WinPos", "WinMsgHome", "WinClear", "WinFontColor", "/WinFontColor", "WinFontSize",
    "/WinFontSize", "WinNumber", "WinString", "WinRubi", "WinEmo", "WinAlign",
    // Text waits.
    "KW", "TW",
    // System commands.
    "SceneSet", "TitleReturn", "SystemIcon", "WinOn", "WinOff", "DemoEnd", "DemoRun", "RkoScope",
    "TarotAdd", "TarotDel", "TarotRun", "SaveRun", "WebJump",
};

}  // namespace

const std::string& CommandCall::Arg(size_t index) const {
  static const std::string empty;
  return index < args.size() ? args[index] : empty;
}

bool CommandCall::Is(size_t index, std::string_view keyword) const {
  return EqualsNoCase(Arg(index), keyword);
}

CommandTable::CommandTable() {
  for (const char* name : kCatalogue) {
    byLowerName_.emplace(ToLowerSjis(name), entries_.size());
    entries_.push_back({name, nullptr});
  }
}

bool CommandTable::SetHandler(std::string_view name, CommandHandler handler) {
  const int32_t at = Position(name);
  if (at < 0) return false;
  entries_[static_cast<size_t>(at)].handler = std::move(handler);
  return true;
}

const CommandHandler* CommandTable::Find(std::string_view name) const {
  const int32_t at = Position(name);
  if (at < 0 || !entries_[static_cast<size_t>(at)].handler) return nullptr;
  return &entries_[static_cast<size_t>(at)].handler;
}

int32_t CommandTable::Position(std::string_view name) const {
  auto it = byLowerName_.find(ToLowerSjis(name));
  return it == byLowerName_.end() ? -1 : static_cast<int32_t>(it->second);
}

}  // namespace zan
