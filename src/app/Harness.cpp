#include "app/Harness.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "script/VariableTable.h"

namespace zan {

void Harness::Expand(const TimelineAction& action) {
  using Kind = TimelineAction::Kind;
  const bool moves =
      action.x != TimelineAction::kCurrentPointer && (action.x != x_ || action.y != y_);
  if (moves) {
    x_ = action.x;
    y_ = action.y;
    pending_.push_back({{InputEvent::PointerMove(x_, y_)}});
  }
  switch (action.kind) {
    case Kind::kMove:
      break;
    case Kind::kPress:
      pending_.push_back({{InputEvent::ButtonDown(action.button, x_, y_)}});
      break;
    case Kind::kRelease:
      pending_.push_back({{InputEvent::ButtonUp(action.button, x_, y_)}});
      break;
    case Kind::kTap:
      pending_.push_back({{InputEvent::ButtonDown(action.button, x_, y_),
                           InputEvent::ButtonUp(action.button, x_, y_)}});
      break;
    case Kind::kKeyDown:
      pending_.push_back({{InputEvent::KeyDown(action.key)}});
      break;
    case Kind::kKeyUp:
      pending_.push_back({{InputEvent::KeyUp(action.key)}});
      break;
    case Kind::kWheel:
      pending_.push_back({{InputEvent::Wheel(action.wheelNotches, x_, y_)}});
      break;
    case Kind::kClose:
      pending_.push_back({{InputEvent::Of(InputEvent::Kind::kCloseRequest)}});
      break;
    case Kind::kAction:
      pending_.push_back({{}, action.action});
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
    const Pending next = std::move(pending_.front());
    pending_.pop_front();
    for (const InputEvent& event : next.events) window.PostEvent(event);
    if (next.action != 0 && actionSink_) actionSink_(next.action);
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
