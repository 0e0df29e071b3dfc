#pragma once
// EventReceiver: a named receiver of input events. The window offers each event to its
// receivers in registration order until one takes it.

#include <string>

#include "platform/InputEvent.h"

namespace zan {

class EventReceiver {
 public:
  EventReceiver() = default;
  explicit EventReceiver(std::string name) : name_(std::move(name)) {}
  virtual ~EventReceiver() = default;

  // True takes the event: no later receiver sees it, and the window's default handling
  // does not run.
  virtual bool HandleEvent(const InputEvent& event) { return false; }

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // A removed receiver gets no more events and is dropped from its list at the next purge.
  void MarkRemoved() { removed_ = true; }
  bool IsRemoved() const { return removed_; }
  void ClearRemoved() { removed_ = false; }

 private:
  std::string name_ = "Default Name";
  bool removed_ = false;
};

}  // namespace zan
