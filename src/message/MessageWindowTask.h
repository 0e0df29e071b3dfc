#pragma once
// MessageWindowTask: the message window. While its task runs (order key 0x90000000, from a
// new game until the return to the title) its layer of the frame shows the three message
// areas (2, 1, then 0 on top). For each area: the window picture, the text fading in cell by
// cell from the glyph surface, the typing (cells revealed at the pace of the settings' text
// rate), and for area 0 the name plate and the animated page-advance icon. When a page
// finishes typing it notes the time for auto mode.
//
// The task has no per-frame handler of its own: the frame compositor draws its layer, and the
// task's place in the task list says whether the window shows.

#include <cstdint>

#include "core/GameTask.h"
#include "frame/FrameCompositor.h"

namespace zan {

class Surface;
class MessageAreas;

class MessageWindowTask : public GameTask, public FrameLayer {
 public:
  // Page-advance icon: a strip of eight 32 x 32 frames, a new frame every four frames.
  static constexpr int32_t kIconFrames = 8;
  static constexpr int32_t kIconSize = 32;

  // What the window reads of the story every frame, and where it notes the end of typing.
  struct Pacing {
    const bool* clickWaiting = nullptr;  // a page waits for the player's click
    const int32_t* skipMode = nullptr;   // non-zero while the player skips
    const int32_t* textRate = nullptr;   // typing pace 0..10 (10: a page at once)
    int32_t* typedAt = nullptr;          // ms (system clock) the last page finished typing
  };

  explicit MessageWindowTask(TaskScheduler& tasks);

  // The areas to show and the story's pacing; until attached the layer draws nothing.
  void Attach(MessageAreas& areas, const Pacing& pacing);
  // Joins the task list at 0x90000000 (a new game).
  void StartDrawing();

  // The layer: the three areas, typed and faded one frame on.
  void Draw(Surface& frame) override;
  void DrawMessageArea(Surface& target, int32_t index);

  int32_t TypingCounter() const { return typingCounter_; }
  int32_t IconFrame() const { return iconFrame_; }

 private:
  void Type(MessageAreas& areas, int32_t index);
  void DrawNamePlateAndIcon(Surface& target, MessageAreas& areas);

  MessageAreas* areas_ = nullptr;
  Pacing pacing_;
  // Shared by the three areas: two areas typing in one frame advance the counter twice.
  int32_t typingCounter_ = 0;
  int32_t iconCounter_ = 0;
  int32_t iconFrame_ = 0;
};

}  // namespace zan
