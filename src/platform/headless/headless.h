// Controls of the headless backend, for tests, replays and benchmarks.
// Each call does nothing unless the headless backend is the running one.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace plat::headless {

// The virtual clock counts microseconds; TimeGetTime reports whole
// milliseconds of it. Every reading of the clock lets one microsecond pass,
// as a real reading would take a little time, so busy waits end.
void SetClock(uint32_t ms);
void AdvanceClock(uint32_t ms);
uint32_t SleepCalls();         // how often Sleep was called
uint32_t LastSleep();          // the argument of the last Sleep

// The virtual desktop cursor.
void SetCursor(int x, int y);
bool CursorVisible();
bool CursorClipped(Rect& rect);
bool ImeEnabled();

// Moves the window's client area to (x, y) as a user dragging it would.
void MoveWindow(int x, int y);
// The user activates or deactivates the program.
void SetActive(bool active);
// The user presses the close box.
void PressCloseBox();
bool WindowVisible();
bool WindowExists();
bool WindowTopmost();
uint32_t RaiseCount();

// A joystick that answers with `info`, or none.
void SetJoystick(int joystick, bool present, const JoyInfo& info = {});
uint32_t JoyConfigChangedCount();

// Message boxes: the last caption and text (CP932), how many were shown, and
// the answer the next Yes/No box gives (the default button, Yes, otherwise).
std::string LastBoxCaption();
std::string LastBoxText();
uint32_t BoxCount();
uint32_t BeepCount();
void AnswerNextBox(Answer answer);

}  // namespace plat::headless
