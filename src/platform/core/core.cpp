// The platform core: backend selection, the message queue, the key table,
// the window procedure and the cursor display count. Everything here is the
// same for every backend.
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/audio/audio.h"
#include "platform/backend.h"
#include "platform/core/hints.h"
#include "platform/core/messages.h"
#include "platform/audio/mixer.h"
#include "platform/audio/music.h"
#include "platform/core/system_mci.h"

namespace plat {
namespace {

std::unique_ptr<Backend> backend;

constexpr int kMaxClasses = 8;
struct ClassEntry {
  std::string name;
  WindowProc proc = nullptr;
  uint32_t style = 0;
  std::string icon;
};
ClassEntry classes[kMaxClasses];
int classCount = 0;

// The program has one window; its handle is always 1.
constexpr Window kMainWindow = 1;
bool windowAlive = false;
WindowProc windowProc = nullptr;

// Posted messages wait in a fixed ring. A full ring refuses new messages, as
// a full system queue does. The music's audio side posts its end-of-play
// notification from the audio thread, so the ring is only touched under its
// lock; the lock is held for a few stores, never across a call out.
constexpr int kQueueSize = 4096;
std::mutex ringLock;
Message ring[kQueueSize];
int ringHead = 0, ringCount = 0;
bool quitPosted = false;
int quitCode = 0;

uint8_t keyTable[256];
int cursorCount = 0;

// Applies a key or button message to the key table as it is taken off the
// queue, so that GetKeyState agrees with the messages handled so far.
void ApplyToKeyTable(const Message& m) {
  auto press = [](int vk) {
    vk &= 0xFF;
    if (!(keyTable[vk] & 0x80)) keyTable[vk] ^= 0x01;
    keyTable[vk] |= 0x80;
  };
  auto release = [](int vk) { keyTable[vk & 0xFF] &= static_cast<uint8_t>(~0x80); };
  switch (m.kind) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      press(static_cast<int>(m.wparam));
      EndHints();  // the player has found the keys
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP: release(static_cast<int>(m.wparam)); break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: press(VK_LBUTTON); break;
    case WM_LBUTTONUP: release(VK_LBUTTON); break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: press(VK_RBUTTON); break;
    case WM_RBUTTONUP: release(VK_RBUTTON); break;
    default: break;
  }
}

InputGate inputGate = nullptr;

class CoreSink final : public EventSink {
 public:
  void Post(uint32_t kind, uintptr_t wparam, intptr_t lparam) override {
    if (inputGate && !inputGate(kind, wparam, lparam, false)) return;
    PostMessage(kMainWindow, kind, wparam, lparam);
  }
  intptr_t Send(uint32_t kind, uintptr_t wparam, intptr_t lparam) override {
    if (inputGate && !inputGate(kind, wparam, lparam, true)) return 0;
    return SendMessage(kMainWindow, kind, wparam, lparam);
  }
} sink;

void GatherEvents() {
  if (!backend) return;
  if (TakeRaiseRequest()) backend->RaiseWindow();
  backend->Pump(sink);
}

void ResetCore() {
  for (auto& c : classes) c = ClassEntry{};
  classCount = 0;
  windowAlive = false;
  windowProc = nullptr;
  std::lock_guard<std::mutex> hold(ringLock);
  ringHead = ringCount = 0;
  quitPosted = false;
  quitCode = 0;
  std::memset(keyTable, 0, sizeof keyTable);
  cursorCount = 0;
}

// The backend of that name, or null. Each system has its own window
// backend; the headless one runs everywhere.
Backend* MakeBackend(const char* name) {
  if (std::strcmp(name, "headless") == 0) return MakeHeadlessBackend();
#ifdef _WIN32
  if (std::strcmp(name, "win32") == 0) return MakeWin32Backend();
#endif
#if ZOLBECK_HAVE_SDL
  if (std::strcmp(name, "sdl") == 0) return MakeSdlBackend();
#endif
  return nullptr;
}

}  // namespace

bool Start(const Options& options, std::string& error) {
  Stop();
  ResetCore();
  std::unique_ptr<Backend> chosen(MakeBackend(options.backend));
  if (!chosen) {
    error = std::string("unknown backend: ") + options.backend;
    return false;
  }
  if (!chosen->Open(options, error)) return false;
  backend = std::move(chosen);
  StartHints(options.hints);
  std::string reason;
  if (!OpenAudioDump(options.audioDump, reason)) {
    error = std::string(options.audioDump) + ": cannot be written: " + reason;
    Stop();
    return false;
  }
  return true;
}

void Stop() {
  EndMusic();
  if (!backend) return;
  if (windowAlive) backend->DestroyWindow();
  windowAlive = false;
  ResetAudio();
  CloseAudioDump();
  ClosePads();
  backend->Close();
  backend.reset();
  ReleaseInstanceLock();
  FreeSpareBuffers();
}

