#include "screens/YesNoDialog.h"

#include <algorithm>
#include <utility>

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "script/Options.h"

namespace zan {
namespace {

constexpr int32_t kKinds = 10;
constexpr int32_t kOpaque = 255;

}  // namespace

const char* YesNoDialog::PictureOf(DialogKind kind) {
  switch (kind) {
    case DialogKind::kQuit:
    case DialogKind::kQuitDuringReplay:
    case DialogKind::kQuitFromScreen: return "QUIT_dialog.bmp";
    case DialogKind::kReturnToTitle: return "TITLEreturn_dialog.bmp";
    case DialogKind::kReturnDuringReplay: return "dlg_return.bmp";
    // The tarot choice names no picture of its own: it shows the load question's, with the
    // buttons at their places.
    case DialogKind::kLoad:
    case DialogKind::kTarot: return "Load_dialog.bmp";
    case DialogKind::kSaveCommand:
    case DialogKind::kOverwrite: return "Save_dialog.bmp";
    case DialogKind::kDelete: return "delete_dialog.bmp";
  }
  return "";
}

YesNoDialog::YesNoDialog(TaskScheduler& tasks, FrameCompositor& frame, GameData& data,
                         const OptionsBlock& options, const MouseState& pointer)
    : Task(Sjis("CYesNoManager::【YESNOを管理】")),
      EventReceiver("CYesNoManager"),
      tasks_(tasks),
      frame_(frame),
      data_(data),
      options_(options),
      pointer_(pointer) {
  SetHandler(1, [this] { Step(); });
  frame_.Add(Layer::kDialogs, *this, *this);
  // The hovered looks are the top row of the buttons' picture, the normal looks below.
  for (const int32_t x : {kYesX, kNoX}) {
    ScreenButton b;
    b.rect = {kPanelX + x, kPanelY + kButtonsY, kButtonWidth, kButtonHeight};
    const int32_t sx = x == kYesX ? 0 : kButtonWidth;
    b.looks = {ButtonSource{sx, kButtonHeight}, ButtonSource{sx, 0}, ButtonSource{sx, 0},
               ButtonSource{sx, kButtonHeight}};
    buttons_.Add(b);
  }
}

YesNoDialog::~YesNoDialog() {
  frame_.Remove(*this);
  tasks_.RemoveTask(this);
}

bool YesNoDialog::IsOpen() const { return !Ended() && tasks_.IsRunning(this); }

void YesNoDialog::Record(uint32_t id, DialogAnswer answer) {
  answered_[id % answered_.size()] = {id, answer};
}

DialogTicket YesNoDialog::Ask(DialogKind kind) { return Show(kind, options_.askConfirmation == 0); }

DialogTicket YesNoDialog::AskAlways(DialogKind kind) { return Show(kind, false); }

DialogTicket YesNoDialog::Show(DialogKind kind, bool answerYesAtOnce) {
  const int32_t k = static_cast<int32_t>(kind);
  if (k < 0 || k >= kKinds) {
    ZAN_WARN("yes/no dialog: there is no question of kind %d; it is answered no", k);
    return {};
  }
  auto newId = [this] {
    const uint32_t id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    return id;
  };
  if (answerYesAtOnce) {
    const uint32_t id = newId();
    Record(id, DialogAnswer::kYes);
    return {id};
  }
  if (IsOpen()) return {};
  current_ = newId();
  answer_ = DialogAnswer::kPending;
  alpha_ = 0;
  closing_ = ending_ = escape_ = false;
  look_ = {};
  drawnOnce_ = false;
  // A missing picture draws nothing; the buttons still answer at their places.
  panel_.Load(data_, PictureOf(kind));
  buttonPicture_.Load(data_, kButtonPicture);
  buttons_.Reset(pointer_.X(), pointer_.Y());
  tasks_.AddTask(this, kOrderDialog);
  // An ended dialog that the list has not swept yet must not be swept now.
  SetEnded(false);
  return {current_};
}

DialogAnswer YesNoDialog::AnswerOf(DialogTicket ticket) const {
  if (!ticket.Valid()) return DialogAnswer::kNo;
  if (ticket.id == current_ && IsOpen()) return DialogAnswer::kPending;
  const Answered& a = answered_[ticket.id % answered_.size()];
  return a.id == ticket.id ? a.answer : DialogAnswer::kNo;
}

bool YesNoDialog::HandleEvent(const InputEvent& event) {
  if (!IsOpen()) return false;
  using Kind = InputEvent::Kind;
  switch (event.kind) {
    case Kind::kPointerMove:
      buttons_.HandleEvent(event);
      return false;
    case Kind::kKeyDown:
      if (event.key == Key::kLeft) buttons_.Select(kYes);
      else if (event.key == Key::kRight) buttons_.Select(kNo);
      else buttons_.HandleEvent(event);
      return true;
    case Kind::kKeyUp:
      if (event.key == Key::kEscape) {
        buttons_.Select(kNo);
        escape_ = true;
      } else {
        buttons_.HandleEvent(event);
      }
      return true;
    case Kind::kButtonDown:
    case Kind::kButtonUp:
      buttons_.HandleEvent(event);
      return true;
    case Kind::kWheel:
      return true;
    default:
      return false;
  }
}

void YesNoDialog::Step() {
  if (ending_) {
    Finish();
    return;
  }
  const int32_t clicked = buttons_.TakeClicked();
  const bool escape = std::exchange(escape_, false);
  buttons_.TakeCancelled();  // a right click means nothing here
  Look look;
  look.opacity = alpha_;
  if (alpha_ < kOpaque || closing_) {
    // Fading: a click or Escape now only leaves its choice behind.
    if (!closing_) {
      alpha_ = std::min(alpha_ + kFadeStep, kOpaque);
    } else if ((alpha_ -= kFadeStep) < 0) {
      alpha_ = 0;
      ending_ = true;  // the task ends in the next frame, once this one is drawn
    }
  } else {
    if (escape || clicked != 0) {
      answer_ = escape || clicked == kNo ? DialogAnswer::kNo : DialogAnswer::kYes;
      closing_ = true;
    }
    look.shown = true;
    look.yes = buttons_.LookOf(kYes);
    look.no = buttons_.LookOf(kNo);
  }
  look_ = look;
}

void YesNoDialog::Finish() {
  SetEnded(true);
  panel_.Release();
  buttonPicture_.Release();
  Record(current_, answer_);
  closing_ = ending_ = false;
  look_ = {};
}

void YesNoDialog::Draw(Surface& frame) {
  const auto opacity = static_cast<uint8_t>(look_.opacity);
  frame.ColorBlend(static_cast<uint8_t>(look_.opacity / 4), 0, 0, 0);
  if (look_.shown) {
    panel_.DrawPart(frame, kPanelX, kPanelY, kPanelWidth, kPanelHeight, 0, 0);
    buttons_.DrawButton(frame, buttonPicture_, kYes, look_.yes);
    buttons_.DrawButton(frame, buttonPicture_, kNo, look_.no);
  } else {
    panel_.DrawPart(frame, kPanelX, kPanelY, kPanelWidth, kPanelHeight, 0, 0, opacity);
    buttons_.DrawButton(frame, buttonPicture_, kYes, ButtonLook::kNormal, opacity);
    buttons_.DrawButton(frame, buttonPicture_, kNo, ButtonLook::kNormal, opacity);
  }
  drawn_ = look_;
  drawnOnce_ = true;
}

bool YesNoDialog::Changed() const { return !drawnOnce_ || look_ != drawn_; }

}  // namespace zan
