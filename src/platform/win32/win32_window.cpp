// The win32 backend's window: its class, the system's message loop, and the
// window procedure that hands the system's messages to the core. The message
// numbers and key codes the core speaks are the system's own, so a key
// message passes with its parameters as they are; only mouse positions are
// mapped to the picture's pixels (scale and full screen). Messages the
// system sends wait for the program's answer (sink.Send); those it posts go
// into the core's queue (sink.Post), as the program's loop takes them.
#include "platform/win32/win32_backend.h"

#include <imm.h>
#include <windowsx.h>

#include <cstdio>

namespace plat {
namespace {

constexpr DWORD kCaptionedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kPopupStyle = WS_POPUP | WS_SYSMENU;
constexpr UINT kClassStyles = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;

LPARAM PackPoint(int x, int y) {
  return static_cast<LPARAM>((static_cast<uint32_t>(y & 0xFFFF) << 16) | static_cast<uint32_t>(x & 0xFFFF));
}

}  // namespace

void Win32Backend::UseWindowClass(const std::string& nameUtf8, uint32_t style, const std::string& icon) {
  std::wstring name = WideFromUtf8(nameUtf8);
  if (name.empty()) name = L"DEFAULT";
  if (classRegistered_ && name != className_) {
    UnregisterClassW(className_.c_str(), instance_);
    classRegistered_ = false;
  }
  className_ = name;
  classStyle_ = style & kClassStyles;  // the shell's class styles have the system's values
  iconName_ = WideFromUtf8(icon);
}

bool Win32Backend::RegisterNativeClass() {
  if (classRegistered_) return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = classStyle_;
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = instance_;
  // A program without the icon among its resources has a class without one.
  windowClass.hIcon = iconName_.empty() ? nullptr : LoadIconW(instance_, iconName_.c_str());
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = className_.c_str();
  classRegistered_ = RegisterClassExW(&windowClass) != 0;
  return classRegistered_;
}

bool Win32Backend::CreateWindow(const std::string& titleUtf8, bool popup, int clientX, int clientY,
                                int clientWidth, int clientHeight, EventSink& sink) {
  if (window_ || clientWidth <= 0 || clientHeight <= 0 || !RegisterNativeClass()) return false;
  popup_ = popup;
  clientW_ = clientWidth;
  clientH_ = clientHeight;
  const DWORD style = popup ? kPopupStyle : kCaptionedStyle;
  // A scale whose window would not fit the desktop's work area gives way to
  // the largest that does.
  RECT work{};
  const bool haveWork = SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) != 0;
  RECT outer{};
  for (;; --scale_) {
    outer = RECT{0, 0, clientWidth * scale_, clientHeight * scale_};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    if (scale_ == 1 || !haveWork || (outer.right - outer.left <= work.right - work.left &&
                                     outer.bottom - outer.top <= work.bottom - work.top)) {
      break;
    }
  }
  const int outerW = outer.right - outer.left, outerH = outer.bottom - outer.top;
  // The client area goes where the program asked. A scaled window, which the
  // program did not measure, is centred on the work area instead.
  int x = clientX + outer.left, y = clientY + outer.top;
  if (scale_ > 1 && haveWork) {
    x = work.left + ((work.right - work.left) - outerW) / 2;
    y = work.top + ((work.bottom - work.top) - outerH) / 2;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
  }
  // Until it exists the program hears nothing from it (sink_ is unset):
  // its first WM_MOVE is sent below, once.
  HWND made = CreateWindowExW(0, className_.c_str(), WideFromUtf8(titleUtf8).c_str(), style, x, y,
                              outerW, outerH, nullptr, nullptr, instance_, this);
  if (!made) {
    std::fprintf(stderr, "cannot create the window (system error %lu)\n", GetLastError());
    window_ = nullptr;
    return false;
  }
  window_ = made;
  sink_ = &sink;
  presenter_.Open(clientWidth, clientHeight, wholeScale_);
  EnableTextInput(ime_);
  PublishMainWindow(reinterpret_cast<uintptr_t>(window_));
  DirectSoundFollowWindow(window_);  // a device opened before the window moves to it
  if (fullScreen_ && !ApplyFullScreen(true)) fullScreen_ = false;
  reported_ = false;
  ReportPosition();
  return true;
}

