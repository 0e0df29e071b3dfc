#pragma once
// Harness: what automated runs add to the main loop. Before each frame it takes the input
// due at that frame (the --input timeline, --click-every clicks) and feeds it to the
// window's queue, the same path real input takes; after each frame it runs the frame hooks
// and tells the loop when the --frames limit is reached. Frames are main-loop passes,
// counted from 0.
//
// Input is fed one event at a time, and only into an empty queue, so each event reaches
// the game on a frame of its own, as from a player whose hand is slower than a frame (the
// loop takes one event per frame, and a button event drops the whole clicks queued behind
// it). A click at frame F therefore reaches the game as: pointer move (F, when the pointer
// moves), press (next frame), release (the frame after). A tap is fed as its press and
// release together, as a fast click or a touchpad tap arrives. An input action takes its
// turn with the events and is handed to the action sink (the game's DoAction), as the
// release of a key mapped to it.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/InputTimeline.h"
#include "platform/InputEvent.h"

namespace zan {

class VariableTable;
class Window;

class Harness {
 public:
  using FrameHook = std::function<void(uint64_t frame)>;
  using ActionSink = std::function<void(int32_t action)>;

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
  // Where the timeline's input actions go.
  void SetActionSink(ActionSink sink) { actionSink_ = std::move(sink); }

  // Posts the input due at `frame`.
  void BeforeFrame(uint64_t frame, Window& window);
  // Runs the hooks; true when the run should end after this frame.
  bool AfterFrame(uint64_t frame);

  int PointerX() const { return x_; }
  int PointerY() const { return y_; }

 private:
  // Appends the events of an action to the pending input.
  void Expand(const TimelineAction& action);

  InputTimeline timeline_;
  uint32_t clickEvery_ = 0;
  std::optional<uint64_t> frameLimit_;
  std::vector<FrameHook> hooks_;
  ActionSink actionSink_;
  std::string startScript_ = "main.txt";
  bool startScriptGiven_ = false;
  std::string dumpVarsPath_;
  // Groups of events, each posted whole, or an input action (events empty).
  struct Pending {
    std::vector<InputEvent> events;
    int32_t action = 0;
  };
  std::deque<Pending> pending_;
  // The pointer as the posted events leave it; it starts at the middle of the 800 x 600
  // game pixels.
  int x_ = 400;
  int y_ = 300;
};

}  // namespace zan
