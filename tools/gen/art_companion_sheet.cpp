// The companions' sheets: each one standing, walking, hurt, landed, in
// panic and running away in four facings, curled up in flight in eight, and
// the piercing streak ahead of the drill knight.
#include <cmath>

#include "canvas.h"
#include "party.h"

namespace gen::party {
namespace {

// Small drops of sweat flying off a frightened head.
void Sweat(Canvas& cell, float x, float y, float dx) {
  Canvas l = NewLayer(kSmall);
  Poly(l, {x, y - 3, x + 1.5f * dx, y, x, y + 1.5f, x - 1.5f * dx, y}, kSweat);
  Disc(l, x, y, 1.4f, kSweat);
  Stamp(cell, l);
}

// A round puff of dust kicked up behind running feet.
void Dust(Canvas& cell, float x, float y, float r) {
  Canvas l = NewLayer(kSmall);
  Disc(l, x, y, r, kLace.base);
  Disc(l, x + r * 0.9f, y + 1, r * 0.7f, kLace.base);
  Shade(l, {&kLace}, 1);
  Stamp(cell, l);
}

// A companion at cell (column, row) of rows 0-3.
void DrawBuddyCell(Canvas& cell, int who, int row, int column) {
  static const BuddyView kView[4] = {BuddyView::Front, BuddyView::Side, BuddyView::Back, BuddyView::Side};
  BuddyView v = kView[row];
  bool mirror = row == 3;
  float fx = row == 1 ? 1.0f : row == 3 ? -1.0f : 0.0f;  // screen direction it faces
  float fy = row == 0 ? 1.0f : row == 2 ? -1.0f : 0.0f;
  BuddyPose p;
  Canvas body(kSmall, kSmall, kKey);
  float lean = 0;
  int dx = 0, dy = 0;
  if (column <= 1) {
    p.bob = column;
  } else if (column <= 5) {
    static const float kStep[4] = {1, 0, -1, 0};
    p.step = kStep[column - 2];
    p.bob = (column == 3 || column == 5) ? -1 : 0;
  } else if (column <= 7) {
    // Hurt: it faces what hit it and flinches away.
    p.mood = Mood::Hurt;
    p.bob = column == 6 ? 1 : 0;
    lean = column == 6 ? -0.12f * fx : -0.06f * fx;
    dx = static_cast<int>(-2 * fx);
    dy = fy > 0 ? -2 : 0;  // pushed back, but its feet stay inside the cell
  } else if (column == 8) {
    p.mood = Mood::Dizzy;
    p.sitting = true;
  } else if (column <= 10) {
    p.mood = Mood::Panic;
    p.armsUp = true;
    p.bob = column == 9 ? -3 : 0;
    p.step = column == 9 ? 0.5f : -0.5f;
  } else {
    p.mood = Mood::Scared;
    p.step = column == 11 ? 1.0f : -1.0f;
    p.lift = true;
    p.bob = column == 11 ? -1 : 0;
    lean = 0.1f * fx;
  }
  DrawBuddy(who, body, v, mirror, p);
  for (int y = 0; y < kSmall; ++y) {
    int off = static_cast<int>(std::lround(lean * (kGround - y)));
    for (int x = 0; x < kSmall; ++x) {
      int sx = x - off - dx, sy = y - dy;
      if (sx < 0 || sy < 0 || sx >= kSmall || sy >= kSmall) continue;
      Rgb c = body.Get(sx, sy);
      if (c != kKey) cell.Set(x, y, c);
    }
  }
  if (column == 6) {
    Burst(cell, 28 + 20 * fx, 34 + 16 * fy, 6, 0);
  } else if (column == 7) {
    Sweat(cell, 28 - 14 * fx + (fx == 0 ? 13 : 0), 20, 1);
  } else if (column == 8) {
    DizzyStars(cell, 28, 20, who * 40.0f);
    if (who == 2) {
      // Where the mage lands the ground rings with its spell.
      for (int x = 0; x < kSmall; ++x) {
        for (int y = 40; y < kSmall; ++y) {
          float ex = (x - 28) / 26.0f, ey = (y - 50) / 5.0f;
          float d = ex * ex + ey * ey;
          if (d <= 1.0f && d > 0.72f && cell.Get(x, y) == kKey && y < kSmall - 1 && x > 0 && x < kSmall - 1)
            cell.Set(x, y, d > 0.86f ? kOrb.base : kOrb.hi);
        }
      }
    }
  } else if (column == 9 || column == 10) {
    Sweat(cell, column == 9 ? 12.0f : 44.0f, column == 9 ? 16.0f : 18.0f, 1);
    Sweat(cell, column == 9 ? 45.0f : 11.0f, column == 9 ? 20.0f : 14.0f, 1);
  } else if (column >= 11) {
    Sweat(cell, 28 - 15 * fx + (fx == 0 ? (column == 11 ? -13 : 13) : 0), 18, 1);
    float bx = 28 - 18 * fx + (fx == 0 ? (column == 11 ? 12 : -12) : 0);
    Dust(cell, bx, 49, column == 11 ? 3.5f : 2.5f);
  }
}

// Flight: curled up and spinning along the launch direction (columns in the
// princess's facing order), with speed lines behind.
void DrawBuddyFlight(Canvas& cell, int who, int facing, int frame) {
  static const float kDirs[8][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  float ux = kDirs[facing][0], uy = kDirs[facing][1];
  float n = std::sqrt(ux * ux + uy * uy);
  ux /= n;
  uy /= n;
  float vx = -uy, vy = ux;
  const float cx = 27.5f, cy = 27.5f;
  // Speed lines.
  {
    Canvas l = NewLayer(kSmall);
    for (int i = -1; i <= 1; ++i) {
      float o = i * 7 + (frame ? 2.0f : -2.0f) * (i == 0 ? 0 : 1);
      float start = 10 + (i == 0 ? 2 : 0) + frame * 2, end = 24 - (i == 0 ? 0 : 3);
      Capsule(l, cx - start * ux + o * vx, cy - start * uy + o * vy, cx - end * ux + o * vx, cy - end * uy + o * vy, 0.6f,
              kLace.base);
    }
    Stamp(cell, l, false);
  }
  float spin = frame ? 45.0f : 0.0f;
  if (who == 0) {
    // Body ball behind, drill ahead.
    Canvas l = NewLayer(kSmall);
    Disc(l, cx - 5 * ux, cy - 5 * uy, 9, kTeal.base);
    Shade(l, {&kTeal}, 2);
    Disc(l, cx - 5 * ux - 3 * vx, cy - 5 * uy - 3 * vy, 2, kTeal.lo);
    Disc(l, cx - 5 * ux + 3 * vx, cy - 5 * uy + 3 * vy, 2, kTeal.lo);
    Stamp(cell, l);
    Canvas s = NewLayer(kSmall);
    float w = frame ? 2.0f : -2.0f;
    Poly(s, {cx - 10 * ux + 2 * vx, cy - 10 * uy + 2 * vy, cx - 20 * ux + (5 + w) * vx, cy - 20 * uy + (5 + w) * vy,
             cx - 18 * ux + (8 + w) * vx, cy - 18 * uy + (8 + w) * vy},
         kScarf.base);
    Finish(cell, s, false, {&kScarf}, 1);
    Canvas d = NewLayer(kSmall);
    DirPoly(d, cx + 1 * ux, cy + 1 * uy, ux, uy, {0, -7.5f, 0, 7.5f, 23, 0}, kSteel.base);
    Shade(d, {&kSteel}, 1);
    for (float t = frame ? 4.0f : 2.0f; t < 21; t += 4) {
      float wa = 7.5f * (1 - t / 23), wb = 7.5f * (1 - (t + 2.5f) / 23);
      float x0 = cx + (1 + t) * ux - wa * vx, y0 = cy + (1 + t) * uy - wa * vy;
      float x1 = cx + (3.5f + t) * ux + wb * vx, y1 = cy + (3.5f + t) * uy + wb * vy;
      LineOn(d, x0, y0, x1, y1, kSteel.lo);
    }
    Stamp(cell, d);
  } else if (who == 1) {
    // Rolled into a ball behind the shield, the helmet spinning round.
    Canvas l = NewLayer(kSmall);
    Disc(l, cx - 2 * ux, cy - 2 * uy, 12, kBun.base);
    Shade(l, {&kBun}, 3);
    for (int k = 0; k < 3; ++k) {
      float a = Rad(spin + k * 120);
      float px = cx - 2 * ux + 7 * std::cos(a), py = cy - 2 * uy + 7 * std::sin(a);
      Disc(l, px, py, 1.4f, kBun.lo);
    }
    Stamp(cell, l);
    Canvas h = NewLayer(kSmall);
    float a = Rad(spin + 200);
    Disc(h, cx - 2 * ux + 9 * std::cos(a), cy - 2 * uy + 9 * std::sin(a), 5, kPot.base);
    Shade(h, {&kPot}, 1);
    Stamp(cell, h);
    Canvas s = NewLayer(kSmall);
    // The shield leads, seen edge-on across the flight.
    float sx = cx + 9 * ux, sy = cy + 9 * uy;
    DirPoly(s, sx, sy, ux, uy, {-3, -11, 1, -10, 3, -5, 3, 5, 1, 10, -3, 11, -1, 0}, kGold.base);
    DirPoly(s, sx, sy, ux, uy, {-1.5f, -9, 1, -8, 1.8f, -4, 1.8f, 4, 1, 8, -1.5f, 9}, kWood.base);
    Shade(s, {&kWood}, 1);
    Stamp(cell, s);
  } else {
    // Wrapped in the robe with the orb held out ahead, blazing.
    Canvas l = NewLayer(kSmall);
    Disc(l, cx - 4 * ux, cy - 4 * uy, 10, kRobe.base);
    Shade(l, {&kRobe}, 2);
    Stamp(cell, l);
    Canvas h = NewLayer(kSmall);
    DirPoly(h, cx - 10 * ux, cy - 10 * uy, ux, uy, {2, -7, 2, 7, -13, frame ? 4.0f : -4.0f}, kRobe.base);
    Shade(h, {&kRobe}, 1);
    Stamp(cell, h);
    Canvas o = NewLayer(kSmall);
    Disc(o, cx + 9 * ux, cy + 9 * uy, 7, kOrb.base);
    Shade(o, {&kOrb}, 2);
    Disc(o, cx + 7 * ux - 2 * vx, cy + 7 * uy - 2 * vy, 2, kOrb.hi);
    Stamp(cell, o);
    for (int k = 0; k < 3; ++k) {
      float t = 12 + k * 5 + frame * 2.5f, side = (k & 1 ? 1.0f : -1.0f) * (5 + frame * 2);
      int x = static_cast<int>(std::lround(cx - t * ux + side * vx)), y = static_cast<int>(std::lround(cy - t * uy + side * vy));
      Twinkle(cell, x, y, k == 1 ? 2 : 1, kOrb.hi, kWhite);
    }
  }
}

}  // namespace

Canvas MakeBuddySheet(int who) {
  Canvas sheet(13 * kSmall, 6 * kSmall, kKey);
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 13; ++column) {
      Canvas cell(kSmall, kSmall, kKey);
      DrawBuddyCell(cell, who, row, column);
      Put(sheet, cell, column, row);
    }
  }
  for (int frame = 0; frame < 2; ++frame) {
    for (int facing = 0; facing < 8; ++facing) {
      Canvas cell(kSmall, kSmall, kKey);
      DrawBuddyFlight(cell, who, facing, frame);
      Put(sheet, cell, facing, 4 + frame);
    }
  }
  return sheet;
}

