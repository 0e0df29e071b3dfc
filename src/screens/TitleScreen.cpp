#include "screens/TitleScreen.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "platform/ReceiverList.h"
#include "screens/SystemSounds.h"
#include "script/VariableTable.h"
#include "transition/TransitionPlayer.h"

namespace zan {
namespace {

constexpr int32_t kWidth = 800;
constexpr int32_t kHeight = 600;
constexpr uint32_t kMusicFadeMs = 1000;

const std::string& FirstWarning() {
  static const std::string name = Sjis("警告文.BMP");
  return name;
}
const std::string& SecondWarning() {
  static const std::string name = Sjis("警告文２.BMP");
  return name;
}

}  // namespace

bool TitleScreen::SkipReceiver::HandleEvent(const InputEvent& event) {
  using Kind = InputEvent::Kind;
  const bool click = event.IsButton(Kind::kButtonUp, PointerButton::kLeft) || event.IsKey(Kind::kKeyUp, Key::kReturn);
  TitleScreen& t = owner_;
  if (click && (t.IsRunning() || t.holding_) && t.phase_ >= 1 && t.phase_ <= 13) t.skipAsked_ = true;
  return false;
}

TitleScreen::TitleScreen(const ScreenServices& services, TransitionPlayer& transitions,
                         const VariableTable& variables, TitleHost& host)
    : SystemScreen(services, "CTitle", Sjis("CTitle::【タイトル】")),
      transitions_(transitions),
      variables_(variables),
      host_(host),
      wait_(services.tasks.GetClock()) {}

TitleScreen::~TitleScreen() {
  if (ReceiverList* receivers = services_.tasks.Receivers()) receivers->Unregister(&skip_);
}

bool TitleScreen::Show(bool skipIntro) {
  // A missing system4.lib leaves every button zeroed: the title then waits in its menu.
  if (!OpenScreen(nullptr, {}, {DefinitionFileId::kTitle, "", "TITLE_chip.bmp", /*tableRequired=*/false}))
    return false;
  looks_.clear();
  for (int32_t n = 1; n <= buttons_.Count(); ++n) looks_.push_back(buttons_.Button(n).looks);
  if (!work_.View() && !work_.Create(kWidth, kHeight))
    ZAN_WARN("title: no memory for its %dx%d picture; its pictures show without fades", kWidth, kHeight);
  bonusPage_ = false;
  skipAsked_ = false;
  holding_ = false;
  built_ = 0;
  wait_.Cancel();
  phase_ = skipIntro ? 7 : 1;
  SetBackground({});
  ArrangeButtons();
  if (ReceiverList* receivers = services_.tasks.Receivers()) receivers->RegisterReceiver(&skip_);
  return true;
}

void TitleScreen::Reopen(int32_t phase) {
  phase_ = phase;
  bonusPage_ = false;
  skipAsked_ = false;
  wait_.Cancel();
  GameTask::Start(kOrderScreen);
  buttons_.SetBlocked(services_.dialog.IsOpen());
  buttons_.Reset(services_.pointer.X(), services_.pointer.Y());
  picturesDrawn_ = false;
}

void TitleScreen::OnFrame() {
  if (phase_ >= 1 && phase_ <= 13 && skipAsked_) {
    // The click that skips the opening also silences the warning's sound.
    if (services_.sounds.IsPlaying(SystemSounds::kEffect)) services_.sounds.Stop(SystemSounds::kEffect);
    wait_.Cancel();
    phase_ = 14;
  }
  skipAsked_ = false;
  if (wait_.active) {
    if (!wait_.Over(services_.tasks.Now())) return;
    wait_.Cancel();
  }
  Step();
}

void TitleScreen::Step() {
  switch (phase_) {
    case 1:
      // Movies are not played yet: the logo ("movie\holly.bmp") counts as finished at once.
      ZAN_DEBUG("title: no movie player; the logo counts as finished");
      phase_ = 2;
      break;
    case 2:
      SetBackground(FirstWarning());
      phase_ = 3;
      CrossTo(2000);
      break;
    case 3:
      SetBackground(SecondWarning());
      phase_ = 4;
      CrossTo(250);
      break;
    case 4:
      services_.sounds.Play(SystemSounds::kEffect, "attention.ogg", false);
      phase_ = 5;
      Wait(3000);
      break;
    case 5:
      services_.sounds.Stop(SystemSounds::kEffect, 1000);
      phase_ = 6;
      Wait(1000);
      break;
    case 6:
      SetBackground({});
      phase_ = 7;
      CrossTo(1000);
      break;
    case 7:
      SetBackground("TITLE_BG.bmp");
      built_ = 0;
      ArrangeButtons();
      phase_ = 8;
      CrossTo(2000);
      break;
    case 8: case 9: case 10: case 11: case 12: case 13:
      built_ = phase_ - 7;
      ArrangeButtons();
      phase_ = phase_ == 13 ? 15 : phase_ + 1;
      CrossTo(1000);
      break;
    case 14:
      SetBackground("TITLE_BG.bmp");
      built_ = 6;
      ArrangeButtons();
      phase_ = 15;
      break;
    case 15:
      if (!services_.sounds.IsPlaying(SystemSounds::kMusic))
        services_.sounds.Play(SystemSounds::kMusic, "title_bgm.ogg", true);
      phase_ = kMenuPhase;
      EnterMenu();
      break;
    case 21: {
      // Back from the load screen: the file chosen there starts the game, else the menu.
      const std::string chosen = host_.ChosenFile();
      if (!chosen.empty()) {
        StartGame("main.txt", chosen);
        break;
      }
      phase_ = kMenuPhase;
      EnterMenu();
      CrossTo(500);
      break;
    }
    default:
      break;  // the menu waits for its buttons
  }
}

void TitleScreen::OnButton(int32_t number) {
  if (phase_ != kMenuPhase) return;
  switch (number) {
    case kNewGame:
      phase_ = 17;
      PlayEffect();
      StartGame("main.txt");
      break;
    case kLoad:
      PlayEffect();
      if (host_.OpenLoadScreen(*this, [this] { Reopen(21); })) {
        phase_ = 18;
        End();
      } else {
        ZAN_WARN("title: the load screen did not open; the menu stays");
      }
      break;
    case kPrologueSkip:
      phase_ = 19;
      PlayEffect();
      StartGame("pskip.txt");
      break;
    case kBonus:
      bonusPage_ = true;
      EnterMenu();
      break;
    case kConfiguration:
      PlayEffect();
      HandOver(TitleTarget::kConfiguration);
      break;
    case kQuit:
      PlayEffect();
      host_.AskQuit();
      break;
    case kGallery:
      HandOver(TitleTarget::kGallery);
      break;
    case kSceneReplay:
      HandOver(TitleTarget::kSceneReplay);
      break;
    case kMusicRoom:
      HandOver(TitleTarget::kMusicRoom);
      break;
    case kFlow:
      phase_ = 20;
      PlayEffect();
      StartGame("flow_t.txt");
      break;
    default:
      break;
  }
}

void TitleScreen::OnCancel() {
  // The title never closes itself: a cancel only leaves the bonus page.
  if (phase_ == kMenuPhase && bonusPage_) {
    bonusPage_ = false;
    EnterMenu();
  }
}

void TitleScreen::EnterMenu() {
  ArrangeButtons();
  buttons_.Reset(services_.pointer.X(), services_.pointer.Y());
}

void TitleScreen::PlayEffect() { services_.sounds.Play(SystemSounds::kEffect, "TITLE_SE.ogg", false); }

void TitleScreen::StartGame(std::string_view script, std::string_view saveFile) {
  services_.sounds.Stop(0, kMusicFadeMs);
  services_.sounds.Stop(SystemSounds::kMusic, kMusicFadeMs);
  End();
  host_.StartGame(script, saveFile);
}

void TitleScreen::HandOver(TitleTarget target) {
  if (!host_.OpenScreen(target, *this, [this] { Reopen(7); })) {
    ZAN_DEBUG("title: that screen is not built yet; the menu stays");
    return;
  }
  if (target == TitleTarget::kMusicRoom) {
    services_.sounds.Stop(0, kMusicFadeMs);
    services_.sounds.Stop(SystemSounds::kMusic, kMusicFadeMs);
  }
  phase_ = 7;
  End();
}

void TitleScreen::SetBackground(std::string_view name) {
  if (name.empty()) background_.Release();
  else background_.Load(services_.data, name);
  picturesDrawn_ = false;
}

void TitleScreen::CrossTo(int32_t milliseconds) {
  if (work_.View()) Draw(work_);
  Surface* old = transitions_.OldScene();
  TransitionParams params;
  params.kind = TransitionKind::kCross;
  params.duration = milliseconds;
  if (old == nullptr || !work_.View() || !transitions_.CaptureScreen() ||
      !transitions_.Play(params, *old, work_, *this, [this] {
        holding_ = false;
        Resume();
        picturesDrawn_ = false;
      })) {
    picturesDrawn_ = false;
    return;  // the new picture shows at once; the machine goes on next frame
  }
  holding_ = true;
  Suspend();
}

void TitleScreen::Wait(int32_t milliseconds) { wait_.Start(milliseconds); }

void TitleScreen::ArrangeButtons() {
  const bool menu = phase_ >= kMenuPhase;
  for (int32_t n = 1; n <= buttons_.Count(); ++n) {
    ScreenButton& b = buttons_.Button(n);
    b.looks = looks_[static_cast<size_t>(n - 1)];
    // A button that does not respond shows its normal look, and the bonus button its pressed
    // look while its page is open.
    const ButtonLook still = bonusPage_ && n == kBonus ? ButtonLook::kPressed : ButtonLook::kNormal;
    b.looks[static_cast<size_t>(ButtonLook::kDisabled)] = b.looks[static_cast<size_t>(still)];
    if (!menu) {
      b.visible = n <= built_;
      b.enabled = false;
      continue;
    }
    b.visible = n <= kQuit || bonusPage_;
    if (bonusPage_) b.enabled = n > kQuit;
    else if (n == kPrologueSkip) b.enabled = variables_.IntValue("g_pskip") == 1;
    else if (n == kBonus) b.enabled = variables_.IntValue("g_clear") == 1;
    else b.enabled = n <= kQuit;
  }
}

void TitleScreen::Draw(Surface& frame) {
  // A missing picture draws nothing: the screen is black beneath it.
  if (background_.Empty()) frame.Fill(0, 0, kWidth, kHeight, 0, 0, 0);
  else background_.DrawWhole(frame);
  buttons_.Draw(frame, sheet_);
  picturesDrawn_ = true;
}

}  // namespace zan
