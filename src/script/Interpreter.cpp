#include "script/Interpreter.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "stage/ImageLayers.h"
#include "platform/Files.h"
#include "platform/ReceiverList.h"
#include "core/TaskScheduler.h"
#include "script/ReadFlagStore.h"
#include "script/SysFiles.h"
#include "script/VariableTable.h"

namespace zan {
namespace {

// An endless loop without a waiting command would hold the frame for ever; past this many
// elements in one frame the rest runs in the next frame, so the window keeps answering.
constexpr int kMaxElementsPerFrame = 10000;

constexpr int32_t kFramesPerSecond = 30;
constexpr int kFirstVoiceChannel = 6;

const std::string& SpeakerOpen() {
  static const std::string text = Sjis("【");
  return text;
}
const std::string& SpeakerClose() {
  static const std::string text = Sjis("】");
  return text;
}

// The position of `needle` at a character start of `text` from `from`, or npos.
size_t FindCharacter(std::string_view text, std::string_view needle, size_t from) {
  for (size_t i = from; i < text.size();) {
    if (text.substr(i, needle.size()) == needle) return i;
    i += IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace

Interpreter::Interpreter(TaskScheduler& tasks, GameData& data, ScriptLoader& script, VariableTable& variables,
                     ReadFlagStore& readFlags, SoundManager& sound)
    : GameTask(tasks, "CGameMain", Sjis("CGameMain::【ゲームメイン】")),
      data_(data),
      script_(script),
      variables_(variables),
      readFlags_(readFlags),
      sounds_(SoundChannelBank::kScriptChannels, true, tasks, sound,
              [&data](std::string_view name, std::vector<uint8_t>& bytes) {
                return data.ReadGameFile(name, kSlotSounds, bytes);
              }) {
  SetHandler(0, [this] { return Update(); });
  SetHandler(1, [this] { return Draw(); });
  // Shakes and eye blinks draw from the script's generator, as "Rnd" does.
  layers_ = std::make_unique<ImageLayers>(tasks, data, [this] { return variables_.NextRandom(); });
  // Loading a script enters it at its top: the read-flag cursor follows.
  script_.SetEnterHook([this](std::string_view name, int32_t position) {
    if (ReadFlagsActive()) readFlags_.EnterScript(name, position, script_);
  });
  RegisterVariableCommands(commands_);
  RegisterInterpreterCommands(commands_);
  RegisterImageCommands(commands_);
  RegisterSoundCommands(commands_);
  SetUpSoundChannels();
  RegisterWindowCommands(commands_);
  RegisterChoiceCommands(commands_);
}

Interpreter::~Interpreter() {
  if (ReceiverList* receivers = Manager().Receivers()) receivers->Unregister(&input_);
  sounds_.StopAll();
}

bool Interpreter::ReadFlagsActive() const { return readFlags_.IsBuilt(); }

void Interpreter::Prepare() {
  variables_.LoadVariables(data_);
  LoadOptions();
  ApplyVolumes();
  choices_.LoadCountdownSheets();
}

void Interpreter::SetUpSoundChannels() {
  for (int i = 0; i < kSoundRecordCount; ++i) {
    soundRecords_[static_cast<size_t>(i)] = {};
    if (ChannelKind(i) != SoundKind::kBgm) continue;
    soundRecords_[static_cast<size_t>(i)].loop = 1;
    sounds_.Channel(i)->SetLoop(true);
  }
}

void Interpreter::LoadOptions() {
  // Without a file (the first run) the defaults stay.
  if (auto bytes = ReadSysFile(data_, "option.dat")) ApplyOptionFile(*bytes, variables_, options_, gallery_);
}

void Interpreter::SaveOptions() {
  WriteSysFile(data_, "option.dat", EncodeOptionFile(variables_, options_, gallery_));
}

void Interpreter::SaveReadFlags() { readFlags_.Save(data_); }

void Interpreter::StartGame(std::string_view scriptName) {
  Start(kOrderScreen);
  clickState_ = kClickNone;
  currentArea_ = 0;
  record_ = ScriptRecord();
  readPosition_ = 0;
  script_.LoadScript(record_, scriptName.empty() ? std::string_view("main.txt") : scriptName);
  layers_->Reset(10, 5);
  moviesAllowed_ = !data_.MovieIniPresent();
  variables_.LoadVariables(data_);
  LoadOptions();
  SetUpSoundChannels();
  backlog_.Clear();
  ducked_ = 0;
  ApplyVolumes();
  const OptionsBlock& o = options_;
  areas_.StartGame(data_, {o.textColour[0], o.textColour[1], o.textColour[2]},
                   {o.readTextColour[0], o.readTextColour[1], o.readTextColour[2]},
                   {o.windowTint[0], o.windowTint[1], o.windowTint[2]}, o.windowOpacity);
  choices_.StartGame();
  windowShown_ = 0;
  SetSkipMode(0);
  SetAutoMode(0);
  SetGameMode(kModeStory);
  timedWait_ = {};
  clickWait_ = 0;
  voiceAtWait_ = 0;
  arrowKey_ = 0;
  mouseMoved_ = 0;
  demo_ = {};
  sceneName_.clear();
  RemoveFile(data_.StateFile("save/save_sel.sav"));
}

void Interpreter::ReturnToTitle() {
  sounds_.StopAll();
  SaveReadFlags();
  areas_.StopGame();
  End();
  // Which screen follows depends on the mode; the screens are not built yet. A demo
  // returns to the story's mode.
  if (gameMode_ == kModeDemo) SetGameMode(kModeStory);
  SaveOptions();
}

void Interpreter::SetGameMode(int32_t mode) {
  gameMode_ = mode;
  if (mode == kModeStory || mode == kModeGalleryReplay) variables_.SetInt("g_scene_mode", 0);
  else if (mode >= kModeSceneReplay && mode <= kModeDemo) variables_.SetInt("g_scene_mode", 1);
}

void Interpreter::SetSkipMode(int32_t on) {
  options_.skipMode = on ? 1 : 0;
  if (frameRate_) frameRate_(on ? 0 : kFramesPerSecond);
}

void Interpreter::SetAutoMode(int32_t on) {
  options_.autoMode = on ? 1 : 0;
  if (on) options_.autoTimestamp = static_cast<int32_t>(Manager().Now());
}

void Interpreter::StartTimedWait(int32_t ms) {
  timedWait_ = {};
  if (ms <= 0) return;
  timedWait_ = {true, Manager().Now(), static_cast<uint32_t>(ms)};
}

void Interpreter::SetSceneName(std::string_view name) {
  sceneName_.assign(CutToCharacters(name, 63));
}

void Interpreter::ApplyVolumes() {
  SoundSettings settings;
  settings.muteAll = options_.muteAll != 0;
  settings.masterVolume = options_.masterVolume;
  settings.bgmVolume = options_.musicVolume;
  settings.effectVolume = options_.effectVolume;
  settings.voiceVolume = options_.voiceVolume;
  settings.bgmMute = options_.muteMusic != 0;
  settings.effectMute = options_.muteEffects != 0;
  settings.voiceMute = options_.muteVoices != 0;
  sounds_.ApplySettings(settings, false, ducked_ != 0);
}

void Interpreter::Advance() {
  clickWait_ = 0;
  if (options_.stopVoiceOnClick) {
    for (int i = kFirstVoiceChannel; i < SoundChannelBank::kScriptChannels; ++i)
      sounds_.Channel(i)->Stop();
  }
}

int32_t Interpreter::Update() {
  const uint32_t now = Manager().Now();
  // 1-2. Skip and auto requests. The system buttons are not built yet: their skip button
  // counts as shown and enabled.
  const bool choosing = choices_.Open() || choices_.MaskOpen();
  if (options_.skipRequest) {
    options_.skipRequest = 0;
    if (IsRunning() && !choosing && (readFlags_.IsCurrentWaitRead() || options_.skipUnread))
      SetSkipMode(1);
  }
  if (options_.autoRequest) {
    options_.autoRequest = 0;
    if (IsRunning() && !choosing) SetAutoMode(1);
  }
  // 6. An open choice takes the input; the script waits. An open mask choice holds the
  // script too, between its clicks.
  if (choices_.Open()) {
    if (!WindowHiddenByPlayer()) {
      choices_.Input(mouseMoved_ != 0, arrowKey_, clickState_ == kClickReleased);
      arrowKey_ = 0;
    }
  } else if (choices_.MaskOpen()) {
    choices_.MaskInput(mouseMoved_ != 0, arrowKey_, clickState_ == kClickReleased);
    arrowKey_ = 0;
  } else if (choices_.Selecting()) {
    // 7. The chosen button still blinks; the click stays for later.
    return 0;
  } else if (!RunScript(now)) {
    return 0;
  }
  // 12. The click is consumed.
  if (clickState_ == kClickReleased) clickState_ = kClickNone;
  else if (clickState_ == kClickPressed) clickState_ = kClickHeld;
  mouseMoved_ = 0;
  return 0;
}

bool Interpreter::RunScript(uint32_t now) {
  // 9. Ducking ends once no voice sounds.
  if (ducked_ && !sounds_.AnyVoicePlaying()) {
    ducked_ = 0;
    ApplyVolumes();
  }
  // 10. Skipping cancels timed waits and advances pages.
  if (options_.skipMode) {
    timedWait_ = {};
    if (clickWait_) Advance();
  }
  // 11. A running timed wait holds everything, the click included.
  if (timedWait_.active) {
    if (now - timedWait_.start < timedWait_.duration) return false;
    timedWait_ = {};
  }
  if (options_.autoMode && CurrentArea().IsAllShown()) {
    const int32_t pace = voiceAtWait_ ? options_.autoPaceVoice : options_.autoPace;
    const int64_t delay = int64_t{11 - pace} * 500;
    const int64_t since = static_cast<int64_t>(now - static_cast<uint32_t>(options_.autoTimestamp));
    if (since >= delay && !sounds_.AnyVoicePlaying()) {
      Advance();
      options_.autoTimestamp = static_cast<int32_t>(now);
    }
  }
  if (clickWait_) {
    if (clickState_ == kClickReleased && CurrentArea().ShowAll() == 0) Advance();
  } else {
    ExecuteElements();
    arrowKey_ = 0;
  }
  return true;
}

int32_t Interpreter::Draw() {
  if (drawTarget_ == nullptr) return 0;
  layers_->DrawScene(*drawTarget_, moviesAllowed_, moviesAllowed_);
  choices_.DrawMaskHover(*drawTarget_);
  return 0;
}

void Interpreter::DrawSlotOverlays(Surface& target) {
  layers_->DrawEyes(target);
  layers_->DrawZooms(target);
}

void Interpreter::DrawChoices(Surface& target) { choices_.Draw(target, Manager().Now()); }

void Interpreter::ClearPage(int32_t index) {
  MessageArea& area = areas_.Area(index);
  if (CurrentArea().HoldsText()) backlog_.Record(area.Record(), areas_.Layout());
  area.Clear();
  areas_.ClearNamePlate();
}

void Interpreter::ExecuteElements() {
  std::string element;
  for (int count = 0; count < kMaxElementsPerFrame; ++count) {
    if (readPosition_ >= record_.Size()) return;  // the script has ended: idle
    readPosition_ = script_.ReadElement(record_, readPosition_, element, CurrentArea().HoldsText());
    if (readPosition_ >= record_.Size()) return;
    if (element[0] != '<') {
      AppendText(element);
      continue;
    }
    switch (DispatchCommand(element)) {
      case DispatchResult::kContinue:
      case DispatchResult::kNoSlot:
        continue;
      case DispatchResult::kWindowChanged:
        ApplyWindowSettings();
        continue;
      case DispatchResult::kShowText:
        PresentPage(element);
        return;
      case DispatchResult::kStopFrame:
        return;
      case DispatchResult::kChoiceOpened:
        SetSkipMode(0);
        SetAutoMode(0);
        areas_.choice.ShowAll();
        return;
      case DispatchResult::kMaskChoiceOpened:
        SetSkipMode(0);
        SetAutoMode(0);
        return;
      case DispatchResult::kMovieStarted:
        return;
    }
  }
  ZAN_WARN("script: %s runs %d elements without waiting; going on next frame",
          SjisToUtf8(record_.name).c_str(), kMaxElementsPerFrame);
}

void Interpreter::AppendText(std::string_view text) {
  if (text.substr(0, SpeakerOpen().size()) != SpeakerOpen()) {
    areas_.Append(currentArea_, text);
    return;
  }
  const size_t nameStart = SpeakerOpen().size();
  const size_t close = FindCharacter(text, SpeakerClose(), nameStart);
  if (close == std::string_view::npos) {
    areas_.SetSpeaker(currentArea_, text.substr(nameStart));
    return;
  }
  std::string_view rest = text.substr(close + SpeakerClose().size());
  if (!rest.empty() && rest[0] == '\r') rest.remove_prefix(1);
  if (!rest.empty() && rest[0] == '\n') rest.remove_prefix(1);
  areas_.Append(currentArea_, rest);
  areas_.SetSpeaker(currentArea_, text.substr(nameStart, close - nameStart));
}

void Interpreter::SetCurrentAreaIndex(int32_t index) {
  if (index < 0 || index >= MessageAreas::kAreaCount) {
    ZAN_WARN("script: no message area %d; area %d stays current", index, currentArea_);
    return;
  }
  currentArea_ = index;
}

void Interpreter::PresentPage(std::string_view tag) {
  const bool textWait = IsTextWaitTag(tag) && ReadFlagsActive();
  // Whether the page's text was read before is the state of its text wait, also when an
  // image's wait presents it halfway (in folder mode every text counts as read).
  const bool read = readFlags_.IsCurrentWaitRead();
  if (textWait && !read && options_.skipMode && !options_.skipUnread) SetSkipMode(0);
  // The message window types the page out (with the area's own settings); auto mode counts
  // from the end of the typing.
  areas_.PresentPage(currentArea_, read && options_.readTextColours != 0);
  if (options_.skipMode) CurrentArea().ShowAll();
  if (textWait) readFlags_.MarkWaitRead();
}

DispatchResult Interpreter::DispatchCommand(std::string_view tag) {
  CommandCall call;
  call.tag = tag;
  const CommandName name = GetCommandName(tag);
  call.name = name.name;
  call.args = GetArgs(tag, name.offset);
  if (CountArgs(tag, name.offset) > kMaxArgs)
    ZAN_WARN("script: %s has more than %d arguments; the rest are left out", call.name.c_str(),
            kMaxArgs);
  if (const CommandHandler* handler = commands_.Find(call.name)) return (*handler)(*this, call);
  return DispatchResult::kContinue;
}

int32_t Interpreter::JumpToLabel(std::string_view label) {
  const int32_t position = ScriptLoader::FindLabel(record_, label);
  if (position < 0) {
    ZAN_WARN("script: no label [%s] in %s", SjisToUtf8(label).c_str(),
            SjisToUtf8(record_.name).c_str());
    return 0;
  }
  readPosition_ = position;
  RepositionReadFlags();
  return 1;
}

int32_t Interpreter::JumpToScript(std::string_view scriptName, std::string_view label) {
  if (label.empty()) return JumpToLabel(scriptName);
  const bool changes = !EqualsNoCase(scriptName, record_.name);
  script_.LoadScript(record_, scriptName);
  if (JumpToLabel(label) == 1) return 1;
  // The old read position means nothing in another script: start it from its top.
  if (changes) {
    readPosition_ = 0;
    RepositionReadFlags();
  }
  return 0;
}

void Interpreter::RepositionReadFlags() {
  if (ReadFlagsActive() && !record_.name.empty())
    readFlags_.EnterScript(record_.name, readPosition_, script_);
}

void Interpreter::Click() {
  // With the window hidden by the player a click only brings it back.
  if (WindowHiddenByPlayer()) {
    SetWindowHiddenByPlayer(0);
    return;
  }
  clickState_ = kClickReleased;
}

void Interpreter::RightButtonAction() {
  switch (options_.rightClickAction) {
    case 0:
      if (options_.skipMode) SetSkipMode(0);
      else RequestSkip();
      break;
    case 1:
      SetWindowHiddenByPlayer(WindowHiddenByPlayer() ? 0 : 1);
      break;
    default:
      break;  // 2 opens the save screen, which is not built yet
  }
}

void Interpreter::ToggleWindowHiddenByPlayer() {
  SetSkipMode(0);
  SetAutoMode(0);
  SetWindowHiddenByPlayer(WindowHiddenByPlayer() ? 0 : 1);
}

void Interpreter::EndDemo() {
  if (!demo_.active) {
    ReturnToTitle();
    return;
  }
  DemoReturn back = demo_;
  demo_ = {};
  if (!back.script.empty()) JumpToScript(back.script, back.label);
  else JumpToLabel(back.label);
  SetGameMode(back.savedMode);
}

bool Interpreter::Input::HandleEvent(const InputEvent& event) {
  if (!owner_.IsRunning()) return false;
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kButtonDown:
      if (event.button == PointerButton::kLeft) owner_.clickState_ = kClickPressed;
      break;
    case Kind::kButtonUp:
      if (event.button == PointerButton::kRight && !owner_.rightButtonMappedToCancel_)
        owner_.RightButtonAction();
      break;
    case Kind::kPointerMove:
      owner_.mouseMoved_ = 1;
      break;
    case Kind::kKeyDown:
      switch (event.key) {
        case Key::kLeft: owner_.arrowKey_ = 1; break;
        case Key::kRight: owner_.arrowKey_ = 2; break;
        case Key::kUp: owner_.arrowKey_ = 3; break;
        case Key::kDown: owner_.arrowKey_ = 4; break;
        default: break;
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace zan
