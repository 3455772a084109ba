// elDraw: the screen, the sprite table, drawing, text and effects of the game
// library. The screen state lives here; the drawing itself grows around it.
#pragma once
#include <cstdint>

namespace elDraw {

struct ClipRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

struct ScreenState {
  bool directDraw = false;  // the display object exists
  int width = 0, height = 0;
  int depth = 16;
  int fallbackDepth1 = 0, fallbackDepth2 = 0;
  int hardware3D = 0;
  int canStretch = 0;
  int errorFlag = 0;
  int vsync = 1;
  ClipRect clipRect;
};
extern ScreenState screen;

// Fade and scroll view of the present.
extern int fadeLevel;      // 0 = no fade, otherwise 1..10
extern int fadeDirection;  // +1, -1 or 0
extern int scrollViewShown;

// Clip wipe.
extern int wipeState;  // 0 idle, 1 opening, 2 closing, -1 hidden
extern ClipRect wipeSaved;

int Screen(int width, int height, int memoryMode);
void Release();
void SetVSync(int flag);
void SetClip(int left, int top, int right, int bottom);
int Error(const char* caption, const char* message, int result = 0);
int IsError();
int QuitOnError();
int Present();
// Brings the system's own drawing surface to the front (matters only in full
// screen); does nothing before the screen is set up.
void FlipToGDISurface();

}  // namespace elDraw

namespace elDraw {
// Lists the installed fonts (screen set-up) and frees the font description
// (quit).
void ListFonts();
void FreeFontDescription();
}  // namespace elDraw
