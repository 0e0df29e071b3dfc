#include "app/Harness.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "script/VariableTable.h"
#include "platform/WindowMessage.h"

namespace zan {

uintptr_t Harness::KeyFlags() const {
  uintptr_t flags = 0;
  if (left_) flags |= MK_LBUTTON;
  if (right_) flags |= MK_RBUTTON;
  if (ctrl_) flags |= MK_CONTROL;
  if (shift_) flags |= MK_SHIFT;
  return flags;
}

void Harness::Expand(const TimelineAction& action) {
  using Kind = TimelineAction::Kind;
  const bool moves =
      action.x != TimelineAction::kCurrentPointer && (action.x != x_ || action.y != y_);
  if (moves) {
    x_ = action.x;
    y_ = action.y;
    pending_.push_back({WM_MOUSEMOVE, KeyFlags(), MakeLParam(x_, y_)});
  }
  const bool left = action.button == TimelineAction::Button::kLeft;
  switch (action.kind) {
    case Kind::kMove:
      break;
    case Kind::kPress:
      (left ? left_ : right_) = true;
      pending_.push_back({left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, KeyFlags(), MakeLParam(x_, y_)});
      break;
    case Kind::kRelease:
      (left ? left_ : right_) = false;
      pending_.push_back({left ? WM_LBUTTONUP : WM_RBUTTONUP, KeyFlags(), MakeLParam(x_, y_)});
      break;
    case Kind::kKeyDown:
      if (action.virtualKey == VK_CONTROL) ctrl_ = true;
      if (action.virtualKey == VK_SHIFT) shift_ = true;
      pending_.push_back({WM_KEYDOWN, action.virtualKey, 0});
      break;
    case Kind::kKeyUp:
      if (action.virtualKey == VK_CONTROL) ctrl_ = false;
      if (action.virtualKey == VK_SHIFT) shift_ = false;
      pending_.push_back({WM_KEYUP, action.virtualKey, 0});
      break;
    case Kind::kWheel:
      pending_.push_back({WM_MOUSEWHEEL, MakeWheelWParam(action.wheelNotches * WHEEL_DELTA, KeyFlags()),
                          MakeLParam(x_, y_)});
      break;
    case Kind::kClose:
      pending_.push_back({WM_SYSCOMMAND, SC_CLOSE, 0});
      break;
  }
}

void Harness::BeforeFrame(uint64_t frame, Window& window) {
  for (const TimelineAction& action : timeline_.ActionsAt(frame)) Expand(action);
  if (clickEvery_ >= 2 && frame > 0 && frame % clickEvery_ == 0) {
    TimelineAction click;
    click.kind = TimelineAction::Kind::kPress;
    Expand(click);
    click.kind = TimelineAction::Kind::kRelease;
    Expand(click);
  }
  if (!pending_.empty() && window.Queue().Size() == 0) {
    window.PostMessage(pending_.front());
    pending_.pop_front();
  }
}

bool Harness::AfterFrame(uint64_t frame) {
  for (auto& hook : hooks_) hook(frame);
  return frameLimit_ && frame + 1 >= *frameLimit_;
}

}  // namespace zan

namespace zan {

void Harness::DumpVariables(const VariableTable& variables) const {
  if (dumpVarsPath_.empty()) return;
  std::string text;
  for (const auto& v : variables.Ints())
    text += SjisToUtf8(v.name) + "=" + std::to_string(v.value) + "\n";
  for (const auto& v : variables.Strings())
    text += SjisToUtf8(v.name) + "=" + SjisToUtf8(v.value) + "\n";
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  if (Status s = WriteFileAtomic(dumpVarsPath_, bytes); !s)
    ZAN_WARN("--dump-vars: %s", s.error().message.c_str());
}

}  // namespace zan
