#pragma once
// The stage's two places in the frame (frame/FrameCompositor.h): the scene of the image
// slots at the bottom and, over it, the slots' eye animations and the zoom windows. Both
// draw the image layers of the interpreter; the animations they count advance as they draw.

#include "frame/FrameCompositor.h"

namespace zan {

class ImageLayers;

// The scene: ImageLayers::DrawScene (the movie in the game's layer under the slots).
class SceneLayer : public FrameLayer {
 public:
  explicit SceneLayer(ImageLayers& layers) : layers_(layers) {}
  // Whether movies may play: where they may not, the movie layer shows its cover picture
  // (with its still overlay).
  void SetMoviesAllowed(bool allowed) { moviesAllowed_ = allowed; }
  void Draw(Surface& frame) override;

 private:
  ImageLayers& layers_;
  bool moviesAllowed_ = true;
};

// The slot overlays: every slot's eye animation, then every zoom window.
class SlotOverlayLayer : public FrameLayer {
 public:
  explicit SlotOverlayLayer(ImageLayers& layers) : layers_(layers) {}
  void Draw(Surface& frame) override;

 private:
  ImageLayers& layers_;
};

}  // namespace zan
