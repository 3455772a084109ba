// The enemies' pictures: the two soldiers, the archer, the shield guard, the
// soldiers' strike effects, the arrow and the healing items.
//
// Every figure is drawn into a 48 x 48 cell from a few parts (legs, body,
// arms, head, weapon), each part outlined on its own so that parts in front
// stay readable against parts behind. A facing to the right is the facing
// to the left mirrored.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace {

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

// ---------------------------------------------------------------------------
// Small drawing helpers

// Draws into a fresh layer, outlines it and lays it over the cell, so that a
// part gets its own dark edge where it covers another.
void Part(Canvas& cell, const std::function<void(Canvas&)>& draw) {
  Canvas layer(cell.width(), cell.height(), kBlack);
  draw(layer);
  layer.Outline(0, 0, layer.width(), layer.height(), kBlack, kOutline);
  cell.Blit(layer, 0, 0, layer.width(), layer.height(), 0, 0, &kBlack);
}

void ThickLine(Canvas& c, float x0, float y0, float x1, float y1, int width, Rgb col) {
  float len = std::hypot(x1 - x0, y1 - y0);
  int n = std::max(1, static_cast<int>(len * 2));
  for (int i = 0; i <= n; ++i) {
    float t = static_cast<float>(i) / n;
    int x = static_cast<int>(std::lround(x0 + (x1 - x0) * t));
    int y = static_cast<int>(std::lround(y0 + (y1 - y0) * t));
    if (width <= 1) {
      c.Set(x, y, col);
    } else if (width == 2) {
      c.Set(x, y, col);
      c.Set(x + 1, y, col);
      c.Set(x, y + 1, col);
    } else {
      c.FillCircle(x, y, (width - 1) / 2, col);
    }
  }
}

void ShadedEllipse(Canvas& c, int cx, int cy, int rx, int ry, const Ramp& r) {
  c.FillEllipse(cx, cy, rx, ry, r.lo);
  c.FillEllipse(cx - 1, cy - 1, std::max(0, rx - 1), std::max(0, ry - 1), r.mid);
  c.FillEllipse(cx - rx / 3, cy - ry / 3, rx / 3, ry / 3, r.hi);
}

void ShadedRect(Canvas& c, int x, int y, int w, int h, const Ramp& r) {
  c.FillRect(x, y, w, h, r.mid);
  c.FillRect(x, y, 1, h, r.hi);
  c.FillRect(x + w - 2, y, 2, h, r.lo);
  c.FillRect(x, y + h - 1, w, 1, r.lo);
}

// A four-pointed sparkle or a small star.
void Sparkle(Canvas& c, int x, int y, int size, Rgb col) {
  for (int i = -size; i <= size; ++i) {
    c.Set(x + i, y, col);
    c.Set(x, y + i, col);
  }
  c.Set(x, y, kWhite);
}

void Star(Canvas& c, int x, int y) {
  c.FillRect(x - 1, y - 1, 3, 3, kStarYellow);
  c.Set(x - 2, y, kStarYellow);
  c.Set(x + 2, y, kStarYellow);
  c.Set(x, y - 2, kStarYellow);
  c.Set(x, y + 2, kStarYellow);
  c.Set(x, y, kWhite);
}

// ---------------------------------------------------------------------------
// Weapons: drawn from the hand along a direction.

void DrawSword(Canvas& c, float hx, float hy, float dx, float dy) {
  float len = std::hypot(dx, dy);
  dx /= len;
  dy /= len;
  float px = -dy, py = dx;
  // Grip behind the hand, guard, then the blade with a bright edge.
  ThickLine(c, hx - dx * 3, hy - dy * 3, hx, hy, 2, kWood.mid);
  ThickLine(c, hx + dx * 2 - px * 3, hy + dy * 2 - py * 3, hx + dx * 2 + px * 3, hy + dy * 2 + py * 3,
            2, kGold.mid);
  ThickLine(c, hx + dx * 3, hy + dy * 3, hx + dx * 14, hy + dy * 14, 2, kSteel.mid);
  ThickLine(c, hx + dx * 3, hy + dy * 3, hx + dx * 13, hy + dy * 13, 1, kSteel.hi);
  c.Set(static_cast<int>(std::lround(hx + dx * 15)), static_cast<int>(std::lround(hy + dy * 15)),
        kSteel.lo);
}

