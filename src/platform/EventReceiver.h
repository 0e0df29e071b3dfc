#pragma once
// EventReceiver: a named receiver of window messages. The window offers each message to its
// receivers in registration order until one answers non-zero.

#include <cstdint>
#include <string>

#include "platform/WindowMessage.h"

namespace zan {

class EventReceiver {
 public:
  EventReceiver() = default;
  explicit EventReceiver(std::string name) : name_(std::move(name)) {}
  virtual ~EventReceiver() = default;

  // Non-zero stops the dispatch and becomes the window procedure's result.
  virtual int32_t HandleMessage(const WindowMessage& message) { return 0; }

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  // A removed receiver gets no more messages and is dropped from its list at the next purge.
  void MarkRemoved() { removed_ = 1; }
  int32_t IsRemoved() const { return removed_; }
  void ClearRemoved() { removed_ = 0; }

 private:
  std::string name_ = "Default Name";
  int32_t removed_ = 0;
};

}  // namespace zan
