#include "base/clock.h"

#include <ctime>
#include <cerrno>

namespace zv {

std::uint64_t RealClock::now_us() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1000000u +
         static_cast<std::uint64_t>(ts.tv_nsec) / 1000u;
}

void RealClock::sleep_us(std::uint64_t us) {
  timespec ts{static_cast<time_t>(us / 1000000u), static_cast<long>(us % 1000000u) * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace zv