void Win32Backend::ShowWindow(Show how, EventSink& sink) {
  if (!window_) return;
  sink_ = &sink;
  int command = SW_SHOWNORMAL;  // the window has a fixed size: no maximised state
  if (how == Show::Hide) command = SW_HIDE;
  if (how == Show::Minimized) command = SW_SHOWMINIMIZED;
  ::ShowWindow(window_, command);
  if (how != Show::Hide && how != Show::Minimized) SetForegroundWindow(window_);
  ::UpdateWindow(window_);
  ReportPosition();
}

void Win32Backend::SetTopmost(bool topmost) {
  if (!window_) return;
  SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Backend::SetFullScreen(bool on, EventSink& sink) {
  if (!window_ || on == fullScreen_) return;
  sink_ = &sink;
  if (!ApplyFullScreen(on)) return;
  fullScreen_ = on;
  InvalidateRect(window_, nullptr, FALSE);
  ReportPosition();
}

// Full screen is a borderless window over the whole monitor: no display
// mode changes, so switching is quick. Back in the window, it takes its
// frame and its place again.
bool Win32Backend::ApplyFullScreen(bool on) {
  const LONG_PTR visible = GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE;
  if (on) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &monitor)) return false;
    GetWindowRect(window_, &windowed_);
    const RECT& area = monitor.rcMonitor;
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(kPopupStyle) | visible);
    SetWindowPos(window_, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
  } else {
    const DWORD style = popup_ ? kPopupStyle : kCaptionedStyle;
    SetWindowLongPtrW(window_, GWL_STYLE, static_cast<LONG_PTR>(style) | visible);
    SetWindowPos(window_, nullptr, windowed_.left, windowed_.top, windowed_.right - windowed_.left,
                 windowed_.bottom - windowed_.top, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOOWNERZORDER);
  }
  return true;
}

void Win32Backend::RaiseWindow() {
  if (!window_) return;
  if (IsIconic(window_)) ::ShowWindow(window_, SW_RESTORE);
  SetForegroundWindow(window_);
}

void Win32Backend::DestroyWindow() {
  if (!window_) return;
  // The core has told the program already; what the system sends while the
  // window goes is not passed on.
  sink_ = nullptr;
  PublishMainWindow(0);
  DirectSoundFollowWindow(nullptr);  // the sound goes on to the end, owned by the desktop
  ::DestroyWindow(window_);
  window_ = nullptr;
  presenter_.Close();
  fullScreen_ = false;
}

void Win32Backend::Pump(EventSink& sink) {
  sink_ = window_ ? &sink : nullptr;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// A short wait, so that raise requests from another copy are seen soon.
void Win32Backend::WaitEvent() { MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT); }

void Win32Backend::Present(const Surface& source, const Rect& sourceRect) {
  presenter_.Present(window_, source, sourceRect);
}

PictureRect Win32Backend::ClientPicture() const {
  RECT client{};
  if (window_) GetClientRect(window_, &client);
  return FitPicture(client.right, client.bottom, clientW_, clientH_, wholeScale_);
}

POINT Win32Backend::ClientOrigin() const {
  POINT origin{0, 0};
  if (window_) ClientToScreen(window_, &origin);
  return origin;
}

LPARAM Win32Backend::PicturePoint(LPARAM clientPoint) const {
  int x = GET_X_LPARAM(clientPoint), y = GET_Y_LPARAM(clientPoint);
  OutputToPicture(ClientPicture(), clientW_, clientH_, x, y);
  return PackPoint(x, y);
}

