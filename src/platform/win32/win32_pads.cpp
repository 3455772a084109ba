// Game pads on Windows: the system's XInput pads under the win32 backend,
// read as one merged state with the virtual pad that tests and scripted play
// attach. XInput is loaded the first time a pad is read, from whichever of
// its libraries the system has; a system without one has only the virtual
// pad. The headless backend sees only the virtual pad, so a headless run
// never depends on the machine.
#include "platform/win32/win32_backend.h"

#include <xinput.h>

#include <cstdlib>
#include <cstring>

namespace plat {
namespace {

using GetStateFunction = DWORD(WINAPI*)(DWORD, XINPUT_STATE*);

GetStateFunction getState = nullptr;
bool xinputTried = false;
// Asking an empty slot is slow on some systems: an empty slot is asked
// again only after this long.
constexpr DWORD kEmptySlotRetryMs = 1000;
DWORD slotRetryAt[XUSER_MAX_COUNT] = {};

struct VirtualPad {
  bool attached = false;
  uint32_t buttons = 0;
  int stick[2] = {0, 0};
};
VirtualPad virtualPad;

// XInput's buttons in the order of our PadButton bits.
constexpr WORD kButtons[] = {XINPUT_GAMEPAD_A,          XINPUT_GAMEPAD_B,         XINPUT_GAMEPAD_X,
                             XINPUT_GAMEPAD_Y,          XINPUT_GAMEPAD_BACK,      XINPUT_GAMEPAD_START,
                             XINPUT_GAMEPAD_DPAD_UP,    XINPUT_GAMEPAD_DPAD_DOWN, XINPUT_GAMEPAD_DPAD_LEFT,
                             XINPUT_GAMEPAD_DPAD_RIGHT};

bool StartXInput() {
  if (xinputTried) return getState != nullptr;
  xinputTried = true;
  HMODULE xinput = nullptr;
  for (const wchar_t* name : {L"xinput1_4.dll", L"xinput9_1_0.dll", L"xinput1_3.dll"}) {
    xinput = LoadLibraryW(name);
    if (xinput) break;
  }
  if (!xinput) return false;
  getState = reinterpret_cast<GetStateFunction>(reinterpret_cast<void*>(GetProcAddress(xinput, "XInputGetState")));
  return getState != nullptr;
}

// The stronger of two deflections, so that a resting pad does not cancel
// a pushed one.
int Stronger(int a, int b) { return std::abs(b) > std::abs(a) ? b : a; }

int Clamp(int value) { return value < -32768 ? -32768 : value > 32767 ? 32767 : value; }

bool ReadSystemPads(PadState& state) {
  if (!StartXInput()) return false;
  bool any = false;
  const DWORD now = timeGetTime();
  for (DWORD slot = 0; slot < XUSER_MAX_COUNT; ++slot) {
    if (slotRetryAt[slot] != 0 && static_cast<LONG>(now - slotRetryAt[slot]) < 0) continue;
    XINPUT_STATE pad{};
    if (getState(slot, &pad) != ERROR_SUCCESS) {
      slotRetryAt[slot] = (now + kEmptySlotRetryMs) | 1;  // never 0, which means "ask now"
      continue;
    }
    slotRetryAt[slot] = 0;
    any = true;
    for (int b = 0; b < static_cast<int>(sizeof kButtons / sizeof kButtons[0]); ++b) {
      if (pad.Gamepad.wButtons & kButtons[b]) state.buttons |= 1u << b;
    }
    // XInput's stick points up for positive y; ours points down.
    state.stickX = Stronger(state.stickX, pad.Gamepad.sThumbLX);
    state.stickY = Stronger(state.stickY, Clamp(-static_cast<int>(pad.Gamepad.sThumbLY)));
  }
  return any;
}

}  // namespace

// XInput stays loaded once it is: its library may run a thread of its own
// that must not lose its code while the process lives.
void ForgetPadSlots() { std::memset(slotRetryAt, 0, sizeof slotRetryAt); }

bool ReadPads(PadState& state) {
  state = PadState{};
  bool any = false;
  if (std::strcmp(BackendName(), "win32") == 0) any = ReadSystemPads(state);
  if (virtualPad.attached) {
    any = true;
    state.buttons |= virtualPad.buttons;
    state.stickX = Stronger(state.stickX, virtualPad.stick[0]);
    state.stickY = Stronger(state.stickY, virtualPad.stick[1]);
  }
  return any;
}

bool AttachVirtualPad() {
  if (!virtualPad.attached) virtualPad = VirtualPad{true, 0, {0, 0}};
  return true;
}

void SetVirtualPadButton(uint32_t button, bool down) {
  if (!virtualPad.attached || button == 0 || button > kPadRight || (button & (button - 1)) != 0) return;
  virtualPad.buttons = down ? (virtualPad.buttons | button) : (virtualPad.buttons & ~button);
}

void SetVirtualPadStick(int axis, int value) {
  if (!virtualPad.attached || axis < 0 || axis > 1) return;
  virtualPad.stick[axis] = Clamp(value);
}

void DetachVirtualPad() { virtualPad = VirtualPad{}; }

void ClosePads() {
  DetachVirtualPad();
  ForgetPadSlots();
}

}  // namespace plat
