#include "stage/StageLayers.h"

#include "stage/ImageLayers.h"

namespace zan {

void SceneLayer::Draw(Surface& frame) {
  changed_ = false;
  copiedStage_ = layers_.SceneIsStage();
  layers_.DrawScene(frame, moviesAllowed_, moviesAllowed_);
  drawnRevision_ = layers_.StageRevision();
}

bool SceneLayer::Changed() const {
  // A stage redrawn outside the scene's drawing (animations finished at once) shows too.
  return changed_ || layers_.SceneChanged() || drawnRevision_ != layers_.StageRevision();
}

bool SceneLayer::DrawAgain(Surface& frame, const DirtyRect& area) {
  if (!copiedStage_ || Changed()) return false;
  if (area.Empty()) return true;
  frame.Blt(area.left, area.top, area.right - area.left, area.bottom - area.top, layers_.Stage(), area.left,
            area.top, 0);
  return true;
}

void SlotOverlayLayer::Draw(Surface& frame) {
  drew_ = layers_.OverlaysActive();
  layers_.DrawEyes(frame);
  layers_.DrawZooms(frame);
}

bool SlotOverlayLayer::Changed() const { return drew_ || layers_.OverlaysActive(); }

}  // namespace zan
