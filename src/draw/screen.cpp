// The screen state, the library's error box and the screen set-up. The
// surfaces themselves come with the drawing core; until then the set-up
// records the screen size and starts the other library services in order.
#include <cstdio>

#include "draw/eldraw.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/elsystem.h"
#include "sound/elsound.h"

namespace elDraw {

ScreenState screen;
int fadeLevel = 0;
int fadeDirection = 0;
int scrollViewShown = 0;
int wipeState = 0;
ClipRect wipeSaved;

void SetClip(int left, int top, int right, int bottom) {
  screen.clipRect = ClipRect{left, top, right, bottom};
}

void SetVSync(int flag) { screen.vsync = flag; }

int Error(const char* caption, const char* message, int) {
  char text[260];
  std::snprintf(text, sizeof text, "%s : %s", caption, message);
  if (screen.directDraw) FlipToGDISurface();
  plat::MessageBeep(-1);
  plat::MessageBox(text, "エラー発生", plat::Buttons::Ok, plat::Icon::Warning);
  screen.errorFlag = 1;
  return 0;
}

int IsError() { return screen.errorFlag; }

int QuitOnError() {
  if (screen.errorFlag) QuitProgram();
  return screen.errorFlag;
}

void FlipToGDISurface() {}

int Screen(int width, int height, int) {
  screen.directDraw = false;
  screen.errorFlag = 0;
  if (width == -1) {
    width = elSystem::clientWidth;
    height = elSystem::clientHeight;
  }
  screen.width = width;
  screen.height = height;
  SetClip(0, 0, width, height);
  if (!elSystem::fullScreen) screen.depth = elSystem::GetScreenBitsPerPixel();
  elSystem::clientRect = plat::Rect{elSystem::clientLeft, elSystem::clientTop,
                                    elSystem::clientLeft + width, elSystem::clientTop + height};

  elSound::InitSound();
  elSound::ClearSoundTable();
  elSound::ResetMidi();
  elSystem::ResetWaits();
  ListFonts();
  elSystem::JoyInit();
  if (elSystem::clipCursorMode) elSystem::ClipCursorToClient();
  return 1;
}

void Release() { screen.directDraw = false; }

int Present() {
  // One step of a running fade per present.
  if (fadeLevel != 0) {
    fadeLevel += fadeDirection;
    if ((fadeDirection == -1 && fadeLevel < 1) || (fadeDirection == 1 && fadeLevel > 10)) {
      fadeLevel = 0;
      fadeDirection = 0;
    }
  }
  return 1;
}

}  // namespace elDraw
