// Game pads: every pad SDL knows as a game controller, opened as it is
// plugged in and closed as it goes, read as one merged state. This sits
// beside the joysticks of the multimedia interface, which keep their own
// reading. The headless backend sees only the virtual pads that tests and
// scripted play attach, so a headless run never depends on the machine.
#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "platform/backend.h"

namespace plat {
namespace {

constexpr int kMaxPads = 4;

struct Pad {
  SDL_GameController* controller = nullptr;
  SDL_JoystickID id = -1;
};
Pad pads[kMaxPads];
bool started = false;   // this module holds SDL's game-controller subsystem
int knownDevices = -1;  // joystick devices at the last scan for new pads

SDL_Joystick* virtualStick = nullptr;
SDL_JoystickID virtualId = -1;

// Our buttons in bit order, and SDL's for each.
constexpr SDL_GameControllerButton kButtons[] = {
    SDL_CONTROLLER_BUTTON_A,         SDL_CONTROLLER_BUTTON_B,         SDL_CONTROLLER_BUTTON_X,
    SDL_CONTROLLER_BUTTON_Y,         SDL_CONTROLLER_BUTTON_BACK,      SDL_CONTROLLER_BUTTON_START,
    SDL_CONTROLLER_BUTTON_DPAD_UP,   SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
constexpr int kButtonCount = sizeof kButtons / sizeof kButtons[0];

bool OnlyVirtual() { return std::strcmp(BackendName(), "sdl") != 0; }

bool StartPads() {
  if (started) return true;
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
  started = true;
  knownDevices = -1;
  return true;
}

bool IsOpen(SDL_JoystickID id) {
  for (const Pad& p : pads) {
    if (p.controller && p.id == id) return true;
  }
  return false;
}

// Opens the pads plugged in since the last scan; a scan runs only when the
// number of devices has changed, so a frame normally costs one count.
void OpenNewPads() {
  int count = SDL_NumJoysticks();
  if (count == knownDevices) return;
  knownDevices = count;
  for (int i = 0; i < count; ++i) {
    if (!SDL_IsGameController(i) || (OnlyVirtual() && !SDL_JoystickIsVirtual(i))) continue;
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(i);
    if (IsOpen(id)) continue;
    for (Pad& p : pads) {
      if (p.controller) continue;
      p.controller = SDL_GameControllerOpen(i);
      p.id = p.controller ? id : -1;
      break;
    }
  }
}

void ClosePad(Pad& p) {
  if (p.controller) SDL_GameControllerClose(p.controller);
  p = Pad{};
}

int DeviceIndexOf(SDL_JoystickID id) {
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  }
  return -1;
}

// The stronger of two deflections, so that a resting pad does not cancel
// a pushed one.
int Stronger(int a, int b) { return std::abs(b) > std::abs(a) ? b : a; }

}  // namespace

bool ReadPads(PadState& state) {
  state = PadState{};
  if (!started && (OnlyVirtual() || !StartPads())) return false;
  SDL_GameControllerUpdate();
  // Without a window nobody takes SDL's events off its queue.
  if (!SDL_WasInit(SDL_INIT_VIDEO)) SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYAXISMOTION + 0xFF);
  bool any = false;
  for (Pad& p : pads) {
    if (p.controller && !SDL_GameControllerGetAttached(p.controller)) {
      ClosePad(p);
      knownDevices = -1;
    }
  }
  OpenNewPads();
  for (const Pad& p : pads) {
    if (!p.controller) continue;
    any = true;
    for (int b = 0; b < kButtonCount; ++b) {
      if (SDL_GameControllerGetButton(p.controller, kButtons[b])) state.buttons |= 1u << b;
    }
    state.stickX = Stronger(state.stickX,
                            SDL_GameControllerGetAxis(p.controller, SDL_CONTROLLER_AXIS_LEFTX));
    state.stickY = Stronger(state.stickY,
                            SDL_GameControllerGetAxis(p.controller, SDL_CONTROLLER_AXIS_LEFTY));
  }
  return any;
}

bool AttachVirtualPad() {
  if (virtualStick) return true;
  if (!StartPads()) return false;
  int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                        SDL_CONTROLLER_BUTTON_MAX, 0);
  if (index < 0) return false;
  virtualStick = SDL_JoystickOpen(index);
  if (!virtualStick) {
    SDL_JoystickDetachVirtual(index);
    return false;
  }
  virtualId = SDL_JoystickInstanceID(virtualStick);
  return true;
}

void SetVirtualPadButton(uint32_t button, bool down) {
  if (!virtualStick) return;
  for (int b = 0; b < kButtonCount; ++b) {
    if (button == 1u << b) SDL_JoystickSetVirtualButton(virtualStick, kButtons[b], down ? 1 : 0);
  }
}

void SetVirtualPadStick(int axis, int value) {
  if (!virtualStick || axis < 0 || axis > 1) return;
  if (value < -32768) value = -32768;
  if (value > 32767) value = 32767;
  SDL_JoystickSetVirtualAxis(virtualStick,
                             axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY,
                             static_cast<Sint16>(value));
}

void DetachVirtualPad() {
  if (!virtualStick) return;
  SDL_JoystickClose(virtualStick);
  virtualStick = nullptr;
  int index = DeviceIndexOf(virtualId);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
  virtualId = -1;
}

void ClosePads() {
  if (!started) return;
  for (Pad& p : pads) ClosePad(p);
  DetachVirtualPad();
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started = false;
  knownDevices = -1;
}

}  // namespace plat
