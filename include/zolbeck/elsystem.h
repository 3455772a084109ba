// elSystem: the window, the frame clock and the small system services of the
// zolbeck library, with the state they share. Plain functions over process-wide
// state; everything runs on the thread that owns the window.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

#include <zolbeck/types.h>

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

// The program's name (the start of every line the library writes on the
// terminal), window title, window class and single-instance lock name
// (Shift-JIS), as the program handed them to RunProgram.
extern const char* programName;
extern const char* programTitle;
extern const char* programClass;
extern const char* programLock;

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
// Opens a file named in Windows form ("MAP\stage1.txt"), relative to the
// working folder (the program folder) or absolute; every folder and the file
// are matched in any letter case. `mode` is an fopen mode. Only plain files
// open; null otherwise.
FILE* OpenFile(const char* name, const char* mode);
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

// ---------------------------------------------------------------------------
// Text from UTF-8
//
// The library takes Shift-JIS (CP932) bytes. Literals are written in the
// source as they are and compiled with -fexec-charset=CP932; text that is
// UTF-8 at run time (read from a file, from another library) is converted
// here. A character Shift-JIS lacks becomes '?'. Converting allocates: do it
// while loading or when the text changes, keep the result, and draw that
// every frame.

// The Shift-JIS bytes of a UTF-8 text; null reads as "".
std::string FromUtf8(const char* utf8);
// The same into `out`, `size` bytes with the terminator: cut to fit at a
// whole character, never beyond. Returns the bytes written, terminator not
// counted (0 when `size` is 0).
int FromUtf8(const char* utf8, char* out, int size);

}  // namespace elSystem

// ---------------------------------------------------------------------------
// The program built on the library

// A program fills these before WinMain runs: what LoadGame loads once the
// screen is open (its pictures), and the frame of scene 1. Either may stay
// empty.
extern void (*programLoad)();
extern void (*programFrame)();

// Quits: releases everything the library holds once and closes the window;
// the message loop then ends. Escape and the close box call it.
int QuitProgram();
