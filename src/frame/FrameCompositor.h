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

#include <cstdint>
#include <vector>

#include "core/Task.h"

namespace zan {

class Surface;
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
  // Whether the layer would draw otherwise than in the frame before. The compositor still
  // draws every layer every frame; a layer that cannot tell answers true.
  virtual bool Changed() const { return true; }
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

  // Draws the layers that show into the frame (the task's phase 1).
  void Compose();
  // The surface the layers draw into (the back buffer).
  void SetFrame(Surface& frame) { frame_ = &frame; }
  // Whether any layer drawn by the last Compose said it changed.
  bool FrameChanged() const { return changed_; }

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
  bool changed_ = false;
};

}  // namespace zan
