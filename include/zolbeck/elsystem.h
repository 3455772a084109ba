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
extern int fullScreen;       // 1 in full screen
extern int clientWidth, clientHeight;  // the window's inside, 800 x 600
extern int clipCursorMode;   // 1: the cursor stays inside the window while active
extern int cursorClipped;    // 1 while the cursor is held inside a rectangle
extern int appActive;        // 1 while the program is the active one
extern int cursorShown;      // 0 while the library hides the cursor over the picture
extern int messageBoxOpen;   // 1 while a box of ShowWarning or AskYesNo is open
extern int quitState;        // 0 running, 1 asked to close, 2 QuitProgram has run
// The scene the frame pass runs (1 runs programFrame; 0 nothing), the one of
// the last pass, and the one a fade-out goes on to.
extern int scene, previousScene, nextScene;
extern int clientLeft, clientTop;  // the window's inside on the desktop
extern plat::Rect clientRect;
extern int blinkOn;          // 1 for a second, then 0 for 0.2 s, and again
extern uint32_t blinkDeadline;
constexpr int kCommandLineSize = 256;
extern char commandLine[kCommandLineSize];  // the arguments, cut to 255 bytes

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
extern uint32_t lastFrameTick;   // the clock (ms) when dt was last measured
extern uint32_t frameRate;       // frames a second asked for (75 once loaded)
extern uint32_t frameInterval;   // 1000 / frameRate ms: 13 at 75
extern uint32_t frameWaitTick;
extern uint8_t frameWaitOn;      // 1: WaitFrame holds each frame to its slot
constexpr int kWaitCount = 11;   // 1..10 for SetWait, entry 0 for WaitMilliseconds
constexpr int kBusyWait = 0;
constexpr uint32_t kWaitStopped = 999999999;
extern uint32_t waitDeadline[kWaitCount];

// Frames a second (not 0): each frame slot lasts 1000 / rate ms.
bool SetFrameRate(uint32_t framesPerSecond);
// Waits for the end of the frame slot; the loop calls it after each frame.
bool WaitFrame();
// 1: frames are paced; 0: as fast as they come (the present then waits for
// the vertical blank).
void EnableFrameWait(uint8_t on);
// dt = 0 from now: the next frame does not make up for a pause.
void ResetFrameClock();
// dt = the time since the last measurement; the loop does it every frame.
void MeasureFrameTime();
// Countdown timer 1 to 10 runs out `ms` from now; 1, or 0 after an error
// box for another number.
int SetWait(int timer, uint32_t ms);
// Stops timer 1 to 10; 1, or 0 after an error box.
int InitWait(int timer);
// 1 once timer 1 to 10 has run out (a stopped one never does).
int IsWaitOver(int timer);
// Waits `ms` milliseconds without giving the processor away; dt starts
// afresh after it.
void WaitMilliseconds(uint32_t ms);
// Stops every timer and takes input back from SuspendInput (Screen does).
int ResetWaits();

// ---------------------------------------------------------------------------
// System services

extern int mutexHandle;  // 1 while the single-instance lock is held
constexpr int kNameBufferSize = 256;
extern char nameBuffer[kNameBufferSize];
extern char programFolder[kNameBufferSize];   // GetProgramFolder's answer
extern char lastFolderName[kNameBufferSize];
extern char dataRoot[kNameBufferSize];        // LoadDataRoot's folder; "" for none
extern int imeEnabled;

// Takes the lock "title:ElMutex": 1 for the only copy; 0 when another copy
// holds it (its window comes to the front). The entry does it.
int CheckSingleInstance(const char* title);
// Lets the lock go (QuitProgram does).
void ReleaseInstance();
// The program's folder in Windows form, ending in a backslash; with flag 1
// and a data root, the data root and the program's last folder name
// instead. Every loader puts flag 0's answer before its file names.
const char* GetProgramFolder(int flag);
// Opens a file named in Windows form ("MAP\stage1.txt"), relative to the
// working folder (programs are started in their own folder) or absolute;
// every folder and the file are matched in any letter case. `mode` is an
// fopen mode. Only plain files open; null otherwise.
FILE* OpenFile(const char* name, const char* mode);
// 1 lets the input method compose text; the entry switches it off.
void EnableIme(int flag);
// Holds the cursor inside a rectangle of the desktop.
int ClipCursorTo(int left, int top, int right, int bottom);
// Holds the cursor inside the window's picture.
void ClipCursorToClient();
// Lets the cursor go.
int ReleaseCursorClip();
int IsCursorClipped();
// The desktop's bits a pixel (16 unless --depth says otherwise).
int GetScreenBitsPerPixel();

// A warning box ("メッセージ") of printf-formatted text; waits for OK. dt
// starts afresh after it.
void ShowWarning(const char* format, ...);
// A Yes/No box; 1 for Yes.
int AskYesNo(const char* format, ...);
// 1 in a window, 0 in full screen.
int IsWindowed();
// Appends one printf-formatted line to "DEBUG.TXT" in the working folder;
// 0 when it cannot be opened.
int DebugLog(const char* format, ...);
// Settings files of one decimal number, in GetProgramFolder(1); a file that
// cannot be written is skipped (the Checked form answers 0 then).
void WriteNumberFile(const char* fileName, int value);
int WriteNumberFileChecked(const char* fileName, int value);
// The number in a settings file; 0 when it cannot be read.
int ReadNumberFile(const char* fileName);
// Reads the data root for the settings files from the first line of a file
// in the system's folder; none when it is missing.
void LoadDataRoot(const char* fileName);
// Free bytes on a drive (wraps above 4 GiB).
uint32_t GetFreeDiskSpace(char driveLetter);
// Free memory in bytes.
uint32_t GetAvailableMemory();
// Moves the cursor to (x, y) of the window's picture.
int SetCursorPosInClient(int x, int y);
// The command line's arguments, as the entry kept them.
const char* GetCommandLineCopy();
// Weekday names are written into `weekdayName`, which must hold 3 bytes.
void GetDate(int& year, int& month, int& day, char* weekdayName);
// The local time of day.
void GetTime(int& hour, int& minute, int& second);
// The system's version as one number (Windows 7: 6010); -1 elsewhere.
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

// A program fills these before it calls shell::RunProgram: what it loads
// once the screen is open (its pictures and sounds), and the frame of scene
// 1, run every 13 ms (75 a second). Either may stay empty.
extern void (*programLoad)();
extern void (*programFrame)();

// Quits: releases everything the library holds once and closes the window;
// the message loop then ends. Escape and the close box call it.
int QuitProgram();
