#include "stage/StageLayers.h"

#include "stage/ImageLayers.h"

namespace zan {

void SceneLayer::Draw(Surface& frame) { layers_.DrawScene(frame, moviesAllowed_, moviesAllowed_); }

void SlotOverlayLayer::Draw(Surface& frame) {
  layers_.DrawEyes(frame);
  layers_.DrawZooms(frame);
}

}  // namespace zan
