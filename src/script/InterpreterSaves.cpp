// The interpreter's saves: a save is built from the live state when it is written, and a
// load reads and checks the whole file before it changes anything, then restores the game
// in a fixed order (the script and its place, the calls, the message areas and the choices,
// the image slots and zoom windows, the sound channels, the variables, the waits).

#include <cstring>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "script/Interpreter.h"
#include "script/ReadFlagStore.h"
#include "script/SaveFile.h"
#include "script/SysFiles.h"
#include "script/VariableTable.h"
#include "stage/ImageLayers.h"
#include "surface/Bitmap.h"

namespace zan {

namespace {
// A quick load and the return from a special script cross to the restored scene over this
// many milliseconds.
constexpr int32_t kRestoreFade = 1000;
}  // namespace

std::vector<uint8_t> Interpreter::Thumbnail() {
  constexpr int32_t kWidth = ImageLayers::kStageWidth;
  constexpr int32_t kHeight = ImageLayers::kStageHeight;
  std::vector<uint8_t> thumbnail(SaveFile::kThumbnailSize);
  Surface still;
  Bitmap pixels;
  if (!still.Create(kWidth, kHeight) || !pixels.Create(kWidth, kHeight, 1, 24)) return thumbnail;
  layers_->DrawImages(still);
  if (!pixels.CopyFromSurface(still)) return thumbnail;
  // Each thumbnail pixel is the mean of the 6.25 x 6.25 stage pixels it covers (whole
  // pixels from the first it touches to the last, so every stage pixel counts).
  for (int32_t ty = 0; ty < SaveFile::kThumbnailHeight; ++ty) {
    const int32_t y0 = ty * kHeight / SaveFile::kThumbnailHeight;
    const int32_t y1 = (ty + 1) * kHeight / SaveFile::kThumbnailHeight;
    uint8_t* out = thumbnail.data() + static_cast<size_t>(ty) * SaveFile::kThumbnailRow;
    for (int32_t tx = 0; tx < SaveFile::kThumbnailWidth; ++tx) {
      const int32_t x0 = tx * kWidth / SaveFile::kThumbnailWidth;
      const int32_t x1 = (tx + 1) * kWidth / SaveFile::kThumbnailWidth;
      uint32_t sum[3] = {0, 0, 0};
      for (int32_t y = y0; y < y1; ++y) {
        const uint8_t* row = pixels.BitmapRow(y);
        for (int32_t x = x0; x < x1; ++x)
          for (int c = 0; c < 3; ++c) sum[c] += row[3 * x + c];
      }
      const uint32_t count = static_cast<uint32_t>((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 3; ++c) out[3 * tx + c] = static_cast<uint8_t>((sum[c] + count / 2) / count);
    }
  }
  return thumbnail;
}

SaveFile Interpreter::CaptureSave() {
  SaveFile save;
  save.thumbnail = Thumbnail();
  save.time = saveClock_ ? saveClock_() : SaveTime::Now();
  save.pageText = SavePageText(CurrentArea());
  save.script = record_.name;
  save.scene = sceneName_;
  save.tarot = tarotResult_;
  save.readPosition = readPosition_;
  save.reserved = reservedWords_;
  for (int32_t i = 0; i < record_.returns.Count(); ++i) save.calls.push_back(record_.returns.At(i));
  save.choice = choices_.State();
  save.mask = choices_.Mask();
  save.currentArea = areas_.CurrentIndex();
  for (int32_t i = 0; i < SaveFile::kAreas; ++i) save.areas[static_cast<size_t>(i)] = areas_.Area(i).Record();
  save.areas[SaveFile::kAreas] = areas_.choice.Record();
  save.slots = layers_->SaveSlots();
  save.zooms = layers_->SaveZooms();
  save.sounds = sounds_.Records();
  save.weather = weather_.Record();
  save.ints = variables_.Ints();
  save.strings = variables_.Strings();
  save.windowShown = areas_.WindowShown() ? 1 : 0;
  save.openedBySaveRun = openedBySaveRun_;
  return save;
}

bool Interpreter::SaveGame(std::string_view file) {
  const std::string name(file);
  if (gameMode_ != kModeStory) {
    ZAN_WARN("%s: saving is refused outside the story (game mode %d)", name.c_str(), gameMode_);
    return false;
  }
  if (record_.name.empty()) {
    ZAN_WARN("%s: no script is loaded; nothing to save", name.c_str());
    return false;
  }
  const std::vector<uint8_t> bytes = EncodeSaveFile(CaptureSave());
  if (!WriteSaveFile(data_, file, bytes)) return false;
  ZAN_DEBUG("%s: saved at %s, position %d", name.c_str(), SjisToUtf8(record_.name).c_str(), readPosition_);
  return true;
}

bool Interpreter::QuickSaveAllowed() const { return !choices_.CountdownActive() && !choices_.Selecting(); }

bool Interpreter::QuickSave() {
  if (!QuickSaveAllowed()) {
    ZAN_WARN("%s: no quick save while a choice counts down or a chosen entry blinks",
             std::string(kQuickSave).c_str());
    return false;
  }
  return SaveGame(kQuickSave);
}

bool Interpreter::LoadGame(std::string_view file) {
  const std::string name(file);
  if (gameMode_ != kModeStory) {
    ZAN_WARN("%s: loading is refused outside the story (game mode %d)", name.c_str(), gameMode_);
    return false;
  }
  Result<SaveFile> save = ReadLoadableSave(file);
  if (!save) {
    ZAN_WARN("%s: %s; the game goes on unchanged", name.c_str(), save.error().message.c_str());
    return false;
  }
  RestoreSave(*save, file);
  ZAN_DEBUG("%s: loaded at %s, position %d", name.c_str(), SjisToUtf8(record_.name).c_str(), readPosition_);
  return true;
}

Status Interpreter::CheckSave(std::string_view file) {
  Result<SaveFile> save = ReadLoadableSave(file);
  if (!save) return save.error();
  return {};
}

Result<SaveFile> Interpreter::ReadLoadableSave(std::string_view file) {
  const auto bytes = ReadSaveFile(data_, file);
  if (!bytes) return MakeError("there is no such save, or it cannot be read");
  Result<SaveFile> save = DecodeSaveFile(*bytes);
  if (!save) return MakeError("not a valid save (" + save.error().message + ")");
  // The saved script must be there and hold the saved place, and so must every script a
  // pending call returns to.
  if (Status held = ScriptHoldsPosition(save->script, save->readPosition); !held) return held.error();
  for (const ReturnStack::Entry& call : save->calls)
    if (Status held = ScriptHoldsPosition(call.script, call.position); !held) return held.error();
  return save;
}

Status Interpreter::ScriptHoldsPosition(const std::string& script, int32_t position) {
  std::vector<uint8_t> text;
  if (data_.ReadGameFile(script, kSlotScripts, text) != 1)
    return MakeError("its script " + SjisToUtf8(script) + " cannot be read");
  if (static_cast<uint64_t>(position) > text.size())
    return MakeError("the position " + std::to_string(position) + " lies beyond the " +
                     std::to_string(text.size()) + " bytes of " + SjisToUtf8(script));
  return {};
}

void Interpreter::RestoreSave(const SaveFile& save, std::string_view file) {
  // The global state on disk is brought up to date first; it is read back at the end.
  SetSkipMode(false);
  SetAutoMode(false);
  SaveOptions();

  ResetStory(save.script);
  readPosition_ = save.readPosition;
  tarotResult_ = save.tarot;
  reservedWords_ = save.reserved;
  sceneName_ = save.scene;
  for (const ReturnStack::Entry& call : save.calls) record_.returns.Push(call.script, call.position);

  areas_.Restore(data_, save.areas, save.currentArea, save.windowShown != 0);
  choices_.Restore(save.choice, save.mask);
  layers_->RestoreSlots(save.slots);
  layers_->RestoreZooms(save.zooms);
  sounds_.Restore(save.sounds);
  ApplyVolumes();
  weather_.Restore(save.weather);
  variables_.RestoreGameVariables(save.ints, save.strings);
  // The restored page waits for the player, unless a choice holds the story or the save
  // was made on the screen the script opened (the story then goes on after "SaveRun"). The
  // flag has done its work: kept, it would mark every later save of this game, whose loads
  // would then run on past their page.
  clickWait_ = !choices_.Open() && !choices_.MaskOpen() && save.openedBySaveRun == 0;
  openedBySaveRun_ = 0;
  RepositionReadFlags();
  if (!EqualsNoCase(file, kLastChoiceSave)) RemoveSaveFile(data_, kLastChoiceSave);
  LoadOptions();
}

bool Interpreter::OpenSpecialScript(std::string_view script) {
  if (gameMode_ != kModeStory || !IsRunning()) return false;
  if (!SaveGame(kSpecialSave)) {
    ZAN_WARN("%s: the game cannot be kept; %s does not start", std::string(kSpecialSave).c_str(),
             SjisToUtf8(script).c_str());
    return false;
  }
  SetSkipMode(false);
  SetAutoMode(false);
  ResetStory({});
  SetGameMode(kModeSpecial);
  JumpToScript(script, "top");
  return true;
}

void Interpreter::TitleReturn() {
  if (gameMode_ != kModeSpecial) {
    ReturnToTitle();
    return;
  }
  SetGameMode(kModeStory);
  if (!LoadGame(kSpecialSave)) {
    RestartAfterFailedRestore();
    return;
  }
  scenes_.CrossFromScreen(kRestoreFade);
}

bool Interpreter::QuickLoad() {
  if (!LoadGame(kQuickSave)) return false;
  scenes_.CrossFromScreen(kRestoreFade);
  return true;
}

void Interpreter::RestartAfterFailedRestore() {
  ZAN_WARN("the game cannot be restored; back to the title");
  ReturnToTitle();
}

}  // namespace zan