void DrawAxe(Canvas& c, float hx, float hy, float dx, float dy) {
  float len = std::hypot(dx, dy);
  dx /= len;
  dy /= len;
  float px = -dy, py = dx;
  ThickLine(c, hx - dx * 3, hy - dy * 3, hx + dx * 13, hy + dy * 13, 2, kWood.mid);
  // The head: a half-moon blade on the side of the haft's end away from the
  // body.
  float bx = hx + dx * 11, by = hy + dy * 11;
  if (px * (bx - 24) + py * (by - 26) < 0) {
    px = -px;
    py = -py;
  }
  std::vector<int> blade;
  for (int i = 0; i <= 8; ++i) {
    float a = -1.4f + 2.8f * i / 8.0f;
    float ux = std::cos(a), uy = std::sin(a);
    // Along the haft (d) by sin, away from it (p) by cos.
    float ex = bx + dx * uy * 6 + px * (2 + ux * 7);
    float ey = by + dy * uy * 6 + py * (2 + ux * 7);
    blade.push_back(static_cast<int>(std::lround(ex)));
    blade.push_back(static_cast<int>(std::lround(ey)));
  }
  blade.push_back(static_cast<int>(std::lround(bx + dx * 3)));
  blade.push_back(static_cast<int>(std::lround(by + dy * 3)));
  blade.push_back(static_cast<int>(std::lround(bx - dx * 3)));
  blade.push_back(static_cast<int>(std::lround(by - dy * 3)));
  c.FillPolygon(blade, kSteel.mid);
  ThickLine(c, bx + dx * -4 + px * 7, by + dy * -4 + py * 7, bx + dx * 4 + px * 7, by + dy * 4 + py * 7,
            1, kSteel.hi);
  ThickLine(c, bx + px * 2, by + py * 2, bx + px * 4, by + py * 4, 1, kSteel.lo);
}

void DrawSpear(Canvas& c, float hx, float hy, float dx, float dy) {
  float len = std::hypot(dx, dy);
  dx /= len;
  dy /= len;
  ThickLine(c, hx - dx * 12, hy - dy * 12, hx + dx * 20, hy + dy * 20, 2, kWood.mid);
  float tx = hx + dx * 20, ty = hy + dy * 20;
  float px = -dy, py = dx;
  c.FillPolygon({static_cast<int>(std::lround(tx + px * 3)), static_cast<int>(std::lround(ty + py * 3)),
                 static_cast<int>(std::lround(tx + dx * 8)), static_cast<int>(std::lround(ty + dy * 8)),
                 static_cast<int>(std::lround(tx - px * 3)), static_cast<int>(std::lround(ty - py * 3))},
                kSteel.mid);
  ThickLine(c, tx, ty, tx + dx * 6, ty + dy * 6, 1, kSteel.hi);
}

// A bow around the point (bx, by), bulging toward (ax, ay); `draw` 0..1 pulls
// the string back; `arrow` adds a nocked arrow.
void DrawBow(Canvas& c, float bx, float by, float ax, float ay, float draw, bool arrow) {
  float px = -ay, py = ax;
  float half = 11;
  float tipX0 = bx + px * half - ax * 3, tipY0 = by + py * half - ay * 3;
  float tipX1 = bx - px * half - ax * 3, tipY1 = by - py * half - ay * 3;
  float prevX = tipX0, prevY = tipY0;
  for (int i = 1; i <= 12; ++i) {
    float t = -1.0f + 2.0f * i / 12.0f;
    float bend = (1.0f - t * t) * 4.0f;
    float x = bx - px * half * t + ax * (bend - 3 + 3 * t * t);
    float y = by - py * half * t + ay * (bend - 3 + 3 * t * t);
    ThickLine(c, prevX, prevY, x, y, 2, kWood.mid);
    prevX = x;
    prevY = y;
  }
  float sx = bx - ax * (3 + draw * 8), sy = by - ay * (3 + draw * 8);
  ThickLine(c, tipX0, tipY0, sx, sy, 1, kIvory.lo);
  ThickLine(c, tipX1, tipY1, sx, sy, 1, kIvory.lo);
  if (arrow) {
    ThickLine(c, sx, sy, bx + ax * 6, by + ay * 6, 1, kWood.hi);
    Sparkle(c, static_cast<int>(std::lround(bx + ax * 7)), static_cast<int>(std::lround(by + ay * 7)), 1,
            kSteel.hi);
    ThickLine(c, sx - px, sy - py, sx + ax * 2 - px, sy + ay * 2 - py, 1, kRed.mid);
  }
}

// ---------------------------------------------------------------------------
// The figure

// Hand positions and weapon directions of a melee action, for the front
// (facing down), the side (facing left) and the back (facing up).
struct Grip {
  float hx, hy, dx, dy;
};
Grip MeleeGrip(int facing, int action) {
  static const Grip kFront[4] = {{13, 31, -0.15f, -1}, {16, 13, -0.5f, -1}, {15, 30, -0.8f, 0.6f},
                                  {21, 34, 0.05f, 1}};
  static const Grip kSide[4] = {{20, 31, -0.9f, -0.45f}, {29, 15, 0.6f, -0.8f}, {17, 21, -0.8f, -0.6f},
                                 {14, 29, -1, 0.25f}};
  static const Grip kBack[4] = {{35, 31, 0.15f, -1}, {31, 30, 0.6f, 0.8f}, {32, 17, 0.8f, -0.6f},
                                 {27, 12, -0.05f, -1}};
  int a = std::clamp(action, 0, 3);
  if (facing == kDown) return kFront[a];
  if (facing == kUp) return kBack[a];
  return kSide[a];
}

void DrawWeapon(Canvas& c, const Look& look, float hx, float hy, float dx, float dy) {
  switch (look.weapon) {
    case Weapon::kSword: DrawSword(c, hx, hy, dx, dy); break;
    case Weapon::kAxe: DrawAxe(c, hx, hy, dx, dy); break;
    case Weapon::kSpear: DrawSpear(c, hx, hy, dx, dy); break;
    case Weapon::kBow: break;
  }
}

