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
  void SetMoviesAllowed(bool allowed) {
    changed_ = changed_ || allowed != moviesAllowed_;
    moviesAllowed_ = allowed;
  }
  void Draw(Surface& frame) override;
  bool Changed() const override;
  // The stage, as it is, within the area, when the last draw copied it whole.
  bool DrawAgain(Surface& frame, const DirtyRect& area) override;

 private:
  ImageLayers& layers_;
  bool moviesAllowed_ = true;
  bool changed_ = true;  // the movie setting changed since the last draw
  uint32_t drawnRevision_ = 0;  // the stage's revision the last draw showed
  bool copiedStage_ = false;    // the last draw copied the stage whole
};

// The slot overlays: every slot's eye animation, then every zoom window.
class SlotOverlayLayer : public FrameLayer {
 public:
  explicit SlotOverlayLayer(ImageLayers& layers) : layers_(layers) {}
  void Draw(Surface& frame) override;
  // While anything runs, and in the frame after (what it drew must go).
  bool Changed() const override;
  bool MarksWhatItDraws() const override { return true; }

 private:
  ImageLayers& layers_;
  bool drew_ = false;  // the last draw had something to draw or advance
};

}  // namespace zan
