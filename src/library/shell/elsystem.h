// elSystem inside the library: the entry, the window procedure, the quit
// sequence and the timer, beside what programs see (<zolbeck/elsystem.h>).
#pragma once
#include <cstdint>

#include <zolbeck/elsystem.h>

#include "platform/platform.h"

namespace elSystem {

// Sets up the process-wide timer state, as the timer object does before the
// entry function runs (1 ms period, 60 frames per second, frame wait on).
void StartTimer();
void StopTimer();
// The name the program gave RunProgram: it starts every line the library
// writes on the terminal.
extern const char* programName;
// The number GetWindowsVersion gives for a version record.
int WindowsVersionNumber(int platformId, int major, int minor);

}  // namespace elSystem

// ---------------------------------------------------------------------------
// The shell's entry, window procedure and quit sequence

// Show command of the entry function.
int WinMain(uintptr_t instance, uintptr_t previousInstance, const char* commandLine,
            plat::Show show);
void InitSystem();
// Opens the screen, runs the program's own loading (programLoad) and starts
// scene 1 at 75 frames per second.
void LoadGame();
intptr_t WindowProc(plat::Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam);
// One frame pass of the message loop (frame time, scene, wait, blink, mouse
// flags, cursor hiding).
void FramePass();