Backend* ActiveBackend() { return backend.get(); }

const char* BackendName() { return backend ? backend->Name() : ""; }

// --- Clock ------------------------------------------------------------------

uint32_t TimeGetTime() { return backend ? backend->Ticks() : 0; }
void Sleep(uint32_t ms) {
  if (backend) backend->Sleep(ms);
}
void SleepUntil(uint32_t tick) {
  if (backend) backend->SleepUntil(tick);
}
void TimeBeginPeriod(uint32_t ms) {
  if (backend) backend->BeginPeriod(ms);
}
void TimeEndPeriod(uint32_t ms) {
  if (backend) backend->EndPeriod(ms);
}

// --- Windows ----------------------------------------------------------------

bool RegisterClass(const WindowClass& windowClass) {
  if (!windowClass.proc || classCount == kMaxClasses) return false;
  for (int i = 0; i < classCount; ++i) {
    if (classes[i].name == windowClass.className) return false;  // already registered
  }
  classes[classCount].name = windowClass.className;
  classes[classCount].proc = windowClass.proc;
  classes[classCount].style = windowClass.style;
  classes[classCount].icon = windowClass.iconName ? windowClass.iconName : "";
  ++classCount;
  return true;
}

Window CreateWindow(const WindowCreate& create) {
  if (!backend || windowAlive) return 0;
  const ClassEntry* found = nullptr;
  for (int i = 0; i < classCount; ++i) {
    if (classes[i].name == create.className) found = &classes[i];
  }
  if (!found) return 0;

  // The client area is the outer rectangle less the frame this backend
  // reports (the same metrics the caller added); the window procedure sees
  // messages from the moment the window exists.
  bool popup = create.style == WindowStyle::Popup;
  int frameX = 0, frameY = 0, caption = 0;
  if (!popup) {
    frameX = backend->Metric(Metric::BorderWidth) + backend->Metric(Metric::EdgeWidth) +
             backend->Metric(Metric::DialogFrameWidth);
    caption = backend->Metric(Metric::CaptionHeight);
    frameY = caption + backend->Metric(Metric::BorderHeight) + backend->Metric(Metric::EdgeHeight) +
             backend->Metric(Metric::DialogFrameHeight);
  }
  windowProc = found->proc;
  windowAlive = true;
  backend->UseWindowClass(Cp932ToUtf8(found->name), found->style, found->icon);
  if (!backend->CreateWindow(Cp932ToUtf8(create.title), popup, create.x, create.y + caption,
                             create.width - frameX, create.height - frameY, sink)) {
    windowAlive = false;
    windowProc = nullptr;
    return 0;
  }
  return kMainWindow;
}

void ShowWindow(Window window, Show how) {
  if (backend && windowAlive && window == kMainWindow) backend->ShowWindow(how, sink);
}

void UpdateWindow(Window) {}

void ToggleFullScreen() {
  if (backend && windowAlive) backend->SetFullScreen(!backend->FullScreen(), sink);
}

bool IsFullScreen() { return backend && backend->FullScreen(); }
int WindowScale() { return backend ? backend->Scale() : 1; }

void SetTopmost(Window window, bool topmost) {
  if (backend && windowAlive && window == kMainWindow) backend->SetTopmost(topmost);
}

bool DestroyWindow(Window window) {
  if (!backend || !windowAlive || window != kMainWindow) return false;
  SendMessage(window, WM_DESTROY, 0, 0);
  backend->DestroyWindow();
  windowAlive = false;
  return true;
}

Window MainWindow() { return windowAlive ? kMainWindow : 0; }

int GetSystemMetric(Metric metric) { return backend ? backend->Metric(metric) : 0; }
// A 555 desktop reports 16 bits per pixel, as the system of old did for both
// two-byte formats; the surfaces still take the real format (DesktopFormat).
int GetDesktopBitsPerPixel() {
  int depth = backend ? backend->DesktopDepth() : 16;
  return depth == 15 ? 16 : depth;
}

// --- Messages ---------------------------------------------------------------

// Takes the oldest posted message off the ring, if there is one.
static bool TakePosted(Message& message) {
  std::lock_guard<std::mutex> hold(ringLock);
  if (ringCount == 0) return false;
  message = ring[ringHead];
  ringHead = (ringHead + 1) % kQueueSize;
  --ringCount;
  return true;
}

bool PeekMessage(Message& message) {
  GatherEvents();
  if (TakePosted(message)) {
    ApplyToKeyTable(message);
    return true;
  }
  if (quitPosted) {
    quitPosted = false;
    message = Message{};
    message.kind = WM_QUIT;
    message.wparam = static_cast<uintptr_t>(quitCode);
    message.time = TimeGetTime();
    return true;
  }
  return false;
}

