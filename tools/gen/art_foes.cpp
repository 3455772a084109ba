// The enemies' figures: the two soldiers, the archer and the shield guard,
// each drawn into a 48 x 48 cell from a few parts (legs, body, arms, head,
// weapon), each part outlined on its own so that parts in front stay
// readable against parts behind. A facing to the right is the facing to the
// left mirrored.
#include <algorithm>
#include <cmath>
#include <vector>

#include "canvas.h"
#include "foes.h"

namespace gen::foes {

namespace {

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

}  // namespace

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

}  // namespace gen::foes
