// The sdl backend: a real window on the desktop, its events and the system
// cursor through SDL2; the clock, message boxes and joysticks are parts of
// their own (sdl_parts.h).
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/backend.h"
#include "platform/core/messages.h"
#include "platform/audio/mixer.h"
#include "platform/core/picture_fit.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_parts.h"
#include "platform/sdl/sdl_present.h"

namespace plat {
namespace {

constexpr intptr_t kHitClient = 1;  // the cursor is over the client area

unsigned Modifiers(uint16_t mod) {
  unsigned result = 0;
  if (mod & KMOD_SHIFT) result |= sdlkeys::kShift;
  if (mod & KMOD_CTRL) result |= sdlkeys::kCtrl;
  if (mod & KMOD_ALT) result |= sdlkeys::kAlt;
  if (mod & KMOD_NUM) result |= sdlkeys::kNumLock;
  return result;
}

class SdlBackend final : public Backend {
 public:
  ~SdlBackend() override { Close(); }

  const char* Name() const override { return "sdl"; }

  bool Open(const Options& options, std::string& error) override {
    depth_ = options.depth;
    scale_ = options.scale >= 1 ? options.scale : 1;
    wholeScale_ = options.integerScale;
    fullScreen_ = options.fullscreen;
    // The screen saver stays allowed until the window procedure refuses it;
    // the close box reaches the program as WM_CLOSE only, not a second time
    // as a quit event. Signals keep their usual effect: a program waiting in
    // a message box must still end on SIGTERM.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_Init(SDL_INIT_EVENTS) != 0 || !StartVideo()) {
      // SDL's own reason goes with ours: a display that is there but
      // refuses the connection reads differently from none at all.
      const std::string reason = SDL_GetError();
      SDL_Quit();
      error = "no display found" + (reason.empty() ? std::string() : " (" + reason + ")") +
              "; --headless runs without one";
      return false;
    }
    open_ = true;
    joysticks_.Start();
    return true;
  }

  void Close() override {
    if (!open_) return;
    SdlAudioQuit();
    joysticks_.Stop();
    DestroyWindow();
    SDL_Quit();
    open_ = false;
    hasPending_ = false;
  }

  bool OpenAudio(int rate) override { return SdlAudioOpen(rate); }
  void CloseAudio() override { SdlAudioClose(); }

  uint32_t Ticks() override { return sdlparts::Ticks(); }
  void Sleep(uint32_t ms) override { sdlparts::Sleep(ms); }
  void SleepUntil(uint32_t tick) override { sdlparts::SleepUntil(tick); }

  int Metric(plat::Metric metric) override {
    switch (metric) {
      case Metric::ScreenWidth:
      case Metric::ScreenHeight: {
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
        return metric == Metric::ScreenWidth ? mode.w : mode.h;
      }
      // The window manager draws the frame outside the client area, so the
      // frame adds nothing to the window's size.
      default:
        return 0;
    }
  }

  int DesktopDepth() override { return depth_; }

  bool CreateWindow(const std::string& titleUtf8, bool popup, int clientX, int clientY,
                    int clientWidth, int clientHeight, EventSink& sink) override {
    if (window_) return false;
    // A scale whose window would not fit the desktop's usable area gives
    // way to the largest that does.
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) {
      while (scale_ > 1 && (clientWidth * scale_ > usable.w || clientHeight * scale_ > usable.h)) --scale_;
    }
    int width = clientWidth * scale_;
    int height = clientHeight * scale_;
    if (width <= 0 || height <= 0) return false;

