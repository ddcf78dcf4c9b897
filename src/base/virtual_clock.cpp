#include "base/virtual_clock.h"

namespace zv {

void VirtualClock::schedule_at(std::uint64_t at_us, std::function<void()> event) {
  events_.emplace(at_us < now_ ? now_ : at_us, std::move(event));
}

void VirtualClock::advance_until(std::uint64_t deadline_us, const std::function<bool()>& stop) {
  while (!events_.empty() && events_.begin()->first <= deadline_us) {
    auto next = events_.begin();
    now_ = next->first;
    auto event = std::move(next->second);
    events_.erase(next);
    event();  // may schedule further events
    if (stop && stop()) return;
  }
  if (deadline_us > now_) now_ = deadline_us;
}

}  // namespace zv
