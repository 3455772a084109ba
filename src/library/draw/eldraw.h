// elDraw inside the library: its lookup tables and the state its effects
// keep between calls, beside what programs see (<zolbeck/eldraw.h>).
#pragma once
#include <cstdint>

#include <zolbeck/eldraw.h>

#include "draw/text.h"
#include "platform/image/surface.h"

namespace elDraw {

// Lookup tables built by Screen.
constexpr int kSineTableSize = 450;
extern int32_t SineTable[kSineTableSize];
struct Rgb5 {
  uint8_t red, green, blue;
};
extern Rgb5 PixelToRgb5Table[65536];
extern uint16_t CrossFadeTable[3][32][32][32];
extern uint16_t FadeAddTable[3][32][32][32];
extern uint16_t SubtractTable[3][32][32];
extern uint16_t GreyTable[94];
extern uint8_t DitherNoiseTable[10000];

// The error box of Error, naming also what the operation failed on (a file,
// a pack entry, a size; null names nothing) in the line it writes on
// standard error. Answers 0.
int ErrorAbout(const char* caption, const char* name, const char* message, int code = 0);

// Empties a slot's bookkeeping (no surface, no name).
void ResetSlot(SpriteSlot& slot);
// Applies a key value (-1 = top-left pixel, else a colour) to a surface and
// returns the result of setting it.
int ApplyColorKey(plat::Surface& surface, int32_t keyValue);

// The scroll view: a picture scrolled with the arrow keys over a drifting
// tiled background, drawn by Present while shown.
struct ScrollViewState {
  int picture = 0, tile = 0;  // sprite slots, 0 = not loaded
  int pictureHeight = 0;      // 0 = nothing loaded
  float scroll = 0.0f;        // pixels from the picture's top
  float tileX = 0.0f, tileY = 0.0f;
};
extern ScrollViewState scrollView;
// Forgets the scroll view's sprite slots (screen set-up empties the table).
void ResetScrollViewSprites();

// What the row effects keep between calls.
struct RowEffectState {
  float wavePhase = 0.0f;
  int waveSign = 1;
  float rollPhase = 0.0f, roll = 0.0f;            // DrawWaveRoll
  float tiledRollPhase = 0.0f, tiledRoll = 0.0f;  // DrawTiledWaveRoll
  float tileOffsetX = 0.0f, tileOffsetY = 0.0f;   // DrawTiled
};
extern RowEffectState rowEffects;

// The same bytes to a file path of this system (not in Windows form), for the
// --screenshot option; 0 also when the file cannot be written.
int SaveBmpToPath(const char* path, int width, int height);

// What the moving effects and the filters keep between calls.
struct EffectState {
  float rowWavePhase = 0.0f;
  int flamePosition = 0, flameRun = 0;          // ScreenFlame
  int flameFadePosition = 0, flameFadeRun = 0;  // ScreenFlameFade
  int noisePosition = 0;                        // ScreenNoise
  int noiseRgbPosition = 0;                     // ScreenNoiseRgb
  int glowPosition = 0;                         // DrawGlow
};
extern EffectState effectState;

}  // namespace elDraw
