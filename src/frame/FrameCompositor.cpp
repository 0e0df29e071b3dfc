#include "frame/FrameCompositor.h"

#include <algorithm>

#include "core/TaskScheduler.h"

namespace zan {

FrameCompositor::FrameCompositor(TaskScheduler& tasks, Surface& frame)
    : Task("FrameCompositor"), tasks_(tasks), frame_(&frame) {
  SetHandler(1, [this] { Compose(); });
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
  // A layer made later at the same address must not pass for this one.
  lastShown_.clear();
}

bool FrameCompositor::Shows(const Entry& entry) const {
  return !entry.owner->Ended() && tasks_.IsRunning(entry.owner) != 0;
}

void FrameCompositor::Compose() {
  const bool screenOpen =
      std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.screen && Shows(e); });
  shown_.clear();
  bool changed = fullRedraw_ || !drawnOnce_;
  bool bottomChanged = true;
  bool aboveMarked = true;
  for (const Entry& e : entries_) {
    if (!Shows(e)) continue;
    if (screenOpen && !e.screen && e.place <= Layer::kEffects) continue;
    shown_.push_back(e.layer);
    // Every shown layer is asked, before any draws: a layer's answer never depends on
    // whether one below it drew.
    const bool layerChanged = e.layer->Changed();
    if (shown_.size() == 1) bottomChanged = layerChanged;
    else aboveMarked = aboveMarked && e.layer->MarksWhatItDraws();
    changed = layerChanged || changed;
  }
  const bool sameLayers = shown_ == lastShown_;
  changed_ = changed || !sameLayers;
  if (!changed_) {
    for (FrameLayer* layer : shown_) layer->Undrawn();
    ++undrawn_;
    return;
  }
  // What each part draws is measured on the frame's dirty rectangle, which is then made the
  // union of all (and of what it held before).
  const DirtyRect before = frame_->GetDirty();
  frame_->ClearDirty();
  DirtyRect bottom;
  for (size_t i = 0; i < shown_.size(); ++i) {
    FrameLayer& layer = *shown_[i];
    if (i > 0) {
      layer.Draw(*frame_);
      continue;
    }
    const bool again =
        !fullRedraw_ && drawnOnce_ && sameLayers && !bottomChanged && aboveMarked && lastAboveMarked_;
    if (!again || !layer.DrawAgain(*frame_, lastAbove_)) layer.Draw(*frame_);
    bottom = frame_->GetDirty();
    frame_->ClearDirty();
  }
  lastAbove_ = frame_->GetDirty();
  lastAboveMarked_ = aboveMarked;
  for (const DirtyRect& r : {before, bottom})
    if (!r.Empty()) frame_->AddDirty(r.left, r.top, r.right, r.bottom);
  lastShown_.swap(shown_);
  drawnOnce_ = true;
  ++composed_;
}

}  // namespace zan
