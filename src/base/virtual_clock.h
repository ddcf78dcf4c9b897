#pragma once
// A clock that only moves when somebody sleeps. Events scheduled on it (the simulated
// adapters' answers) run in time order as it advances, so a wait of 20 s in the code
// under test costs no real time and runs the production code path.

#include <cstdint>
#include <functional>
#include <map>

#include "base/clock.h"

namespace zv {

class VirtualClock final : public Clock {
 public:
  explicit VirtualClock(std::uint64_t start_us = 1'000'000) : now_(start_us) {}

  std::uint64_t now_us() override { return now_; }
  void sleep_us(std::uint64_t us) override { advance_until(now_ + us, nullptr); }

  // Runs `event` when time reaches `at_us` (at once, on the next advance, when due).
  void schedule_at(std::uint64_t at_us, std::function<void()> event);
  void schedule_after_us(std::uint64_t us, std::function<void()> event) {
    schedule_at(now_ + us, std::move(event));
  }

  // Advances to `deadline_us`, running due events in order; stops early, at the time of
  // the event, as soon as `stop` (when given) is true after an event ran.
  void advance_until(std::uint64_t deadline_us, const std::function<bool()>& stop);

  std::size_t pending_events() const { return events_.size(); }

 private:
  std::uint64_t now_;
  std::multimap<std::uint64_t, std::function<void()>> events_;
};

}  // namespace zv
