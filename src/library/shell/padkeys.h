// Game pads as keys: the d-pad and the left stick hold the arrow keys, A
// holds "C", B holds "V" and Start holds Enter. A pad thus plays every
// program on the library that reads those keys, together with the keyboard.
#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace shell {

// The keys a pad can hold, in the bit order of PadKeysHeld.
constexpr int kPadKeyCount = 7;
extern const int kPadKeyCodes[kPadKeyCount];
// The stick's dead zone: a deflection of this much or less holds nothing.
constexpr int kPadDeadZone = 8000;

// The keys the pad state holds, bit n for kPadKeyCodes[n]. The stick picks
// one of eight directions, each 45 degrees wide.
uint32_t PadKeysHeld(const plat::PadState& pad);

// Reads the pads and posts key messages for the keys they press and let go;
// true if any were posted (the loop handles them before the frame pass).
bool PostPadKeys();
// Forgets the keys the pads hold (a new run).
void ResetPadKeys();

}  // namespace shell
