#include "frame/FrameCompositor.h"

#include <algorithm>

#include "core/TaskScheduler.h"

namespace zan {

FrameCompositor::FrameCompositor(TaskScheduler& tasks, Surface& frame)
    : Task("FrameCompositor"), tasks_(tasks), frame_(&frame) {
  SetHandler(1, [this] {
    Compose();
    return 0;
  });
}

FrameCompositor::~FrameCompositor() { tasks_.RemoveTask(this); }

void FrameCompositor::Insert(const Entry& entry) {
  // After every entry of the same place or below: places keep their order, and a place
  // draws its layers in the order they came.
  auto at = std::find_if(entries_.begin(), entries_.end(),
                         [&](const Entry& e) { return e.place > entry.place; });
  entries_.insert(at, entry);
}

void FrameCompositor::Add(Layer place, FrameLayer& layer, const Task& owner) {
  Insert({place, &layer, &owner, false});
}

void FrameCompositor::AddScreen(FrameLayer& layer, const Task& owner) {
  Insert({Layer::kStage, &layer, &owner, true});
}

void FrameCompositor::Remove(const FrameLayer& layer) {
  std::erase_if(entries_, [&](const Entry& e) { return e.layer == &layer; });
}

bool FrameCompositor::Shows(const Entry& entry) const {
  return entry.owner->EndValue() == 0 && tasks_.IsRunning(entry.owner) != 0;
}

void FrameCompositor::Compose() {
  const bool screenOpen =
      std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.screen && Shows(e); });
  changed_ = false;
  for (const Entry& e : entries_) {
    if (!Shows(e)) continue;
    if (screenOpen && !e.screen && e.place <= Layer::kEffects) continue;
    changed_ = changed_ || e.layer->Changed();
    e.layer->Draw(*frame_);
  }
}

}  // namespace zan
