// The program's entry, its one window, the message loop with its frame pass,
// the window procedure and the orderly quit.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/core/messages.h"
#include "shell/demo.h"
#include "shell/elsystem.h"
#include "shell/padkeys.h"
#include "shell/runcontrol.h"
#include "shell/screenshot.h"
#include "sound/elsound.h"

namespace elSystem {

plat::Window mainWindow = 0;
uintptr_t appInstance = 0;
int windowFlags = 0;
int fullScreen = 1;
int clientWidth = 0, clientHeight = 0;
int clipCursorMode = 0;
int cursorClipped = 0;
int appActive = 0;
int cursorShown = 1;
int messageBoxOpen = 0;
int quitState = 0;
int scene = 0, previousScene = 0, nextScene = 0;
int clientLeft = 0, clientTop = 0;
plat::Rect clientRect;
int blinkOn = 1;
uint32_t blinkDeadline = 0;
char commandLine[kCommandLineSize];
// Until a program names its own (RunProgram does), the library's name.
const char* programName = "zolbeck";
const char* programTitle = "zolbeck";
const char* programClass = "DEFAULT";
const char* programLock = nullptr;

}  // namespace elSystem

void (*programLoad)() = nullptr;
void (*programFrame)() = nullptr;

using namespace elSystem;

namespace {

bool quitDone = false;  // QuitProgram runs its body once

void ShowShellCursor(bool show) {
  if (show && cursorShown == 0) {
    plat::ShowCursor(true);
    cursorShown = 1;
  } else if (!show && cursorShown == 1) {
    plat::ShowCursor(false);
    cursorShown = 0;
  }
}

}  // namespace

void elSystem::SeedRandom() {
  std::srand(shell::run.haveSeed ? shell::run.seed : static_cast<unsigned>(std::time(nullptr)));
}

void InitSystem() {
  mainWindow = 0;
  windowFlags = 0;
  fullScreen = 1;
  clientWidth = clientHeight = 0;
  clipCursorMode = 0;
  cursorClipped = 0;
  appActive = 0;
  cursorShown = 1;
  messageBoxOpen = 0;
  quitState = 0;
  scene = previousScene = nextScene = 0;
  clientLeft = clientTop = 0;
  clientRect = plat::Rect{};
  blinkOn = 1;
  commandLine[0] = '\0';
  quitDone = false;
  dt = 0.0f;
  lastFrameTick = shell::GameClock();
  blinkDeadline = shell::GameClock() + 1000;
  ResetInputState();
}

void LoadGame() {
  elDraw::Screen(800, 600, 1);
  if (programLoad) programLoad();
  SetFrameRate(75);
  scene = 1;
  previousScene = 0;
}

