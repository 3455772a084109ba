// Keyboard and mouse input: the per-frame key edge states, the key and mouse
// state the window procedure records, and the press-and-release check.
#include "input/input.h"

#include "draw/eldraw.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

namespace elSystem {

int lastKeyDown = 0;
int keyPressLatch = 0;
int scrollViewKey = 0;
int altKeyMode = 0;
int inputSuspended = 0;
int suspendedKey = 0, suspendedClick = 0;
int watchedKey = 0, watchedKeyCount = 0;
int mouseX = 0, mouseY = 0;
int leftHeld = 0, rightHeld = 0;
int leftClicked = 0, rightClicked = 0;
int leftDoubleClicked = 0, rightDoubleClicked = 0;
int lastButton = 0;
int lastButtonLatch = 0;

namespace {

// CheckPressRelease: 0 waits until nothing is held, 1 waits for a listed
// code to be pressed, 2 waits for the matched code to be released.
int pressPhase = 0;
int pressMatched = 0;

bool IsButtonCode(int code) { return code == 1 || code == 2; }

}  // namespace

void ResetInputState() {
  lastKeyDown = 0;
  keyPressLatch = 0;
  scrollViewKey = 0;
  altKeyMode = 0;
  inputSuspended = 0;
  suspendedKey = 0;
  suspendedClick = 0;
  watchedKey = 0;
  watchedKeyCount = 0;
  mouseX = 0;
  mouseY = 0;
  leftHeld = 0;
  rightHeld = 0;
  leftClicked = 0;
  rightClicked = 0;
  leftDoubleClicked = 0;
  rightDoubleClicked = 0;
  lastButton = 0;
  lastButtonLatch = 0;
  pressPhase = 0;
  pressMatched = 0;
}

// Shared with the joystick button edges, which advance the same way.
void AdvanceEdge(bool down, int& state) {
  if (down) {
    state = state == 0 ? 1 : 3;
  } else {
    state = (state == 1 || state == 3) ? 2 : 0;
  }
  // Nothing counts as pressed while the picture fades, while the scroll view
  // takes the arrow keys, or while input is suspended; a key still held when
  // that ends reads as a fresh press.
  if (elDraw::fadeLevel != 0 || elDraw::scrollViewShown || inputSuspended == 1) state = 0;
}

void KeyEdge(int virtualKey, int& state) {
  bool down = (plat::GetKeyState(virtualKey) & 0x80) != 0;
  AdvanceEdge(down, state);
}

int IsKeyDown(int virtualKey) { return (plat::GetKeyState(virtualKey) & 0x80) != 0 ? 1 : 0; }

int CheckPressRelease(const int* codes) {
  // Seeing nothing held ends the call; a press seen in phase 1 goes on to
  // the release test in the same call.
  if (pressPhase == 0) {
    if (lastKeyDown == 0 && lastButton == 0) pressPhase = 1;
    return 0;
  }
  if (pressPhase == 1) {
    for (const int* code = codes; *code != 0; ++code) {
      if (*code == keyPressLatch || *code == lastButtonLatch) {
        pressMatched = *code;
        pressPhase = 2;
        break;
      }
    }
  }
  if (pressPhase == 2) {
    bool button = IsButtonCode(pressMatched);
    if ((!button && keyPressLatch != pressMatched) ||
        (button && lastButtonLatch != pressMatched)) {
      pressPhase = 0;
    }
    if ((!button && lastKeyDown == 0) || (button && lastButton == 0)) {
      pressPhase = 0;
      keyPressLatch = 0;
      lastButtonLatch = 0;
      return pressMatched;
    }
  }
  return 0;
}

void SuspendInput() { inputSuspended = 1; }

void ResumeInput() {
  inputSuspended = 0;
  lastKeyDown = 0;
}

void SetWatchedKey(int virtualKey) {
  watchedKey = virtualKey;
  watchedKeyCount = 0;
}

int GetWatchedKeyCount() { return watchedKeyCount; }

void SetAltKeyMode(int mode) { altKeyMode = mode; }

void OnInputKeyDown(int virtualKey) {
  if (inputSuspended) {
    suspendedKey = virtualKey;
  } else {
    OnKeyDown(virtualKey);
  }
}

void OnInputKeyUp(int virtualKey) {
  if (lastKeyDown == virtualKey) lastKeyDown = 0;
  if (scrollViewKey == virtualKey) scrollViewKey = 0;
  if (suspendedKey == virtualKey) suspendedKey = 0;
  if (virtualKey == watchedKey) ++watchedKeyCount;
}

void OnMouseMove(intptr_t lparam) {
  uint32_t packed = static_cast<uint32_t>(lparam);
  mouseX = static_cast<int>(packed & 0xFFFF);
  mouseY = static_cast<int>((packed >> 16) & 0xFFFF);
}

void OnLeftButtonDown() {
  if (inputSuspended) {
    suspendedClick = 1;
  } else {
    leftHeld = 1;
    leftClicked = 1;
    lastButton = 1;
    lastButtonLatch = 1;
  }
}

void OnLeftButtonUp() {
  leftHeld = 0;
  if (lastButton == 1) lastButton = 0;
  suspendedClick = 0;
}

void OnLeftDoubleClick() {
  if (!inputSuspended) leftDoubleClicked = 1;
}

void OnRightButtonDown() {
  if (!inputSuspended) {
    rightHeld = 1;
    rightClicked = 1;
    lastButton = 2;
    lastButtonLatch = 2;
  }
}

void OnRightButtonUp() {
  rightHeld = 0;
  if (lastButton == 2) lastButton = 0;
}

void OnRightDoubleClick() {
  if (!inputSuspended) rightDoubleClicked = 1;
  // The confinement toggle is a window matter, not input, so suspension
  // does not hold it back.
  if (clipCursorMode) {
    if (cursorClipped) {
      ReleaseCursorClip();
    } else {
      ClipCursorToClient();
    }
  }
}

void ClearMouseFlags() {
  leftClicked = 0;
  rightClicked = 0;
  leftDoubleClicked = 0;
  rightDoubleClicked = 0;
}

}  // namespace elSystem

void OnKeyDown(int virtualKey) {
  using namespace elSystem;
  if (elDraw::scrollViewShown) {
    scrollViewKey = virtualKey;
  } else {
    lastKeyDown = virtualKey;
    keyPressLatch = virtualKey;
  }
  if (virtualKey == 27) QuitProgram();
}