    // A position that would put the window entirely off the desktop is
    // replaced by the centre of the first display.
    int x = clientX, y = clientY;
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(0, &bounds) == 0) {
      bool visible = x < bounds.x + bounds.w && x + width > bounds.x &&
                     y < bounds.y + bounds.h && y + height > bounds.y;
      if (!visible) x = y = SDL_WINDOWPOS_CENTERED;
    }

    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (popup) flags |= SDL_WINDOW_BORDERLESS;
#ifdef __EMSCRIPTEN__
    // In a page the canvas is the window, and the page's style gives it the
    // stage's size: SDL follows that size for a resizable window, so the
    // picture is fitted into the whole stage, on black, as on a full screen.
    flags |= SDL_WINDOW_RESIZABLE;
#endif
    popup_ = popup;
    clientW_ = clientWidth;
    clientH_ = clientHeight;
    window_ = SDL_CreateWindow(titleUtf8.c_str(), x, y, width, height, flags);
    if (!window_) {
      std::fprintf(stderr, "cannot create the window: %s\n", SDL_GetError());
      return false;
    }
    windowId_ = SDL_GetWindowID(window_);
    if (!presenter_.Open(window_, clientWidth, clientHeight, wholeScale_)) {
      std::fprintf(stderr, "cannot show pictures in the window: %s\n", SDL_GetError());
      SDL_DestroyWindow(window_);
      window_ = nullptr;
      windowId_ = 0;
      return false;
    }
    if (fullScreen_ && !ApplyFullScreen(true)) fullScreen_ = false;
    SDL_GetWindowPosition(window_, &clientX_, &clientY_);
    sink.Send(WM_MOVE, 0, sdlkeys::PackPoint(clientX_, clientY_));
    return true;
  }

  void ShowWindow(Show how, EventSink& sink) override {
    if (!window_) return;
    switch (how) {
      case Show::Hide:
        SDL_HideWindow(window_);
        return;
      case Show::Minimized:
        SDL_ShowWindow(window_);
        SDL_MinimizeWindow(window_);
        break;
      case Show::Normal:
      case Show::Maximized:  // the window has a fixed size
        SDL_ShowWindow(window_);
        SDL_RestoreWindow(window_);
        SDL_RaiseWindow(window_);
        break;
    }
    Present();
    // The window manager may place the window elsewhere than asked.
    ReportPosition(sink, true);
  }

  void SetTopmost(bool topmost) override {
    if (window_) SDL_SetWindowAlwaysOnTop(window_, topmost ? SDL_TRUE : SDL_FALSE);
  }

  void SetFullScreen(bool on, EventSink& sink) override {
    if (!window_ || on == fullScreen_ || !ApplyFullScreen(on)) return;
    fullScreen_ = on;
    Present();
    ReportPosition(sink, false);
  }

  bool FullScreen() const override { return fullScreen_; }
  int Scale() const override { return scale_; }

  void RaiseWindow() override {
    if (!window_) return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
  }

  void DestroyWindow() override {
    presenter_.Close();
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    windowId_ = 0;
    active_ = false;
    buttons_ = 0;
  }

  void Pump(EventSink& sink) override {
    if (TakeRaiseRequest()) {
      if (window_) SDL_RestoreWindow(window_);
      RaiseWindow();
    }
    if (hasPending_) {
      hasPending_ = false;
      Handle(pending_, sink);
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) Handle(event, sink);
  }

  void WaitEvent() override {
    // A short wait, so that raise requests from another copy are seen soon;
    // the event taken is kept for the next Pump.
    if (hasPending_) return;
    if (SDL_WaitEventTimeout(&pending_, 10)) hasPending_ = true;
  }

  bool GetCursorPos(Point& position) override {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    // The program sees the client area at its unscaled size.
    x -= clientX_;
    y -= clientY_;
    OutputToPicture(WindowPicture(), clientW_, clientH_, x, y);
    position.x = clientX_ + x;
    position.y = clientY_ + y;
    return true;
  }

  bool SetCursorPos(int x, int y) override {
    x -= clientX_;
    y -= clientY_;
    PictureToOutput(WindowPicture(), clientW_, clientH_, x, y);
    return SDL_WarpMouseGlobal(clientX_ + x, clientY_ + y) == 0;
  }

  void SetCursorVisible(bool visible) override {
    SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
  }

  bool ClipCursor(const Rect* rect) override {
    if (!window_) return false;
    if (!rect) return SDL_SetWindowMouseRect(window_, nullptr) == 0;
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    int left = rect->left - x, top = rect->top - y;
    int right = rect->right - x, bottom = rect->bottom - y;
    PictureRect picture = WindowPicture();
    PictureToOutput(picture, clientW_, clientH_, left, top);
    PictureToOutput(picture, clientW_, clientH_, right, bottom);
    SDL_Rect area{left, top, right - left, bottom - top};
    if (area.w <= 0 || area.h <= 0) return false;
    return SDL_SetWindowMouseRect(window_, &area) == 0;
  }

  void EnableTextInput(bool enable) override {
    if (enable) {
      SDL_StartTextInput();
    } else {
      SDL_StopTextInput();
    }
  }

  Answer MessageBox(const std::string& textUtf8, const std::string& captionUtf8, Buttons buttons,
                    Icon icon) override {
    return sdlparts::MessageBox(window_, textUtf8, captionUtf8, buttons, icon);
  }

  bool JoyGetPos(int joystick, JoyInfo& info) override { return joysticks_.GetPos(joystick, info); }
  void JoyConfigChanged() override { joysticks_.Reopen(); }

 private:
  // Starts the first video driver that reaches a real display. SDL would
  // otherwise settle for its invisible offscreen driver; a driver the user
  // names in SDL_VIDEODRIVER is taken as asked.
  static bool StartVideo() {
    if (std::getenv("SDL_VIDEODRIVER")) return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
      const char* name = SDL_GetVideoDriver(i);
      if (!name || std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0 ||
          std::strcmp(name, "evdev") == 0) {
        continue;
      }
      // Without a compositor named in the environment the Wayland library
      // would only complain on standard error.
      if (std::strcmp(name, "wayland") == 0 && !std::getenv("WAYLAND_DISPLAY")) continue;
      SDL_SetHint(SDL_HINT_VIDEODRIVER, name);
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    }
    return false;
  }

  // Full screen is a borderless window over the whole desktop at the
  // desktop's own mode, so switching is quick and changes no display mode.
  // The window is placed over the desktop first and then marked full screen
  // for the window manager; without a window manager the placing alone does
  // it. Back in the window, it takes its scaled size and place again.
  bool ApplyFullScreen(bool on) {
    if (on) {
      SDL_Rect bounds{};
      int display = SDL_GetWindowDisplayIndex(window_);
      if (SDL_GetDisplayBounds(display < 0 ? 0 : display, &bounds) != 0) {
        std::fprintf(stderr, "cannot switch to full screen: %s\n", SDL_GetError());
        return false;
      }
      SDL_GetWindowPosition(window_, &windowedX_, &windowedY_);
      SDL_SetWindowBordered(window_, SDL_FALSE);
      SDL_SetWindowPosition(window_, bounds.x, bounds.y);
      SDL_SetWindowSize(window_, bounds.w, bounds.h);
      SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
      SDL_SetWindowFullscreen(window_, 0);
      SDL_SetWindowBordered(window_, popup_ ? SDL_FALSE : SDL_TRUE);
      SDL_SetWindowSize(window_, clientW_ * scale_, clientH_ * scale_);
      SDL_SetWindowPosition(window_, windowedX_, windowedY_);
    }
    return true;
  }

  // Shows the window's contents again (after an expose): the last picture,
  // or a black client area before the first one.
  void Present() { presenter_.Redraw(); }

  void Present(const Surface& source, const Rect& sourceRect) override {
    presenter_.Present(source, sourceRect);
  }

  void ReportPosition(EventSink& sink, bool send) {
    int x = 0, y = 0;
    SDL_GetWindowPosition(window_, &x, &y);
    if (x == clientX_ && y == clientY_) return;
    clientX_ = x;
    clientY_ = y;
    if (send) {
      sink.Send(WM_MOVE, 0, sdlkeys::PackPoint(x, y));
    } else {
      sink.Post(WM_MOVE, 0, sdlkeys::PackPoint(x, y));
    }
  }

  uintptr_t MouseFlags() const {
    uintptr_t flags = 0;
    if (buttons_ & SDL_BUTTON_LMASK) flags |= MK_LBUTTON;
    if (buttons_ & SDL_BUTTON_RMASK) flags |= MK_RBUTTON;
    SDL_Keymod mod = SDL_GetModState();
    if (mod & KMOD_SHIFT) flags |= MK_SHIFT;
    if (mod & KMOD_CTRL) flags |= MK_CONTROL;
    return flags;
  }

  intptr_t ClientPoint(int x, int y) const {
    OutputToPicture(WindowPicture(), clientW_, clientH_, x, y);
    return sdlkeys::PackPoint(x, y);
  }

  // The picture's place in the window, in window coordinates (the mouse's).
  PictureRect WindowPicture() const {
    int w = 0, h = 0;
    if (window_) SDL_GetWindowSize(window_, &w, &h);
    return FitPicture(w, h, clientW_, clientH_, wholeScale_);
  }

  void SetActive(bool active, EventSink& sink) {
    if (active == active_) return;
    active_ = active;
    sink.Send(WM_ACTIVATEAPP, active ? 1 : 0, 0);
    if (active) {
      if (sink.Send(WM_SYSCOMMAND, SC_SCREENSAVE, 0) == 0) SDL_DisableScreenSaver();
    } else {
      SDL_EnableScreenSaver();
    }
  }

  void Handle(const SDL_Event& event, EventSink& sink) {
    switch (event.type) {
      case SDL_QUIT:
        if (window_) sink.Post(WM_CLOSE, 0, 0);
        break;
      case SDL_WINDOWEVENT:
        if (!window_ || event.window.windowID != windowId_) break;
        switch (event.window.event) {
          case SDL_WINDOWEVENT_CLOSE: sink.Post(WM_CLOSE, 0, 0); break;
          case SDL_WINDOWEVENT_MOVED: ReportPosition(sink, false); break;
          case SDL_WINDOWEVENT_FOCUS_GAINED: SetActive(true, sink); break;
          case SDL_WINDOWEVENT_FOCUS_LOST: SetActive(false, sink); break;
          case SDL_WINDOWEVENT_EXPOSED: Present(); break;
#ifdef __EMSCRIPTEN__
          // The page resized the canvas, which clears it.
          case SDL_WINDOWEVENT_SIZE_CHANGED: Present(); break;
#endif
          default: break;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        if (!window_) break;
        const SDL_KeyboardEvent& key = event.key;
        sdlkeys::KeyMessage m =
            sdlkeys::TranslateKey(key.keysym.scancode, key.keysym.sym, Modifiers(key.keysym.mod),
                                  event.type == SDL_KEYDOWN, key.repeat != 0);
        if (m.kind != 0) sink.Post(m.kind, m.wparam, m.lparam);
        break;
      }
      case SDL_MOUSEMOTION: {
        if (!window_ || event.motion.windowID != windowId_) break;
        sink.Send(WM_SETCURSOR, MainWindow(),
                  kHitClient | (static_cast<intptr_t>(WM_MOUSEMOVE) << 16));
        sink.Post(WM_MOUSEMOVE, MouseFlags(), ClientPoint(event.motion.x, event.motion.y));
        break;
      }
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP: {
        if (!window_ || event.button.windowID != windowId_) break;
        bool down = event.type == SDL_MOUSEBUTTONDOWN;
        uint32_t kind = sdlkeys::MouseButtonMessage(event.button.button, down, event.button.clicks);
        if (kind == 0) break;
        Uint32 mask = SDL_BUTTON(event.button.button);
        buttons_ = down ? (buttons_ | mask) : (buttons_ & ~mask);
        // The system asks for the cursor before each mouse message.
        sink.Send(WM_SETCURSOR, MainWindow(),
                  kHitClient | (static_cast<intptr_t>(kind) << 16));
        sink.Post(kind, MouseFlags(), ClientPoint(event.button.x, event.button.y));
        break;
      }
      case SDL_RENDER_TARGETS_RESET:
      case SDL_RENDER_DEVICE_RESET:
        // The display lost what it held: every surface counts as lost, and
        // the library restores and reloads on its next blit.
        presenter_.Lost();
        LoseAllSurfaces();
        break;
      case SDL_JOYDEVICEADDED:
        joysticks_.OpenNew();
        break;
      default:
        break;
    }
  }

  bool open_ = false;
  int depth_ = 16;
  int scale_ = 1;  // each client pixel is shown as scale x scale pixels in the window
  bool wholeScale_ = false;  // full screen scales by whole numbers only
  bool fullScreen_ = false;
  bool popup_ = false;
  int windowedX_ = SDL_WINDOWPOS_CENTERED, windowedY_ = SDL_WINDOWPOS_CENTERED;
  int clientW_ = 800, clientH_ = 600;  // the client area's own size

  SDL_Window* window_ = nullptr;
  Uint32 windowId_ = 0;
  WindowPresenter presenter_;
  int clientX_ = 0, clientY_ = 0;  // the client area's desktop position
  bool active_ = false;
  Uint32 buttons_ = 0;  // mouse buttons held, as SDL button masks

  SDL_Event pending_{};  // an event WaitEvent took off SDL's queue
  bool hasPending_ = false;

  sdlparts::Joysticks joysticks_;
};

}  // namespace

Backend* MakeSdlBackend() { return new SdlBackend(); }

}  // namespace plat
