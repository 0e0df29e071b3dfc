#include "script/MessageHost.h"

#include "script/GameMain.h"

namespace zan {

MessageAreas& CGameMessageHost::Areas() { return game_.Areas(); }
bool CGameMessageHost::ClickWaiting() { return game_.ClickWait() != 0; }
bool CGameMessageHost::Skipping() { return game_.Options().skipMode != 0; }
int32_t CGameMessageHost::TextRate() { return game_.Options().textRate; }
void CGameMessageHost::PageTyped(uint32_t ms) { game_.Options().autoTimestamp = static_cast<int32_t>(ms); }
void CGameMessageHost::DrawSlotOverlays(CDirectDrawSurface& target) { game_.DrawSlotOverlays(target); }
void CGameMessageHost::DrawChoices(CDirectDrawSurface& target) { game_.DrawChoices(target); }

}  // namespace zan
