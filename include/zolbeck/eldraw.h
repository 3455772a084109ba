// elDraw: the screen, the sprite table, drawing, text and effects of the
// zolbeck library. Plain functions over one process-wide screen state.
#pragma once
#include <cstdint>

#include <zolbeck/types.h>

namespace elDraw {

// ---------------------------------------------------------------------------
// Screen state

struct ClipRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

struct PixelFormatInfo {
  uint32_t mask[3] = {};      // red, green, blue
  uint32_t maxValue[3] = {};  // mask shifted down to bit 0
  uint16_t shift[3] = {};     // zero bits below the mask
  uint16_t place5[3] = {};    // shift that puts a 5-bit value at the top of the channel
  uint32_t halfMask = 0;
  uint32_t halfMaskPair = 0;
  uint32_t fullMask = 0;
};

struct ScreenState {
  bool directDraw = false;  // the display object exists
  plat::Surface* frontScreen = nullptr;
  plat::Surface* backScreen = nullptr;
  bool clipper = false;
  int width = 0, height = 0;
  int depth = 16;
  int fallbackDepth1 = 0, fallbackDepth2 = 0;
  int hardware3D = 0;
  int canStretch = 0;
  int errorFlag = 0;
  int vsync = 1;
  ClipRect clipRect;
  plat::Rect presentSource;
  PixelFormatInfo format;
};
extern ScreenState screen;


int Screen(int width, int height, int memoryMode);
void SetClip(int left, int top, int right, int bottom);
void SetDepth(int depth, int fallback1, int fallback2);
void SetVSync(int flag);
int Error(const char* caption, const char* message, int result = 0);
int IsError();
int QuitOnError();
void Release();
int CheckWindowDepth(const char* settingsFile);
// Brings the system's own drawing surface to the front (matters only in full
// screen); does nothing before the screen is set up.
void FlipToGDISurface();

// ---------------------------------------------------------------------------
// Sprite table

constexpr int kSpriteCount = 512;
constexpr int kFirstLoadableSprite = 4;
constexpr int kSpriteNameSize = 32;
constexpr int kMaxSpriteName = 30;  // longer names are refused

struct SpriteSlot {
  plat::Surface* surface = nullptr;
  char name[kSpriteNameSize] = {};  // empty = free; "*" = created empty
  int32_t packFlag = 0;
  int32_t memoryKind = 2;
  int32_t keySetting = 0;  // -1 = top-left pixel, otherwise a colour 0x00BBGGRR
  uint16_t width = 0, height = 0;
};
extern SpriteSlot SpriteTable[kSpriteCount];

struct ColorKeySetting {
  int32_t keyColour = 0;
  int32_t fromTopLeft = 0;
};
extern ColorKeySetting colorKeySetting;

int LoadObject(const char* name, int memoryKind);
int CreateObject(int width, int height, int memoryKind);
int SwapObject(const char* name, int slot, int memoryKind);
void ReleaseObject(int slot);
void SetColorKey(uint32_t colour);
void UseTopLeftColorKey();
int SetObjectColorKey(int slot, uint32_t colour);
int SetObjectTopLeftColorKey(int slot);
int CopyColorKey(int destSlot, int sourceSlot);

// ---------------------------------------------------------------------------
// Drawing

void Draw(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawToObject(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawToObjectOpaque(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawStretch(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width, int height);
void DrawStretchOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width,
                       int height);
int DrawMirror(int x, int y, int mode, int sprite, int sx1, int sy1, int sx2, int sy2);
void GrabScreen(int dest, int sx1, int sy1, int sx2, int sy2);

// Row effects.
void DrawWave(int x, int y, int amplitude, int period, float speed, int sprite, int sx1, int sy1,
              int sx2, int sy2, int alternate);
void DrawTiled(int sprite, int sx1, int sy1, int sx2, int sy2, float speedX, float speedY);
void DrawWaveRoll(int x, int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                  int sx1, int sy1, int sx2, int sy2);
void DrawTiledWaveRoll(int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                       int sx1, int sy1, int sx2, int sy2);
void DrawRowRepeat(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawRowSkip(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawJitter(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);

// Fills.
void Clear();
void ClearObject(int sprite);
void FillBlack(int left, int top, int right, int bottom);
void FrameBlack(int left, int top, int right, int bottom);
void FillScreenWhite();
void FillWhite(int left, int top, int right, int bottom);
void FillColor(int left, int top, int right, int bottom, uint32_t value);
int BlendRect(int left, int top, int right, int bottom, uint32_t value);

// Present, fade, scroll view, recovery.
int Present();
void Restore();
int LoadFadePattern(const char* name);
void FadeOut();
void FadeIn();
void LoadScrollView(const char* picture, const char* tile, int pictureHeight);
void ToggleScrollView();

extern int fadeLevel;      // 0 = no fade, otherwise 1..10
extern int fadeDirection;  // +1, -1 or 0
extern int fadePattern;
extern int scrollViewShown;



// Clip-rectangle wipes: the view opens from nothing to the clip rectangle,
// or closes to nothing, in one of nine shapes (0 picks one at random):
// 1 to 4 from the bottom, top, right or left edge; 5 and 6 from the
// horizontal or vertical middle line; 7 from the centre; 8 a vertical band
// `band` pixels wide that first grows to the full height, then widens; 9 the
// same turned a quarter. Speed in pixels per second.
extern int wipeState;  // 0 idle, 1 opening, 2 closing, -1 hidden
extern ClipRect wipeSaved;
// 1, or 0 while a wipe runs (or for a shape outside 0 to 9).
int ClipWipeStart(int closing, int shape, float speed, int band);
// One frame of the running wipe; 0 when none runs.
int ClipWipeStep();
// Empties the clip rectangle until the next start restores it.
void ClipWipeHide();

// Screen capture: the top-left width x height pixels of the back screen as a
// 24-bit BMP file in the program folder.
int SaveBmp(const char* name, int width, int height);

// ---------------------------------------------------------------------------
// Primitives on the back screen. Colours are 0x00BBGGRR; each call answers
// 1, or 0 when the back screen cannot be drawn on. They are cut to the back
// screen, not to the clip rectangle.

using Point = plat::Point;

// The colour of a pixel, one byte per channel (a 5-bit 31 reads as 248).
void GetPixel(int x, int y, int* red, int* green, int* blue);
int SetPixel(int x, int y, uint32_t colour);
// From (x1, y1) to (x2, y2); a pen of width 1 leaves out the last point,
// wider pens are centred on the line with round ends.
int Line(int x1, int y1, int x2, int y2, uint32_t colour, int width);
// Fills the pixels from left to right - 1 and top to bottom - 1, then draws
// the pen along their outermost ring.
int Rectangle(int left, int top, int right, int bottom, uint32_t fillColour, uint32_t penColour,
              int width);
// Hatch mode 0: outline only; 2: the diagonal-cross hatch on a transparent
// background; any other: the hatch on the background colour. The inside is
// filled in alternate mode; the outline is closed.
int Polygon(const Point* points, int count, uint32_t colour, uint32_t background, int width,
            int hatchMode);
// Cubic curves through 1 + 3n points.
int Bezier(const Point* points, int count, uint32_t colour, int width);
// Inverts the colours of a rectangle of the back screen.
int InvertArea(int left, int top, int right, int bottom);

// ---------------------------------------------------------------------------
// Sprite packs: pictures kept in one file made by Convert.

// The pack file, relative to the program folder.
void SetPackFile(const char* name);
// A picture of the pack (its file name, any case) in a new slot; 0 after an
// error box.
int LoadPack(const char* name, int memoryKind);
// The same into an existing slot; the slot number, or 0 after an error box.
int SwapPack(const char* name, int slot, int memoryKind);
// Appends every BMP file of `folder` (empty = the program folder) to the
// pack, after deleting the pack first when `replace` is non-zero. Needs a
// desktop of more than 16 bits.
int Convert(const char* pack, const char* folder, int replace);


// ---------------------------------------------------------------------------
// Software effects: blends, colours, geometry and screen filters
//
// Each locks the sprite and then the back screen (or the back screen alone)
// and returns 1 when it drew or nothing was visible, 0 when a surface cannot
// be locked or does not hold 16-bit pixels. Source value 0 is transparent.
// Source rectangles are left, top, right, bottom, right and bottom exclusive.

// Blend and colour effects at (x, y), cut to the clip rectangle.
int DrawHalf(int x, int y, int sprite, int left, int top, int right, int bottom);
int DrawAlpha(int x, int y, float a, int sprite, int left, int top, int right, int bottom);
int DrawAlphaRgb(int x, int y, float ar, float ag, float ab, int sprite, int left, int top,
                 int right, int bottom);
int DrawAlphaGradient(int x, int y, float ar, float ag, float ab, int byRows, uint16_t start,
                      int step, int sprite, int left, int top, int right, int bottom);
int DrawScale(int x, int y, float f, int sprite, int left, int top, int right, int bottom);
int DrawScaleRgb(int x, int y, float fr, float fg, float fb, int sprite, int left, int top,
                 int right, int bottom);
int DrawCrossFade(int x, int y, int q, int sprite, int left, int top, int right, int bottom);
int DrawCrossFadeRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                     int bottom);
int DrawCrossFadeGradient(int x, int y, int cr, int cg, int cb, int byRows, uint16_t start,
                          int step, int sprite, int left, int top, int right, int bottom);
int DrawAdd(int x, int y, int sprite, int left, int top, int right, int bottom);
int DrawAddLevel(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom);
int DrawSubtract(int x, int y, int sprite, int left, int top, int right, int bottom);
int DrawDarken(int x, int y, int q, int sprite, int left, int top, int right, int bottom);
int DrawDarkenRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                  int bottom);
int DrawChannels(int x, int y, int keepRed, int keepGreen, int keepBlue, int sprite, int left,
                 int top, int right, int bottom);
int DrawGrey(int x, int y, int sprite, int left, int top, int right, int bottom);
int DrawBlur(int x, int y, int k, int sprite, int left, int top, int right, int bottom);
int DrawSmoothEdge(int x, int y, int sprite, int left, int top, int right, int bottom);

// Rotated, zoomed and tiled sprites in a destination rectangle (left, top,
// right, bottom); angles in degrees, any value (wrapped into 0 to 359).
int DrawRotate(int left, int top, int right, int bottom, int angle, int sprite, int sx1, int sy1,
               int sx2, int sy2);
int DrawRotateTiled(int left, int top, int right, int bottom, int angle, int sprite, int sx1,
                    int sy1, int sx2, int sy2);
int DrawRotateZoom(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                   int sx1, int sy1, int sx2, int sy2);
int DrawRotateZoomTiled(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                        int sx1, int sy1, int sx2, int sy2);
int DrawFloor(int left, int top, int right, int bottom, int angle, float zoomX, float zoomXStep,
              float zoomY, float zoomYStep, float redFactor, float greenFactor, float blueFactor,
              int sprite, int sx1, int sy1, int sx2, int sy2);

// Moving sprites.
void DrawRowWave(int x, int y, int direction, float speed, int sprite, int left, int top, int right,
                 int bottom);
int DrawDisplace(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom);
int DrawExtend(int x, int y, int mode, uint16_t k, int sprite, int left, int top, int right,
               int bottom);
int DrawGlow(int x, int y, int redShift, int greenShift, int blueShift, int directions, int copy,
             int sprite, int left, int top, int right, int bottom);
// A lens (scale) or flag (tilt) distortion: the sprite in cells of step x
// step pixels, each moved by its squared distance to the centre.
int DrawLens(int x, int y, int step, float scale, float tilt, int sprite, int left, int top,
             int right, int bottom);
// The tunnel pair: MakeTunnel fills `table` (2 x width x height entries,
// u then v per pixel) for a texture of `textureSize` pixels; DrawTunnel draws
// a square sprite through it at (x, y), scrolled by (scrollU, scrollV).
// Distance measures: 0 Euclidean, 1 larger of |dx| and |dy|, 2 smaller,
// 3 their mean, 4 |dx|, 5 |dy|.
int MakeTunnel(uint16_t* table, int width, int height, int centreX, int centreY, int textureSize,
               float depth, int measure);
int DrawTunnel(const uint16_t* table, int x, int y, int width, int height, int sprite, int scrollU,
               int scrollV);

// Filters of a back-screen rectangle.
int ScreenFlame(int x, int y, int width, int height);
int ScreenFlameFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height);
int ScreenSoften(int x, int y, int width, int height);
int ScreenSoftenFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width,
                     int height);
int ScreenNoise(int shift, int x, int y, int width, int height);
int ScreenNoiseRgb(int red, int green, int blue, int shift, int x, int y, int width, int height);
int ScreenMosaicCircle(int centreX, int centreY, int radius, int blockSize);
int ScreenZoom2(int x, int y, int width, int height, int sparse);
int ScreenZoom4(int x, int y, int width, int height, int sparse);


}  // namespace elDraw

#include <zolbeck/eltext.h>
