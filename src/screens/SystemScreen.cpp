#include "screens/SystemScreen.h"

#include "core/MouseState.h"
#include "core/TaskScheduler.h"
#include "data/ButtonTable.h"
#include "platform/ReceiverList.h"

namespace zan {

bool SystemScreen::Input::HandleEvent(const InputEvent& event) {
  if (owner_.IsRunning()) owner_.buttons_.HandleEvent(event);
  return false;
}

SystemScreen::SystemScreen(const ScreenServices& services, std::string className, std::string description)
    : GameTask(services.tasks, className, std::move(description)),
      services_(services),
      input_(*this, className + "::input") {
  SetHandler(0, [this] { Update(); });
  services_.frame.AddScreen(*this, *this);
}

SystemScreen::~SystemScreen() {
  if (ReceiverList* receivers = services_.tasks.Receivers()) receivers->Unregister(&input_);
  services_.frame.Remove(*this);
}

bool SystemScreen::OpenScreen(GameTask* caller, Callback onEnd, const ScreenLayout& layout) {
  if (IsRunning()) return false;
  Result<ButtonTable> table = LoadButtonTable(services_.data, layout.table);
  if (!table && layout.tableRequired) return false;
  buttons_.Clear();
  buttons_.AddRows(table ? *table : ButtonTable{}, Definition(layout.table).rowLimit);
  // A missing picture draws nothing; the screen still works.
  if (layout.background.empty()) background_.Release();
  else background_.Load(services_.data, layout.background);
  sheet_.Load(services_.data, layout.sheet);
  picturesDrawn_ = false;
  buttons_.SetBlocked(services_.dialog.IsOpen());
  buttons_.Reset(services_.pointer.X(), services_.pointer.Y());
  if (ReceiverList* receivers = services_.tasks.Receivers()) receivers->RegisterReceiver(&input_);
  return Open(caller, std::move(onEnd));
}

void SystemScreen::Update() {
  buttons_.SetBlocked(services_.dialog.IsOpen());
  if (const int32_t clicked = buttons_.TakeClicked(); clicked != 0) OnButton(clicked);
  else if (buttons_.TakeCancelled()) OnCancel();
  // A question the button asked covers the screen from this frame on.
  buttons_.SetBlocked(services_.dialog.IsOpen());
  OnFrame();
}

void SystemScreen::Draw(Surface& frame) {
  background_.DrawWhole(frame);
  buttons_.Draw(frame, sheet_);
  picturesDrawn_ = true;
}

bool SystemScreen::Changed() const { return !picturesDrawn_ || buttons_.Changed(); }

}  // namespace zan
