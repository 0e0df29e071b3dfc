#include "script/Interpreter.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "base/TextCase.h"
#include "data/GameData.h"
#include "frame/FrameCompositor.h"
#include "message/MessageWindowTask.h"
#include "stage/ImageLayers.h"
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
// A new game's first scene fades in over this many milliseconds.
constexpr int32_t kStartFade = 1000;
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
      sounds_(tasks, sound,
              [&data](std::string_view name, std::vector<uint8_t>& bytes) {
                return data.ReadGameFile(name, kSlotSounds, bytes);
              }),
      // Shakes and eye blinks draw from the script's generator, as "Rnd" does.
      layers_(std::make_unique<ImageLayers>(tasks, data, [this] { return variables_.NextRandom(); })),
      sceneLayer_(*layers_),
      overlayLayer_(*layers_),
      choices_({data, areas_, readFlags, backlog_, *this, input_, tasks.GetClock()}),
      scenes_(*layers_, data, *this, [this] { ResumeAfterTransition(); }),
      // The weather draws from the script's generator too, so a seed replays both.
      weather_(tasks, data, [this] { return variables_.NextRandom(); }),
      timedWait_(tasks.GetClock()) {
  SetHandler(0, [this] { Update(); });
  // Loading a script enters it at its top: the read-flag cursor follows.
  script_.SetEnterHook([this](std::string_view name, int32_t position) {
    if (ReadFlagsActive()) readFlags_.EnterScript(name, position, script_);
  });
  RegisterCommands();
  sounds_.NewGame();
}

Interpreter::~Interpreter() {
  if (ReceiverList* receivers = Manager().Receivers()) receivers->Unregister(&receiver_);
  // The message window may be gone already: its layer is known from when it was added.
  if (frame_ != nullptr)
    for (const FrameLayer* layer : frameLayers_) frame_->Remove(*layer);
  sounds_.StopAll();
}

void Interpreter::RegisterCommands() {
  const StageCommandServices stage{*layers_, variables_, options_, timedWait_};
  RegisterVariableCommands(commands_, {variables_});
  RegisterInterpreterCommands(commands_, {*this, variables_, timedWait_});
  RegisterImageCommands(commands_, {stage, gallery_, pictures_});
  RegisterWeatherCommands(commands_, {weather_, variables_});
  RegisterZoomCommands(commands_, stage);
  RegisterTransitionCommands(commands_, {scenes_, variables_, options_});
  RegisterSoundCommands(commands_, {sounds_, variables_, options_, backlog_});
  RegisterWindowCommands(commands_, {areas_, variables_, data_, options_, backlog_});
  RegisterChoiceCommands(commands_, {choices_, variables_, record_, readPosition_});
}

void Interpreter::Attach(MessageWindowTask& window, FrameCompositor& frame) {
  window_ = &window;
  frame_ = &frame;
  window.Attach(areas_, {&clickWait_, &options_.skipMode, &options_.textRate, &options_.autoTimestamp});
  frameLayers_ = {&sceneLayer_, &choices_.MaskHoverLayer(), &overlayLayer_, &window, &choices_.MenuLayer()};
  frame.Add(Layer::kStage, sceneLayer_, *this);
  frame.Add(Layer::kStage, choices_.MaskHoverLayer(), *this);
  frame.Add(Layer::kSlotOverlays, overlayLayer_, window);
  frame.Add(Layer::kMessageAreas, window, window);
  frame.Add(Layer::kChoices, choices_.MenuLayer(), window);
  weather_.Attach(frame);
}

bool Interpreter::ReadFlagsActive() const { return readFlags_.IsBuilt(); }

void Interpreter::Prepare() {
  variables_.LoadVariables(data_);
  LoadOptions();
  ApplyVolumes();
  choices_.LoadCountdownSheets();
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
  variables_.LoadVariables(data_);
  LoadOptions();
  ResetStory(scriptName);
  SetSkipMode(false);
  SetAutoMode(false);
  SetGameMode(kModeStory);
  demo_ = {};
  RemoveSaveFile(data_, kLastChoiceSave);
  scenes_.CrossFromScreen(kStartFade);
}

