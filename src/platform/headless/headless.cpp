// The headless backend: no window, no devices. Its clock is virtual unless
// wall-clock pacing is asked for, so a run is repeatable to the bit and as
// fast as the processor allows. Tests steer it through headless.h.
#include "platform/headless/headless.h"

#include <chrono>
#include <thread>

#include "platform/backend.h"
#include "platform/core/messages.h"
#include "platform/audio/mixer.h"

namespace plat {
namespace {

class HeadlessBackend;
HeadlessBackend* running = nullptr;

constexpr int kDesktopWidth = 1280;
constexpr int kDesktopHeight = 1024;

intptr_t PackPoint(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) |
                               static_cast<uint32_t>(x & 0xFFFF));
}

class HeadlessBackend final : public Backend {
 public:
  // The virtual clock, in microseconds. It starts at one second, like a
  // system that has just come up.
  uint64_t clockUs = 1000 * 1000;
  bool realtime = false;
  std::chrono::steady_clock::time_point realStart;
  uint32_t realBase = 1000;
  uint32_t sleepCalls = 0, lastSleep = 0;

  int depth = 16;
  bool windowExists = false, visible = false, topmost = false, active = false;
  bool fullScreen = false;
  int clientX = 0, clientY = 0, clientW = 0, clientH = 0;
  uint32_t raiseCount = 0;
  EventSink* sink = nullptr;

  Point cursor{0, 0};
  bool cursorVisible = true;
  bool clipped = false;
  Rect clipRect;
  bool ime = true;

  bool joyPresent[2] = {false, false};
  JoyInfo joy[2];
  uint32_t joyConfigChanges = 0;

  std::string boxCaption, boxText;
  uint32_t boxCount = 0, beepCount = 0;
  bool haveNextAnswer = false;
  Answer nextAnswer = Answer::Ok;

  const char* Name() const override { return "headless"; }

  bool Open(const Options& options, std::string&) override {
    realtime = options.realtime;
    fullScreen = options.fullscreen;
    depth = options.depth;
    realStart = std::chrono::steady_clock::now();
    running = this;
    return true;
  }

  void Close() override {
    VirtualDeviceClose();
    if (running == this) running = nullptr;
  }

  uint32_t Ticks() override {
    if (realtime) {
      VirtualDeviceAdvance(AudioNowUs());
      auto elapsed = std::chrono::steady_clock::now() - realStart;
      return realBase +
             static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    }
    // Reading the clock takes a moment, so a loop that spins on it ends.
    ++clockUs;
    VirtualDeviceAdvance(clockUs);
    return static_cast<uint32_t>(clockUs / 1000);
  }

  void Sleep(uint32_t ms) override {
    ++sleepCalls;
    lastSleep = ms;
    if (realtime) {
      if (ms == 0) {
        std::this_thread::yield();
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      }
      VirtualDeviceAdvance(AudioNowUs());
      return;
    }
    clockUs += static_cast<uint64_t>(ms) * 1000;
    VirtualDeviceAdvance(clockUs);
  }

  int Metric(plat::Metric metric) override {
    switch (metric) {
      case Metric::ScreenWidth: return kDesktopWidth;
      case Metric::ScreenHeight: return kDesktopHeight;
      default: return 0;  // no frame: the client area is the whole window
    }
  }

  int DesktopDepth() override { return depth; }

  bool CreateWindow(const std::string&, bool, int x, int y, int w, int h, EventSink& s) override {
    sink = &s;
    windowExists = true;
    visible = false;
    clientX = x;
    clientY = y;
    clientW = w;
    clientH = h;
    sink->Send(WM_MOVE, 0, PackPoint(x, y));
    return true;
  }

  void ShowWindow(Show how, EventSink& s) override {
    visible = how != Show::Hide;
    // Showing the window makes the program the active one.
    if (visible && how != Show::Minimized && !active) {
      active = true;
      s.Send(WM_ACTIVATEAPP, 1, 0);
    }
  }

  void SetTopmost(bool on) override { topmost = on; }
  // No desktop to cover: the state is kept so the program can ask for it.
  void SetFullScreen(bool on, EventSink&) override { fullScreen = on; }
  bool FullScreen() const override { return fullScreen; }
  void RaiseWindow() override { ++raiseCount; }
  void DestroyWindow() override {
    windowExists = false;
    visible = false;
    sink = nullptr;
  }

  void Pump(EventSink&) override {}

