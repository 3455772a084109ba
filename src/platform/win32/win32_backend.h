// The win32 backend: the program's window, clock, cursor, dialogs, sound and
// joysticks through the system's own interfaces (USER32, GDI, DirectSound,
// winmm, IMM).
// Internal to src/platform, built on Windows only. The class is shared by
// win32_backend.cpp (clock, cursor, dialogs, joysticks, sound) and
// win32_window.cpp (the window, its messages and full screen).
#pragma once
#include <cstdint>
#include <string>

#include "platform/backend.h"
#include "platform/windows/mci_windows.h"
#include "platform/windows/win32_api.h"
#include "platform/win32/win32_present.h"
#include "platform/windows/win32_shared.h"

namespace plat {

class Win32Backend final : public Backend {
 public:
  ~Win32Backend() override { Close(); }

  const char* Name() const override { return "win32"; }
  bool Open(const Options& options, std::string& error) override;
  void Close() override;

  uint32_t Ticks() override;
  void Sleep(uint32_t ms) override;
  void SleepUntil(uint32_t tick) override;
  void BeginPeriod(uint32_t ms) override;
  void EndPeriod(uint32_t ms) override;

  int Metric(plat::Metric metric) override;
  int DesktopDepth() override { return depth_; }

  void UseWindowClass(const std::string& nameUtf8, uint32_t style, const std::string& icon) override;
  bool CreateWindow(const std::string& titleUtf8, bool popup, int clientX, int clientY,
                    int clientWidth, int clientHeight, EventSink& sink) override;
  void ShowWindow(Show how, EventSink& sink) override;
  void SetTopmost(bool topmost) override;
  void SetFullScreen(bool on, EventSink& sink) override;
  bool FullScreen() const override { return fullScreen_; }
  int Scale() const override { return scale_; }
  void RaiseWindow() override;
  void DestroyWindow() override;

  void Pump(EventSink& sink) override;
  void WaitEvent() override;

  bool GetCursorPos(Point& position) override;
  bool SetCursorPos(int x, int y) override;
  void SetCursorVisible(bool visible) override;
  bool ClipCursor(const Rect* rect) override;
  void EnableTextInput(bool enable) override;

  Answer MessageBox(const std::string& textUtf8, const std::string& captionUtf8, Buttons buttons,
                    Icon icon) override;
  bool Beep(int type) override;

  void Present(const Surface& source, const Rect& sourceRect) override;

  bool JoyGetPos(int joystick, JoyInfo& info) override;
  void JoyConfigChanged() override;

  bool OpenAudio(int rate) override;
  void CloseAudio() override;

  bool HasSystemMci() const override { return true; }
  TextEngine* Text() override;
  uint32_t SendSystemMci(const char* command, char* answer, unsigned answerSize,
                         Window notify) override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT kind, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT kind, WPARAM wparam, LPARAM lparam);
  void PostCharacter(WPARAM unit, LPARAM lparam);
  bool RegisterNativeClass();
  bool ApplyFullScreen(bool on);
  void ReportPosition();
  // The picture's place in the client area, and the map between the two.
  PictureRect ClientPicture() const;
  POINT ClientOrigin() const;
  LPARAM PicturePoint(LPARAM clientPoint) const;

  HINSTANCE instance_ = nullptr;
  int depth_ = 16;
  int scale_ = 1;
  bool wholeScale_ = false;  // full screen scales by whole numbers only
  bool fullScreen_ = false;
  bool popup_ = false;
  bool ime_ = true;
  bool cursorShown_ = true;
  HANDLE timer_ = nullptr;  // a high-resolution waitable timer, where the system has one

  std::wstring className_ = L"DEFAULT";
  UINT classStyle_ = 0;
  std::wstring iconName_;
  bool classRegistered_ = false;

  HWND window_ = nullptr;
  EventSink* sink_ = nullptr;
  int clientW_ = 800, clientH_ = 600;  // the client area's own (unscaled) size
  int clientX_ = 0, clientY_ = 0;      // its desktop position, as last reported
  bool reported_ = false;
  RECT windowed_{};                    // the window's place before full screen
  WCHAR highSurrogate_ = 0;            // the first half of a character in two units
  GdiPresenter presenter_;

  uint32_t joyRetryAt_[2] = {0, 0};  // a silent joystick is asked again from here
};

// The DirectSound stream fed by a thread of its own from the mixer
// (win32_audio.cpp). Its cooperative level belongs to `window`, or to the
// desktop while there is none; FollowWindow moves it when the window comes
// or goes.
bool DirectSoundOpen(HWND window, int rate);
void DirectSoundFollowWindow(HWND window);
void DirectSoundClose();

// The system's own text through GDI (windows/text_gdi.cpp).
TextEngine& GdiTextEngine();

// Asks every XInput slot again at the next reading (win32_pads.cpp).
void ForgetPadSlots();

}  // namespace plat
