#pragma once
// ReceiverList: the window's receivers in registration order (at most 256). Registration
// and dispatch hold one re-entrant lock, so a receiver may register another one while a
// message is being offered on the same thread.

#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/EventReceiver.h"

namespace zan {

class ReceiverList {
 public:
  static constexpr size_t kMaxReceivers = 256;

  // False when the list is full. A receiver still in the list only loses its removed mark.
  bool RegisterReceiver(EventReceiver* receiver);

  // Offers the event to every receiver not marked removed, in order, until one takes it
  // (true). When none does, the default handling runs and its answer is returned. Removed
  // receivers are purged after the walk.
  bool OfferEvent(const InputEvent& event,
                  const std::function<bool(const InputEvent&)>& defaultHandling);

  // Drops the receiver at once (its object is going away).
  void Unregister(const EventReceiver* receiver);
  size_t Count() const;
  bool Contains(const EventReceiver* receiver) const;
  // Drops every receiver (at window destruction).
  void Clear();

 private:
  void Purge();

  mutable std::recursive_mutex mutex_;
  std::vector<EventReceiver*> receivers_;
};

}  // namespace zan