  void WaitEvent() override {
    if (realtime) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    } else {
      clockUs += 1000;
      VirtualDeviceAdvance(clockUs);
    }
  }

  bool GetCursorPos(Point& p) override {
    p = cursor;
    return true;
  }
  bool SetCursorPos(int x, int y) override {
    cursor = {x, y};
    if (clipped) {
      if (cursor.x < clipRect.left) cursor.x = clipRect.left;
      if (cursor.x >= clipRect.right) cursor.x = clipRect.right - 1;
      if (cursor.y < clipRect.top) cursor.y = clipRect.top;
      if (cursor.y >= clipRect.bottom) cursor.y = clipRect.bottom - 1;
    }
    return true;
  }
  void SetCursorVisible(bool v) override { cursorVisible = v; }
  bool ClipCursor(const Rect* r) override {
    clipped = r != nullptr;
    if (r) clipRect = *r;
    return true;
  }
  void EnableTextInput(bool enable) override { ime = enable; }

  Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons,
                    Icon) override {
    // Nothing is shown and nothing is written: the library reports every
    // failure on standard error itself, on every backend.
    boxCaption = Utf8ToCp932(caption);
    boxText = Utf8ToCp932(text);
    ++boxCount;
    Answer answer = buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    if (haveNextAnswer && buttons == Buttons::YesNo) {
      answer = nextAnswer;
      haveNextAnswer = false;
    }
    return answer;
  }

  bool Beep(int) override {
    ++beepCount;
    return false;
  }

  bool JoyGetPos(int j, JoyInfo& info) override {
    if (!joyPresent[j]) return false;
    info = joy[j];
    return true;
  }
  void JoyConfigChanged() override { ++joyConfigChanges; }

  // The virtual sound device plays on the virtual clock: its output and its
  // play cursors move only as that clock does, the same in every run. With
  // wall-clock pacing it follows the wall clock instead.
  bool OpenAudio(int rate) override {
    VirtualDeviceOpen(rate, AudioNowUs());
    return true;
  }
  void CloseAudio() override { VirtualDeviceClose(); }

  uint64_t AudioNowUs() {
    if (!realtime) return clockUs;
    auto elapsed = std::chrono::steady_clock::now() - realStart;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count());
  }
};

}  // namespace

Backend* MakeHeadlessBackend() { return new HeadlessBackend; }

namespace headless {

void SetClock(uint32_t ms) {
  if (!running) return;
  running->clockUs = static_cast<uint64_t>(ms) * 1000;
  VirtualDeviceRebase(running->clockUs);
}
void AdvanceClock(uint32_t ms) {
  if (!running) return;
  running->clockUs += static_cast<uint64_t>(ms) * 1000;
  VirtualDeviceAdvance(running->clockUs);
}
uint32_t SleepCalls() { return running ? running->sleepCalls : 0; }
uint32_t LastSleep() { return running ? running->lastSleep : 0; }

void SetCursor(int x, int y) {
  if (running) running->SetCursorPos(x, y);
}
bool CursorVisible() { return running && running->cursorVisible; }
bool CursorClipped(Rect& rect) {
  if (!running || !running->clipped) return false;
  rect = running->clipRect;
  return true;
}
bool ImeEnabled() { return running && running->ime; }

void MoveWindow(int x, int y) {
  if (!running || !running->sink) return;
  running->clientX = x;
  running->clientY = y;
  running->sink->Post(WM_MOVE, 0, PackPoint(x, y));
}

void SetActive(bool active) {
  if (!running || !running->sink || running->active == active) return;
  running->active = active;
  running->sink->Send(WM_ACTIVATEAPP, active ? 1 : 0, 0);
}

void PressCloseBox() {
  if (running && running->sink) running->sink->Post(WM_CLOSE, 0, 0);
}

bool WindowVisible() { return running && running->visible; }
bool WindowExists() { return running && running->windowExists; }
bool WindowTopmost() { return running && running->topmost; }
uint32_t RaiseCount() { return running ? running->raiseCount : 0; }

void SetJoystick(int joystick, bool present, const JoyInfo& info) {
  if (!running || joystick < 0 || joystick > 1) return;
  running->joyPresent[joystick] = present;
  running->joy[joystick] = info;
}
uint32_t JoyConfigChangedCount() { return running ? running->joyConfigChanges : 0; }

std::string LastBoxCaption() { return running ? running->boxCaption : std::string(); }
std::string LastBoxText() { return running ? running->boxText : std::string(); }
uint32_t BoxCount() { return running ? running->boxCount : 0; }
uint32_t BeepCount() { return running ? running->beepCount : 0; }
void AnswerNextBox(Answer answer) {
  if (!running) return;
  running->haveNextAnswer = true;
  running->nextAnswer = answer;
}

}  // namespace headless
}  // namespace plat
