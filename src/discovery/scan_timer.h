#pragma once
// The periodic tick that drives the scan cycle. The GUI runs it on its own thread's event
// loop (a timer of the toolkit); tests and the command-line front end tick it by hand.
// Callbacks always run on the thread that ticks, never concurrently with each other.

#include <cstdint>
#include <functional>
#include <map>

namespace zv {

using TimerId = std::int32_t;

class PeriodicTimer {
 public:
  virtual ~PeriodicTimer() = default;
  // Calls `callback` every `periodMs` milliseconds from now on until stopped. Returns the
  // timer's id (never 0), or 0 when no timer could be made (then nothing runs).
  virtual TimerId start(std::uint32_t periodMs, std::function<void()> callback) = 0;
  // Stops timer `id`; an id that is not running (or 0) is ignored.
  virtual void stop(TimerId id) = 0;
};

// A timer that fires only when told to. The period is kept for whoever paces the ticks.
class ManualTimer final : public PeriodicTimer {
 public:
  TimerId start(std::uint32_t periodMs, std::function<void()> callback) override;
  void stop(TimerId id) override;

  // Fires every running timer once, oldest first. A callback may start and stop timers:
  // one stopped during this tick does not fire, one started during it fires next time.
  void tick();
  // Ticks `count` times.
  void tick(int count);

  bool running() const { return !timers_.empty(); }
  bool running(TimerId id) const { return timers_.count(id) != 0; }
  // The period of the newest running timer; 0 when none runs.
  std::uint32_t period_ms() const;
  // Timers started since construction.
  int started() const { return started_; }
  // Makes the next start fail (returns 0), as a system without timers would.
  bool failNextStart = false;

 private:
  struct Entry {
    std::uint32_t periodMs;
    std::function<void()> callback;
  };
  std::map<TimerId, Entry> timers_;
  TimerId nextId_ = 1;
  int started_ = 0;
};

}  // namespace zv