void WaitMessage() {
  GatherEvents();
  {
    std::lock_guard<std::mutex> hold(ringLock);
    if (ringCount > 0) return;
  }
  if (quitPosted || !backend) return;
  backend->WaitEvent();
}

void TranslateMessage(const Message&) {}

intptr_t DispatchMessage(const Message& message) {
  if (message.window != kMainWindow || !windowAlive || !windowProc) return 0;
  return windowProc(message.window, message.kind, message.wparam, message.lparam);
}

intptr_t SendMessage(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  if (window != kMainWindow || !windowAlive || !windowProc) return 0;
  return windowProc(window, kind, wparam, lparam);
}

bool PostMessage(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  uint32_t time = TimeGetTime();
  std::lock_guard<std::mutex> hold(ringLock);
  // Mouse movement is a state, not a history: a new position replaces one
  // that is still waiting, so a moving mouse cannot flood the queue.
  if (kind == WM_MOUSEMOVE && ringCount > 0) {
    Message& last = ring[(ringHead + ringCount - 1) % kQueueSize];
    if (last.kind == WM_MOUSEMOVE && last.window == window) {
      last.wparam = wparam;
      last.lparam = lparam;
      return true;
    }
  }
  if (ringCount == kQueueSize) return false;
  Message& m = ring[(ringHead + ringCount) % kQueueSize];
  m.window = window;
  m.kind = kind;
  m.wparam = wparam;
  m.lparam = lparam;
  m.time = time;
  ++ringCount;
  return true;
}

void SetInputGate(InputGate gate) { inputGate = gate; }

void PostQuitMessage(int exitCode) {
  quitPosted = true;
  quitCode = exitCode;
}

intptr_t DefWindowProc(Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  switch (kind) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSKEYDOWN:
      if (wparam == static_cast<uintptr_t>(VK_F4) && (static_cast<uint32_t>(lparam) & KF_ALTDOWN_BIT)) {
        SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_CLOSE) SendMessage(window, WM_CLOSE, 0, 0);
      // The default lets the screen saver start; a window procedure that
      // answers 0 itself refuses it.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 1;
      return 0;
    default:
      return 0;
  }
}

int16_t GetKeyState(int virtualKey) {
  uint8_t k = keyTable[virtualKey & 0xFF];
  uint16_t result = (k & 0x80) ? 0xFF80 : 0;
  result |= k & 0x01;
  return static_cast<int16_t>(result);
}

// --- Cursor, input method, dialogs --------------------------------------------

bool GetCursorPos(Point& p) { return backend && backend->GetCursorPos(p); }
bool SetCursorPos(int x, int y) { return backend && backend->SetCursorPos(x, y); }

int ShowCursor(bool show) {
  cursorCount += show ? 1 : -1;
  if (backend) backend->SetCursorVisible(cursorCount >= 0);
  return cursorCount;
}

bool ClipCursor(const Rect* rect) { return backend && backend->ClipCursor(rect); }

void EnableIme(bool enable) {
  if (backend) backend->EnableTextInput(enable);
}

Answer MessageBox(const char* text, const char* caption, Buttons buttons, Icon icon) {
  Answer fallback = buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  if (!backend) return fallback;
  return backend->MessageBox(Cp932ToUtf8(text ? text : ""), Cp932ToUtf8(caption ? caption : ""),
                             buttons, icon);
}

void MessageBeep(int type) {
  if (!backend || backend->Beep(type)) return;
  // Our own chime stands for the system's beep. Heard when the sound
  // device is open; it does not wait for the sound.
  // The types are the message box icons: hand, question, exclamation and
  // asterisk; -1 is the plain beep.
  Chime chime = Chime::Default;
  switch (type) {
    case -1: chime = Chime::Beep; break;
    case 0x10: chime = Chime::Hand; break;
    case 0x20: chime = Chime::Question; break;
    case 0x30: chime = Chime::Exclamation; break;
    case 0x40: chime = Chime::Asterisk; break;
    default: break;
  }
  PlayChime(chime, false);
}

// --- The system's MCI ---------------------------------------------------------

bool SystemMciAvailable() { return backend && backend->HasSystemMci(); }

uint32_t SendSystemMci(const char* command, char* answer, unsigned answerSize, Window notify) {
  if (answer && answerSize > 0) answer[0] = '\0';
  if (!backend) return 0;
  return backend->SendSystemMci(command, answer, answerSize, windowAlive ? notify : 0);
}

// --- Joysticks ----------------------------------------------------------------

bool JoyGetPos(int joystick, JoyInfo& info) {
  return backend && joystick >= 0 && joystick <= 1 && backend->JoyGetPos(joystick, info);
}

void JoyConfigChanged() {
  if (backend) backend->JoyConfigChanged();
}

}  // namespace plat
