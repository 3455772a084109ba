// The contract between the platform core and a backend. Internal to
// src/platform: the rest of the program calls platform.h.
//
// A backend owns the native window, clock, cursor, dialogs and joysticks. It
// turns native events into messages by calling the sink it is given; the core
// keeps the queue, the key table and the window procedure.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"
#include "platform/image/surface.h"

namespace plat {

class TextEngine;  // text_engine.h

// What a backend calls to deliver messages to the program.
class EventSink {
 public:
  virtual ~EventSink() = default;
  // Queues a message for the main window (a posted message).
  virtual void Post(uint32_t kind, uintptr_t wparam, intptr_t lparam) = 0;
  // Calls the window procedure at once and returns its result (a sent
  // message, such as WM_SETCURSOR or WM_ACTIVATEAPP).
  virtual intptr_t Send(uint32_t kind, uintptr_t wparam, intptr_t lparam) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;
  // Opens the backend; false with a one-line reason on failure.
  virtual bool Open(const Options& options, std::string& error) = 0;
  virtual void Close() = 0;

  virtual uint32_t Ticks() = 0;
  virtual void Sleep(uint32_t ms) = 0;
  // By default in whole milliseconds, to 3 ms before the tick.
  virtual void SleepUntil(uint32_t tick) {
    int32_t left = static_cast<int32_t>(tick - Ticks()) - 3;
    Sleep(left > 0 ? static_cast<uint32_t>(left) : 0);
  }
  virtual void BeginPeriod(uint32_t) {}
  virtual void EndPeriod(uint32_t) {}

  virtual int Metric(plat::Metric metric) = 0;
  virtual int DesktopDepth() = 0;

  // The class the coming window is made of: its name (UTF-8), its class
  // styles (kClass* of platform.h) and its icon's name ("" for none). Told
  // just before CreateWindow, to a backend whose system keeps classes.
  virtual void UseWindowClass(const std::string&, uint32_t, const std::string&) {}
  // Creates the native window with the client size given, at the client
  // position given. The title is UTF-8. Returns false on failure.
  virtual bool CreateWindow(const std::string& titleUtf8, bool popup, int clientX, int clientY,
                            int clientWidth, int clientHeight, EventSink& sink) = 0;
  virtual void ShowWindow(Show how, EventSink& sink) = 0;
  virtual void SetTopmost(bool topmost) = 0;
  virtual void SetFullScreen(bool on, EventSink& sink) = 0;
  virtual bool FullScreen() const = 0;
  // The window's scale in use: the one asked for, or the largest below it
  // whose window fits the desktop.
  virtual int Scale() const { return 1; }
  virtual void RaiseWindow() = 0;
  virtual void DestroyWindow() = 0;

  // Gathers pending native events without blocking.
  virtual void Pump(EventSink& sink) = 0;
  // Blocks until a native event arrives (or a short while passes).
  virtual void WaitEvent() = 0;

  virtual bool GetCursorPos(Point& position) = 0;
  virtual bool SetCursorPos(int x, int y) = 0;
  virtual void SetCursorVisible(bool visible) = 0;
  virtual bool ClipCursor(const Rect* rect) = 0;
  virtual void EnableTextInput(bool enable) = 0;

  // Text and caption in UTF-8.
  virtual Answer MessageBox(const std::string& textUtf8, const std::string& captionUtf8,
                            Buttons buttons, Icon icon) = 0;
  // True when the system sounded its own beep; otherwise the core plays
  // the chime that stands for it.
  virtual bool Beep(int) { return false; }

  // Shows `source` (the back screen) in the window's client area.
  virtual void Present(const Surface& source, const Rect& sourceRect) {
    (void)source;
    (void)sourceRect;
  }

  virtual bool JoyGetPos(int joystick, JoyInfo& info) = 0;
  virtual void JoyConfigChanged() {}

  // The sound device: opened at `rate` samples per second of 16-bit stereo,
  // it pulls its output from MixOutput (mixer.h). False when there is none.
  virtual bool OpenAudio(int) { return false; }
  virtual void CloseAudio() {}

  // A backend on a system with its own MCI sequencer sends the library's
  // command strings there (system_mci.h); the others interpret them
  // themselves.
  virtual bool HasSystemMci() const { return false; }
  virtual uint32_t SendSystemMci(const char*, char*, unsigned, Window) { return 0; }

  // A backend on a system with text of its own draws the text code's glyphs
  // with it; the others leave them to FreeType.
  virtual TextEngine* Text() { return nullptr; }
};

// The backends, by name.
Backend* MakeSdlBackend();
Backend* MakeHeadlessBackend();
#ifdef _WIN32
Backend* MakeWin32Backend();
#endif

// Raise requests from a second copy of the program arrive through the
// instance lock; the core polls it while gathering events.
bool TakeRaiseRequest();

// Closes every game pad and lets go of SDL's pad support (when stopping).
void ClosePads();

// Frees the buffers the surface code keeps for reuse (when stopping).
void FreeSpareBuffers();

// The running backend, or null (for the surface code's present).
Backend* ActiveBackend();

}  // namespace plat
