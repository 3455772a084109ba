// The stand-in for a sound device that could not be opened while a dump is
// being written: a thread of its own pulls the mix at the output rate by the
// wall clock, so that the dump holds the run as a device would have played
// it. Like a device's thread it allocates nothing and waits for nobody but
// the mixer's lock, one pass at a time.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <exception>
#include <thread>

#include "platform/audio/mixer.h"

namespace plat {
namespace {

// Made and ended by Open and Close on the main thread. Held by a pointer: a
// program that ends without closing its device leaves the thread to end
// with the process, as a device's own thread does, instead of stopping it
// from a destructor.
std::thread* puller = nullptr;
std::atomic<bool> stopping{false};

// How long the thread sleeps between passes: well inside one period of
// kMixPeriod frames at any rate the mixer takes.
constexpr auto kNap = std::chrono::milliseconds(4);

void Pull(int rate) {
  static int16_t scratch[2 * kMixPeriod];
  const auto start = std::chrono::steady_clock::now();
  uint64_t played = 0;
  while (!stopping.load(std::memory_order_acquire)) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const uint64_t us =
        static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
    const uint64_t due = us * static_cast<uint64_t>(rate) / 1000000u;
    // A thread held back by more than ten seconds (a machine that slept)
    // plays only the last ten, as a device that far behind drops the rest.
    const uint64_t most = 10 * static_cast<uint64_t>(rate);
    if (due > played + most) played = due - most;
    while (played < due && !stopping.load(std::memory_order_relaxed)) {
      const uint64_t left = due - played;
      const int n = left < kMixPeriod ? static_cast<int>(left) : kMixPeriod;
      MixOutput(scratch, n);
      played += static_cast<uint64_t>(n);
    }
    std::this_thread::sleep_for(kNap);
  }
}

}  // namespace

bool ClockDeviceOpen(int rate) {
  ClockDeviceClose();
  stopping.store(false, std::memory_order_release);
  try {
    puller = new std::thread(Pull, rate);
  } catch (const std::exception&) {
    puller = nullptr;
    return false;
  }
  return true;
}

void ClockDeviceClose() {
  if (puller == nullptr) return;
  stopping.store(true, std::memory_order_release);
  puller->join();
  delete puller;
  puller = nullptr;
}

}  // namespace plat
