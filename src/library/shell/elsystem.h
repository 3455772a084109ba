// elSystem inside the library: the entry, the window procedure, the quit
// sequence and the timer, beside what programs see (<zolbeck/elsystem.h>).
#pragma once
#include <cstddef>
#include <cstdint>

#include <zolbeck/elsystem.h>

#include "platform/platform.h"

namespace elSystem {

// Sets up the process-wide timer state, as the timer object does before the
// entry function runs (1 ms period, 60 frames per second, frame wait on).
void StartTimer();
void StopTimer();
// The number GetWindowsVersion gives for a version record.
int WindowsVersionNumber(int platformId, int major, int minor);

// Writes one line on standard error for a failed operation, beside its box:
// "program: operation: name: message" in UTF-8, line breaks turned into
// spaces. A null or empty name is left out. Every failure box goes through
// it (elDraw::Error, the screen set-up's warning), and the failures that
// show no box (a piece of music that cannot be opened).
void ReportFailure(const char* operation, const char* name, const char* message);
// The name of a pack entry for ReportFailure: "PACK: ENTRY", the pack as
// the program named it (relative to the program folder); only the entry
// when no pack is chosen.
void NameInPack(char* out, size_t size, const char* packPath, const char* entry);
// Quits after an error box: as QuitProgram, and the run ends as failed
// (RunProgram answers 1).
int QuitAfterError();

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
