// The sdl backend's joysticks: the first two SDL joysticks as the old
// joystick interface reads them (two axes, up to 32 buttons).
#include "platform/sdl/sdl_parts.h"

namespace plat::sdlparts {

void Joysticks::Start() {
  ready_ = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
  OpenNew();
}

void Joysticks::Stop() {
  CloseAll();
  ready_ = false;
}

void Joysticks::OpenNew() {
  if (!ready_) return;
  int count = SDL_NumJoysticks();
  for (int j = 0; j < kCount; ++j) {
    if (!sticks_[j] && j < count) sticks_[j] = SDL_JoystickOpen(j);
  }
}

void Joysticks::Reopen() {
  CloseAll();
  OpenNew();
}

void Joysticks::CloseAll() {
  for (auto& stick : sticks_) {
    if (stick) SDL_JoystickClose(stick);
    stick = nullptr;
  }
}

bool Joysticks::GetPos(int joystick, JoyInfo& info) {
  if (joystick < 0 || joystick >= kCount) return false;
  SDL_Joystick* stick = sticks_[joystick];
  if (!stick) return false;
  SDL_JoystickUpdate();
  if (!SDL_JoystickGetAttached(stick)) return false;
  auto axis = [stick](int index) -> uint32_t {
    int value = index < SDL_JoystickNumAxes(stick) ? SDL_JoystickGetAxis(stick, index) : 0;
    return static_cast<uint32_t>(value + 32768);
  };
  info.x = axis(0);
  info.y = axis(1);
  info.buttons = 0;
  int count = SDL_JoystickNumButtons(stick);
  if (count > 32) count = 32;
  for (int b = 0; b < count; ++b) {
    if (SDL_JoystickGetButton(stick, b)) info.buttons |= 1u << b;
  }
  return true;
}

}  // namespace plat::sdlparts
