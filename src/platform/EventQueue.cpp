#include "platform/EventQueue.h"

#include <vector>

namespace zan {
namespace {

using Kind = InputEvent::Kind;

bool IsPress(const InputEvent& e) { return e.kind == Kind::kButtonDown || e.kind == Kind::kKeyDown; }

// The release that ends `press`: the same button or key going up.
bool Releases(const InputEvent& e, const InputEvent& press) {
  if (press.kind == Kind::kButtonDown) return e.IsButton(Kind::kButtonUp, press.button);
  return e.IsKey(Kind::kKeyUp, press.key);
}

bool SamePress(const InputEvent& e, const InputEvent& press) {
  return e.kind == press.kind && (press.kind == Kind::kButtonDown ? e.button == press.button : e.key == press.key);
}

}  // namespace

void EventQueue::Post(const InputEvent& event) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (event.kind == Kind::kPointerMove && !events_.empty() &&
      events_.back().kind == Kind::kPointerMove) {
    events_.back() = event;
    return;
  }
  events_.push_back(event);
}

void EventQueue::PostQuit(int32_t exitCode) {
  std::lock_guard<std::mutex> lock(mutex_);
  quitPosted_ = true;
  exitCode_ = exitCode;
}

bool EventQueue::Take(InputEvent* out) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!events_.empty()) {
    if (out) *out = events_.front();
    events_.pop_front();
    return true;
  }
  if (quitPosted_) {
    if (out) *out = InputEvent::Quit(exitCode_);
    quitPosted_ = false;
    return true;
  }
  return false;
}

size_t EventQueue::DropQueuedClicks() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<bool> drop(events_.size(), false);
  for (size_t i = 0; i < events_.size(); ++i) {
    if (drop[i] || !IsPress(events_[i])) continue;
    size_t release = i + 1;
    while (release < events_.size() && !Releases(events_[release], events_[i])) ++release;
    if (release == events_.size()) continue;  // still held: not a whole click
    drop[i] = drop[release] = true;
    for (size_t k = i + 1; k < release; ++k)
      if (SamePress(events_[k], events_[i])) drop[k] = true;
  }
  std::deque<InputEvent> kept;
  for (size_t i = 0; i < events_.size(); ++i)
    if (!drop[i]) kept.push_back(events_[i]);
  const size_t dropped = events_.size() - kept.size();
  events_.swap(kept);
  return dropped;
}

size_t EventQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_.size() + (quitPosted_ ? 1 : 0);
}

void EventQueue::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.clear();
  quitPosted_ = false;
}

}  // namespace zan