void DrawHand(Canvas& c, int x, int y, const Look& look) {
  c.FillRect(x - 1, y - 1, 3, 3, look.trim.mid);
  c.Set(x - 1, y - 1, look.trim.hi);
}

void DrawArm(Canvas& c, float sx, float sy, float hx, float hy, const Look& look) {
  ThickLine(c, sx, sy, hx, hy, 3, look.armour.lo);
  ThickLine(c, sx - 1, sy, hx - 1, hy, 1, look.armour.mid);
  DrawHand(c, static_cast<int>(std::lround(hx)), static_cast<int>(std::lround(hy)), look);
}

// Legs and boots for the front or back view.
void DrawLegsFront(Canvas& c, const Look& look, int step) {
  for (int side = 0; side < 2; ++side) {
    int x = side == 0 ? 18 : 26;
    int lift = (side == 0 ? step : -step) > 0 ? 2 : 0;
    int bottom = 44 - lift;
    ShadedRect(c, x, 34, 5, bottom - 34 - 3, look.armour);
    c.FillRect(x, 34, 5, 2, look.armour.lo);
    ShadedRect(c, x - (side == 0 ? 1 : 0), bottom - 4, 6, 4, look.trim);
  }
}

// Legs for the side view, facing left: the near leg and the far leg swing
// apart on a stride.
void DrawLegsSide(Canvas& c, const Look& look, int step, bool nearLeg) {
  int swing = step * 4;
  int foot = nearLeg ? 24 - swing : 24 + swing;
  int lift = nearLeg ? (step < 0 ? 1 : 0) : (step > 0 ? 1 : 0);
  Ramp r = look.armour;
  if (!nearLeg) r = Ramp{look.armour.mid, look.armour.lo, look.armour.lo};
  ThickLine(c, 24, 35, static_cast<float>(foot), 40.0f - lift, 4, r.mid);
  ThickLine(c, 23, 35, static_cast<float>(foot) - 1, 40.0f - lift, 1, r.hi);
  c.FillRect(foot - 4, 41 - lift, 7, 3, look.trim.mid);
  c.FillRect(foot - 4, 41 - lift, 7, 1, look.trim.hi);
}

void DrawTorso(Canvas& c, const Look& look, int facing, int bob) {
  int b = look.bulk;
  int y = 22 + bob;
  if (facing == kDown || facing == kUp) {
    int x = 16 - b, w = 17 + 2 * b;
    c.FillEllipse(24, y + 3, 8 + b, 4, look.armour.mid);  // shoulders
    ShadedRect(c, x + 1, y + 2, w - 2, 12 - bob, look.armour);
    c.FillRect(x + 3, y + 1, w - 6, 2, look.armour.hi);
    if (facing == kDown) {
      // Chest plate and belt.
      c.FillRect(21, y + 4, 7, 5, kSteel.mid);
      c.FillRect(21, y + 4, 7, 1, kSteel.hi);
      c.FillRect(27, y + 4, 1, 5, kSteel.lo);
    } else {
      c.FillRect(23, y + 3, 3, 9, look.armour.lo);  // a seam down the back
    }
    c.FillRect(x + 1, 33, w - 2, 2, look.trim.lo);
    c.FillRect(23, 33, 3, 2, kGold.mid);
  } else {
    int x = 18 - b / 2, w = 12 + b;
    c.FillEllipse(24, y + 3, 6 + b / 2, 4, look.armour.mid);
    ShadedRect(c, x, y + 2, w, 12 - bob, look.armour);
    c.FillRect(x, y + 4, 3, 5, kSteel.mid);
    c.FillRect(x, y + 4, 3, 1, kSteel.hi);
    c.FillRect(x, 33, w, 2, look.trim.lo);
    c.FillRect(x + 1, 33, 2, 2, kGold.mid);
  }
}

