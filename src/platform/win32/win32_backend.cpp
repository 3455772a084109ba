// The win32 backend's clock, system metrics, cursor, input method, dialogs,
// joysticks and sound device. The window itself is in win32_window.cpp.
#include "platform/win32/win32_backend.h"

#include <imm.h>
#include <cstdio>

#include "platform/core/picture_fit.h"

// Exported by winmm but missing from some versions of its header.
extern "C" MMRESULT WINAPI joyConfigChanged(DWORD flags);

namespace plat {
namespace {

// Not named by every version of the system's headers.
constexpr DWORD kHighResolutionTimer = 0x00000002;  // CREATE_WAITABLE_TIMER_HIGH_RESOLUTION

// A joystick that does not answer is asked again only after this long: the
// system may look for new devices on every question about a missing one.
constexpr uint32_t kJoyRetryMs = 1000;

}  // namespace

bool Win32Backend::Open(const Options& options, std::string&) {
  instance_ = GetModuleHandleW(nullptr);
  depth_ = options.depth;
  scale_ = options.scale >= 1 ? options.scale : 1;
  wholeScale_ = options.integerScale;
  fullScreen_ = options.fullscreen;
  // A timer that wakes within a fraction of a millisecond, where the system
  // has one (Windows 10 1803 on); otherwise SleepUntil steps in Sleep(1).
  timer_ = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
  return true;
}

void Win32Backend::Close() {
  DirectSoundClose();
  DestroyWindow();
  if (classRegistered_) UnregisterClassW(className_.c_str(), instance_);
  classRegistered_ = false;
  if (timer_) CloseHandle(timer_);
  timer_ = nullptr;
  if (!cursorShown_) ::ShowCursor(TRUE);
  cursorShown_ = true;
}

// --- Clock ----------------------------------------------------------------------

uint32_t Win32Backend::Ticks() { return timeGetTime(); }

void Win32Backend::Sleep(uint32_t ms) { ::Sleep(ms); }

// Wakes half a millisecond before the tick begins, so that the caller's spin
// on the clock is short.
void Win32Backend::SleepUntil(uint32_t tick) {
  const int32_t left = static_cast<int32_t>(tick - timeGetTime());
  if (left <= 1) {
    ::Sleep(0);
    return;
  }
  if (timer_) {
    LARGE_INTEGER due;
    due.QuadPart = -(static_cast<LONGLONG>(left) * 10000 - 5000);  // relative, in 100 ns
    if (SetWaitableTimer(timer_, &due, 0, nullptr, nullptr, FALSE)) {
      WaitForSingleObject(timer_, INFINITE);
      return;
    }
  }
  // Sleep(1) lasts one to two milliseconds at the 1 ms timer period.
  while (static_cast<int32_t>(tick - timeGetTime()) > 2) ::Sleep(1);
}

void Win32Backend::BeginPeriod(uint32_t ms) { timeBeginPeriod(ms); }
void Win32Backend::EndPeriod(uint32_t ms) { timeEndPeriod(ms); }

int Win32Backend::Metric(plat::Metric metric) {
  switch (metric) {
    case Metric::ScreenWidth: return GetSystemMetrics(SM_CXSCREEN);
    case Metric::ScreenHeight: return GetSystemMetrics(SM_CYSCREEN);
    case Metric::BorderWidth: return GetSystemMetrics(SM_CXBORDER);
    case Metric::BorderHeight: return GetSystemMetrics(SM_CYBORDER);
    case Metric::EdgeWidth: return GetSystemMetrics(SM_CXEDGE);
    case Metric::EdgeHeight: return GetSystemMetrics(SM_CYEDGE);
    case Metric::DialogFrameWidth: return GetSystemMetrics(SM_CXDLGFRAME);
    case Metric::DialogFrameHeight: return GetSystemMetrics(SM_CYDLGFRAME);
    case Metric::CaptionHeight: return GetSystemMetrics(SM_CYCAPTION);
  }
  return 0;
}

// --- Cursor and input method ----------------------------------------------------
// The program sees the client area at its own size, whatever the scale or
// full screen make of it on the desktop.

bool Win32Backend::GetCursorPos(Point& position) {
  POINT p{};
  if (!::GetCursorPos(&p)) return false;
  POINT origin = ClientOrigin();
  int x = p.x - origin.x, y = p.y - origin.y;
  OutputToPicture(ClientPicture(), clientW_, clientH_, x, y);
  position.x = clientX_ + x;
  position.y = clientY_ + y;
  return true;
}

bool Win32Backend::SetCursorPos(int x, int y) {
  POINT origin = ClientOrigin();
  x -= clientX_;
  y -= clientY_;
  PictureToOutput(ClientPicture(), clientW_, clientH_, x, y);
  return ::SetCursorPos(origin.x + x, origin.y + y) != 0;
}

// The system counts shows and hides; the core keeps the program's count and
// asks only for the state, so the system's count moves by one at most.
void Win32Backend::SetCursorVisible(bool visible) {
  if (visible == cursorShown_) return;
  cursorShown_ = visible;
  ::ShowCursor(visible ? TRUE : FALSE);
}

bool Win32Backend::ClipCursor(const Rect* rect) {
  if (!rect) return ::ClipCursor(nullptr) != 0;
  POINT origin = ClientOrigin();
  const PictureRect picture = ClientPicture();
  int left = rect->left - clientX_, top = rect->top - clientY_;
  int right = rect->right - clientX_, bottom = rect->bottom - clientY_;
  PictureToOutput(picture, clientW_, clientH_, left, top);
  PictureToOutput(picture, clientW_, clientH_, right, bottom);
  RECT area{origin.x + left, origin.y + top, origin.x + right, origin.y + bottom};
  if (area.right <= area.left || area.bottom <= area.top) return false;
  return ::ClipCursor(&area) != 0;
}

// Off: the window has no input context, so keys reach the program as keys.
void Win32Backend::EnableTextInput(bool enable) {
  ime_ = enable;
  if (window_) ImmAssociateContextEx(window_, nullptr, enable ? IACE_DEFAULT : 0);
}

// --- Dialogs -----------------------------------------------------------------------

Answer Win32Backend::MessageBox(const std::string& textUtf8, const std::string& captionUtf8,
                                Buttons buttons, Icon icon) {
  UINT style = buttons == Buttons::YesNo ? MB_YESNO : (MB_OK | MB_SYSTEMMODAL);
  switch (icon) {
    case Icon::Warning: style |= MB_ICONWARNING; break;
    case Icon::Question: style |= MB_ICONQUESTION; break;
    case Icon::Error: style |= MB_ICONERROR; break;
    case Icon::Information: style |= MB_ICONINFORMATION; break;
    case Icon::None: break;
  }
  int pressed = MessageBoxW(window_, WideFromUtf8(textUtf8).c_str(), WideFromUtf8(captionUtf8).c_str(),
                            style | MB_SETFOREGROUND);
  switch (pressed) {
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    case IDOK: return Answer::Ok;
    default:
      // The box could not be shown: the terminal still hears of it.
      std::fprintf(stderr, "%s: %s\n", captionUtf8.c_str(), textUtf8.c_str());
      return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
}

bool Win32Backend::Beep(int type) { return ::MessageBeep(static_cast<UINT>(type)) != 0; }

// --- Joysticks ----------------------------------------------------------------------

bool Win32Backend::JoyGetPos(int joystick, JoyInfo& info) {
  if (joystick < 0 || joystick > 1) return false;
  const uint32_t now = timeGetTime();
  if (joyRetryAt_[joystick] != 0 && static_cast<int32_t>(now - joyRetryAt_[joystick]) < 0) return false;
  JOYINFOEX state{};
  state.dwSize = sizeof state;
  state.dwFlags = JOY_RETURNX | JOY_RETURNY | JOY_RETURNBUTTONS;
  if (joyGetPosEx(JOYSTICKID1 + static_cast<UINT>(joystick), &state) != JOYERR_NOERROR) {
    joyRetryAt_[joystick] = (now + kJoyRetryMs) | 1;  // never 0, which means "ask now"
    return false;
  }
  joyRetryAt_[joystick] = 0;
  info.x = state.dwXpos;
  info.y = state.dwYpos;
  info.buttons = state.dwButtons;
  return true;
}

void Win32Backend::JoyConfigChanged() {
  joyConfigChanged(0);
  joyRetryAt_[0] = joyRetryAt_[1] = 0;
  ForgetPadSlots();
}

// --- Sound and music -----------------------------------------------------------------

bool Win32Backend::OpenAudio(int rate) { return DirectSoundOpen(window_, rate); }
void Win32Backend::CloseAudio() { DirectSoundClose(); }

uint32_t Win32Backend::SendSystemMci(const char* command, char* answer, unsigned answerSize,
                                     Window notify) {
  return SendMciString(command, answer, answerSize, notify ? window_ : nullptr);
}

TextEngine* Win32Backend::Text() { return &GdiTextEngine(); }

Backend* MakeWin32Backend() { return new Win32Backend; }

}  // namespace plat
