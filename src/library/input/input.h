// Keyboard, mouse and joystick input of the game library.
//
// Keys: the game polls KeyEdge once per frame for each key it reads, which
// turns the key table into a four-value edge state kept by the caller:
// 0 up, 1 pressed at this poll, 3 held, 2 released at this poll.
// The window procedure records the last key and the mouse from messages.
#pragma once
#include <cstdint>

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

// Sets every keyboard and mouse value above to 0 (part of InitSystem).
void ResetInputState();

void KeyEdge(int virtualKey, int& state);
// One step of an edge state from a down/up reading, as KeyEdge and the
// joystick button edges take it (forced to 0 during a fade, the scroll view
// or suspended input).
void AdvanceEdge(bool down, int& state);
int CheckPressRelease(const int* codes);
void SuspendInput();
void ResumeInput();
void SetWatchedKey(int virtualKey);
int GetWatchedKeyCount();
void SetAltKeyMode(int mode);

// Message handlers, called by the window procedure.
void OnInputKeyDown(int virtualKey);  // WM_KEYDOWN and unswallowed WM_SYSKEYDOWN
void OnInputKeyUp(int virtualKey);
void OnMouseMove(intptr_t lparam);
void OnLeftButtonDown();
void OnLeftButtonUp();
void OnLeftDoubleClick();
void OnRightButtonDown();
void OnRightButtonUp();
void OnRightDoubleClick();
// Clears the four one-pass mouse flags (end of every frame pass).
void ClearMouseFlags();

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

// The key-down hook shared by WM_KEYDOWN and WM_SYSKEYDOWN: records the key
// and quits on Escape.
void OnKeyDown(int virtualKey);