int WinMain(uintptr_t instance, uintptr_t, const char* cmdLine, plat::Show show) {
  InitSystem();
  if (!CheckSingleInstance(programLock ? programLock : programTitle)) {
    // The first copy's window came to the front; a player who started this
    // one from a terminal is told why nothing new opened.
    std::fprintf(stderr, "%s: already running: the open window was brought to the front\n",
                 programName);
    // A replay that gives way has not differed from its demo.
    if (shell::demo::Replaying()) shell::demo::NoteStop();
    return 0;
  }
  // Only what fits is kept; a longer command line is cut.
  std::snprintf(commandLine, sizeof commandLine, "%s", cmdLine ? cmdLine : "");

  plat::WindowClass windowClass;
  windowClass.className = programClass;
  windowClass.menuName = programClass;
  windowClass.style = plat::kClassVRedraw | plat::kClassHRedraw | plat::kClassDoubleClicks;
  windowClass.proc = WindowProc;
  windowClass.iconName = "MAIN";
  plat::RegisterClass(windowClass);

  windowFlags = 3;
  fullScreen = 0;
  clipCursorMode = 0;
  clientWidth = 800;
  clientHeight = 600;

  plat::WindowCreate create;
  create.className = programClass;
  create.title = programTitle;
  int screenW = plat::GetSystemMetric(plat::Metric::ScreenWidth);
  int screenH = plat::GetSystemMetric(plat::Metric::ScreenHeight);
  if (fullScreen) {
    create.style = plat::WindowStyle::Popup;
    create.width = screenW;
    create.height = screenH;
  } else {
    create.style = plat::WindowStyle::Captioned;
    create.width = clientWidth + plat::GetSystemMetric(plat::Metric::BorderWidth) +
                   plat::GetSystemMetric(plat::Metric::EdgeWidth) +
                   plat::GetSystemMetric(plat::Metric::DialogFrameWidth);
    create.height = clientHeight + plat::GetSystemMetric(plat::Metric::CaptionHeight) +
                    plat::GetSystemMetric(plat::Metric::EdgeHeight) +
                    plat::GetSystemMetric(plat::Metric::BorderHeight) +
                    plat::GetSystemMetric(plat::Metric::DialogFrameHeight);
    create.x = (screenW - create.width) / 2;
    create.y = (screenH - create.height) / 2;
  }
  mainWindow = plat::CreateWindow(create);
  if (mainWindow == 0) return 0;
  // A --scale whose window does not fit the desktop has given way.
  if (plat::WindowScale() < shell::run.scale) {
    std::fprintf(stderr, "%s: --scale %d does not fit the %d x %d desktop: using %d\n", programName,
                 shell::run.scale, screenW, screenH, plat::WindowScale());
  }

  plat::ShowWindow(mainWindow, (windowFlags & 4) ? plat::Show::Hide : show);
  plat::UpdateWindow(mainWindow);
  if (!fullScreen && !(windowFlags & 1)) plat::SetTopmost(mainWindow, true);
  appInstance = instance;

  SeedRandom();
  EnableIme(0);
  LoadGame();
  ResetFrameClock();

  if (shell::run.frameLimit == 0) QuitProgram();
  for (;;) {
    plat::Message message;
    if (plat::PeekMessage(message)) {
      if (message.kind == WM_QUIT) return 0;
      plat::TranslateMessage(message);
      plat::DispatchMessage(message);
      continue;
    }
    if (!appActive && !(windowFlags & 2)) {
      plat::WaitMessage();
      continue;
    }
    // A signal (or a replay that no longer follows its demo) ends the run as
    // Escape does: the loop goes on until the window is gone.
    if (shell::TakeStopRequest()) {
      shell::demo::NoteStop();
      QuitProgram();
      continue;
    }
    // Scripted keys, a demo's messages and pad presses are handled before
    // the pass they belong to.
    if (shell::PostScriptedKeys() || shell::demo::PostDue() || shell::PostPadKeys()) continue;
    FramePass();
  }
}

void FramePass() {
  MeasureFrameTime();
  bool ranFrame = false;
  if (elDraw::fadeDirection == 1) {
    elDraw::Present();
    if (elDraw::fadeDirection == 0) scene = nextScene;
  } else if (scene == 1) {
    if (programFrame) programFrame();
    WaitFrame();
    ranFrame = true;
  }

  if (scene != previousScene && elDraw::wipeState > 0) {
    elDraw::screen.clipRect = elDraw::wipeSaved;
    elDraw::wipeState = 0;
  }
  previousScene = scene;

  uint32_t now = shell::GameClock();
  if (now >= blinkDeadline) {
    blinkOn = blinkOn ? 0 : 1;
    blinkDeadline = now + (blinkOn ? 1000 : 200);
  }

  ClearMouseFlags();

  if (fullScreen == 0 && messageBoxOpen == 0) {
    plat::Point p;
    plat::GetCursorPos(p);
    bool inside = clientLeft <= p.x && p.x < clientLeft + clientWidth && clientTop <= p.y &&
                  p.y < clientTop + clientHeight;
    ShowShellCursor(!inside);
  }

  shell::AfterFramePass(ranFrame);
}

