// The platform layer: everything the game and its library ask of the
// operating system, in plain C++ types.
//
// One backend is active at a time: the system's window backend ("sdl" on
// Linux, "win32" on Windows) or "headless". The calls below that
// touch a window, the clock, the cursor, dialogs or joysticks go to it; the
// message queue, the key table, the single-instance lock, files and text
// conversion are the same for every backend.
//
// Text crossing this boundary is Shift-JIS (CP932), like all text of the game.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zolbeck/types.h>

namespace plat {

// ---------------------------------------------------------------------------
// Start and stop

// The window backend of this system.
#ifdef _WIN32
constexpr const char* kWindowBackend = "win32";
#else
constexpr const char* kWindowBackend = "sdl";
#endif

struct Options {
  const char* backend = kWindowBackend;  // kWindowBackend or "headless"
  int depth = 16;               // desktop bits per pixel: 15, 16, 24 or 32
  int scale = 1;                // integer scale of the window backend's picture
  bool realtime = false;        // headless: pace in wall-clock time
  const char* audioDump = "";   // a WAVE file that receives all sound mixed
  bool fullscreen = false;      // window backend: start in full screen
  bool integerScale = false;    // window backend: full screen scales by whole numbers only
  // Window backend: lines laid over the first seconds of the window's
  // picture, until a key is pressed (the program's controls), ended by
  // null; null for none.
  const char* const* hints = nullptr;
};

// Chooses and starts a backend. On failure returns false and puts a one-line
// reason into `error` (for instance when no display can be opened).
bool Start(const Options& options, std::string& error);
// Stops the backend; the process may start another afterwards (tests do).
void Stop();
// Ends the audio dump of Options::audioDump (Stop ends it too, silently):
// false, with the system's reason, when any of it could not be written.
bool FinishAudioDump(std::string& reason);
// The name of the running backend, or "" before Start.
const char* BackendName();

// ---------------------------------------------------------------------------
// Clock (milliseconds since some start, wrapping at 2^32)

uint32_t TimeGetTime();
void Sleep(uint32_t ms);  // 0 gives up the rest of the time slice
// Sleeps until shortly before the clock reads `tick`, leaving the caller a
// short spin to meet it: a real clock wakes within a fraction of a
// millisecond of it, the virtual clock of a headless run 3 ms before it, as a
// sleep of whole milliseconds would. A tick that has come already (or passed
// less than 2^31 ms ago) only gives up the rest of the time slice.
void SleepUntil(uint32_t tick);
void TimeBeginPeriod(uint32_t ms);
void TimeEndPeriod(uint32_t ms);

// ---------------------------------------------------------------------------
// Windows and messages

using WindowProc = intptr_t (*)(Window, uint32_t kind, uintptr_t wparam, intptr_t lparam);

struct Message {
  Window window = 0;
  uint32_t kind = 0;  // WM_* of messages.h
  uintptr_t wparam = 0;
  intptr_t lparam = 0;
  uint32_t time = 0;
};

// Class styles.
constexpr uint32_t kClassVRedraw = 0x0001;
constexpr uint32_t kClassHRedraw = 0x0002;
constexpr uint32_t kClassDoubleClicks = 0x0008;

struct WindowClass {
  const char* className = "";
  const char* menuName = "";
  uint32_t style = 0;
  WindowProc proc = nullptr;
  const char* iconName = nullptr;  // a missing icon leaves the class without one
};
bool RegisterClass(const WindowClass& windowClass);

// Window styles (only those the shell uses).
enum class WindowStyle { Captioned, Popup };

struct WindowCreate {
  const char* className = "";
  const char* title = "";  // CP932
  WindowStyle style = WindowStyle::Captioned;
  int x = 0, y = 0;             // outer position on the desktop
  int width = 0, height = 0;    // outer size, frame metrics included
};
// Creates the window; WM_MOVE reaches the window procedure before it returns.
// Returns 0 on failure.
Window CreateWindow(const WindowCreate& create);

void ShowWindow(Window window, Show how);
void UpdateWindow(Window window);
void SetTopmost(Window window, bool topmost);
// Switches the window between its own size and a borderless window over the
// whole desktop; the picture keeps its pixels, scaled and centred on black.
void ToggleFullScreen();
bool IsFullScreen();
// The window's scale in use: Options::scale, or the largest below it whose
// window fits the desktop (1 without a window backend).
int WindowScale();
// Sends WM_DESTROY to the window procedure, then removes the window.
bool DestroyWindow(Window window);
Window MainWindow();

// System metrics the window arithmetic needs.
enum class Metric {
  ScreenWidth, ScreenHeight,
  BorderWidth, BorderHeight,       // thin border
  EdgeWidth, EdgeHeight,           // 3-D edge
  DialogFrameWidth, DialogFrameHeight,
  CaptionHeight,
};
int GetSystemMetric(Metric metric);
int GetDesktopBitsPerPixel();

// The message queue. PeekMessage takes the next message off the queue (after
// gathering native events); a key message taken off the queue updates the key
// table. It returns WM_QUIT only once the queue is otherwise empty.
bool PeekMessage(Message& message);
// Blocks until a message may be waiting.
void WaitMessage();
void TranslateMessage(const Message& message);
intptr_t DispatchMessage(const Message& message);
intptr_t SendMessage(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam);
bool PostMessage(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam);
void PostQuitMessage(int exitCode);
// The default handling of a message: WM_CLOSE destroys the window, Alt+F4
// becomes SC_CLOSE and SC_CLOSE becomes WM_CLOSE; everything else returns 0.
intptr_t DefWindowProc(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam);
// Sees every message the backend delivers (posted, or sent when `sent`)
// before it is queued or handled; a gate that answers false drops it (a
// dropped sent message answers 0). Null, the default, lets everything
// through. Messages the program posts itself do not pass it.
using InputGate = bool (*)(uint32_t kind, uintptr_t wparam, intptr_t lparam, bool sent);
void SetInputGate(InputGate gate);

// Key state as of the last key message taken off the queue: bit 7 (0x80) set
// while the key is down, bit 0 toggled at each press.
int16_t GetKeyState(int virtualKey);

// ---------------------------------------------------------------------------
// Cursor, input method, dialogs


bool GetCursorPos(Point& screenPosition);
bool SetCursorPos(int x, int y);
// Changes the display count and returns the new count; the cursor shows while
// the count is 0 or more.
int ShowCursor(bool show);
// Confines the cursor to the rectangle (desktop coordinates); null frees it.
bool ClipCursor(const Rect* rect);
// Turns the input method (text composition) on or off for the whole program.
void EnableIme(bool enable);

enum class Buttons { Ok, YesNo };
enum class Icon { None, Warning, Question, Error, Information };
enum class Answer { Ok, Yes, No };
// A modal box over the main window; caption and text in CP932. The headless
// backend writes "caption: text" to standard error and answers with the
// box's default button.
Answer MessageBox(const char* text, const char* caption, Buttons buttons, Icon icon);
void MessageBeep(int type);

// ---------------------------------------------------------------------------
// Joysticks 0 and 1, read as the multimedia joystick interface reads them

struct JoyInfo {
  uint32_t x = 0, y = 0;  // raw axes, 0..65535 with the centre near 32767
  uint32_t buttons = 0;   // bit n set while button n + 1 is down
};
// Returns false when the joystick does not answer.
bool JoyGetPos(int joystick, JoyInfo& info);
void JoyConfigChanged();

// ---------------------------------------------------------------------------
// Game pads: any pad the system knows as a game controller, plugged in or
// out at any time, read together as one (beside the joysticks above)

enum PadButton : uint32_t {
  kPadA = 1u << 0, kPadB = 1u << 1, kPadX = 1u << 2, kPadY = 1u << 3,
  kPadBack = 1u << 4, kPadStart = 1u << 5,
  kPadUp = 1u << 6, kPadDown = 1u << 7, kPadLeft = 1u << 8, kPadRight = 1u << 9,
};
struct PadState {
  uint32_t buttons = 0;        // PadButton bits held on any pad
  int stickX = 0, stickY = 0;  // left stick, -32768..32767, right and down positive
};
// False (and a state at rest) when no pad is plugged in. The headless backend
// sees only virtual pads.
bool ReadPads(PadState& state);
// A virtual pad, for tests and scripted play: attached once, steered by the
// calls below, detached by DetachVirtualPad or when the platform stops.
bool AttachVirtualPad();
void SetVirtualPadButton(uint32_t button, bool down);
void SetVirtualPadStick(int axis, int value);  // axis 0 x, 1 y
void DetachVirtualPad();

// ---------------------------------------------------------------------------
// Single instance

// A lock held across processes under `name` (CP932). Returns false when
// another process holds it already. The lock is held until ReleaseInstanceLock
// or the end of the process.
bool AcquireInstanceLock(const char* name);
void ReleaseInstanceLock();
// Asks the process holding the lock `name` to bring its window to the front.
// Returns false when no such process answers.
bool RaiseOtherInstance(const char* name);

// ---------------------------------------------------------------------------
// Files and system facts

// The program file in the form "\folder\folder\zolbeck" (backslashes, CP932),
// or "" when the system does not tell. A folder whose name CP932 cannot
// write, or that is longer than 191 bytes, is handed out behind the root
// "0:" ("0:\game\zolbeck"), which every name resolved here maps back to
// the real folder; so the folder part always fits the library's 256-byte
// buffers with room for the names put after it.
std::string ModuleFileName();
// The folder that stands for the system's Windows directory (the user's
// configuration folder), in the same form, without a trailing backslash;
// behind the root "1:" on the same terms.
std::string WindowsDirectory();
// Opens a file named in Windows form: "BMP\princess.bmp" or "\abs\path".
// Backslashes separate folders and each existing name is matched in any
// letter case; `mode` is an fopen mode ("rt", "at", "wb", ...). Only plain
// files open: a folder, a device or a pipe is refused at once (null).
FILE* OpenFile(const char* windowsPath, const char* mode);
// fseek in 64-bit offsets on every system (a C long is 32 bits on Windows):
// `whence` is SEEK_SET, SEEK_CUR or SEEK_END; false when it cannot.
bool SeekFile(FILE* file, int64_t offset, int whence = SEEK_SET);
// Where an open file stands, in bytes from its start; -1 when unknown.
int64_t FileOffset(FILE* file);
// Deletes a file named in Windows form; false when it could not be removed.
bool RemoveFile(const char* windowsPath);
// The same for a name of the real file system, as given on a command line.
FILE* OpenRealFile(const char* path, const char* mode);
// Opens a name of the real file system for what a run writes out (a trace,
// an audio dump), emptied: a plain file, or an output that cannot seek (a
// pipe, a FIFO that a program reads, a device such as /dev/null). A FIFO
// that no program opens for reading within two seconds is refused instead
// of holding the start for ever. `seekable` is true for a plain file, which
// may be written over again. Null with a short reason on failure.
FILE* OpenOutputFile(const char* path, bool& seekable, std::string& reason);
// Reads the whole of a plain file of at most `maxBytes` bytes (real file
// system name). On failure returns false with a short reason ("not a plain
// file", "larger than N bytes", or the system's own words).
bool ReadSmallFile(const char* path, size_t maxBytes, std::string& text, std::string& reason);
// A path of the real file system as given on a command line, made absolute
// against the current folder (unchanged when absolute already or empty).
std::string AbsoluteRealPath(const std::string& path);
// Makes the program's own folder the current one, as a shortcut starts a
// program; false when it cannot be entered.
bool EnterProgramFolder();
// The real path a Windows-form name resolves to (for the platform's own use
// and for tools); an unmatched last part is kept as written.
std::string ResolvePath(const char* windowsPath);
// The same for a folder, where no name at all ("" or null) is the current
// folder: "." on every system.
std::string ResolveFolder(const char* windowsFolder);

// The regular files of a folder (Windows form, "" = the current folder)
// whose names match `pattern` ('*' and '?', letters in any case), as CP932
// names without the folder, sorted by their upper-case spelling.
std::vector<std::string> FindFiles(const char* windowsFolder, const char* pattern);
// The user's pictures folder, created when missing: $XDG_PICTURES_DIR, else
// the desktop's user-dirs.dirs (read only as a plain file of at most 64 KiB),
// else ~/Pictures. A real path (UTF-8), or "" when it cannot be made.
std::string PicturesFolder();
// The pictures folder a user-dirs.dirs text names, with $HOME replaced by
// `home`; "" when it names none.
std::string PicturesFolderFromUserDirs(const std::string& text, const std::string& home);

struct LocalTime {
  int year = 0, month = 0, day = 0, weekday = 0;  // weekday 0 = Sunday
  int hour = 0, minute = 0, second = 0, milliseconds = 0;
};
LocalTime GetLocalTime();
// Free bytes on the file system holding `root` ("X:\" form, any letter).
uint64_t GetFreeDiskBytes(const char* root);
uint64_t GetAvailableMemoryBytes();

struct VersionInfo {
  int platformId = -1;  // 0, 1, 2 on the systems of old; anything else here
  int major = 0, minor = 0, build = 0;
};
VersionInfo GetVersion();

// ---------------------------------------------------------------------------
// Text

// Shift-JIS (CP932) to UTF-8 and back. Characters that cannot be converted
// become '?'.
std::string Cp932ToUtf8(const std::string& text);
std::string Utf8ToCp932(const std::string& text);
// True when `c` starts a double-byte character in Shift-JIS.
inline bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

}  // namespace plat
