#pragma once
// GameTask: the base of every game screen. Adds a click receiver (it notices a click: left
// or right button up, or Enter up), a start key, and a caller with a completion callback.
//
// Screens open one another as a stack: a screen is started with a caller and a callback,
// the caller usually ends itself, and when the screen ends it calls the callback on the
// caller, which starts the caller again.

#include <cstdint>
#include <functional>
#include <string>

#include "core/Task.h"
#include "core/TaskScheduler.h"
#include "platform/EventReceiver.h"

namespace zan {

class GameTask : public Task {
 public:
  using Callback = std::function<void()>;
  // Phase slot that holds the completion callback; the main loop never dispatches it.
  static constexpr int kCallbackSlot = 2;

  // The click receiver, named after the task's class. Flags are read and cleared by the
  // screen itself.
  class ClickReceiver : public EventReceiver {
   public:
    using EventReceiver::EventReceiver;
    bool HandleEvent(const InputEvent& event) override;

    int32_t enabled = 1;
    int32_t clicked = 0;
    int32_t clickedLatch = 0;
  };

  GameTask(TaskScheduler& manager, std::string className, std::string description);
  ~GameTask() override;

  // Registers the click receiver, stores key as the start key and links the task; clears
  // the click flags. The result is AddTask's.
  LinkResult Start(uint32_t key = kOrderScreen);
  // Ends the task; calls the completion callback on the caller once, if both are set.
  void End();
  // True when the task was linked (it ends; caller and callback stay).
  bool Suspend();
  // kAlreadyLinked when linked (nothing changes); else registers the click receiver again
  // and relinks at the start key (AddTask's result).
  LinkResult Resume();

  void SetCaller(GameTask* caller) { caller_ = caller; }
  GameTask* Caller() const { return caller_; }
  // The callback runs on the caller when this task ends (it usually restarts the caller).
  void SetOnEnd(Callback callback);
  bool HasOnEnd() const;

  // Opens this screen the way every screen is opened: when it is not running, set the
  // caller and callback and start it with `key`. False when it was already running.
  bool Open(GameTask* caller, Callback onEnd, uint32_t key = kOrderScreen);

  bool IsRunning() const;
  uint32_t StartKey() const { return startKey_; }
  const std::string& ClassName() const { return click_.Name(); }
  ClickReceiver& Click() { return click_; }
  TaskScheduler& Manager() const { return manager_; }

 private:
  TaskScheduler& manager_;
  ClickReceiver click_;
  GameTask* caller_ = nullptr;
  uint32_t startKey_ = kOrderScreen;
};

}  // namespace zan
