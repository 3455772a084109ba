// elDraw: the screen, the sprite table, drawing, text and effects of the
// zolbeck library. Plain functions over one process-wide screen state.
//
// Everything draws onto the back screen (or a sprite) and reaches the window
// at Present. Coordinates are back-screen pixels; rectangles are left, top,
// right, bottom with right and bottom exclusive. Sprites are slot numbers of
// the sprite table (0 means none: a failed load). Two kinds of colour:
//   - 0x00BBGGRR colours (red in the low byte): the text, the primitives, the
//     colour keys;
//   - screen pixels, in the back screen's own format (565 on a 16-bit
//     desktop; screen.format says where each channel is): FillColor,
//     BlendRect. 0 is black and transparent.
// A failure shows the error box (Error) and answers 0; see docs/LIBRARY.md.
#pragma once
#include <cstdint>

#include <zolbeck/types.h>

namespace elDraw {

// ---------------------------------------------------------------------------
// Screen state

struct ClipRect {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

// Where each channel of a screen pixel lies. A colour of 8-bit r, g, b
// becomes the screen pixel (r * maxValue[0] / 255) << shift[0] |
// (g * maxValue[1] / 255) << shift[1] | (b * maxValue[2] / 255) << shift[2].
struct PixelFormatInfo {
  uint32_t mask[3] = {};      // red, green, blue
  uint32_t maxValue[3] = {};  // mask shifted down to bit 0
  uint16_t shift[3] = {};     // zero bits below the mask
  uint16_t place5[3] = {};    // shift that puts a 5-bit value at the top of the channel
  uint32_t halfMask = 0;
  uint32_t halfMaskPair = 0;
  uint32_t fullMask = 0;
};

// The screen as Screen set it up. Programs read it (width, height, format,
// clipRect) and may set clipRect directly, as SetClip does.
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


// Opens the screen: a back screen of width x height (-1: the window's
// client size), the four internal sprites, the effects' tables, and starts
// sound, MIDI, the timers, the font list and the joysticks. The library
// calls it before programLoad; 1, or 0 after an error box.
int Screen(int width, int height, int memoryMode);
// The clip rectangle every sprite draw and effect is cut to.
void SetClip(int left, int top, int right, int bottom);
// The full-screen depth in bits and two to try after it (0: none); before
// Screen.
void SetDepth(int depth, int fallback1, int fallback2);
// 1: the present waits for the vertical blank.
void SetVSync(int flag);
// The library's error box: "caption : message", titled "エラー発生". Also
// writes "program: caption: message" on standard error, sets the error flag
// and answers 0. `result` (a system code) is not shown.
int Error(const char* caption, const char* message, int result = 0);
// The error flag: 1 once any error box has been shown since Screen.
int IsError();
// Quits when an error box has been shown (the run then exits with 1);
// answers the error flag.
int QuitOnError();
// Releases every sprite and surface; QuitProgram calls it.
void Release();
// The windowed depth check, before Screen: when the desktop has fewer bits
// than SetDepth asked for, warns, then offers full screen ("*": switch now;
// a file name: also write 1 into that settings file; "": no offer). 1 to go
// on (fullScreen may now be 1); 0 after quitting (the run exits with 1).
int CheckWindowDepth(const char* settingsFile);
// Brings the system's own drawing surface to the front (matters only in full
// screen); does nothing before the screen is set up.
void FlipToGDISurface();

// ---------------------------------------------------------------------------
// Sprite table

constexpr int kSpriteCount = 512;
constexpr int kFirstLoadableSprite = 4;  // 0 to 3 are the library's own
constexpr int kSpriteNameSize = 32;
constexpr int kMaxSpriteName = 30;  // longer names are refused

// One sprite: its picture and where it came from, so that a lost surface
// can be reloaded.
struct SpriteSlot {
  plat::Surface* surface = nullptr;
  char name[kSpriteNameSize] = {};  // empty = free; "*" = created empty
  int32_t packFlag = 0;
  int32_t memoryKind = 2;
  int32_t keySetting = 0;  // -1 = top-left pixel, otherwise a colour 0x00BBGGRR
  uint16_t width = 0, height = 0;
};
extern SpriteSlot SpriteTable[kSpriteCount];

// The transparent colour of sprites loaded or created from now on.
struct ColorKeySetting {
  int32_t keyColour = 0;    // 0x00BBGGRR, black at start
  int32_t fromTopLeft = 0;  // 1: each picture's top-left pixel instead
};
extern ColorKeySetting colorKeySetting;

// A BMP picture (a name relative to the program folder, Windows form, any
// letter case, at most 30 bytes) in the lowest free slot from 4; the slot,
// or 0 after an error box. The memory kind is kept for reloads (2 usual).
int LoadObject(const char* name, int memoryKind);
// An empty sprite of width x height pixels (content undefined until drawn);
// the slot, or 0 after an error box.
int CreateObject(int width, int height, int memoryKind);
// Loads another picture into an existing slot (its size follows the
// picture); 1, or 0 after an error box.
int SwapObject(const char* name, int slot, int memoryKind);
// Frees a slot for the next load.
void ReleaseObject(int slot);
// Transparent colour 0x00BBGGRR for sprites made from now on.
void SetColorKey(uint32_t colour);
// Each picture made from now on is transparent where it has the colour of
// its top-left pixel.
void UseTopLeftColorKey();
// Changes one sprite's transparent colour now (0x00BBGGRR).
int SetObjectColorKey(int slot, uint32_t colour);
// Makes one sprite's top-left colour its transparent one now.
int SetObjectTopLeftColorKey(int slot);
// Gives `destSlot` the transparent value of `sourceSlot`.
int CopyColorKey(int destSlot, int sourceSlot);

// ---------------------------------------------------------------------------
// Drawing
//
// (sx1, sy1, sx2, sy2) is the part of the sprite drawn, sx2 and sy2
// exclusive; it must lie inside the sprite. Draws are cut to the clip
// rectangle and drawn with the sprite's transparent colour left out.

// The sprite's part with its top-left corner at (x, y).
void Draw(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
// The same with every pixel, transparent colour too.
void DrawOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
// Draw onto the sprite `dest` instead of the back screen (still cut to the
// clip rectangle).
void DrawToObject(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
void DrawToObjectOpaque(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2);
// The part scaled to width x height pixels at (x, y); not cut to the clip
// rectangle.
void DrawStretch(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width, int height);
void DrawStretchOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width,
                       int height);
// Mirrored: mode 0 none, 1 left-right, 2 top-bottom, 3 both; pixel value 0
// is transparent. 1, or 0 when a surface cannot be locked.
int DrawMirror(int x, int y, int mode, int sprite, int sx1, int sy1, int sx2, int sy2);
// Copies the back screen's (sx1, sy1, sx2, sy2) into the sprite `dest` at
// (0, 0); not cut.
void GrabScreen(int dest, int sx1, int sy1, int sx2, int sy2);

// Row effects: drawn one row at a time with Draw; each keeps its phase
// between calls and moves it on by dt (call them once a frame).
// Rows shifted sideways by amplitude x cos(angle), the angle a degree more
// every `period` rows and `speed` degrees more each second; `alternate`
// shifts every other row the other way.
void DrawWave(int x, int y, int amplitude, int period, float speed, int sprite, int sx1, int sy1,
              int sx2, int sy2, int alternate);
// Tiles the whole back screen with the part, drifting speedX and speedY
// pixels a second.
void DrawTiled(int sprite, int sx1, int sy1, int sx2, int sy2, float speedX, float speedY);
// DrawWave whose rows also roll upward, rollSpeed rows a second.
void DrawWaveRoll(int x, int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                  int sx1, int sy1, int sx2, int sy2);
// DrawWaveRoll repeated across the screen's width, from row y.
void DrawTiledWaveRoll(int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                       int sx1, int sy1, int sx2, int sy2);
// Every n-th row drawn n times: blocky in height, not in width.
void DrawRowRepeat(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);
// Only every n-th row (n > 0), or rows at random gaps of 1 to -n (n < 0).
void DrawRowSkip(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);
// Each row shifted at random by -n to n - 1 pixels (n <= 0: a plain Draw).
void DrawJitter(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2);

// Fills, not cut to the clip rectangle.
// The whole back screen to black.
void Clear();
// A whole sprite to pixel value 0 (black).
void ClearObject(int sprite);
void FillBlack(int left, int top, int right, int bottom);
// A one-pixel black outline just inside the rectangle.
void FrameBlack(int left, int top, int right, int bottom);
void FillScreenWhite();
void FillWhite(int left, int top, int right, int bottom);
// Fills with a screen pixel `value` (its low 16 bits), not a 0x00BBGGRR
// colour: 0x001F is blue in 565, and 0x402010 is a dark blue, not a brown.
void FillColor(int left, int top, int right, int bottom, uint32_t value);
// Halves the rectangle (cut to the clip rectangle) toward the screen pixel
// `value`; 16-bit screens. 1, or 0 when the back screen cannot be locked.
int BlendRect(int left, int top, int right, int bottom, uint32_t value);

// Present, fade, scroll view, recovery.
// Shows the back screen in the window (with a running fade and the scroll
// view over it); once a frame, at its end.
int Present();
// Restores lost surfaces and reloads every sprite from its picture; the
// draws call it when they find their surfaces lost.
void Restore();
// A fade pattern: a BMP of ten 64 x 48 frames side by side, black
// transparent. The slot, or 0 after an error box.
int LoadFadePattern(const char* name);
// Starts the pattern's fade over the 640 x 480 top-left area, frame 1 to 10,
// one step a Present; the loop then runs only Present and goes on to
// nextScene when it ends.
void FadeOut();
// The fade backward, frame 10 to 1, while the scene runs.
void FadeIn();
// A picture `pictureHeight` pixels high to scroll with the arrow keys in the
// clip rectangle, over a drifting 64 x 48 tile; reloaded in place on later
// calls.
void LoadScrollView(const char* picture, const char* tile, int pictureHeight);
// Shows or hides the scroll view; while shown it takes the key presses.
void ToggleScrollView();

extern int fadeLevel;      // 0 = no fade, otherwise 1..10
extern int fadeDirection;  // +1, -1 or 0
extern int fadePattern;    // the pattern's sprite slot
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
// 24-bit BMP file in the program folder. 1 (also when the file cannot be
// written), or 0 when the back screen cannot be locked.
int SaveBmp(const char* name, int width, int height);

// ---------------------------------------------------------------------------
// Primitives on the back screen. Colours are 0x00BBGGRR; each call answers
// 1, or 0 when the back screen cannot be drawn on. They are cut to the back
// screen, not to the clip rectangle.

using Point = plat::Point;

// The colour of a pixel, one byte per channel (a 5-bit 31 reads as 248).
void GetPixel(int x, int y, int* red, int* green, int* blue);
// One pixel in the nearest colour the screen holds.
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

// Blend and colour effects at (x, y), cut to the clip rectangle. "Sprite"
// below is each of its pixels, "screen" the back-screen pixel under it.
// Half sprite, half screen.
int DrawHalf(int x, int y, int sprite, int left, int top, int right, int bottom);
// a x sprite + (1 - a) x screen, a from 0 to 1.
int DrawAlpha(int x, int y, float a, int sprite, int left, int top, int right, int bottom);
// DrawAlpha with an alpha per channel.
int DrawAlphaRgb(int x, int y, float ar, float ag, float ab, int sprite, int left, int top,
                 int right, int bottom);
// DrawAlphaRgb growing more opaque by 1/32 every `step` rows (byRows 1) or
// columns (0) after the first `start` ones.
int DrawAlphaGradient(int x, int y, float ar, float ag, float ab, int byRows, uint16_t start,
                      int step, int sprite, int left, int top, int right, int bottom);
// The sprite's channels times f (0 to 1; above 1 a channel overflows).
int DrawScale(int x, int y, float f, int sprite, int left, int top, int right, int bottom);
// DrawScale with a factor per channel.
int DrawScaleRgb(int x, int y, float fr, float fg, float fb, int sprite, int left, int top,
                 int right, int bottom);
// From the screen (q 0) to the sprite (q 31) in 5-bit steps.
int DrawCrossFade(int x, int y, int q, int sprite, int left, int top, int right, int bottom);
// DrawCrossFade with a level per channel.
int DrawCrossFadeRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                     int bottom);
// DrawCrossFadeRgb showing one step more of the sprite every `step` rows
// (byRows 1) or columns (0) after the first `start` ones.
int DrawCrossFadeGradient(int x, int y, int cr, int cg, int cb, int byRows, uint16_t start,
                          int step, int sprite, int left, int top, int right, int bottom);
// Sprite + screen, each channel at most full: light.
int DrawAdd(int x, int y, int sprite, int left, int top, int right, int bottom);
// DrawAdd of the sprite darkened first: strength 0 adds nothing, 1 all.
int DrawAddLevel(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom);
// Screen - sprite, each channel at least 0: shadow.
int DrawSubtract(int x, int y, int sprite, int left, int top, int right, int bottom);
// The sprite darkened: q 31 as it is, 0 black (the screen is not read).
int DrawDarken(int x, int y, int q, int sprite, int left, int top, int right, int bottom);
// DrawDarken with a level per channel.
int DrawDarkenRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                  int bottom);
// The sprite with only the channels whose flag is 1.
int DrawChannels(int x, int y, int keepRed, int keepGreen, int keepBlue, int sprite, int left,
                 int top, int right, int bottom);
// The sprite in grey.
int DrawGrey(int x, int y, int sprite, int left, int top, int right, int bottom);
// The sprite blurred: each pixel the mean of a k x k block (k at most the
// part's width and height).
int DrawBlur(int x, int y, int k, int sprite, int left, int top, int right, int bottom);
// The sprite with its outline blended into the screen.
int DrawSmoothEdge(int x, int y, int sprite, int left, int top, int right, int bottom);

// Rotated, zoomed and tiled sprites in a destination rectangle (left, top,
// right, bottom); angles in degrees, any value (wrapped into 0 to 359).
// The sprite turned about the rectangle's centre.
int DrawRotate(int left, int top, int right, int bottom, int angle, int sprite, int sx1, int sy1,
               int sx2, int sy2);
// Turned and repeated over the whole rectangle.
int DrawRotateTiled(int left, int top, int right, int bottom, int angle, int sprite, int sx1,
                    int sy1, int sx2, int sy2);
// Turned and scaled by `zoom`.
int DrawRotateZoom(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                   int sx1, int sy1, int sx2, int sy2);
// Turned, scaled and repeated over the whole rectangle.
int DrawRotateZoomTiled(int left, int top, int right, int bottom, int angle, float zoom, int sprite,
                        int sx1, int sy1, int sx2, int sy2);
// A floor in perspective: DrawRotateZoomTiled whose zooms grow by their
// steps each row, its channels times the three factors.
int DrawFloor(int left, int top, int right, int bottom, int angle, float zoomX, float zoomXStep,
              float zoomY, float zoomYStep, float redFactor, float greenFactor, float blueFactor,
              int sprite, int sx1, int sy1, int sx2, int sy2);

// Moving sprites.
// Rows stretched and squeezed by a cosine that travels `speed` rows a
// second, one way (direction 0) or the other (1); keeps its phase between
// calls.
void DrawRowWave(int x, int y, int direction, float speed, int sprite, int left, int top, int right,
                 int bottom);
// The sprite's red channel lifts the screen under it like a height map:
// strength 0 not at all, 1 up to 31 rows.
int DrawDisplace(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom);
// Stretches column or row k of the sprite to the screen's edge: mode 0
// right, 1 left, 2 down, 3 up.
int DrawExtend(int x, int y, int mode, uint16_t k, int sprite, int left, int top, int right,
               int bottom);
// A glow around the sprite's pixels (their channels shifted right by the
// three shifts) in the directions of the bit mask: 0x40 up, 0x02 down, 0x08
// left, 0x10 right, 0x20 0x80 0x01 0x04 the diagonals; `copy` 1 draws the
// sprite too.
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

// Filters of what is already on the back screen, in the rectangle at (x, y)
// of width x height. The flame and soften filters work a little each call:
// call them every frame on a picture kept from frame to frame.
// The picture rises a row a call, blurring irregularly: flames.
int ScreenFlame(int x, int y, int width, int height);
// ScreenFlame that also darkens the channels whose flag is 1.
int ScreenFlameFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width, int height);
// Each pixel the mean of its four neighbours.
int ScreenSoften(int x, int y, int width, int height);
// ScreenSoften that also darkens the channels whose flag is 1.
int ScreenSoftenFade(int fadeRed, int fadeGreen, int fadeBlue, int x, int y, int width,
                     int height);
// Brightens at random by 0 to 2 << shift in each 5-bit channel.
int ScreenNoise(int shift, int x, int y, int width, int height);
// ScreenNoise on the channels whose flag is 1.
int ScreenNoiseRgb(int red, int green, int blue, int shift, int x, int y, int width, int height);
// A mosaic of blockSize squares inside the circle.
int ScreenMosaicCircle(int centreX, int centreY, int radius, int blockSize);
// The rectangle magnified twice, drawn from (x, y) (it covers 2 x width by
// 2 x height); `sparse` 1 writes one pixel of each 2 x 2 block.
int ScreenZoom2(int x, int y, int width, int height, int sparse);
// The same four times.
int ScreenZoom4(int x, int y, int width, int height, int sparse);


}  // namespace elDraw

#include <zolbeck/eltext.h>
