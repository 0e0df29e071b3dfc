#pragma once
// TaskScheduler: the running tasks in one doubly linked list sorted by order key, between the
// sentinels HeadTask (key 0) and TailTask (key 0xFFFFFFFF). The list links and unlinks
// tasks but never owns or deletes them. It also hands its tasks the clock the frame runs on.

#include <cstdint>
#include <functional>

#include "core/Task.h"
#include "platform/Clock.h"

namespace zan {

class ReceiverList;

// What AddTask answers.
enum class LinkResult {
  kLinked,
  kRefused,        // the key is the tail's own (0xFFFFFFFF)
  kAlreadyLinked,  // the task is in the list already: nothing changes
};

// What RemoveTask answers.
enum class UnlinkResult {
  kUnlinked,
  kRefusedHead,  // the head sentinel is never unlinked
  kNotLinked,    // a task not in the list, or the tail sentinel (nothing follows it)
};

class TaskScheduler {
 public:
  explicit TaskScheduler(Clock& clock);
  TaskScheduler(const TaskScheduler&) = delete;
  TaskScheduler& operator=(const TaskScheduler&) = delete;

  // Links `task` in key order. Among equal keys the most recently added task runs first.
  LinkResult AddTask(Task* task, uint32_t key);
  // Unlinks `task`. The unlinked task keeps its own links, so a walk standing on it still
  // reaches the rest of the list.
  UnlinkResult RemoveTask(Task* task);
  // True when the task is reachable from HeadTask.
  bool IsRunning(const Task* task) const;
  // Unlinks every ended task (other than the sentinels), clearing its ended flag.
  void SweepEndedTasks();
  // Dispatches `phase` to every task from head to tail, then sweeps.
  void RunPhase(int phase);
  // One frame: phase 0, then phase 1.
  void RunFrame();

  Task& HeadTask() { return head_; }
  Task& TailTask() { return tail_; }
  // Visits the linked tasks from head to tail, sentinels included (the task viewer's list).
  void ForEachTask(const std::function<void(const Task&)>& visit) const;

  // The window's receiver list, where game tasks register their click receivers; may be null.
  void SetReceivers(ReceiverList* receivers) { receivers_ = receivers; }
  ReceiverList* Receivers() const { return receivers_; }

  // The platform's millisecond clock, and its time now.
  Clock& GetClock() const { return clock_; }
  uint32_t Now() const { return clock_.Milliseconds(); }

 private:
  Clock& clock_;
  Task head_{"HeadTask"};
  Task tail_{"TailTask"};
  ReceiverList* receivers_ = nullptr;
};

}  // namespace zan
