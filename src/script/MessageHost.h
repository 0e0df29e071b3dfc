#pragma once
// GameMessageHost: the interpreter as the message window task sees it (the click wait,
// skip mode, the typing pace, the auto timestamp), and the drawing of the interpreter's state
// that the window task does around the message areas.

#include "message/MessageWindowTask.h"

namespace zan {

class Interpreter;

class GameMessageHost : public MessageWindowHost {
 public:
  explicit GameMessageHost(Interpreter& game) : game_(game) {}

  MessageAreas& Areas() override;
  bool ClickWaiting() override;
  bool Skipping() override;
  int32_t TextRate() override;
  void PageTyped(uint32_t ms) override;
  void DrawSlotOverlays(Surface& target) override;
  // The regular choice, over the message windows.
  void DrawChoices(Surface& target) override;

 private:
  Interpreter& game_;
};

}  // namespace zan
