// What the enemies' picture files share: the palette, the looks and poses
// of the figures, the small drawing helpers and the pieces each file draws.
#pragma once
#include <functional>

#include "canvas.h"

namespace gen::foes {

constexpr int kCell = 48;

struct Ramp {
  Rgb hi, mid, lo;
};

constexpr Rgb kOutline{24, 20, 32};
constexpr Ramp kSkin{{248, 200, 160}, {216, 152, 112}, {168, 104, 80}};
constexpr Ramp kSteel{{224, 232, 240}, {184, 192, 208}, {128, 136, 160}};
constexpr Ramp kWood{{168, 112, 64}, {120, 72, 40}, {80, 48, 32}};
constexpr Ramp kLeather{{152, 104, 72}, {112, 72, 48}, {80, 48, 40}};
constexpr Ramp kGold{{248, 216, 72}, {200, 152, 32}, {144, 96, 32}};
constexpr Ramp kRed{{240, 96, 88}, {224, 56, 56}, {160, 32, 40}};
constexpr Ramp kEmerald{{96, 208, 152}, {48, 152, 112}, {32, 96, 80}};
constexpr Ramp kNavy{{104, 120, 216}, {64, 72, 168}, {44, 44, 112}};
constexpr Ramp kTan{{224, 192, 136}, {184, 148, 96}, {136, 104, 72}};
constexpr Ramp kHeavy{{216, 224, 240}, {160, 168, 192}, {104, 108, 136}};
constexpr Ramp kIvory{{248, 240, 216}, {216, 200, 160}, {160, 144, 112}};
constexpr Ramp kSmoke{{240, 236, 248}, {200, 196, 220}, {144, 140, 176}};
constexpr Rgb kStarYellow{248, 232, 96};
constexpr Rgb kWhite{248, 248, 248};

// Facings in sheet-row order.
enum Facing { kDown = 0, kLeft = 1, kRight = 2, kUp = 3 };
enum class Weapon { kSword, kAxe, kBow, kSpear };
enum class Helm { kKettle, kHorned, kHood, kGreat };

struct Look {
  Ramp armour;  // tabard, tunic or plate
  Ramp trim;    // belt, boots, gloves
  Helm helm;
  Weapon weapon;
  bool shield;  // a tower shield on the off arm
  int bulk;     // extra body width in pixels
};

// The pose of one frame.
struct Pose {
  int facing = kDown;
  int step = 0;     // legs: -1, 0 or 1 (stride)
  int bob = 0;      // pixels the upper body sinks
  int action = 0;   // melee: 0 rest, 1 raised, 2 swing, 3 follow-through;
                    // bow: 0 lowered, 2 nocked, 3 drawn, 4 loosed
};

// Small drawing helpers (foes.cpp).

// Draws into a fresh layer, outlines it and lays it over the cell, so that a
// part gets its own dark edge where it covers another.
void Part(Canvas& cell, const std::function<void(Canvas&)>& draw);
void ThickLine(Canvas& c, float x0, float y0, float x1, float y1, int width, Rgb col);
void ShadedEllipse(Canvas& c, int cx, int cy, int rx, int ry, const Ramp& r);
void ShadedRect(Canvas& c, int x, int y, int w, int h, const Ramp& r);
// A four-pointed sparkle or a small star.
void Sparkle(Canvas& c, int x, int y, int size, Rgb col);
void Star(Canvas& c, int x, int y);

// Weapons: drawn from the hand along a direction (art_foe_weapons.cpp).
void DrawSword(Canvas& c, float hx, float hy, float dx, float dy);
void DrawAxe(Canvas& c, float hx, float hy, float dx, float dy);
void DrawSpear(Canvas& c, float hx, float hy, float dx, float dy);
// A bow around the point (bx, by), bulging toward (ax, ay); `draw` 0..1 pulls
// the string back; `arrow` adds a nocked arrow.
void DrawBow(Canvas& c, float bx, float by, float ax, float ay, float draw, bool arrow);

// The figure (art_foes.cpp): one standing, walking, striking or aiming
// frame; knocked out with stars circling its head (`phase` turns the stars,
// `tilt` sways the head); rising out of a puff of smoke (`stage` 0 smoke
// only, 1 the upper body in the smoke, 2 the figure with the last wisps).
void DrawFigure(Canvas& cell, const Look& look, const Pose& p);
void DrawDazed(Canvas& cell, const Look& look, int phase, int tilt);
void DrawAppear(Canvas& cell, const Look& look, int stage);

// The pictures beside the figures (art_foe_effects.cpp): the soldiers'
// strike, the arrow and the healing items.
Canvas StrikeEffect(int w, int h);
Canvas ArrowSheet();
Canvas ItemSheet();

}  // namespace gen::foes
