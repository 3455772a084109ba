// Joysticks 0 and 1: centres measured at start-up, digital directions, button
// edges and values that ramp up while held.
//
// A joystick that does not answer reads as centred with no buttons down.
// Joystick numbers other than 0 and 1, and button numbers outside the four
// kept slots, give the same "no answer" results instead of indexing past the
// tables.
#include "input/input.h"

#include "platform/platform.h"
#include "shell/elsystem.h"

namespace elSystem {

int joyCentreX[kJoystickCount], joyCentreY[kJoystickCount];
float joyAxisValue[kJoystickCount][2];
float joyAxisRate[kJoystickCount];
float joyButtonValue[kJoystickCount][kJoyButtonCount];
float joyButtonRate[kJoystickCount];
int joyButtonState[kJoystickCount][kJoyButtonCount];

namespace {

bool ValidJoystick(int joystick) { return joystick >= 0 && joystick < kJoystickCount; }
bool ValidSlot(int button) { return button >= 1 && button <= kJoyButtonCount; }

// The platform answers with position and buttons together; what the caller
// reads of it is its own choice.
bool Read(int joystick, plat::JoyInfo& info) {
  if (!ValidJoystick(joystick)) return false;
  info = plat::JoyInfo{};
  return plat::JoyGetPos(joystick, info);
}

// -1, 0 or +1 for a raw axis position against the centre measured for it.
// A centre of 0 (no answer at start-up) makes every position above 0 read +1.
int AxisDirection(int position, int centre) {
  int half = centre / 2;
  if (position <= half) return -1;
  if (position >= half + centre) return 1;
  return 0;
}

void Directions(int joystick, const plat::JoyInfo& info, int& dx, int& dy) {
  dx = AxisDirection(static_cast<int>(info.x), joyCentreX[joystick]);
  dy = AxisDirection(static_cast<int>(info.y), joyCentreY[joystick]);
}

bool ButtonDown(const plat::JoyInfo& info, int button) {
  return ((info.buttons >> (button - 1)) & 1u) != 0;
}

// Ramps one button value from a reading; returns it truncated.
int RampButton(int joystick, int slot, bool down) {
  float& value = joyButtonValue[joystick][slot];
  if (down) {
    value = value + joyButtonRate[joystick] * dt;
    if (value > 100.0f) value = 100.0f;
  } else {
    value = 0.0f;
  }
  return static_cast<int>(value);
}

// Moves one axis value toward the direction, or back to 0 at the same rate.
void RampAxis(float& value, int direction, float rate) {
  if (direction != 0) {
    value = value + static_cast<float>(direction) * rate;
    if (value >= 100.0f) value = 100.0f;
    if (value <= -100.0f) value = -100.0f;
  } else {
    if (value > 0.0f) {
      value = value - rate;
      if (value < 0.0f) value = 0.0f;
    }
    if (value < 0.0f) {
      value = value + rate;
      if (value > 0.0f) value = 0.0f;
    }
  }
}

}  // namespace

void JoyInit() {
  plat::JoyConfigChanged();
  JoyCalibrate();
  for (int j = 0; j < kJoystickCount; ++j) {
    joyAxisValue[j][0] = 0.0f;
    joyAxisValue[j][1] = 0.0f;
    for (int b = 0; b < kJoyButtonCount; ++b) {
      joyButtonValue[j][b] = 0.0f;
      joyButtonState[j][b] = 0;
    }
    joyAxisRate[j] = 0.0f;
    joyButtonRate[j] = 0.0f;
  }
}

void JoyCalibrate() {
  for (int j = 0; j < kJoystickCount; ++j) {
    plat::JoyInfo info;
    if (Read(j, info)) {
      joyCentreX[j] = static_cast<int>(info.x);
      joyCentreY[j] = static_cast<int>(info.y);
    } else {
      joyCentreX[j] = 0;
      joyCentreY[j] = 0;
    }
  }
}

void JoyResetValues() {
  for (int j = 0; j < kJoystickCount; ++j) {
    joyAxisValue[j][0] = 0.0f;
    joyAxisValue[j][1] = 0.0f;
    for (int b = 0; b < kJoyButtonCount; ++b) joyButtonValue[j][b] = 0.0f;
  }
}

void JoySetRates(int joystick, float axisRate, float buttonRate) {
  if (!ValidJoystick(joystick)) return;
  joyAxisRate[joystick] = axisRate;
  joyButtonRate[joystick] = buttonRate;
}

void JoyGetCentre(int joystick, int& x, int& y) {
  if (!ValidJoystick(joystick)) {
    x = 0;
    y = 0;
    return;
  }
  x = joyCentreX[joystick];
  y = joyCentreY[joystick];
}

int JoyButton(int joystick, int button) {
  // The mask has 32 bits; any other button number would shift out of range.
  if (button < 1 || button > 32) return 0;
  plat::JoyInfo info;
  if (!Read(joystick, info)) return 0;
  return ButtonDown(info, button) ? 1 : 0;
}

int JoyButtonEdge(int joystick, int button) {
  if (!ValidSlot(button)) return 0;
  plat::JoyInfo info;
  if (!Read(joystick, info)) return 0;
  int& state = joyButtonState[joystick][button - 1];
  AdvanceEdge(ButtonDown(info, button), state);
  return state;
}

void JoyButtons(int joystick, int out[kJoyButtonCount]) {
  plat::JoyInfo info;
  bool answered = Read(joystick, info);
  for (int b = 0; b < kJoyButtonCount; ++b) out[b] = answered && ButtonDown(info, b + 1) ? 1 : 0;
}

void JoyButtonEdges(int joystick, int out[kJoyButtonCount]) {
  plat::JoyInfo info;
  if (!Read(joystick, info)) {
    for (int b = 0; b < kJoyButtonCount; ++b) out[b] = 0;
    return;
  }
  for (int b = 0; b < kJoyButtonCount; ++b) {
    int& state = joyButtonState[joystick][b];
    AdvanceEdge(ButtonDown(info, b + 1), state);
    out[b] = state;
  }
}

int JoyButtonRamp(int joystick, int button) {
  if (!ValidJoystick(joystick) || !ValidSlot(button)) return 0;
  plat::JoyInfo info;
  // No answer counts as released: the value drops to 0.
  bool down = Read(joystick, info) && ButtonDown(info, button);
  return RampButton(joystick, button - 1, down);
}

void JoyButtonRamps(int joystick, int out[kJoyButtonCount]) {
  plat::JoyInfo info;
  if (!Read(joystick, info)) {
    for (int b = 0; b < kJoyButtonCount; ++b) out[b] = 0;
    return;
  }
  for (int b = 0; b < kJoyButtonCount; ++b) out[b] = RampButton(joystick, b, ButtonDown(info, b + 1));
}

void JoyDirection(int joystick, int& dx, int& dy) {
  dx = 0;
  dy = 0;
  plat::JoyInfo info;
  if (!Read(joystick, info)) return;
  Directions(joystick, info, dx, dy);
}

int JoyPad(int joystick) {
  int dx, dy;
  JoyDirection(joystick, dx, dy);
  // Keypad layout: 7 8 9 on top (up), 1 2 3 at the bottom (down).
  return 5 + dx - 3 * dy;
}

void JoyPosition(int joystick, int& x, int& y) {
  x = 0;
  y = 0;
  plat::JoyInfo info;
  if (!Read(joystick, info)) return;
  x = static_cast<int>(info.x);
  y = static_cast<int>(info.y);
}

void JoyAnalog(int joystick, int& x, int& y) {
  x = 0;
  y = 0;
  plat::JoyInfo info;
  if (!Read(joystick, info)) return;
  int dx, dy;
  Directions(joystick, info, dx, dy);
  float rate = joyAxisRate[joystick] * dt;
  RampAxis(joyAxisValue[joystick][0], dx, rate);
  RampAxis(joyAxisValue[joystick][1], dy, rate);
  x = static_cast<int>(joyAxisValue[joystick][0]);
  y = static_cast<int>(joyAxisValue[joystick][1]);
}

}  // namespace elSystem