void Interpreter::ResetStory(std::string_view scriptName) {
  // A transition under way belongs to the story being left.
  scenes_.Abandon();
  Start(kOrderScreen);
  // Held earlier in this frame (a new game's cross that a load now replaces), the task is
  // still in the list with its ended flag: it stays, and runs.
  SetEnded(false);
  input_.click = kClickNone;
  record_ = ScriptRecord();
  readPosition_ = 0;
  script_.LoadScript(record_, scriptName.empty() ? std::string_view("main.txt") : scriptName);
  layers_->Reset(10, 5);
  weather_.Reset();
  sceneLayer_.SetMoviesAllowed(!data_.MovieIniPresent());
  sounds_.NewGame();
  backlog_.Clear();
  sounds_.SetDucked(false);
  ApplyVolumes();
  const OptionsBlock& o = options_;
  areas_.StartGame(data_, {o.textColour[0], o.textColour[1], o.textColour[2]},
                   {o.readTextColour[0], o.readTextColour[1], o.readTextColour[2]},
                   {o.windowTint[0], o.windowTint[1], o.windowTint[2]}, o.windowOpacity);
  if (window_ != nullptr) window_->StartDrawing();
  choices_.StartGame();
  timedWait_.Cancel();
  clickWait_ = false;
  voiceAtWait_ = false;
  input_.arrow = ArrowKey::kNone;
  input_.pointerMoved = false;
  sceneName_.clear();
  tarotResult_ = 0;
  reservedWords_ = {};
  openedBySaveRun_ = 0;
}

void Interpreter::ResumeAfterTransition() {
  Start(kOrderScreen);
  input_.click = kClickNone;
}

void Interpreter::ReturnToTitle() {
  const GameMode ended = gameMode_;
  sounds_.StopAll();
  weather_.StopAll();
  scenes_.Abandon();
  SaveReadFlags();
  if (window_ != nullptr) window_->End();
  End();
  // A demo returns to the story's mode; the screen that follows depends on the mode it
  // was in.
  if (gameMode_ == kModeDemo) SetGameMode(kModeStory);
  SaveOptions();
  if (titleOpener_) titleOpener_(ended);
}

void Interpreter::SetGameMode(GameMode mode) {
  gameMode_ = mode;
  if (mode == kModeStory || mode == kModeGalleryReplay) variables_.SetInt("g_scene_mode", 0);
  else if (mode >= kModeSceneReplay && mode <= kModeDemo) variables_.SetInt("g_scene_mode", 1);
}

void Interpreter::SetSkipMode(bool on) {
  options_.skipMode = on ? 1 : 0;
  if (frameRate_) frameRate_(on ? 0 : kFramesPerSecond);
}

void Interpreter::SetAutoMode(bool on) {
  options_.autoMode = on ? 1 : 0;
  if (on) options_.autoTimestamp = static_cast<int32_t>(Manager().Now());
}

void Interpreter::SetSceneName(std::string_view name) {
  sceneName_.assign(CutToCharacters(name, 63));
}

void Interpreter::Advance() {
  clickWait_ = false;
  if (options_.stopVoiceOnClick) {
    for (int i = kFirstVoiceChannel; i < SoundChannelBank::kScriptChannels; ++i)
      sounds_.Channel(i)->Stop();
  }
}

void Interpreter::Update() {
  const uint32_t now = Manager().Now();
  // Skip and auto mode start through requests, which an open choice refuses. The system
  // buttons are not built yet: their skip button counts as shown and enabled.
  const bool choosing = choices_.Open() || choices_.MaskOpen();
  if (options_.skipRequest) {
    options_.skipRequest = 0;
    if (IsRunning() && !choosing && (readFlags_.IsCurrentWaitRead() || options_.skipUnread))
      SetSkipMode(true);
  }
  if (options_.autoRequest) {
    options_.autoRequest = 0;
    if (IsRunning() && !choosing) SetAutoMode(true);
  }
  // An open choice takes the input; the script waits. An open mask choice holds the
  // script too, between its clicks.
  if (choices_.Open()) {
    if (!WindowHiddenByPlayer()) {
      choices_.Input();
      input_.arrow = ArrowKey::kNone;
    }
  } else if (choices_.MaskOpen()) {
    choices_.MaskInput();
    input_.arrow = ArrowKey::kNone;
  } else if (choices_.Selecting()) {
    // The chosen button still blinks; the click stays for later.
    return;
  } else if (!RunScript(now)) {
    return;
  }
  // The click is consumed.
  if (input_.click == kClickReleased) input_.click = kClickNone;
  else if (input_.click == kClickPressed) input_.click = kClickHeld;
  input_.pointerMoved = false;
}

