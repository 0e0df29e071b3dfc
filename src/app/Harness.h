#pragma once
// Harness: what automated runs add to the main loop. Before each frame it takes the input
// due at that frame (the --input timeline, --click-every clicks) and feeds it to the
// window's queue, the same path real input takes; after each frame it runs the frame hooks
// and tells the loop when the --frames limit is reached. Frames are main-loop passes,
// counted from 0.
//
// Input is fed one message at a time, and only into an empty queue: the loop takes one
// message per frame, and a button press drops the button releases queued behind it, so a
// release must never wait in the queue behind its own press. A click at frame F therefore
// reaches the game as: pointer move (F, when the pointer moves), press (next frame),
// release (the frame after).

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/InputTimeline.h"
#include "platform/WindowMessage.h"

namespace zan {

class VariableTable;
class Window;

class Harness {
 public:
  using FrameHook = std::function<void(uint64_t frame)>;

  void SetTimeline(InputTimeline timeline) { timeline_ = std::move(timeline); }
  // A left press and release every k frames (k >= 2) at the pointer's position.
  void SetClickEvery(uint32_t k) { clickEvery_ = k; }
  void SetFrameLimit(std::optional<uint64_t> frames) { frameLimit_ = frames; }
  // The script a new story starts at (Shift-JIS); "main.txt" unless given.
  void SetStartScript(std::string script) {
    startScript_ = std::move(script);
    startScriptGiven_ = true;
  }
  const std::string& StartScript() const { return startScript_; }
  bool StartScriptGiven() const { return startScriptGiven_; }
  // Where DumpVariables writes; nothing when empty.
  void SetDumpVarsPath(std::string path) { dumpVarsPath_ = std::move(path); }
  // At exit: one "name=value" line per variable (UTF-8), the integer variables and then
  // the string variables, in table order.
  void DumpVariables(const VariableTable& variables) const;
  // Runs after every frame (screenshots and the like).
  void AddFrameHook(FrameHook hook) { hooks_.push_back(std::move(hook)); }

  // Posts the input due at `frame`.
  void BeforeFrame(uint64_t frame, Window& window);
  // Runs the hooks; true when the run should end after this frame.
  bool AfterFrame(uint64_t frame);

  int PointerX() const { return x_; }
  int PointerY() const { return y_; }

 private:
  // Appends the messages of an action to the pending input.
  void Expand(const TimelineAction& action);
  uintptr_t KeyFlags() const;

  InputTimeline timeline_;
  uint32_t clickEvery_ = 0;
  std::optional<uint64_t> frameLimit_;
  std::vector<FrameHook> hooks_;
  std::string startScript_ = "main.txt";
  bool startScriptGiven_ = false;
  std::string dumpVarsPath_;
  std::deque<WindowMessage> pending_;
  // Pointer and button state as the posted messages leave it; the pointer starts at the
  // middle of the 800 x 600 client area.
  int x_ = 400;
  int y_ = 300;
  bool left_ = false;
  bool right_ = false;
  bool ctrl_ = false;
  bool shift_ = false;
};

}  // namespace zan