void DrawHead(Canvas& c, const Look& look, int facing, int bob, int tilt = 0, bool dazed = false) {
  int cx = 24 + tilt, cy = 15 + bob;
  bool side = facing == kLeft || facing == kRight;
  if (side) cx -= 1;
  // The face.
  if (look.helm == Helm::kHood) {
    ShadedEllipse(c, cx, cy, 7, 7, look.armour);
  } else {
    ShadedEllipse(c, cx, cy + 1, 6, 6, kSkin);
  }
  switch (look.helm) {
    case Helm::kKettle:
    case Helm::kHorned: {
      const Ramp& m = kSteel;
      // A rounded helmet with a rim; the horned one carries a red band and horns.
      c.FillEllipse(cx, cy - 2, 7, 5, m.lo);
      c.FillEllipse(cx - 1, cy - 3, 6, 4, m.mid);
      c.FillEllipse(cx - 3, cy - 5, 2, 1, m.hi);
      c.FillRect(cx - 8, cy + 1, 17, 2, m.lo);
      c.FillRect(cx - 8, cy + 1, 17, 1, m.mid);
      if (facing == kUp) c.FillEllipse(cx, cy + 2, 6, 4, m.mid);
      if (look.helm == Helm::kKettle) {
        if (facing == kDown) c.FillRect(cx, cy + 1, 1, 4, m.lo);  // nose guard
        // A plume on top.
        c.FillEllipse(cx + (side ? 3 : 0), cy - 8, 2, 2, look.armour.mid);
        c.Set(cx - 1 + (side ? 3 : 0), cy - 9, look.armour.hi);
      } else {
        c.FillRect(cx - 7, cy - 3, 15, 2, look.armour.mid);
        auto horn = [&](int dir) {
          int bx = cx + dir * 6;
          ThickLine(c, bx, cy - 3, bx + dir * 4, cy - 7, 3, kIvory.mid);
          ThickLine(c, bx + dir * 4, cy - 7, bx + dir * 4, cy - 11, 2, kIvory.hi);
        };
        if (facing == kLeft) {
          horn(1);
          horn(-1);
        } else {
          horn(-1);
          horn(1);
        }
      }
      break;
    }
    case Helm::kHood: {
      // The hood hangs over the brow; the face sits in its shadow.
      if (facing != kUp) {
        int fx = side ? cx - 3 : cx;
        c.FillEllipse(fx, cy + 2, side ? 3 : 4, 4, kSkin.lo);
        c.FillEllipse(fx, cy + 3, side ? 2 : 3, 3, kSkin.mid);
        c.FillRect(fx - (side ? 3 : 4), cy - 2, side ? 7 : 9, 2, look.armour.lo);
      } else {
        c.FillRect(cx - 1, cy - 4, 2, 9, look.armour.lo);
      }
      // The point of the hood falls behind.
      if (side) c.FillPolygon({cx + 4, cy - 3, cx + 10, cy + 5, cx + 4, cy + 5}, look.armour.lo);
      break;
    }
    case Helm::kGreat: {
      ShadedEllipse(c, cx, cy, 7, 7, kHeavy);
      c.FillRect(cx - 7, cy - 1, 15, 8, kHeavy.mid);
      c.FillRect(cx - 7, cy + 5, 15, 2, kHeavy.lo);
      c.FillRect(cx - 6, cy - 1, 2, 7, kHeavy.hi);
      if (facing == kDown) {
        c.FillRect(cx - 5, cy, 11, 2, kOutline);  // the eye slit
        c.FillRect(cx, cy + 2, 1, 4, kHeavy.lo);
      } else if (side) {
        c.FillRect(cx - 7, cy, 5, 2, kOutline);
      }
      // A red crest.
      c.FillRect(cx - 1, cy - 10, 3, 5, kRed.mid);
      c.FillRect(cx - 1, cy - 10, 1, 5, kRed.hi);
      break;
    }
  }
  // Eyes.
  if (facing == kUp || look.helm == Helm::kGreat) return;
  int ey = cy + 2;
  if (dazed) {
    for (int e : {-3, 2}) {
      c.Set(cx + e, ey - 1, kOutline);
      c.Set(cx + e + 1, ey, kOutline);
      c.Set(cx + e, ey + 1, kOutline);
      c.Set(cx + e + 1, ey - 1, kOutline);
      c.Set(cx + e, ey, kOutline);
    }
    c.FillRect(cx - 1, ey + 3, 3, 1, kSkin.lo);
    return;
  }
  if (side) {
    c.FillRect(cx - 4, ey, 1, 2, kOutline);
    c.Set(cx - 7, ey + 2, kSkin.mid);  // the nose
  } else {
    c.FillRect(cx - 3, ey, 1, 2, kOutline);
    c.FillRect(cx + 2, ey, 1, 2, kOutline);
  }
}

// The shield guard's tower shield on the off arm.
void DrawShield(Canvas& c, int facing, int bob) {
  const Ramp& face = kRed;
  if (facing == kDown) {
    int x = 23, y = 21 + bob;
    c.FillRect(x, y, 16, 22, kGold.lo);
    c.FillRect(x + 1, y + 1, 14, 20, face.mid);
    c.FillRect(x + 1, y + 1, 2, 20, face.hi);
    c.FillRect(x + 13, y + 1, 2, 20, face.lo);
    c.FillRect(x, y, 16, 1, kGold.hi);
    // A gold cross emblem.
    c.FillRect(x + 7, y + 4, 3, 13, kGold.mid);
    c.FillRect(x + 4, y + 8, 9, 3, kGold.mid);
    c.FillRect(x + 7, y + 4, 1, 13, kGold.hi);
    c.FillPolygon({x, y + 22, x + 8, y + 26, x + 16, y + 22}, kGold.lo);
    c.FillPolygon({x + 1, y + 21, x + 8, y + 25, x + 15, y + 21}, face.lo);
  } else if (facing == kLeft) {
    int x = 11, y = 19 + bob;
    c.FillRect(x, y, 6, 24, kGold.lo);
    c.FillRect(x + 1, y + 1, 4, 22, face.mid);
    c.FillRect(x + 1, y + 1, 1, 22, face.hi);
    c.FillRect(x + 4, y + 1, 1, 22, face.lo);
    c.FillRect(x + 2, y + 8, 2, 6, kGold.mid);
  } else if (facing == kUp) {
    // The back of the shield: planks and straps.
    int x = 8, y = 21 + bob;
    c.FillRect(x, y, 15, 21, kGold.lo);
    c.FillRect(x + 1, y + 1, 13, 19, kWood.mid);
    for (int i = 1; i < 14; i += 4) c.FillRect(x + i, y + 1, 1, 19, kWood.lo);
    c.FillRect(x + 1, y + 6, 13, 2, kLeather.lo);
    c.FillRect(x + 1, y + 13, 13, 2, kLeather.lo);
  }
}

