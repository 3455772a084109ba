// Game pads on Windows: only the virtual pad of tests and scripted play is
// read here; real pads are the joysticks of the system's own interface.
#include "platform/backend.h"
#include "platform/platform.h"

namespace plat {
namespace {

bool attached = false;
PadState held;

}  // namespace

bool ReadPads(PadState& state) {
  state = attached ? held : PadState{};
  return attached;
}

bool AttachVirtualPad() {
  if (!attached) held = PadState{};
  attached = true;
  return true;
}

void SetVirtualPadButton(uint32_t button, bool down) {
  // One button at a time, as a pad reports them.
  const bool single = button != 0 && (button & (button - 1)) == 0 && button <= kPadRight;
  if (!attached || !single) return;
  if (down) held.buttons |= button;
  else held.buttons &= ~button;
}

void SetVirtualPadStick(int axis, int value) {
  if (!attached || axis < 0 || axis > 1) return;
  if (value < -32768) value = -32768;
  if (value > 32767) value = 32767;
  (axis == 0 ? held.stickX : held.stickY) = value;
}

void DetachVirtualPad() { attached = false; }

void ClosePads() { DetachVirtualPad(); }

}  // namespace plat
