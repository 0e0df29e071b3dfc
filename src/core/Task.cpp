#include "core/Task.h"

namespace zan {

Task::Task() = default;
Task::Task(std::string description) : description_(std::move(description)) {}
Task::~Task() = default;

void Task::Dispatch(int phase) {
  if (ended_ || phase < 0 || phase >= kPhaseCount) return;
  const Handler& handler = handlers_[static_cast<size_t>(phase)];
  if (handler) handler();
}

void Task::SetHandler(int phase, Handler handler) {
  if (phase < 0 || phase >= kPhaseCount) return;
  handlers_[static_cast<size_t>(phase)] = std::move(handler);
}

}  // namespace zan
