// The showcase: a program on the game library alone that shows every
// service it offers, one scene at a time. Each scene has a name in Japanese
// and English, something to do when it is entered and left, and a frame that
// draws below the title bar.
#pragma once
#include <cstdint>

namespace showcase {

// The pictures every scene may draw (sprite slots).
struct Pictures {
  int tiles = 0;     // "BMP\m_cp.bmp", the map's tile sheet
  int princess = 0;  // four 96 x 96 cells of "BMP\princess.bmp", on black
  int dragon = 0;    // one 180 x 250 head of "BMP\boss01\dragon_head.bmp", on black
  int soldier = 0;   // "BMP\enemy00_00.bmp", 48 x 48 cells
  int item = 0;      // "BMP\item.bmp"
};
extern Pictures pictures;

// The knob every scene reads: a value from 0 to 1 that sweeps up and down
// on its own, or stays where Up and Down put it until Space lets it sweep.
extern float level;
// Frames since the scene was entered.
extern int sceneFrame;
// --make-pack: the pack scene's Convert writes SHOWCASE.PAK beside the
// program (the build does this once), not into the user's cache folder.
extern bool makePackHere;

struct Scene {
  const char* japanese;
  const char* english;
  void (*enter)();  // may be null
  void (*leave)();  // may be null
  void (*frame)();
};

// The scenes of each file, in showing order.
extern const Scene kBlendScene, kColourScene, kGeometryScene, kMovingScene, kFilterScene;
extern const Scene kWipeScene, kPrimitiveScene, kPackScene, kTextScene;
extern const Scene kSoundScene, kStreamScene, kMidiScene;

// Shared drawing. FillColor takes a screen pixel, not a 0x00BBGGRR colour:
// ScreenPixel makes one from 8-bit red, green and blue by the screen's
// format. Background is the calm backdrop below the title bar, Caption a
// line of printf text on it.
uint32_t ScreenPixel(int red, int green, int blue);
void Background();
void Caption(int x, int y, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Lays the cells of a scene's effects out in a grid below the title bar:
// cell `i` of `count`, with its top-left corner and size.
struct Cell {
  int x, y, width, height;
};
Cell GridCell(int i, int count);

// An effect of a table: its caption (the call with its arguments, from the
// level) and the drawing at a cell's top-left corner.
struct Effect {
  void (*draw)(int x, int y, float level, char* caption, int captionSize);
};
// Draws every effect of a table, one per cell, with its caption below it.
void DrawEffects(const Effect* effects, int count);

}  // namespace showcase
