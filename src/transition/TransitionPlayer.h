#pragma once
// Transitions in the running game: each kind's task ("CUpdateCross", "CUpdateCircle", ...)
// made once, started with the old and the new scene, and drawn at the stage place of the
// frame while it runs (in place of the scene, whose owner is held meanwhile; the message
// window, the choices and everything above stay over it). A click finishes a transition at
// once. At its end the task leaves the list and calls its completion callback on its caller,
// which usually starts the caller again.
//
// The player also keeps what transitions are started from: the tables for the screen, the
// old scene (a copy of what the screen showed), the mask plane and the pattern picture.
// They must not change while a transition runs.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/GameTask.h"
#include "surface/AlphaPlane.h"
#include "surface/Surface.h"
#include "transition/Transition.h"
#include "transition/TransitionTables.h"

namespace zan {

class FrameCompositor;
class TaskScheduler;

class TransitionPlayer {
 public:
  // Transitions for the frame's `screen` (the back buffer, width x height), drawn through
  // `frame`.
  TransitionPlayer(TaskScheduler& tasks, FrameCompositor& frame, Surface& screen, int32_t width, int32_t height);
  ~TransitionPlayer();
  TransitionPlayer(const TransitionPlayer&) = delete;
  TransitionPlayer& operator=(const TransitionPlayer&) = delete;

  const TransitionTables& Tables() const { return tables_; }
  // The old scene a transition starts from: a screen-sized surface in the surface format,
  // made when first asked for. Null when it cannot be made.
  Surface* OldScene();
  // Copies the picture on the screen now into the old scene; false when it cannot be had.
  bool CaptureScreen();
  // The mask plane and the pattern picture of the mask, picture and pattern kinds.
  AlphaPlane& Mask() { return mask_; }
  Surface& Pattern() { return pattern_; }

  // Starts a transition from `old` to `next` (both the screen's size in the surface format).
  // It draws from this frame on; at its end `onEnd` runs on `caller`. False when it cannot
  // start (logged): nothing runs, and the caller shows the new scene at once.
  bool Play(const TransitionParams& params, const Surface& old, Surface& next, GameTask& caller,
            GameTask::Callback onEnd);
  // Whether a transition is running.
  bool Running() const;
  // Ends a running transition without its completion callback: the one who waited for it
  // has gone (the story returned to the title).
  void Abandon();

 private:
  class Task;

  TaskScheduler& tasks_;
  FrameCompositor& frame_;
  Surface& screen_;
  TransitionTables tables_;
  Surface oldScene_;
  AlphaPlane mask_;
  Surface pattern_;
  // One task per task name (the wipe shares the circle's, the reversed mask cross the mask
  // cross's; both picture crosses have their own).
  std::vector<std::unique_ptr<Task>> kindTasks_;
};

}  // namespace zan
