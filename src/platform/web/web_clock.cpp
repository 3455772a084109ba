// The web backend's clock: the page's high-resolution clock in
// milliseconds. A sleep hands the browser its turn (the program is built
// with ASYNCIFY, so the library's blocking frame loop stays as it is and the
// page draws, plays and takes input while the program waits).
#include <emscripten.h>

#include "platform/sdl/sdl_parts.h"

namespace plat::sdlparts {

uint32_t Ticks() { return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now())); }

void Sleep(uint32_t ms) { emscripten_sleep(ms); }

// The browser's timers keep whole milliseconds at best: wake at the tick
// and let the caller's check of the clock do the rest.
void SleepUntil(uint32_t tick) {
  const int32_t left = static_cast<int32_t>(tick - Ticks());
  emscripten_sleep(left > 0 ? static_cast<unsigned>(left) : 0);
}

}  // namespace plat::sdlparts