// One standing, walking, striking or aiming frame of a figure.
void DrawFigure(Canvas& cell, const Look& look, const Pose& p) {
  int facing = p.facing == kRight ? kLeft : p.facing;
  Canvas c(kCell, kCell, kBlack);
  int bob = p.bob;
  bool bow = look.weapon == Weapon::kBow;
  bool melee = !bow && !look.shield;
  Grip grip = MeleeGrip(facing, melee ? p.action : 0);
  if (look.shield) grip = facing == kDown   ? Grip{13, 30 + static_cast<float>(bob), 0, -1}
                          : facing == kUp   ? Grip{35, 30 + static_cast<float>(bob), 0, -1}
                                            : Grip{22, 30 + static_cast<float>(bob), -0.25f, -1};
  float shoulderX = facing == kDown ? 15.0f : facing == kUp ? 33.0f : 24.0f;
  float shoulderY = 24.0f + bob;
  // Arm swing while walking.
  float swing = static_cast<float>(p.step) * 2.0f;

  // Bow aim: direction toward the target and where the bow is held.
  float ax = facing == kDown ? 0.0f : facing == kUp ? 0.0f : -1.0f;
  float ay = facing == kDown ? 1.0f : facing == kUp ? -1.0f : 0.0f;
  bool aiming = bow && p.action >= 2;
  float bowX = facing == kDown ? 24.0f : facing == kUp ? 24.0f : 13.0f;
  float bowY = facing == kDown ? 33.0f : facing == kUp ? 9.0f : 25.0f;
  float draw = p.action == 3 ? 1.0f : p.action == 2 ? 0.4f : 0.0f;

  // Things behind the body: the far arm and leg in side view, the spear or a
  // raised back-view weapon.
  if (facing == kLeft) {
    Part(c, [&](Canvas& l) {
      DrawLegsSide(l, look, p.step, false);
      if (!aiming) {
        Look dim = look;
        dim.armour = Ramp{look.armour.lo, look.armour.lo, look.armour.lo};
        DrawArm(l, 26, shoulderY, 27 + swing, 31.0f + bob, dim);
      }
    });
  }
  if (facing == kUp && melee && p.action == 1) Part(c, [&](Canvas& l) { DrawWeapon(l, look, grip.hx, grip.hy, grip.dx, grip.dy); });
  if (look.shield && facing == kLeft)
    Part(c, [&](Canvas& l) { DrawWeapon(l, look, grip.hx, grip.hy, grip.dx, grip.dy); });

  // Legs, body, head.
  Part(c, [&](Canvas& l) {
    if (facing == kLeft) DrawLegsSide(l, look, p.step, true);
    else DrawLegsFront(l, look, p.step);
  });
  Part(c, [&](Canvas& l) { DrawTorso(l, look, facing, bob); });
  if (facing == kDown && melee && p.action == 1)
    Part(c, [&](Canvas& l) { DrawWeapon(l, look, grip.hx, grip.hy, grip.dx, grip.dy); });
  if (look.shield && facing == kUp) Part(c, [&](Canvas& l) { DrawShield(l, facing, bob); });
  Part(c, [&](Canvas& l) { DrawHead(l, look, facing, bob); });

  // Arms and weapon in front.
  Part(c, [&](Canvas& l) {
    if (facing != kLeft) {
      // The off arm on the other side of the body.
      float ox = facing == kDown ? 33.0f : 15.0f;
      float hx = facing == kDown ? 34.0f : 14.0f;
      if (aiming) {
        // Both hands at the bow and the string.
        float sx = bowX - ax * (3 + draw * 8), sy = bowY - ay * (3 + draw * 8);
        DrawArm(l, ox, shoulderY, bowX + 4, bowY + ay * 1, look);
        DrawArm(l, facing == kDown ? 15.0f : 33.0f, shoulderY, sx - 3, sy, look);
      } else {
        DrawArm(l, ox, shoulderY, hx, 31.0f + bob - swing, look);
      }
    }
  });
  Part(c, [&](Canvas& l) {
    if (bow) {
      if (aiming) {
        DrawBow(l, bowX, bowY, ax, ay, draw, p.action != 4);
        if (facing == kLeft) {
          DrawArm(l, 23, shoulderY, bowX + 1, bowY, look);
          DrawArm(l, 25, shoulderY + 1, bowX + 3 + draw * 8, bowY + 1, look);
        }
      } else {
        // The bow hangs at the side, upright.
        float hx = facing == kDown ? 13.0f : facing == kUp ? 35.0f : 21.0f;
        float hy = 30.0f + bob;
        DrawArm(l, shoulderX, shoulderY, hx, hy, look);
        DrawBow(l, hx, hy - 4, facing == kUp ? 1.0f : -1.0f, 0.0f, 0.0f, false);
        DrawHand(l, static_cast<int>(hx), static_cast<int>(hy), look);
      }
      return;
    }
    bool armFirst = !(facing == kDown && p.action == 1) && !(facing == kUp && p.action == 1);
    if (armFirst) DrawArm(l, shoulderX, shoulderY, grip.hx, grip.hy, look);
    if (!(facing == kUp && melee && p.action == 1) && !(facing == kDown && melee && p.action == 1) &&
        !(look.shield && facing == kLeft))
      DrawWeapon(l, look, grip.hx, grip.hy, grip.dx, grip.dy);
    if (!armFirst) DrawArm(l, shoulderX, shoulderY, grip.hx, grip.hy, look);
    DrawHand(l, static_cast<int>(grip.hx), static_cast<int>(grip.hy), look);
  });
  if (look.shield && facing != kUp) Part(c, [&](Canvas& l) { DrawShield(l, facing, bob); });

  if (p.facing == kRight) c.MirrorX(0, 0, kCell, kCell);
  cell.Blit(c, 0, 0, kCell, kCell, 0, 0, &kBlack);
}

