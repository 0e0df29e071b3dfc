#include "script/SceneTransitions.h"

#include "base/DiagnosticLog.h"
#include "base/ShiftJis.h"
#include "core/GameTask.h"
#include "stage/ImageLayers.h"
#include "stage/PictureFiles.h"
#include "transition/TransitionPlayer.h"

namespace zan {

SceneTransitions::SceneTransitions(ImageLayers& layers, GameData& data, GameTask& story, std::function<void()> resume)
    : layers_(layers), data_(data), story_(story), resume_(std::move(resume)) {}

void SceneTransitions::CaptureShownScene(Surface& old) {
  constexpr int32_t w = ImageLayers::kStageWidth;
  constexpr int32_t h = ImageLayers::kStageHeight;
  Surface& stage = layers_.Stage();
  if (layers_.Animating()) {
    // Animated slots are drawn straight into the frame: draw them as they stand.
    layers_.DrawImages(old);
  } else if (stage.View()) {
    // A still scene is the stage as last drawn; commands since then only marked it stale.
    old.Blt(0, 0, w, h, stage, 0, 0, 0);
  } else {
    old.Fill(0, 0, w, h, 0, 0, 0);
  }
}

bool SceneTransitions::Update(const UpdateRequest& request, bool atOnce) {
  Surface* old = atOnce || player_ == nullptr ? nullptr : player_->OldScene();
  if (old != nullptr) CaptureShownScene(*old);
  layers_.FinishAnimations();
  layers_.UpdateStage();
  if (old == nullptr) return false;

  const std::optional<TransitionKind> kind = TransitionKindByName(request.kind);
  if (!kind) {
    ZAN_WARN("script: Update %s: no such transition; the new scene shows at once",
             SjisToUtf8(request.kind).c_str());
    return false;
  }
  TransitionParams params;
  params.kind = *kind;
  params.duration = request.duration;
  if (TransitionUsesMask(*kind)) {
    if (*kind == TransitionKind::kPictureCross) {
      if (const std::optional<int32_t> direction = TransitionDirectionByName(request.direction)) {
        params.kind = TransitionKind::kPictureCrossDirectional;
        params.direction = *direction;
      }
    }
    AlphaPlane& mask = player_->Mask();
    LoadMaskFile(data_, request.picture, mask);
    if (!mask.IsAllocated()) {
      ZAN_WARN("script: Update %s: the mask picture %s cannot be read; the new scene shows at once",
               SjisToUtf8(request.kind).c_str(), SjisToUtf8(request.picture).c_str());
      return false;
    }
    params.mask = &mask;
  } else if (*kind == TransitionKind::kPattern) {
    Surface& pattern = player_->Pattern();
    LoadImageFile(data_, request.picture, pattern);
    params.pattern = &pattern;
    params.patternFrames = request.patternFrames;
    params.cellWidth = request.cellWidth;
    params.cellHeight = request.cellHeight;
  }
  return Play(params, *old);
}

bool SceneTransitions::CrossFromScreen(int32_t milliseconds) {
  const bool captured = player_ != nullptr && player_->CaptureScreen();
  layers_.UpdateStage();
  if (!captured) return false;
  TransitionParams params;
  params.kind = TransitionKind::kCross;
  params.duration = milliseconds;
  return Play(params, *player_->OldScene());
}

void SceneTransitions::Abandon() {
  if (player_ != nullptr) player_->Abandon();
}

bool SceneTransitions::Play(const TransitionParams& params, const Surface& old) {
  if (!player_->Play(params, old, layers_.Stage(), story_, resume_)) return false;
  story_.Suspend();
  return true;
}

}  // namespace zan
