// elSystem: the window, the frame clock and the small system services of the
// game library, with the state they share. Plain functions over process-wide
// state; everything runs on the thread that owns the window.
#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace elSystem {

// ---------------------------------------------------------------------------
// Shell state (InitSystem gives the initial values)

extern plat::Window mainWindow;
extern uintptr_t appInstance;
extern int windowFlags;      // bit 0 keep z-order, bit 1 run while inactive, bit 2 start hidden
extern int fullScreen;
extern int clientWidth, clientHeight;
extern int clipCursorMode;
extern int cursorClipped;
extern int appActive;
extern int cursorShown;
extern int messageBoxOpen;
extern int quitState;        // 0 running, 1 asked to close, 2 QuitProgram has run
extern int scene, previousScene, nextScene;
extern int clientLeft, clientTop;
extern plat::Rect clientRect;
extern int blinkOn;
extern uint32_t blinkDeadline;
constexpr int kCommandLineSize = 256;
extern char commandLine[kCommandLineSize];

constexpr const char* kTitle = "ゾルベック！";
constexpr const char* kClassName = "DEFAULT";

// ---------------------------------------------------------------------------
// Frame pacing and timing

extern float dt;                 // seconds the current frame stands for
extern uint32_t lastFrameTick;
extern uint32_t frameRate;
extern uint32_t frameInterval;
extern uint32_t frameWaitTick;
extern uint8_t frameWaitOn;
constexpr int kWaitCount = 11;   // 1..10 for SetWait, entry 0 for WaitMilliseconds
constexpr int kBusyWait = 0;
constexpr uint32_t kWaitStopped = 999999999;
extern uint32_t waitDeadline[kWaitCount];

bool SetFrameRate(uint32_t framesPerSecond);
bool WaitFrame();
void EnableFrameWait(uint8_t on);
void ResetFrameClock();
void MeasureFrameTime();
int SetWait(int timer, uint32_t ms);
int InitWait(int timer);
int IsWaitOver(int timer);
void WaitMilliseconds(uint32_t ms);
int ResetWaits();
// Sets up the process-wide timer state, as the timer object does before the
// entry function runs (1 ms period, 60 frames per second, frame wait on).
void StartTimer();
void StopTimer();

// ---------------------------------------------------------------------------
// System services

extern int mutexHandle;  // 1 while the single-instance lock is held
constexpr int kNameBufferSize = 256;
extern char nameBuffer[kNameBufferSize];
extern char programFolder[kNameBufferSize];
extern char lastFolderName[kNameBufferSize];
extern char dataRoot[kNameBufferSize];
extern int imeEnabled;

int CheckSingleInstance(const char* title);
void ReleaseInstance();
const char* GetProgramFolder(int flag);
void EnableIme(int flag);
int ClipCursorTo(int left, int top, int right, int bottom);
void ClipCursorToClient();
int ReleaseCursorClip();
int IsCursorClipped();
int GetScreenBitsPerPixel();

void ShowWarning(const char* format, ...);
int AskYesNo(const char* format, ...);
int IsWindowed();
int DebugLog(const char* format, ...);
void WriteNumberFile(const char* fileName, int value);
int WriteNumberFileChecked(const char* fileName, int value);
int ReadNumberFile(const char* fileName);
void LoadDataRoot(const char* fileName);
uint32_t GetFreeDiskSpace(char driveLetter);
uint32_t GetAvailableMemory();
int SetCursorPosInClient(int x, int y);
const char* GetCommandLineCopy();
// Weekday names are written into `weekdayName`, which must hold 3 bytes.
void GetDate(int& year, int& month, int& day, char* weekdayName);
void GetTime(int& hour, int& minute, int& second);
int GetWindowsVersion();
// Seeds the random generator: with the --seed of the run when one was
// given, else with the calendar time.
void SeedRandom();
// The number GetWindowsVersion gives for a version record.
int WindowsVersionNumber(int platformId, int major, int minor);

}  // namespace elSystem

// ---------------------------------------------------------------------------
// The program built on the library

// A program fills these before WinMain runs: what LoadGame loads once the
// screen is open (its pictures), and the frame of scene 1. Either may stay
// empty.
extern void (*programLoad)();
extern void (*programFrame)();

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
int QuitProgram();
// One frame pass of the message loop (frame time, scene, wait, blink, mouse
// flags, cursor hiding).
void FramePass();