// A knocked-out figure sitting with stars circling its head; `phase` turns
// the stars, `tilt` sways the head.
void DrawDazed(Canvas& cell, const Look& look, int phase, int tilt) {
  Canvas c(kCell, kCell, kBlack);
  const int sink = 7;
  // Legs splayed forward.
  Part(c, [&](Canvas& l) {
    for (int side : {-1, 1}) {
      ThickLine(l, 24 + side * 3, 35 + sink - 2, 24 + side * 9, 44, 4, look.armour.mid);
      l.FillRect(24 + side * 9 - 3, 42, 6, 3, look.trim.mid);
    }
  });
  // The weapon dropped beside.
  Part(c, [&](Canvas& l) {
    switch (look.weapon) {
      case Weapon::kSword: DrawSword(l, 31, 44, 1, -0.1f); break;
      case Weapon::kAxe: DrawAxe(l, 30, 44, 1, -0.1f); break;
      case Weapon::kSpear: DrawSpear(l, 20, 46, 1, -0.05f); break;
      case Weapon::kBow: DrawBow(l, 38, 41, 0, 1, 0, false); break;
    }
  });
  Canvas upper(kCell, kCell, kBlack);
  Part(upper, [&](Canvas& l) { DrawTorso(l, look, kDown, 0); });
  Part(upper, [&](Canvas& l) {
    DrawArm(l, 15, 24, 13, 33, look);
    DrawArm(l, 33, 24, 35, 33, look);
  });
  Part(upper, [&](Canvas& l) { DrawHead(l, look, kDown, 0, tilt, true); });
  c.Blit(upper, 0, 8, kCell, kCell - 8, 0, 8 + sink, &kBlack);
  if (look.shield) Part(c, [&](Canvas& l) { DrawShield(l, kLeft, 0); });
  // Stars on a flat ring around the head.
  for (int i = 0; i < 3; ++i) {
    float a = 6.2831853f * (i / 3.0f + phase / 12.0f);
    Star(c, 24 + tilt + static_cast<int>(std::lround(std::cos(a) * 11)),
         12 + static_cast<int>(std::lround(std::sin(a) * 3)));
  }
  cell.Blit(c, 0, 0, kCell, kCell, 0, 0, &kBlack);
}

// A puff of smoke with the figure rising out of it: stage 0 smoke only,
// 1 the upper body in the smoke, 2 the figure with the last wisps.
void DrawAppear(Canvas& cell, const Look& look, int stage) {
  Canvas c(kCell, kCell, kBlack);
  if (stage > 0) {
    Canvas fig(kCell, kCell, kBlack);
    DrawFigure(fig, look, Pose{kDown, 0, 0, 0});
    int shown = stage == 1 ? 30 : kCell;
    int rise = stage == 1 ? 6 : 0;
    c.Blit(fig, 0, 0, kCell, shown, 0, rise, &kBlack);
  }
  Random rnd(40u + static_cast<uint32_t>(stage));
  int puffs = stage == 2 ? 4 : 9;
  Part(c, [&](Canvas& l) {
    for (int i = 0; i < puffs; ++i) {
      int px = stage == 2 ? (i % 2 ? 36 : 10) + rnd.Range(-3, 3) : rnd.Range(10, 38);
      int py = stage == 0 ? rnd.Range(26, 40) : rnd.Range(33, 42);
      int r = stage == 2 ? rnd.Range(2, 4) : rnd.Range(4, 7);
      ShadedEllipse(l, px, py, r, r - 1, kSmoke);
    }
  });
  for (int i = 0; i < 4 - stage; ++i)
    Sparkle(c, rnd.Range(8, 40), rnd.Range(6, 28), stage == 0 ? 2 : 1, kStarYellow);
  cell.Blit(c, 0, 0, kCell, kCell, 0, 0, &kBlack);
}

// ---------------------------------------------------------------------------
// Sheets

Canvas SubCell() { return Canvas(kCell, kCell, kBlack); }

void Place(Canvas& sheet, const Canvas& cell, int col, int row) {
  sheet.Blit(cell, 0, 0, kCell, kCell, col * kCell, row * kCell, &kBlack);
}

