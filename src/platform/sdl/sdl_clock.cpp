// The sdl backend's clock: the system's monotonic clock in milliseconds,
// and sleeps on it.
#include <sched.h>
#include <time.h>

#include <cerrno>

#include "platform/sdl/sdl_parts.h"

namespace plat::sdlparts {

uint32_t Ticks() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u +
                static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);
}

void Sleep(uint32_t ms) {
  if (ms == 0) {
    sched_yield();
    return;
  }
  timespec wait{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

// The kernel's high-resolution sleep to a little before the millisecond
// begins, so that the caller's spin on the clock is short; the lead covers
// the usual lateness of a wake-up.
void SleepUntil(uint32_t tick) {
  constexpr int64_t kLeadNs = 200000;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const int64_t nowNs = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
  const int64_t nowMs = nowNs / 1000000;
  const int32_t left = static_cast<int32_t>(tick - static_cast<uint32_t>(nowMs));
  const int64_t wakeNs = (nowMs + left) * 1000000 - kLeadNs;
  if (left <= 0 || wakeNs <= nowNs) {
    sched_yield();
    return;
  }
  timespec wake{static_cast<time_t>(wakeNs / 1000000000), static_cast<long>(wakeNs % 1000000000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr) == EINTR) {
  }
}

}  // namespace plat::sdlparts
