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

extern int lastKeyDown;      // the key last pressed; 0 once it is let go
extern int keyPressLatch;    // the key last pressed, until CheckPressRelease takes it
extern int scrollViewKey;    // the key held while the scroll view is shown
extern int altKeyMode;       // system keys: 0 all swallowed, 2 only Alt, else passed on
extern int inputSuspended;   // 1 after SuspendInput
extern int suspendedKey, suspendedClick;  // what was pressed while suspended
extern int watchedKey, watchedKeyCount;   // SetWatchedKey's key and its releases
extern int mouseX, mouseY;   // the cursor in the window's picture
extern int leftHeld, rightHeld;      // 1 while the button is down
extern int leftClicked, rightClicked;  // 1 in the frame the button went down
extern int leftDoubleClicked, rightDoubleClicked;  // 1 in the frame of a double click
extern int lastButton;       // 1 left, 2 right: the button last pressed, 0 once let go
extern int lastButtonLatch;  // the button last pressed, until CheckPressRelease takes it


// Moves the caller's edge state of a key on (VK_LEFT, 'C', ...): call it
// once a frame for each key read; 0 up, 1 pressed now, 3 held, 2 let go
// now (bit 0 is set while the key is down). Reads 0 during a fade, the
// scroll view or SuspendInput.
void KeyEdge(int virtualKey, int& state);
// 1 while the key is held down, as of the last key message the loop took.
int IsKeyDown(int virtualKey);
// Of a list of codes ended by 0 (1 left button, 2 right button, else keys),
// the one pressed and then let go, once, after a moment when nothing was
// held; 0 otherwise. Call it once a frame.
int CheckPressRelease(const int* codes);
// Keys and clicks no longer reach the program (Escape neither).
void SuspendInput();
void ResumeInput();
// Counts the releases of one key from now on.
void SetWatchedKey(int virtualKey);
int GetWatchedKeyCount();
// How Alt and F10 are treated: 0 swallowed (Alt+F4 does nothing), 2 only
// Alt itself, any other passed to the program as keys.
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

// Measures both sticks' centres and clears their values (Screen does).
void JoyInit();
// Measures the centres again: call it with the sticks at rest.
void JoyCalibrate();
// Sets the ramping values back to 0.
void JoyResetValues();
// How fast JoyAnalog and JoyButtonRamp values grow, in units a second.
void JoySetRates(int joystick, float axisRate, float buttonRate);
void JoyGetCentre(int joystick, int& x, int& y);
// 1 while button 1 to 32 is down.
int JoyButton(int joystick, int button);
// The edge state of button 1 to 4, as KeyEdge's; call once a frame.
int JoyButtonEdge(int joystick, int button);
// Buttons 1 to 4 down (1) or up (0).
void JoyButtons(int joystick, int out[kJoyButtonCount]);
// The edge states of buttons 1 to 4.
void JoyButtonEdges(int joystick, int out[kJoyButtonCount]);
// A value that grows from 0 to 100 while the button is held (at the button
// rate), 0 when it is let go.
int JoyButtonRamp(int joystick, int button);
void JoyButtonRamps(int joystick, int out[kJoyButtonCount]);
// The stick as -1, 0 or 1 on each axis (right and down positive).
void JoyDirection(int joystick, int& dx, int& dy);
// The stick as a numeric keypad's digit: 8 up, 2 down, 4 left, 6 right, the
// corners 7 9 1 3, 5 at rest or without a joystick.
int JoyPad(int joystick);
// The raw position.
void JoyPosition(int joystick, int& x, int& y);
// -100 to 100 on each axis, moving toward the stick's direction at the axis
// rate and back to 0 at rest.
void JoyAnalog(int joystick, int& x, int& y);

}  // namespace elSystem
