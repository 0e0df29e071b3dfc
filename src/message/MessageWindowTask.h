#pragma once
// MessageWindowTask: the message window task. After the interpreter has composed the stage
// (order key 0x90000000, phase 1) it draws the eye animations and zoom windows of the image
// slots, the three message areas (2, 1, then 0 on top) and the choice area. For each area:
// the window picture, the text fading in cell by cell from the glyph surface, the typing
// (cells revealed at the pace of the settings' text rate), and for area 0 the name plate
// and the animated page-advance icon. When a page finishes typing it stamps the time for
// auto mode.

#include <cstdint>

#include "core/GameTask.h"

namespace zan {

class Surface;
class MessageAreas;

// What the window task reads and writes of the interpreter (GameApp wires it).
class MessageWindowHost {
 public:
  virtual ~MessageWindowHost() = default;
  virtual MessageAreas& Areas() = 0;
  // A page waits for the player's click.
  virtual bool ClickWaiting() = 0;
  virtual bool Skipping() = 0;
  // Typing pace 0..10 (10: a page at once).
  virtual int32_t TextRate() = 0;
  // A page finished typing at `ms` (auto mode counts its delay from then).
  virtual void PageTyped(uint32_t ms) = 0;
  // Drawn before the areas: the eye animations and zoom windows of the image slots.
  virtual void DrawSlotOverlays(Surface& target) = 0;
  // Drawn after the areas: the choice area.
  virtual void DrawChoices(Surface& target) = 0;
};

class MessageWindowTask : public GameTask {
 public:
  // Page-advance icon: a strip of eight 32 x 32 frames, a new frame every four frames.
  static constexpr int32_t kIconFrames = 8;
  static constexpr int32_t kIconSize = 32;

  MessageWindowTask(TaskScheduler& tasks, Surface& target);

  void SetHost(MessageWindowHost* host) { host_ = host; }
  // Starts the task at 0x90000000 (a new game).
  void StartDrawing();

  // Phase 1.
  int32_t Draw();
  void DrawMessageArea(Surface& target, int32_t index);

  int32_t TypingCounter() const { return typingCounter_; }
  int32_t IconFrame() const { return iconFrame_; }

 private:
  void Type(MessageAreas& areas, int32_t index);
  void DrawNamePlateAndIcon(Surface& target, MessageAreas& areas);

  Surface& target_;
  MessageWindowHost* host_ = nullptr;
  // Shared by the three areas: two areas typing in one frame advance the counter twice.
  int32_t typingCounter_ = 0;
  int32_t iconCounter_ = 0;
  int32_t iconFrame_ = 0;
};

}  // namespace zan
