#include "core/TaskScheduler.h"

namespace zan {

TaskScheduler::TaskScheduler(Clock& clock) : clock_(clock) {
  head_.key_ = kOrderHead;
  tail_.key_ = kOrderTail;
  head_.next_ = &tail_;
  tail_.previous_ = &head_;
}

LinkResult TaskScheduler::AddTask(Task* task, uint32_t key) {
  if (key == kOrderTail) return LinkResult::kRefused;
  if (IsRunning(task)) return LinkResult::kAlreadyLinked;
  Task* after = &head_;
  for (Task* t = &head_; t != nullptr; t = t->next_) {
    if (t->key_ < key) after = t;
  }
  task->key_ = key;
  task->next_ = after->next_;
  after->next_->previous_ = task;
  after->next_ = task;
  task->previous_ = after;
  return LinkResult::kLinked;
}

UnlinkResult TaskScheduler::RemoveTask(Task* task) {
  if (task->next_ == nullptr) return UnlinkResult::kNotLinked;
  if (task->previous_ == nullptr) return UnlinkResult::kRefusedHead;
  // A task already unlinked still holds stale links; following them would cut whatever
  // was linked between its old neighbours since, so it counts as not in the list.
  if (!IsRunning(task)) return UnlinkResult::kNotLinked;
  Task* p = task->previous_;
  Task* n = task->next_;
  p->next_ = n;
  n->previous_ = p;
  return UnlinkResult::kUnlinked;
}

bool TaskScheduler::IsRunning(const Task* task) const {
  for (const Task* t = &head_; t != nullptr; t = t->next_) {
    if (t == task) return true;
  }
  return false;
}

void TaskScheduler::SweepEndedTasks() {
  Task* t = head_.next_;
  while (t != nullptr && t != &tail_) {
    Task* next = t->next_;
    if (t->ended_) {
      t->ended_ = false;
      RemoveTask(t);
    }
    t = next;
  }
}

void TaskScheduler::RunPhase(int phase) {
  for (Task* t = &head_; t != nullptr; t = t->next_) t->Dispatch(phase);
  SweepEndedTasks();
}

void TaskScheduler::RunFrame() {
  RunPhase(0);
  RunPhase(1);
}

void TaskScheduler::ForEachTask(const std::function<void(const Task&)>& visit) const {
  for (const Task* t = &head_; t != nullptr; t = t->next_) visit(*t);
}

}  // namespace zan
