// The sdl backend's services beside its window, each in a file of its own:
// the clock (sdl_clock.cpp), message boxes (sdl_dialogs.cpp) and joysticks
// (sdl_joysticks.cpp). Internal to src/platform.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace plat::sdlparts {

// The system's monotonic clock in milliseconds, and sleeps on it.
uint32_t Ticks();
void Sleep(uint32_t ms);
void SleepUntil(uint32_t tick);

// A message box over `window` (null: none); the answer of a box that cannot
// be shown is its first button, the text then going to standard error.
Answer MessageBox(SDL_Window* window, const std::string& textUtf8, const std::string& captionUtf8,
                  Buttons buttons, Icon icon);

// The two joysticks of the old joystick interface, by SDL's numbering.
class Joysticks {
 public:
  static constexpr int kCount = 2;
  // A machine without joystick support still runs the game; GetPos then
  // reports that no joystick answers.
  void Start();
  void Stop();
  // Opens the joysticks plugged in since (one already open stays).
  void OpenNew();
  // Closes and opens them again, after a change of the system's settings.
  void Reopen();
  bool GetPos(int joystick, JoyInfo& info);

 private:
  void CloseAll();

  bool ready_ = false;
  SDL_Joystick* sticks_[kCount] = {nullptr, nullptr};
};

}  // namespace plat::sdlparts