bool Interpreter::RunScript(uint32_t now) {
  // Ducking ends once no voice sounds.
  if (sounds_.Ducked() && !sounds_.AnyVoicePlaying()) {
    sounds_.SetDucked(false);
    ApplyVolumes();
  }
  // Skipping cancels timed waits and advances pages.
  if (options_.skipMode) {
    timedWait_.Cancel();
    if (clickWait_) Advance();
  }
  // A running timed wait holds everything, the click included.
  if (timedWait_.active) {
    if (!timedWait_.Over(now)) return false;
    timedWait_.Cancel();
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
    if (input_.click == kClickReleased && !CurrentArea().ShowAll()) Advance();
  } else {
    ExecuteElements();
    input_.arrow = ArrowKey::kNone;
  }
  return true;
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
        areas_.ApplySettings(areas_.CurrentIndex());
        continue;
      case DispatchResult::kShowText:
        PresentPage(element);
        return;
      case DispatchResult::kStopFrame:
        return;
      case DispatchResult::kChoiceOpened:
        SetSkipMode(false);
        SetAutoMode(false);
        areas_.choice.ShowAll();
        // Back to the last choice loads the game as it stands now, the choice open.
        if (choices_.Open() && gameMode_ == kModeStory) SaveGame(kLastChoiceSave);
        return;
      case DispatchResult::kMaskChoiceOpened:
        SetSkipMode(false);
        SetAutoMode(false);
        return;
      case DispatchResult::kMovieStarted:
        return;
    }
  }
  ZAN_WARN("script: %s runs %d elements without waiting; going on next frame",
          SjisToUtf8(record_.name).c_str(), kMaxElementsPerFrame);
}

void Interpreter::AppendText(std::string_view text) {
  const int32_t current = areas_.CurrentIndex();
  if (text.substr(0, SpeakerOpen().size()) != SpeakerOpen()) {
    areas_.Append(current, text);
    return;
  }
  const size_t nameStart = SpeakerOpen().size();
  const size_t close = FindCharacter(text, SpeakerClose(), nameStart);
  if (close == std::string_view::npos) {
    areas_.SetSpeaker(current, text.substr(nameStart));
    return;
  }
  std::string_view rest = text.substr(close + SpeakerClose().size());
  if (!rest.empty() && rest[0] == '\r') rest.remove_prefix(1);
  if (!rest.empty() && rest[0] == '\n') rest.remove_prefix(1);
  areas_.Append(current, rest);
  areas_.SetSpeaker(current, text.substr(nameStart, close - nameStart));
}

void Interpreter::PresentPage(std::string_view tag) {
  const bool textWait = IsTextWaitTag(tag) && ReadFlagsActive();
  // Whether the page's text was read before is the state of its text wait, also when an
  // image's wait presents it halfway (in folder mode every text counts as read).
  const bool read = readFlags_.IsCurrentWaitRead();
  if (textWait && !read && options_.skipMode && !options_.skipUnread) SetSkipMode(false);
  // The message window types the page out (with the area's own settings); auto mode counts
  // from the end of the typing.
  areas_.PresentPage(areas_.CurrentIndex(), read && options_.readTextColours != 0);
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
  if (const CommandHandler* handler = commands_.Find(call.name)) return (*handler)(call);
  return DispatchResult::kContinue;
}

bool Interpreter::JumpToLabel(std::string_view label) {
  const int32_t position = ScriptLoader::FindLabel(record_, label);
  if (position < 0) {
    ZAN_WARN("script: no label [%s] in %s", SjisToUtf8(label).c_str(),
            SjisToUtf8(record_.name).c_str());
    return false;
  }
  readPosition_ = position;
  RepositionReadFlags();
  return true;
}

bool Interpreter::JumpToScript(std::string_view scriptName, std::string_view label) {
  if (label.empty()) return JumpToLabel(scriptName);
  const bool changes = !EqualsNoCase(scriptName, record_.name);
  script_.LoadScript(record_, scriptName);
  if (JumpToLabel(label)) return true;
  // The old read position means nothing in another script: start it from its top.
  if (changes) {
    readPosition_ = 0;
    RepositionReadFlags();
  }
  return false;
}

