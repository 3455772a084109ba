#include "shell/padkeys.h"

#include <cstdlib>

#include "platform/core/messages.h"
#include "shell/demo.h"
#include "shell/runcontrol.h"

namespace shell {

const int kPadKeyCodes[kPadKeyCount] = {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, 'C', 'V', VK_RETURN};

namespace {

enum : uint32_t { kLeft = 1, kRight = 2, kUp = 4, kDown = 8, kSwing = 16, kCall = 32, kEnter = 64 };

uint32_t ownedKeys = 0;  // keys pressed by a pad and not yet let go by it

}  // namespace

uint32_t PadKeysHeld(const plat::PadState& pad) {
  uint32_t held = 0;
  if (pad.buttons & plat::kPadLeft) held |= kLeft;
  if (pad.buttons & plat::kPadRight) held |= kRight;
  if (pad.buttons & plat::kPadUp) held |= kUp;
  if (pad.buttons & plat::kPadDown) held |= kDown;
  if (pad.buttons & plat::kPadA) held |= kSwing;
  if (pad.buttons & plat::kPadB) held |= kCall;
  if (pad.buttons & plat::kPadStart) held |= kEnter;

  // Outside the dead zone an axis counts when the stick leans at most 67.5
  // degrees away from it (tan 22.5 = 0.414), so diagonals and straight
  // directions share the circle evenly.
  int64_t x = pad.stickX, y = pad.stickY;
  if (x * x + y * y > static_cast<int64_t>(kPadDeadZone) * kPadDeadZone) {
    int64_t ax = std::llabs(x), ay = std::llabs(y);
    if (ax * 1000 > ay * 414) held |= x < 0 ? kLeft : kRight;
    if (ay * 1000 > ax * 414) held |= y < 0 ? kUp : kDown;
  }
  return held;
}

bool PostPadKeys() {
  plat::PadState pad;
  uint32_t wanted = demo::ReadPads(pad) ? PadKeysHeld(pad) : 0;
  bool posted = false;
  for (int n = 0; n < kPadKeyCount; ++n) {
    uint32_t bit = 1u << n;
    bool down = (plat::GetKeyState(kPadKeyCodes[n]) & 0x80) != 0;
    // The pad presses a key only when it is up, and lets go only of the keys
    // it pressed: a key the keyboard pressed first stays the keyboard's.
    if ((wanted & bit) && !down) {
      PostKey(kPadKeyCodes[n], true);
      ownedKeys |= bit;
      posted = true;
    } else if (!(wanted & bit) && (ownedKeys & bit)) {
      ownedKeys &= ~bit;
      if (down) {
        PostKey(kPadKeyCodes[n], false);
        posted = true;
      }
    }
  }
  return posted;
}

void ResetPadKeys() { ownedKeys = 0; }

}  // namespace shell