// Soldiers: columns 0-1 standing (the idle pair), 1-3 walking (1 between
// strides), 4-6 the strike; row 4: 0-3 knocked out, 4-6 appearing.
Canvas SoldierSheet(const Look& look, Rgb background) {
  Canvas sheet(7 * kCell, 5 * kCell, background);
  for (int facing = 0; facing < 4; ++facing) {
    static const Pose kCols[7] = {{0, 0, 1, 0}, {0, 0, 0, 0}, {0, 1, 0, 0}, {0, -1, 0, 0},
                                  {0, 0, 0, 1}, {0, 0, 1, 2}, {0, 0, 1, 3}};
    for (int col = 0; col < 7; ++col) {
      Pose p = kCols[col];
      p.facing = facing;
      Canvas cell = SubCell();
      DrawFigure(cell, look, p);
      Place(sheet, cell, col, facing);
    }
  }
  for (int col = 0; col < 4; ++col) {
    Canvas cell = SubCell();
    DrawDazed(cell, look, col, col % 2 ? 1 : -1);
    Place(sheet, cell, col, 4);
  }
  for (int col = 4; col < 7; ++col) {
    Canvas cell = SubCell();
    DrawAppear(cell, look, col - 4);
    Place(sheet, cell, col, 4);
  }
  return sheet;
}

// Archer: columns 0-1 standing, 2 nocking, 3 full draw, 4 the loose; row 4
// columns 0-1 knocked out.
Canvas ArcherSheet(const Look& look) {
  Canvas sheet(5 * kCell, 5 * kCell, kBlack);
  for (int facing = 0; facing < 4; ++facing) {
    for (int col = 0; col < 5; ++col) {
      Pose p{facing, 0, col == 0 ? 1 : 0, col};
      Canvas cell = SubCell();
      DrawFigure(cell, look, p);
      Place(sheet, cell, col, facing);
    }
  }
  for (int col = 0; col < 2; ++col) {
    Canvas cell = SubCell();
    DrawDazed(cell, look, col * 2, col ? 1 : -1);
    Place(sheet, cell, col, 4);
  }
  return sheet;
}

Canvas GuardSheet(const Look& look) {
  Canvas sheet(2 * kCell, 5 * kCell, kBlack);
  for (int facing = 0; facing < 4; ++facing) {
    for (int col = 0; col < 2; ++col) {
      Canvas cell = SubCell();
      DrawFigure(cell, look, Pose{facing, 0, col, 0});
      Place(sheet, cell, col, facing);
    }
  }
  for (int col = 0; col < 2; ++col) {
    Canvas cell = SubCell();
    DrawDazed(cell, look, col * 2, col ? 1 : -1);
    Place(sheet, cell, col, 4);
  }
  return sheet;
}

// The soldiers' strike: a bright crescent swept across the box, the same
// whether the strike goes up or down (and left or right), with sparks.
Canvas StrikeEffect(int w, int h) {
  bool wide = w > h;
  Canvas c(w, h, kBlack);
  int len = wide ? w : h, thick = wide ? h : w;
  auto put = [&](int along, int across, Rgb col) {
    if (wide) c.Set(along, across, col);
    else c.Set(across, along, col);
  };
  const Rgb kEdge{248, 248, 232}, kBody{176, 216, 248}, kFade{96, 128, 208};
  for (int a = 0; a < len; ++a) {
    float t = (a + 0.5f) / len * 2.0f - 1.0f;
    float arc = (1.0f - t * t);
    int centre = thick / 2;
    int half = static_cast<int>(std::lround(arc * (thick * 0.28f)));
    for (int d = -half; d <= half; ++d) {
      float f = half ? std::fabs(static_cast<float>(d)) / half : 0.0f;
      put(a, centre + d, f < 0.35f ? kEdge : f < 0.75f ? kBody : kFade);
    }
  }
  // An impact burst in the middle: eight rays.
  int mx = w / 2, my = h / 2;
  for (int r = 0; r < 8; ++r) {
    float a = 6.2831853f * r / 8.0f + 0.2f;
    int reach = r % 2 ? 6 : 11;
    for (int k = 3; k < reach; ++k) {
      int x = mx + static_cast<int>(std::lround(std::cos(a) * k));
      int y = my + static_cast<int>(std::lround(std::sin(a) * k));
      c.Set(x, y, k < reach - 3 ? kStarYellow : Rgb{248, 160, 64});
    }
  }
  c.FillRect(mx - 2, my - 2, 4, 4, kWhite);
  Random rnd(77);
  for (int i = 0; i < 6; ++i) {
    int a = rnd.Range(4, len - 5), d = rnd.Range(2, thick - 3);
    put(a, d, kEdge);
    put(a + 1, d, kBody);
    put(a - 1, d, kBody);
  }
  return c;
}

