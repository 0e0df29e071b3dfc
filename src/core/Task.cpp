#include "core/Task.h"

namespace zan {

Task::Task() = default;
Task::Task(std::string description) : description_(std::move(description)) {}
Task::~Task() = default;

int32_t Task::Dispatch(int phase) {
  if (end_ != 0) return end_;
  if (phase < 0 || phase >= kPhaseCount) return 0;
  const Handler& handler = handlers_[static_cast<size_t>(phase)];
  return handler ? handler() : 0;
}

void Task::SetHandler(int phase, Handler handler) {
  if (phase < 0 || phase >= kPhaseCount) return;
  handlers_[static_cast<size_t>(phase)] = std::move(handler);
}

}  // namespace zan