intptr_t WindowProc(plat::Window window, uint32_t kind, uintptr_t wparam, intptr_t lparam) {
  switch (kind) {
    case WM_DESTROY:
      plat::PostQuitMessage(0);
      return 0;

    case WM_MOVE: {
      // Both halves are signed: a window dragged past the top-left corner of
      // the desktop has negative coordinates.
      clientLeft = static_cast<int16_t>(lparam & 0xFFFF);
      clientTop = static_cast<int16_t>((lparam >> 16) & 0xFFFF);
      clientRect = plat::Rect{clientLeft, clientTop, clientLeft + elDraw::screen.width,
                              clientTop + elDraw::screen.height};
      if (clipCursorMode) ClipCursorToClient();
      break;
    }

    case WM_CLOSE:
      if (quitState == 0) quitState = 1;
      if (quitState < 2) QuitProgram();
      plat::DestroyWindow(window);
      return 0;

    case WM_ACTIVATEAPP:
      if (wparam == 0) {
        appActive = 0;
        ShowShellCursor(true);
        if (clipCursorMode) ReleaseCursorClip();
      } else {
        appActive = 1;
        ResetFrameClock();
        if (clipCursorMode) ClipCursorToClient();
      }
      return 0;

    case WM_SETCURSOR:
      // In full screen the cursor is hidden while no message box is open.
      if (fullScreen == 1 && messageBoxOpen == 0) return 1;
      break;

    case WM_KEYDOWN:
      // F12 saves what the screen shows; the program still sees the key.
      if (wparam == static_cast<uintptr_t>(VK_F12) && !(lparam & KF_REPEAT_BIT)) {
        shell::SaveScreenshot();
      }
      OnInputKeyDown(static_cast<int>(wparam));
      break;

    case WM_KEYUP:
      OnInputKeyUp(static_cast<int>(wparam));
      break;

    case WM_SYSKEYDOWN:
      // Alt+Enter switches between the window and full screen, whatever the
      // Alt-key mode.
      if (wparam == static_cast<uintptr_t>(VK_RETURN) && (lparam & KF_ALTDOWN_BIT)) {
        if (!(lparam & KF_REPEAT_BIT)) plat::ToggleFullScreen();
        return 0;
      }
      // Mode 0 swallows every system key, so F10 and Alt+F4 do nothing.
      if (altKeyMode == 0) return 0;
      if (altKeyMode == 2 && wparam == static_cast<uintptr_t>(VK_MENU)) return 0;
      OnInputKeyDown(static_cast<int>(wparam));
      break;

    case WM_SYSCOMMAND:
      // The screen saver never starts while the game is active.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE) return 0;
      break;

    case WM_MOUSEMOVE:
      OnMouseMove(lparam);
      break;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown();
      break;
    case WM_LBUTTONUP:
      OnLeftButtonUp();
      break;
    case WM_LBUTTONDBLCLK:
      OnLeftDoubleClick();
      return 0;
    case WM_RBUTTONDOWN:
      OnRightButtonDown();
      break;
    case WM_RBUTTONUP:
      OnRightButtonUp();
      break;
    case WM_RBUTTONDBLCLK:
      OnRightDoubleClick();
      return 0;

    case MM_MCINOTIFY:
      if (wparam == MCI_NOTIFY_SUCCESSFUL && elSound::midiOpen) {
        char answer[32] = {};
        elSound::SendMci("status midi mode", answer, sizeof answer);
        if (answer[0] == 's' && answer[1] == 't') elSound::OnMidiNotify();
      }
      break;

    default:
      break;
  }
  return plat::DefWindowProc(window, kind, wparam, lparam);
}

int QuitProgram() {
  if (quitDone) return 1;
  quitDone = true;
  ReleaseCursorClip();
  elDraw::FreeFontDescription();
  elSound::ReleaseSound();
  elDraw::Release();
  ReleaseInstance();
  if (quitState == 0) plat::PostMessage(mainWindow, WM_CLOSE, 0, 0);
  quitState = 2;
  return 1;
}

int elSystem::QuitAfterError() {
  shell::run.failed = true;
  return QuitProgram();
}
