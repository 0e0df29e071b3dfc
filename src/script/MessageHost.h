#pragma once
// CGameMessageHost: the interpreter as the message window task sees it (the click wait,
// skip mode, the typing pace, the auto timestamp), and the drawing of the interpreter's state
// that the window task does around the message areas.

#include "message/DrawMessage.h"

namespace zan {

class CGameMain;

class CGameMessageHost : public MessageWindowHost {
 public:
  explicit CGameMessageHost(CGameMain& game) : game_(game) {}

  MessageAreas& Areas() override;
  bool ClickWaiting() override;
  bool Skipping() override;
  int32_t TextRate() override;
  void PageTyped(uint32_t ms) override;
  void DrawSlotOverlays(CDirectDrawSurface& target) override;
  // The regular choice, over the message windows.
  void DrawChoices(CDirectDrawSurface& target) override;

 private:
  CGameMain& game_;
};

}  // namespace zan
