#pragma once
// Task: a unit of per-frame work. It has sixteen per-phase handlers (the main loop runs
// phases 0 and 1 each frame), an order key that places it in the task list, and an ended
// flag: once set, no handler runs and the next sweep unlinks the task.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace zan {

// Order keys: smaller keys run first in both phases; they compare unsigned.
constexpr uint32_t kOrderHead = 0x00000000;
constexpr uint32_t kOrderScreen = 0x80000000;   // the interpreter, screens, transitions
constexpr uint32_t kOrderMessage = 0x90000000;  // message window, sound channels
constexpr uint32_t kOrderOverlay = 0xA0000000;  // system buttons, movie, weather effects
constexpr uint32_t kOrderDialog = 0xB0000000;   // the yes/no dialog
constexpr uint32_t kOrderPanic = 0xFFFFFFFD;
constexpr uint32_t kOrderDraw = 0xFFFFFFFE;     // presents the frame
constexpr uint32_t kOrderTail = 0xFFFFFFFF;

class Task {
 public:
  using Handler = std::function<void()>;
  static constexpr int kPhaseCount = 16;

  Task();
  explicit Task(std::string description);
  virtual ~Task();
  Task(const Task&) = delete;
  Task& operator=(const Task&) = delete;

  // Runs the phase's handler, unless the task has ended (or the slot is empty).
  void Dispatch(int phase);

  void SetHandler(int phase, Handler handler);
  const Handler& GetHandler(int phase) const { return handlers_[static_cast<size_t>(phase)]; }

  bool Ended() const { return ended_; }
  void SetEnded(bool ended) { ended_ = ended; }
  const std::string& Description() const { return description_; }
  void SetDescription(std::string description) { description_ = std::move(description); }
  uint32_t OrderKey() const { return key_; }
  Task* Next() const { return next_; }
  Task* Previous() const { return previous_; }

 private:
  friend class TaskScheduler;

  bool ended_ = false;
  std::string description_ = "DefaultName";
  std::array<Handler, kPhaseCount> handlers_;
  uint32_t key_ = 0;
  Task* next_ = nullptr;
  Task* previous_ = nullptr;
};

}  // namespace zan
