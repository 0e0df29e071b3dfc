#pragma once
// ReceiverList: the window's receivers in registration order (at most 256). Registration
// and dispatch hold one re-entrant lock, so a receiver may register another one while a
// message is being offered on the same thread.

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/EventReceiver.h"

namespace zan {

class ReceiverList {
 public:
  static constexpr size_t kMaxReceivers = 256;

  // 0 when the list is full, else 1. A receiver still in the list only loses its removed mark.
  int32_t RegisterReceiver(EventReceiver* receiver);

  // Offers the message to every receiver not marked removed, in order, until one answers
  // non-zero; that answer is returned. Otherwise the default handling's answer is returned.
  // Removed receivers are purged after the walk.
  int32_t OfferMessage(const WindowMessage& message,
                       const std::function<int32_t(const WindowMessage&)>& defaultHandling);

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
