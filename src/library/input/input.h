// Input inside the library: the message handlers the window procedure
// calls, beside what programs see (<zolbeck/input.h>).
#pragma once
#include <cstdint>

#include <zolbeck/input.h>

namespace elSystem {

// Sets every keyboard and mouse value above to 0 (part of InitSystem).
void ResetInputState();

// One step of an edge state from a down/up reading, as KeyEdge and the
// joystick button edges take it (forced to 0 during a fade, the scroll view
// or suspended input).
void AdvanceEdge(bool down, int& state);

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

}  // namespace elSystem

// The key-down hook shared by WM_KEYDOWN and WM_SYSKEYDOWN: records the key
// and quits on Escape.
void OnKeyDown(int virtualKey);
