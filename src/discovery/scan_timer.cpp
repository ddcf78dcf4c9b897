#include "discovery/scan_timer.h"

#include <vector>

namespace zv {

TimerId ManualTimer::start(std::uint32_t periodMs, std::function<void()> callback) {
  if (failNextStart) {
    failNextStart = false;
    return 0;
  }
  const TimerId id = nextId_++;
  timers_.emplace(id, Entry{periodMs, std::move(callback)});
  started_ += 1;
  return id;
}

void ManualTimer::stop(TimerId id) { timers_.erase(id); }

void ManualTimer::tick() {
  std::vector<TimerId> due;
  for (const auto& [id, entry] : timers_) due.push_back(id);
  for (const TimerId id : due) {
    const auto found = timers_.find(id);
    if (found == timers_.end()) continue;
    // The callback may stop its own timer, which destroys the stored function.
    const std::function<void()> callback = found->second.callback;
    if (callback) callback();
  }
}

void ManualTimer::tick(int count) {
  for (int i = 0; i < count; ++i) tick();
}

std::uint32_t ManualTimer::period_ms() const {
  return timers_.empty() ? 0 : timers_.rbegin()->second.periodMs;
}

}  // namespace zv