namespace {

// The piercing streak drawn ahead of the drill knight in flight: a lance of
// wind from the drill's point to where it strikes, with rings of shock
// around it. The cell sits half a cell ahead of the knight (a whole cell
// corner for the diagonals), so the streak starts near the cell's back edge.
void DrawTrail(Canvas& cell, int facing, int frame) {
  static const float kDirs[8][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  float ux = kDirs[facing][0], uy = kDirs[facing][1];
  bool diagonal = ux != 0 && uy != 0;
  float n = std::sqrt(ux * ux + uy * uy);
  ux /= n;
  uy /= n;
  float vx = -uy, vy = ux;
  const float cx = 27.5f, cy = 27.5f;
  float from = diagonal ? -20 : -12, to = diagonal ? 31 : 25;
  const Rgb kCore{240, 252, 255}, kMid{160, 232, 248}, kEdge{80, 176, 224};
  for (int y = 1; y < kSmall - 1; ++y) {
    for (int x = 1; x < kSmall - 1; ++x) {
      float a = (x - cx) * ux + (y - cy) * uy, b = (x - cx) * vx + (y - cy) * vy;
      if (a < from || a > to) continue;
      float t = (a - from) / (to - from);  // 0 at the back, 1 at the point
      float width = t < 0.3f ? 3 + 4 * t / 0.3f : 7 * (1 - (t - 0.3f) / 0.7f) + 0.5f;
      float ab = std::fabs(b);
      if (ab > width) continue;
      // A spiral band winds round the lance; the back fades in a dither.
      if (t < 0.25f && ((x + y + frame) & 1)) continue;
      bool band = static_cast<int>(std::floor((a + b * 0.8f + frame * 3) / 6)) % 2 == 0;
      Rgb c = ab < width * 0.4f ? kCore : band ? kMid : kEdge;
      if (ab >= width - 1) c = kEdge;
      cell.Set(x, y, c);
    }
  }
  // Streaks of wind alongside, shifting between the two frames, and a
  // glint at the point.
  for (int side = -1; side <= 1; side += 2) {
    float o = side * (frame ? 9.0f : 10.0f);
    float a0 = from + (frame ? 6.0f : 2.0f) + (side > 0 ? 4 : 0), a1 = a0 + 16;
    for (float t = a0; t <= a1; t += 0.25f) {
      int x = static_cast<int>(std::lround(cx + t * ux + o * vx)), y = static_cast<int>(std::lround(cy + t * uy + o * vy));
      if (x < 1 || y < 1 || x > kSmall - 2 || y > kSmall - 2) continue;
      cell.Set(x, y, t > a1 - 4 ? kCore : kMid);
    }
  }
  float gx = cx + (to - 5) * ux, gy = cy + (to - 5) * uy;
  Twinkle(cell, static_cast<int>(std::lround(gx)), static_cast<int>(std::lround(gy)), frame ? 3 : 2, kCore, kWhite);
}

}  // namespace

Canvas MakeTrailSheet() {
  Canvas sheet(8 * kSmall, 2 * kSmall, kKey);
  for (int frame = 0; frame < 2; ++frame) {
    for (int facing = 0; facing < 8; ++facing) {
      Canvas cell(kSmall, kSmall, kKey);
      DrawTrail(cell, facing, frame);
      Put(sheet, cell, facing, frame);
    }
  }
  return sheet;
}

}  // namespace gen::party
