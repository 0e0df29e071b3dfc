#include "script/MessageHost.h"

#include "script/Interpreter.h"

namespace zan {

MessageAreas& GameMessageHost::Areas() { return game_.Areas(); }
bool GameMessageHost::ClickWaiting() { return game_.ClickWait() != 0; }
bool GameMessageHost::Skipping() { return game_.Options().skipMode != 0; }
int32_t GameMessageHost::TextRate() { return game_.Options().textRate; }
void GameMessageHost::PageTyped(uint32_t ms) { game_.Options().autoTimestamp = static_cast<int32_t>(ms); }
void GameMessageHost::DrawSlotOverlays(Surface& target) { game_.DrawSlotOverlays(target); }
void GameMessageHost::DrawChoices(Surface& target) { game_.DrawChoices(target); }

}  // namespace zan
