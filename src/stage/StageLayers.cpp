#include "stage/StageLayers.h"

#include "stage/ImageLayers.h"

namespace zan {

void SceneLayer::Draw(Surface& frame) {
  changed_ = false;
  layers_.DrawScene(frame, moviesAllowed_, moviesAllowed_);
  drawnRevision_ = layers_.StageRevision();
}

bool SceneLayer::Changed() const {
  // A stage redrawn outside the scene's drawing (animations finished at once) shows too.
  return changed_ || layers_.SceneChanged() || drawnRevision_ != layers_.StageRevision();
}

void SlotOverlayLayer::Draw(Surface& frame) {
  drew_ = layers_.OverlaysActive();
  layers_.DrawEyes(frame);
  layers_.DrawZooms(frame);
}

bool SlotOverlayLayer::Changed() const { return drew_ || layers_.OverlaysActive(); }

}  // namespace zan
