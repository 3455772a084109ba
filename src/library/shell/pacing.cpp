// Frame pacing: the frame time, the frame wait and the numbered countdown
// timers. Every reading comes from the one millisecond clock; differences are
// taken as unsigned 32-bit counts, so all of it keeps working when the clock
// wraps after 2^32 ms. What the state follows (the frame time, the timers,
// the end of a busy wait) reads the state's clock, which a demo keeps; the
// frame wait's sleep and spin only decide when the next pass runs, and read
// the platform's clock itself.
#include <cstdio>

#include "draw/eldraw.h"
#include "input/input.h"
#include "shell/demo.h"
#include "shell/elsystem.h"

namespace elSystem {

float dt = 0.0f;
uint32_t lastFrameTick = 0;
uint32_t frameRate = 60;
uint32_t frameInterval = 1000 / 60;
uint32_t frameWaitTick = 0;
uint8_t frameWaitOn = 1;
uint32_t waitDeadline[kWaitCount] = {kWaitStopped, kWaitStopped, kWaitStopped, kWaitStopped,
                                     kWaitStopped, kWaitStopped, kWaitStopped, kWaitStopped,
                                     kWaitStopped, kWaitStopped, kWaitStopped};

void StartTimer() {
  plat::TimeBeginPeriod(1);
  SetFrameRate(60);
  EnableFrameWait(1);
}

void StopTimer() { plat::TimeEndPeriod(1); }

bool SetFrameRate(uint32_t framesPerSecond) {
  frameRate = framesPerSecond;
  frameInterval = 1000 / framesPerSecond;
  frameWaitTick = plat::TimeGetTime();
  return true;
}

bool WaitFrame() {
  if (frameWaitOn == 0) return true;
  uint32_t now = plat::TimeGetTime();
  uint32_t elapsed = now - frameWaitTick;
  // Sleep to shortly before the end of the slot (always yielding once),
  // then spin on the clock for the rest, so that the slot ends on the
  // millisecond it is due.
  plat::SleepUntil(frameWaitTick + frameInterval);
  while (elapsed < frameInterval) {
    now = plat::TimeGetTime();
    elapsed = now - frameWaitTick;
  }
  // The slot ends when the wait ends: a late frame pushes later slots back
  // instead of being caught up.
  frameWaitTick = now;
  return true;
}

void EnableFrameWait(uint8_t on) {
  frameWaitOn = on;
  elDraw::SetVSync(on ? 0 : 1);
}

void ResetFrameClock() {
  dt = 0.0f;
  lastFrameTick = shell::GameClock();
}

void MeasureFrameTime() {
  uint32_t now = shell::GameClock();
  dt = static_cast<float>(now - lastFrameTick) / 1000.0f;
  lastFrameTick = shell::GameClock();
}

namespace {

int WaitOutOfRange(const char* caption, int timer) {
  char number[32];
  std::snprintf(number, sizeof number, "timer %d", timer);
  return elDraw::ErrorAbout(caption, number, "ウェイトNoが範囲外です");
}

}  // namespace

int SetWait(int timer, uint32_t ms) {
  if (timer < 1 || timer > 10) return WaitOutOfRange("elSystem::SetWait", timer);
  waitDeadline[timer] = shell::GameClock() + ms;
  return 1;
}

int InitWait(int timer) {
  if (timer < 1 || timer > 10) return WaitOutOfRange("elSystem::InitWait", timer);
  waitDeadline[timer] = kWaitStopped;
  return 1;
}

int IsWaitOver(int timer) {
  // Callers pass 1..10; anything else reads as a stopped timer rather than
  // reading outside the table.
  uint32_t deadline = (timer >= 1 && timer < kWaitCount) ? waitDeadline[timer] : kWaitStopped;
  return shell::GameClock() >= deadline ? 1 : 0;
}

void WaitMilliseconds(uint32_t ms) {
  // Timers 1..10 take entries 1..10; the busy wait has the remaining entry
  // 0 to itself, so it never disturbs timer 10. The wait itself is pacing;
  // the frame clock's new start after it is state.
  waitDeadline[kBusyWait] = plat::TimeGetTime() + ms;
  while (plat::TimeGetTime() <= waitDeadline[kBusyWait]) {
  }
  ResetFrameClock();
}

int ResetWaits() {
  for (uint32_t& d : waitDeadline) d = kWaitStopped;
  ResumeInput();
  SetAltKeyMode(0);
  if (fullScreen) ClipCursorToClient();
  return 1;
}

}  // namespace elSystem
