// Keyboard, mouse and joystick input of the zolbeck library.
//
// Keys: the game polls KeyEdge once per frame for each key it reads, which
// turns the key table into a four-value edge state kept by the caller:
// 0 up, 1 pressed at this poll, 3 held, 2 released at this poll.
// The window procedure records the last key and the mouse from messages.
#pragma once
#include <cstdint>

#include <zolbeck/keys.h>

namespace elSystem {

// ---------------------------------------------------------------------------
// Keyboard and mouse state written by the window procedure

extern int lastKeyDown;
extern int keyPressLatch;
extern int scrollViewKey;
extern int altKeyMode;
extern int inputSuspended;
extern int suspendedKey, suspendedClick;
extern int watchedKey, watchedKeyCount;
extern int mouseX, mouseY;
extern int leftHeld, rightHeld;
extern int leftClicked, rightClicked;
extern int leftDoubleClicked, rightDoubleClicked;
extern int lastButton;
extern int lastButtonLatch;


void KeyEdge(int virtualKey, int& state);
// 1 while the key is held down, as of the last key message the loop took.
int IsKeyDown(int virtualKey);
int CheckPressRelease(const int* codes);
void SuspendInput();
void ResumeInput();
void SetWatchedKey(int virtualKey);
int GetWatchedKeyCount();
void SetAltKeyMode(int mode);


// ---------------------------------------------------------------------------
// Joysticks 0 and 1

constexpr int kJoystickCount = 2;
constexpr int kJoyButtonCount = 4;
extern int joyCentreX[kJoystickCount], joyCentreY[kJoystickCount];
extern float joyAxisValue[kJoystickCount][2];
extern float joyAxisRate[kJoystickCount];
extern float joyButtonValue[kJoystickCount][kJoyButtonCount];
extern float joyButtonRate[kJoystickCount];
extern int joyButtonState[kJoystickCount][kJoyButtonCount];

void JoyInit();
void JoyCalibrate();
void JoyResetValues();
void JoySetRates(int joystick, float axisRate, float buttonRate);
void JoyGetCentre(int joystick, int& x, int& y);
int JoyButton(int joystick, int button);
int JoyButtonEdge(int joystick, int button);
void JoyButtons(int joystick, int out[kJoyButtonCount]);
void JoyButtonEdges(int joystick, int out[kJoyButtonCount]);
int JoyButtonRamp(int joystick, int button);
void JoyButtonRamps(int joystick, int out[kJoyButtonCount]);
void JoyDirection(int joystick, int& dx, int& dy);
int JoyPad(int joystick);
void JoyPosition(int joystick, int& x, int& y);
void JoyAnalog(int joystick, int& x, int& y);

}  // namespace elSystem
