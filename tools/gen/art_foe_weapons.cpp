// The enemies' weapons: the sword, the axe, the spear and the bow, each
// drawn from the hand along a direction.
#include <algorithm>
#include <cmath>

#include "canvas.h"
#include "foes.h"

namespace gen::foes {

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

}  // namespace gen::foes
