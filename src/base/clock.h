#pragma once
// The time seam. Every wait of the system is a deadline on this clock: production uses
// the monotonic clock, tests a virtual clock in which sleeping advances time and lets
// the simulated adapters answer.

#include <cstdint>

namespace zv {

class Clock {
 public:
  virtual ~Clock() = default;
  // Monotonic microseconds since an arbitrary origin; never goes back.
  virtual std::uint64_t now_us() = 0;
  // Sleeps `us` microseconds (a virtual clock advances by that much instead).
  virtual void sleep_us(std::uint64_t us) = 0;

  // The millisecond tick counter.
  std::uint32_t tick_ms() { return static_cast<std::uint32_t>(now_us() / 1000); }
  // Deadline `ms` milliseconds from now, computed once; a wait ends when now_us()
  // is no longer below it.
  std::uint64_t deadline_after_ms(std::uint32_t ms) {
    return now_us() + static_cast<std::uint64_t>(ms) * 1000;
  }
  bool reached(std::uint64_t deadline_us) { return now_us() >= deadline_us; }
  // Microseconds left to the deadline, at most `cap_us`.
  std::uint64_t left_until(std::uint64_t deadline_us, std::uint64_t cap_us) {
    const std::uint64_t now = now_us();
    if (now >= deadline_us) return 0;
    const std::uint64_t left = deadline_us - now;
    return left < cap_us ? left : cap_us;
  }
};

class RealClock final : public Clock {
 public:
  std::uint64_t now_us() override;
  void sleep_us(std::uint64_t us) override;
};

}  // namespace zv
