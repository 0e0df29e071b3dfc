#pragma once
// TimerQueue: pending one-shot timers ordered by deadline. Shared by the real clock (whose
// timer thread waits on it) and the virtual clock (which fires timers as time advances).

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>

namespace zan {

class TimerQueue {
 public:
  using TimerId = uint32_t;
  struct Due {
    TimerId id;
    std::function<void()> callback;
  };

  // `deadline` is an absolute time on a 64-bit millisecond scale (never wraps).
  TimerId Add(uint64_t deadline, std::function<void()> callback) {
    TimerId id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    pending_.emplace(std::make_pair(deadline, id), std::move(callback));
    return id;
  }
  bool Remove(TimerId id) {
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
      if (it->first.second == id) {
        pending_.erase(it);
        return true;
      }
    }
    return false;
  }
  std::optional<uint64_t> NextDeadline() const {
    if (pending_.empty()) return std::nullopt;
    return pending_.begin()->first.first;
  }
  // Takes the earliest timer due at or before `now`.
  std::optional<Due> TakeDue(uint64_t now) {
    if (pending_.empty() || pending_.begin()->first.first > now) return std::nullopt;
    auto node = pending_.extract(pending_.begin());
    return Due{node.key().second, std::move(node.mapped())};
  }
  bool Empty() const { return pending_.empty(); }

 private:
  std::map<std::pair<uint64_t, TimerId>, std::function<void()>> pending_;
  TimerId nextId_ = 1;
};

}  // namespace zan
