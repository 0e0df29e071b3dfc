#include "core/GameTask.h"

#include "core/TaskScheduler.h"
#include "platform/ReceiverList.h"

namespace zan {

bool GameTask::ClickReceiver::HandleEvent(const InputEvent& event) {
  if (enabled != 1) return false;
  using Kind = InputEvent::Kind;
  const bool click = event.IsButton(Kind::kButtonUp, PointerButton::kLeft) ||
                     event.IsButton(Kind::kButtonUp, PointerButton::kRight) ||
                     event.IsKey(Kind::kKeyUp, Key::kReturn);
  if (click) {
    clicked = 1;
    clickedLatch = 1;
  }
  return false;
}

GameTask::GameTask(TaskScheduler& manager, std::string className, std::string description)
    : Task(std::move(description)), manager_(manager), click_(std::move(className)) {}

GameTask::~GameTask() {
  // Never leave a dangling receiver or link behind.
  if (ReceiverList* receivers = manager_.Receivers()) receivers->Unregister(&click_);
  manager_.RemoveTask(this);
}

LinkResult GameTask::Start(uint32_t key) {
  if (ReceiverList* receivers = manager_.Receivers()) receivers->RegisterReceiver(&click_);
  startKey_ = key;
  const LinkResult result = manager_.AddTask(this, key);
  click_.clicked = 0;
  click_.clickedLatch = 0;
  return result;
}

void GameTask::End() {
  SetEnded(true);
  click_.MarkRemoved();
  if (caller_ != nullptr && GetHandler(kCallbackSlot)) {
    // Taken before the call, so a callback that reopens this task keeps its new caller.
    Handler callback = GetHandler(kCallbackSlot);
    SetHandler(kCallbackSlot, nullptr);
    caller_ = nullptr;
    callback();
  }
  click_.clickedLatch = 0;
}

bool GameTask::Suspend() {
  if (!manager_.IsRunning(this)) return false;
  SetEnded(true);
  click_.MarkRemoved();
  return true;
}

LinkResult GameTask::Resume() {
  if (manager_.IsRunning(this)) return LinkResult::kAlreadyLinked;
  if (ReceiverList* receivers = manager_.Receivers()) receivers->RegisterReceiver(&click_);
  return manager_.AddTask(this, startKey_);
}

void GameTask::SetOnEnd(Callback callback) {
  if (!callback) {
    SetHandler(kCallbackSlot, nullptr);
    return;
  }
  SetHandler(kCallbackSlot, std::move(callback));
}

bool GameTask::HasOnEnd() const { return static_cast<bool>(GetHandler(kCallbackSlot)); }

bool GameTask::Open(GameTask* caller, Callback onEnd, uint32_t key) {
  if (IsRunning()) return false;
  SetCaller(caller);
  SetOnEnd(std::move(onEnd));
  Start(key);
  return true;
}

bool GameTask::IsRunning() const { return manager_.IsRunning(this); }

}  // namespace zan
