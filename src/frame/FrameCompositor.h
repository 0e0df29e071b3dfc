#pragma once
// The frame compositor: the one place that decides in which order the frame is drawn. It is
// the last task of phase 1 (order key 0xFFFFFFFE, ahead of the display, which presents the
// frame in the next frame's phase 0): when every task has updated, it draws its layers into
// the frame from the bottom up, each layer drawing itself:
//
//   stage          the image slots' scene (scope bars, the movie in the game's layer) and the
//                  hovered mask choice's picture
//   slot overlays  the image slots' eye animations, then the zoom windows
//   message areas  the three message windows with their text, name plate and page icon
//   choices        the regular choice: buttons, texts, countdown
//   effects        weather
//   dialogs        the yes/no dialog
//   overlay        the authors' tools
//
// Every layer belongs to a task and is drawn only while that task runs (linked and not
// ended), so whoever starts and ends the task decides whether its layer shows. Layers of one
// place draw in the order they were added. A screen's layer, while its task runs, is drawn in
// place of the story's layers (stage to effects).
//
// A frame is composed only when it would differ from the one before: when a shown layer says
// it changed, or when the layers that show are not those of the frame before. Otherwise the
// frame is left as it is (the display then has nothing to present) and every shown layer is
// told that a frame went by undrawn. When the bottom layer did not change, it redraws only
// where the layers above it drew the last time, and the frame's dirty rectangle covers only
// what was drawn. With full redraw on (a debug switch) every frame is composed whole, which
// the tests compare against.

#include <cstdint>
#include <vector>

#include "core/Task.h"
#include "surface/Surface.h"

namespace zan {

class TaskScheduler;

// The places of the frame, bottom first.
enum class Layer : uint8_t {
  kStage,
  kSlotOverlays,
  kMessageAreas,
  kChoices,
  kEffects,
  kDialogs,
  kOverlay,
};

// One thing drawn into the frame.
class FrameLayer {
 public:
  virtual ~FrameLayer() = default;
  // Draws the layer into the frame. Animations that count drawn frames advance here.
  virtual void Draw(Surface& frame) = 0;
  // Whether Draw would now draw otherwise than in the frame before (or has something to
  // advance that shows later). Asked once a frame before anything is drawn; a layer that
  // cannot tell answers true.
  virtual bool Changed() const { return true; }
  // A frame that went by without drawing, because no shown layer changed: a layer that
  // counts drawn frames (a slow animation between two of its steps) counts this one too.
  virtual void Undrawn() {}
  // Draws again, within `area` only, what the last Draw drew there; asked of the bottom
  // layer when it did not change and the same layers show, `area` being all the layers above
  // it drew over it the last time (outside, the frame still holds its picture). False when
  // the layer cannot: it is then drawn whole.
  virtual bool DrawAgain(Surface& frame, const DirtyRect& area) { return false; }
  // Whether every pixel Draw writes lies within what it adds to the frame's dirty rectangle
  // (some copies do not extend it by themselves). The bottom layer is drawn again in part
  // only while every layer above it says so, in this frame and the one before.
  virtual bool MarksWhatItDraws() const { return false; }
};

class FrameCompositor : public Task {
 public:
  FrameCompositor(TaskScheduler& tasks, Surface& frame);
  ~FrameCompositor() override;

  // Adds `layer` at `place`, drawn while `owner` runs.
  void Add(Layer place, FrameLayer& layer, const Task& owner);
  // Adds a screen's layer: while `owner` runs it is drawn in place of the story's layers.
  void AddScreen(FrameLayer& layer, const Task& owner);
  // Takes the layer out (wherever it was added).
  void Remove(const FrameLayer& layer);

  // Draws the layers that show into the frame (the task's phase 1) when any of them changed
  // or they are not those of the frame before.
  void Compose();
  // Composes every frame whole, changed or not.
  void SetFullRedraw(bool on) { fullRedraw_ = on; }
  // The surface the layers draw into (the back buffer).
  void SetFrame(Surface& frame) {
    frame_ = &frame;
    drawnOnce_ = false;
  }
  // Whether the last Compose drew the frame because something changed.
  bool FrameChanged() const { return changed_; }
  // Frames composed and frames left as they were (for the benchmarks).
  uint64_t ComposedFrames() const { return composed_; }
  uint64_t UndrawnFrames() const { return undrawn_; }

 private:
  struct Entry {
    Layer place;
    FrameLayer* layer;
    const Task* owner;
    bool screen;
  };
  void Insert(const Entry& entry);
  bool Shows(const Entry& entry) const;

  TaskScheduler& tasks_;
  Surface* frame_;
  std::vector<Entry> entries_;  // by place, then in the order added
  std::vector<FrameLayer*> shown_;      // the layers of this frame, bottom first
  std::vector<FrameLayer*> lastShown_;  // those the frame was last drawn with
  DirtyRect lastAbove_;                 // what the layers above the bottom one last drew
  bool lastAboveMarked_ = false;        // and they marked all they drew
  bool drawnOnce_ = false;
  bool changed_ = false;
  bool fullRedraw_ = false;
  uint64_t composed_ = 0;
  uint64_t undrawn_ = 0;
};

}  // namespace zan
