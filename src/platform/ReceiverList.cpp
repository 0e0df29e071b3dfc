#include "platform/ReceiverList.h"

#include <algorithm>

namespace zan {

bool ReceiverList::RegisterReceiver(EventReceiver* receiver) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end()) {
    receiver->ClearRemoved();
    return true;
  }
  if (receivers_.size() >= kMaxReceivers) return false;
  receiver->ClearRemoved();
  receivers_.push_back(receiver);
  return true;
}

bool ReceiverList::OfferEvent(const InputEvent& event,
                              const std::function<bool(const InputEvent&)>& defaultHandling) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  // Index walk: a receiver may register another one during the dispatch (appended at the end).
  for (size_t i = 0; i < receivers_.size(); ++i) {
    EventReceiver* receiver = receivers_[i];
    if (receiver->IsRemoved()) continue;
    if (receiver->HandleEvent(event)) {
      Purge();
      return true;
    }
  }
  Purge();
  return defaultHandling ? defaultHandling(event) : false;
}

void ReceiverList::Purge() {
  auto end = std::remove_if(receivers_.begin(), receivers_.end(), [](EventReceiver* r) {
    if (!r->IsRemoved()) return false;
    r->ClearRemoved();
    return true;
  });
  receivers_.erase(end, receivers_.end());
}

void ReceiverList::Unregister(const EventReceiver* receiver) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  receivers_.erase(std::remove(receivers_.begin(), receivers_.end(), receiver), receivers_.end());
}

size_t ReceiverList::Count() const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return receivers_.size();
}

bool ReceiverList::Contains(const EventReceiver* receiver) const {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  return std::find(receivers_.begin(), receivers_.end(), receiver) != receivers_.end();
}

void ReceiverList::Clear() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  receivers_.clear();
}

}  // namespace zan