void Interpreter::Call(std::string_view scriptName, std::string_view label) {
  ReturnStack& stack = record_.returns;
  if (stack.Count() >= ReturnStack::kDepth) {
    ZAN_WARN("script: JumpR in %s nests deeper than %d calls; the call is left out",
            SjisToUtf8(record_.name).c_str(), ReturnStack::kDepth);
    return;
  }
  const std::string from = record_.name;
  const int32_t position = readPosition_;
  const bool landed = scriptName.empty() ? JumpToLabel(label) : JumpToScript(scriptName, label);
  if (landed) stack.Push(from, position);
}

void Interpreter::Return() {
  ReturnStack::Entry entry;
  if (!record_.returns.Pop(&entry) || entry.script.empty()) return;
  script_.LoadScript(record_, entry.script);
  readPosition_ = entry.position;
  RepositionReadFlags();
}

void Interpreter::WaitForClick() {
  clickWait_ = true;
  voiceAtWait_ = sounds_.AnyVoicePlaying();
  MessageArea& area = CurrentArea();
  area.SetVertical(area.Settings().vertical);
}

void Interpreter::StartDemo(std::string_view scriptName, std::string_view label) {
  demo_.active = true;
  demo_.savedMode = gameMode_;
  demo_.script = scriptName;
  demo_.label = label;
  SetGameMode(kModeDemo);
}

void Interpreter::RepositionReadFlags() {
  if (ReadFlagsActive() && !record_.name.empty())
    readFlags_.EnterScript(record_.name, readPosition_, script_);
}

void Interpreter::Click() {
  // With the window hidden by the player a click only brings it back.
  if (WindowHiddenByPlayer()) {
    SetWindowHiddenByPlayer(false);
    return;
  }
  input_.click = kClickReleased;
}

void Interpreter::RightButtonAction() {
  switch (options_.rightClickAction) {
    case 0:
      if (options_.skipMode) SetSkipMode(false);
      else RequestSkip();
      break;
    case 1:
      SetWindowHiddenByPlayer(!WindowHiddenByPlayer());
      break;
    case 2:
      if (openSaveScreen_) openSaveScreen_();
      break;
    default:
      break;
  }
}

void Interpreter::SaveRun() {
  if (!openSaveScreen_ || gameMode_ != kModeStory || !IsRunning() || choices_.CountdownActive() ||
      layers_->Animating())
    return;
  // Set before the screen opens, so that every save made there carries it; a screen that
  // does not open leaves no flag behind to mark later saves.
  openedBySaveRun_ = 1;
  if (!openSaveScreen_()) openedBySaveRun_ = 0;
}

void Interpreter::ToggleWindowHiddenByPlayer() {
  SetSkipMode(false);
  SetAutoMode(false);
  SetWindowHiddenByPlayer(!WindowHiddenByPlayer());
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

bool Interpreter::Receiver::HandleEvent(const InputEvent& event) {
  PlayerInput& input = owner_.input_;
  using Kind = InputEvent::Kind;
  // The pointer's place is kept whatever the story does, as the window reports it.
  if (event.kind == Kind::kPointerMove) {
    input.pointerX = event.x;
    input.pointerY = event.y;
  }
  if (!owner_.IsRunning()) return false;
  switch (event.kind) {
    case Kind::kButtonDown:
      if (event.button == PointerButton::kLeft) input.click = kClickPressed;
      break;
    case Kind::kButtonUp:
      if (event.button == PointerButton::kRight && !owner_.rightButtonMappedToCancel_)
        owner_.RightButtonAction();
      break;
    case Kind::kPointerMove:
      input.pointerMoved = true;
      break;
    case Kind::kKeyDown:
      switch (event.key) {
        case Key::kLeft: input.arrow = ArrowKey::kLeft; break;
        case Key::kRight: input.arrow = ArrowKey::kRight; break;
        case Key::kUp: input.arrow = ArrowKey::kUp; break;
        case Key::kDown: input.arrow = ArrowKey::kDown; break;
        default: break;
      }
      break;
    default:
      break;
  }
  return false;
}

}  // namespace zan