// Arrow: columns point up, right, down, left.
Canvas ArrowSheet() {
  Canvas c(48, 12, kBlack);
  for (int dir = 0; dir < 4; ++dir) {
    Canvas a(12, 12, kBlack);
    // Drawn pointing right, then turned.
    a.FillRect(2, 5, 7, 2, kWood.hi);
    a.FillRect(2, 6, 7, 1, kWood.mid);
    a.FillPolygon({8, 3, 12, 6, 8, 9}, kSteel.hi);
    a.Set(9, 6, kSteel.lo);
    a.Set(8, 6, kSteel.lo);
    a.FillRect(0, 4, 3, 1, kRed.mid);
    a.FillRect(0, 7, 3, 1, kRed.mid);
    a.FillRect(1, 5, 2, 2, kRed.lo);
    Canvas t(12, 12, kBlack);
    for (int y = 0; y < 12; ++y) {
      for (int x = 0; x < 12; ++x) {
        int sx = x, sy = y;
        if (dir == 0) { sx = 11 - y; sy = x; }        // up
        else if (dir == 2) { sx = y; sy = 11 - x; }   // down
        else if (dir == 3) { sx = 11 - x; sy = y; }   // left
        t.Set(x, y, a.Get(sx, sy));
      }
    }
    c.Blit(t, 0, 0, 12, 12, dir * 12, 0);
  }
  return c;
}

void DrawHeart(Canvas& c, int cx, int cy, int s, const Ramp& r) {
  Canvas l(c.width(), c.height(), kBlack);
  l.FillCircle(cx - s / 2, cy - s / 4, s / 2 + 1, r.mid);
  l.FillCircle(cx + s / 2, cy - s / 4, s / 2 + 1, r.mid);
  l.FillPolygon({cx - s - 1, cy - s / 4 + 1, cx, cy + s + 1, cx + s + 2, cy - s / 4 + 1}, r.mid);
  // Shade the lower right, light the upper left.
  for (int y = 0; y < l.height(); ++y)
    for (int x = 0; x < l.width(); ++x)
      if (l.Get(x, y) == r.mid && (x - cx) + (y - cy) > s * 0.7f) l.Set(x, y, r.lo);
  l.FillEllipse(cx - s / 2 - 1, cy - s / 3 - 1, s / 4 + 1, s / 5 + 1, r.hi);
  l.FillRect(cx - s / 2 - 2, cy - s / 3 - 2, 2, 2, kWhite);
  l.Outline(0, 0, l.width(), l.height(), kBlack, kOutline);
  c.Blit(l, 0, 0, l.width(), l.height(), 0, 0, &kBlack);
}

// Items: a small heart (column 0) and a potion with a heart label (column 1).
Canvas ItemSheet() {
  Canvas sheet(96, 48, kBlack);
  Canvas small(48, 48, kBlack);
  DrawHeart(small, 24, 24, 7, kRed);
  Sparkle(small, 34, 13, 2, kStarYellow);
  sheet.Blit(small, 0, 0, 48, 48, 0, 0, &kBlack);

  Canvas big(48, 48, kBlack);
  Part(big, [](Canvas& l) {
    // Bottle: round body, neck, cork.
    l.FillCircle(24, 29, 12, Rgb{176, 200, 232});
    l.FillRect(20, 10, 9, 10, Rgb{176, 200, 232});
    l.FillCircle(24, 30, 10, Rgb{232, 64, 112});
    l.FillRect(14, 26, 21, 3, Rgb{248, 120, 168});
    l.FillEllipse(24, 26, 10, 2, Rgb{248, 120, 168});
    l.FillEllipse(28, 35, 5, 3, Rgb{176, 40, 88});
    l.FillRect(19, 5, 11, 6, kWood.mid);
    l.FillRect(19, 5, 11, 2, kWood.hi);
    l.FillRect(18, 11, 13, 2, kSteel.lo);
    l.FillEllipse(17, 23, 2, 4, kWhite);
  });
  DrawHeart(big, 24, 31, 5, kGold);
  Sparkle(big, 37, 12, 2, kStarYellow);
  Sparkle(big, 10, 38, 1, kStarYellow);
  sheet.Blit(big, 0, 0, 48, 48, 48, 0, &kBlack);
  return sheet;
}

}  // namespace

bool MakeFoes(const std::string& gameFolder) {
  const std::string bmp = gameFolder + "/BMP/";
  const Look swordsman{kEmerald, kLeather, Helm::kKettle, Weapon::kSword, false, 0};
  const Look axeman{kRed, kLeather, Helm::kHorned, Weapon::kAxe, false, 1};
  const Look archer{kNavy, kTan, Helm::kHood, Weapon::kBow, false, 0};
  const Look guard{kHeavy, kLeather, Helm::kGreat, Weapon::kSpear, true, 1};
  bool ok = SoldierSheet(swordsman, kMagenta).SaveBmp(bmp + "enemy00_00.bmp");
  ok = SoldierSheet(axeman, kMagenta).SaveBmp(bmp + "enemy00_01.bmp") && ok;
  ok = ArcherSheet(archer).SaveBmp(bmp + "atya.bmp") && ok;
  ok = GuardSheet(guard).SaveBmp(bmp + "tate1.bmp") && ok;
  ok = StrikeEffect(48, 32).SaveBmp(bmp + "g_a1.bmp") && ok;
  ok = StrikeEffect(32, 48).SaveBmp(bmp + "g_a2.bmp") && ok;
  ok = ArrowSheet().SaveBmp(bmp + "Ya.bmp") && ok;
  ok = ItemSheet().SaveBmp(bmp + "item.bmp") && ok;
  return ok;
}

}  // namespace gen