// The program hears of the client area's place on the desktop when it
// changes (and once when the window is made).
void Win32Backend::ReportPosition() {
  if (!window_ || !sink_) return;
  POINT origin = ClientOrigin();
  if (reported_ && origin.x == clientX_ && origin.y == clientY_) return;
  reported_ = true;
  clientX_ = origin.x;
  clientY_ = origin.y;
  sink_->Send(WM_MOVE, 0, PackPoint(origin.x, origin.y));
}

// A character arrives as UTF-16 units; the program reads CP932 bytes, one
// WM_CHAR each, as a window of the system's code page would get them.
void Win32Backend::PostCharacter(WPARAM unit, LPARAM lparam) {
  const WCHAR character = static_cast<WCHAR>(unit);
  if (IS_HIGH_SURROGATE(character)) {
    highSurrogate_ = character;
    return;
  }
  // Shift-JIS has no character beyond the first plane: the second unit of
  // a pair stands for the whole as one '?'.
  const bool pair = IS_LOW_SURROGATE(character);
  if (pair && !highSurrogate_) return;
  highSurrogate_ = 0;
  char bytes[8];
  int made = pair ? 0 : WideCharToMultiByte(932, 0, &character, 1, bytes, sizeof bytes, nullptr, nullptr);
  if (made <= 0) {
    bytes[0] = '?';
    made = 1;
  }
  for (int i = 0; i < made; ++i) sink_->Post(WM_CHAR, static_cast<uint8_t>(bytes[i]), lparam);
}

LRESULT CALLBACK Win32Backend::Procedure(HWND window, UINT kind, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (kind == WM_NCCREATE) {
    self = static_cast<Win32Backend*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->window_ = window;
  }
  if (!self || self->window_ != window) return DefWindowProcW(window, kind, wparam, lparam);
  return self->Handle(kind, wparam, lparam);
}

LRESULT Win32Backend::Handle(UINT kind, WPARAM wparam, LPARAM lparam) {
  // Before the window is made and while it goes, the system's defaults.
  if (!sink_ && kind != WM_PAINT && kind != WM_ERASEBKGND) {
    return DefWindowProcW(window_, kind, wparam, lparam);
  }
  switch (kind) {
    // Keys go to the program as they are: system keys (Alt, F10, Alt+F4)
    // too, so that its own window procedure decides what they do, and the
    // system's menu never takes the keyboard.
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      sink_->Post(kind, wparam, lparam);
      return 0;
    case WM_CHAR:
      PostCharacter(wparam, lparam);
      return 0;
    case WM_SYSCHAR:  // Alt and a letter: no menu to look for, no beep
      return 0;

    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      sink_->Post(kind, wparam, PicturePoint(lparam));
      return 0;
    case WM_SETCURSOR:
      // Over the client area the program may take the cursor away.
      if (LOWORD(lparam) == HTCLIENT &&
          sink_->Send(WM_SETCURSOR, MainWindow(), static_cast<intptr_t>(lparam)) != 0) {
        ::SetCursor(nullptr);
        return TRUE;
      }
      break;

    case WM_ACTIVATEAPP:
      sink_->Send(WM_ACTIVATEAPP, wparam ? 1 : 0, 0);
      return 0;
    case WM_SYSCOMMAND:
      // The program may refuse the screen saver; the rest (moving,
      // minimising, the close box) is the system's.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE &&
          sink_->Send(WM_SYSCOMMAND, wparam, static_cast<intptr_t>(lparam)) == 0) {
        return 0;
      }
      break;
    case WM_CLOSE:  // the close box, the system menu, the task bar
      sink_->Post(WM_CLOSE, 0, 0);
      return 0;
    case WM_MOVE:
      ReportPosition();
      return 0;

    case WM_ERASEBKGND:  // the picture and its border cover the client area
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window_, &paint);
      if (dc) presenter_.Redraw(window_, dc);
      EndPaint(window_, &paint);
      return 0;
    }

    case MM_MCINOTIFY:
      sink_->Post(MM_MCINOTIFY, wparam, static_cast<intptr_t>(lparam));
      return 0;
    case WM_DESTROY:  // the program had its WM_DESTROY from the core
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, kind, wparam, lparam);
}

}  // namespace plat
