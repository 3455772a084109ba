// The princess's figure: her long hair, skirt, bodice and head in five
// views, and the parasol in her hand, with the smear it leaves in a swing.
// The left-hand views are the right-hand ones mirrored.
#include <cmath>
#include <vector>

#include "canvas.h"
#include "party.h"

namespace gen::party {
namespace {

// The shoulder of the parasol hand, before mirroring.
float ShoulderX(View v) {
  switch (v) {
    case View::Front: return 37;
    case View::Side: return 45;
    case View::Back: return 59;
    case View::FrontQuarter: return 39;
    case View::BackQuarter: return 57;
  }
  return 48;
}

void DrawEyes(Canvas& c, float x0, float x1, int y, Face face, bool oneEye) {
  auto eye = [&](int x) {
    switch (face) {
      case Face::Calm:
        c.FillRect(x, y, 2, 4, kEye);
        c.Set(x, y, kWhite);
        c.Set(x + 1, y + 3, Rgb{104, 88, 184});
        break;
      case Face::Fierce:
        c.FillRect(x, y + 1, 2, 3, kEye);
        c.Set(x, y + 1, kWhite);
        c.Line(x - 1, y - 1, x + 2, y, kHairDeep);
        break;
      case Face::Shut:
        c.Line(x - 1, y + 1, x + 1, y + 2, kEye);
        c.Line(x + 1, y + 2, x - 1, y + 3, kEye);
        break;
    }
  };
  eye(static_cast<int>(x0));
  if (!oneEye) eye(static_cast<int>(x1));
}

// Her long hair behind her, drawn first.
void PrincessHairBack(Canvas& cell, View v, bool mirror, const Pose& p) {
  Canvas l = NewLayer(kCell);
  float b = p.bob, s = p.lean;
  switch (v) {
    case View::Front:
    case View::FrontQuarter: {
      float o = v == View::FrontQuarter ? -2 : 0;
      Ell(l, 48 + o + s, 58 + b, 15, 16, kHair.base);
      Disc(l, 35 + o + s, 73 + b, 3.5f, kHair.base);
      Disc(l, 61 + o + s, 73 + b, 3.5f, kHair.base);
      break;
    }
    case View::Side:
      Poly(l, {40 + s, 44 + b, 50 + s, 48 + b, 44 + s, 76 + b, 34 + s, 74 + b, 35 + s, 56 + b}, kHair.base);
      Disc(l, 38 + s, 75 + b, 4, kHair.base);
      break;
    case View::Back:
    case View::BackQuarter:
      break;  // Seen from behind the hair falls over her back instead.
  }
  Finish(cell, l, mirror, {&kHair});
}

// Her hair over her back when she looks away.
void PrincessHairOver(Canvas& cell, View v, bool mirror, const Pose& p) {
  if (v != View::Back && v != View::BackQuarter) return;
  Canvas l = NewLayer(kCell);
  float b = p.bob, s = p.lean + (v == View::BackQuarter ? -2 : 0);
  Poly(l, {40 + s, 54 + b, 56 + s, 54 + b, 57 + s, 70 + b, 54 + s, 77 + b, 48 + s, 80 + b, 42 + s, 77 + b, 39 + s, 70 + b},
       kHair.base);
  Disc(l, 43 + s, 76 + b, 2.5f, kHair.base);
  Disc(l, 53 + s, 76 + b, 2.5f, kHair.base);
  // Strands.
  l.Line(static_cast<int>(44 + s), static_cast<int>(64 + b), static_cast<int>(43 + s), static_cast<int>(75 + b), kHair.lo);
  l.Line(static_cast<int>(52 + s), static_cast<int>(64 + b), static_cast<int>(53 + s), static_cast<int>(75 + b), kHair.lo);
  l.Line(static_cast<int>(48 + s), static_cast<int>(66 + b), static_cast<int>(48 + s), static_cast<int>(78 + b), kHair.lo);
  Shade(l, {&kHair}, 2);
  // A ribbon gathers it at the nape.
  Ell(l, 44 + s, 64 + b, 3.5f, 2.5f, kPink.base);
  Ell(l, 52 + s, 64 + b, 3.5f, 2.5f, kPink.base);
  l.Line(static_cast<int>(47 + s), static_cast<int>(66 + b), static_cast<int>(45 + s), static_cast<int>(70 + b), kPink.lo);
  l.Line(static_cast<int>(49 + s), static_cast<int>(66 + b), static_cast<int>(51 + s), static_cast<int>(70 + b), kPink.lo);
  Disc(l, 48 + s, 64 + b, 1.5f, kPink.lo);
  if (mirror) l.MirrorX(0, 0, kCell, kCell);
  Stamp(cell, l);
}

void PrincessSkirtAndFeet(Canvas& cell, View v, bool mirror, const Pose& p) {
  float b = p.bob, st = p.stride;
  // Feet first, in their own layer.
  if (p.feetShown) {
    Canvas l = NewLayer(kCell);
    if (v == View::Side) {
      float ahead = 48 + 6 * st, behind = 48 - 6 * st;
      Capsule(l, behind, 84, behind - 1, 88, 1.6f, kLace.lo);
      Ell(l, behind + 1, 89, 3.5f, 2, kShoe.lo);
      Capsule(l, ahead, 84, ahead + 1, 88, 1.6f, kLace.base);
      Ell(l, ahead + 2, 89, 3.5f, 2, kShoe.base);
    } else {
      float lift = 1.5f * st;
      float dx = v == View::FrontQuarter || v == View::BackQuarter ? 1 : 0;
      Ell(l, 43 + dx, 89 - std::fmax(0.0f, lift), 3.2f, 2, kShoe.base);
      Ell(l, 53 + dx, 89 - std::fmax(0.0f, -lift), 3.2f, 2, kShoe.base);
    }
    Finish(cell, l, mirror, {&kShoe, &kLace}, 1);
  }
  Canvas l = NewLayer(kCell);
  float sway = (v == View::Side ? 1.5f : 1.0f) * st;
  float waist = 66 + b;
  float half = v == View::Side ? 13 : 16;
  float front = v == View::Side ? 2 : 0;  // side view: the skirt sweeps forward
  Poly(l, {41 + p.lean * 0.5f, waist, 55 + p.lean * 0.5f, waist, 48 + half + front + sway, 86, 48 - half + sway, 86}, kPink.base);
  Ell(l, 48 + sway + front * 0.5f, 85, half + front * 0.5f, 2.5f, kPink.base);
  Shade(l, {&kPink}, 3);
  // Folds and a golden hem.
  auto fold = [&](float x0, float x1) {
    l.Line(static_cast<int>(x0 + p.lean * 0.5f), static_cast<int>(waist + 5), static_cast<int>(x1 + sway),
           static_cast<int>(84), kPink.lo);
  };
  if (v == View::Side) {
    fold(46, 41);
    fold(51, 56);
  } else {
    fold(45, 40);
    fold(51, 56);
    fold(48, 48);
  }
  for (int y = 83; y <= 88; ++y) {
    for (int x = 0; x < kCell; ++x) {
      Rgb c = l.Get(x, y);
      if (c == kKey) continue;
      bool bottom = IsKey(l, x, y + 1) || IsKey(l, x, y + 2);
      if (bottom && !IsKey(l, x, y + 1)) l.Set(x, y, IsKey(l, x + 1, y) || IsKey(l, x + 2, y) ? kGold.lo : kGold.base);
    }
  }
  if (mirror) l.MirrorX(0, 0, kCell, kCell);
  Stamp(cell, l);
}

void PrincessBodice(Canvas& cell, View v, bool mirror, const Pose& p) {
  Canvas l = NewLayer(kCell);
  float b = p.bob, s = p.lean;
  float w = v == View::Side ? 5.5f : 7;
  float cx = 48 + s + (v == View::Side ? 1 : 0);
  Poly(l, {cx - w, 58 + b, cx + w, 58 + b, cx + w - 1, 67 + b, cx - w + 1, 67 + b}, kPink.base);
  Ell(l, cx, 58 + b, w, 2, kPink.base);
  // Free arm, behind the bodice on the far side.
  float ax = v == View::Side ? cx + 3 : (v == View::Back ? cx - 10 : cx + 10);
  if (v != View::Side) {
    float hx = ax + (ax > cx ? 1.5f : -1.5f), hy = 70 + b - 2 * std::fabs(p.freeArm);
    hx += 2 * p.freeArm * (v == View::Front || v == View::FrontQuarter ? 0.5f : -0.5f);
    Capsule(l, ax, 61 + b, hx, hy, 1.7f, kSkin.base);
    Disc(l, hx, hy + 0.5f, 2.2f, kSkin.base);
    Disc(l, ax, 60 + b, 3.6f, kPink.base);
  }
  Shade(l, {&kPink, &kSkin}, 2);
  if (v == View::Front || v == View::FrontQuarter) {
    // Lace collar and a golden brooch.
    float o = v == View::FrontQuarter ? 2 : 0;
    Ell(l, cx + o, 58 + b, 4, 1.5f, kLace.base);
    l.Set(static_cast<int>(cx + o), static_cast<int>(61 + b), kGold.base);
    l.Set(static_cast<int>(cx + o), static_cast<int>(62 + b), kGem);
    l.Line(static_cast<int>(cx + o), static_cast<int>(63 + b), static_cast<int>(cx + o), static_cast<int>(66 + b), kPink.lo);
  } else if (v == View::Back || v == View::BackQuarter) {
    // A big bow at the back of the waist.
    Ell(l, cx - 4, 66 + b, 3.5f, 2.5f, kPink.hi);
    Ell(l, cx + 4, 66 + b, 3.5f, 2.5f, kPink.hi);
    Disc(l, cx, 66 + b, 1.5f, kPink.lo);
  }
  if (mirror) l.MirrorX(0, 0, kCell, kCell);
  Stamp(cell, l);
}

void PrincessHead(Canvas& cell, View v, bool mirror, const Pose& p) {
  Canvas l = NewLayer(kCell);
  float b = p.bob, s = p.lean;
  float hx = 48 + s, hy = 50 + b;
  Ell(l, hx, hy, 12.5f, 11.5f, kHair.base);
  switch (v) {
    case View::Front: {
      Ell(l, hx, hy + 3.5f, 9.5f, 8, kSkin.base);
      // Bangs: a jagged fringe over the forehead.
      Ell(l, hx, hy - 3, 11.5f, 5.5f, kHair.base);
      for (int i = 0; i < 5; ++i) {
        float x = hx - 8 + i * 4;
        Poly(l, {x - 2.5f, hy - 1, x + 2.5f, hy - 1, x + (i < 2 ? -1.0f : 1.0f), hy + 3}, kHair.base);
      }
      Capsule(l, hx - 10.5f, hy - 1, hx - 11, hy + 10, 2.2f, kHair.base);
      Capsule(l, hx + 10.5f, hy - 1, hx + 11, hy + 10, 2.2f, kHair.base);
      break;
    }
    case View::FrontQuarter: {
      Ell(l, hx + 3, hy + 3.5f, 9, 8, kSkin.base);
      Ell(l, hx + 1, hy - 3, 11.5f, 5.5f, kHair.base);
      for (int i = 0; i < 4; ++i) {
        float x = hx - 3 + i * 4;
        Poly(l, {x - 2.5f, hy - 1, x + 2.5f, hy - 1, x + 1, hy + 3}, kHair.base);
      }
      Capsule(l, hx - 9, hy - 2, hx - 9, hy + 10, 3, kHair.base);
      Capsule(l, hx + 11.5f, hy, hx + 11.5f, hy + 8, 1.6f, kHair.base);
      break;
    }
    case View::Side: {
      Ell(l, hx + 4.5f, hy + 3, 7.5f, 8, kSkin.base);
      Ell(l, hx + 1, hy - 3, 11.5f, 6, kHair.base);
      Poly(l, {hx + 4, hy - 2, hx + 11, hy - 1, hx + 8, hy + 3}, kHair.base);
      Capsule(l, hx - 3, hy - 3, hx - 1, hy + 9, 4, kHair.base);
      // A nose tip on the profile.
      l.Set(static_cast<int>(hx + 12), static_cast<int>(hy + 4), kSkin.base);
      break;
    }
    case View::Back:
      break;
    case View::BackQuarter:
      Ell(l, hx + 10, hy + 4, 2.5f, 5, kSkin.base);
      Capsule(l, hx + 10, hy - 4, hx + 11, hy + 1, 2, kHair.base);
      break;
  }
  Shade(l, {&kHair, &kSkin}, 2);
  // Strands and a ring of light in the hair.
  auto line = [&](float x0, float y0, float x1, float y1, Rgb c) {
    l.Line(static_cast<int>(hx + x0), static_cast<int>(hy + y0), static_cast<int>(hx + x1), static_cast<int>(hy + y1), c);
  };
  if (v == View::Back || v == View::BackQuarter) {
    line(-5, 2, -6, 9, kHair.lo);
    line(1, 3, 1, 10, kHair.lo);
    line(6, 2, 7, 8, kHair.lo);
    line(-8, -4, -4, -6, kHair.hi);
    line(-3, -6, 3, -6, kHair.hi);
    line(4, -6, 7, -4, kHair.hi);
  } else {
    line(-7, -8, -3, -9, kHair.hi);
  }
  // The face.
  int ey = static_cast<int>(hy + 1);
  switch (v) {
    case View::Front:
      DrawEyes(l, hx - 5, hx + 3, ey, p.face, false);
      l.Set(static_cast<int>(hx - 7), ey + 5, kBlush);
      l.Set(static_cast<int>(hx - 6), ey + 5, kBlush);
      l.Set(static_cast<int>(hx + 5), ey + 5, kBlush);
      l.Set(static_cast<int>(hx + 6), ey + 5, kBlush);
      if (p.face == Face::Shut) {
        l.FillRect(static_cast<int>(hx - 1), ey + 6, 2, 2, kMouth);
      } else {
        l.Set(static_cast<int>(hx - 1), ey + 6, kMouth);
        l.Set(static_cast<int>(hx), ey + 6, kMouth);
      }
      break;
    case View::FrontQuarter:
      DrawEyes(l, hx - 1, hx + 6, ey, p.face, false);
      l.Set(static_cast<int>(hx - 3), ey + 5, kBlush);
      l.Set(static_cast<int>(hx + 9), ey + 5, kBlush);
      l.Set(static_cast<int>(hx + 3), ey + 6, kMouth);
      if (p.face == Face::Shut) l.Set(static_cast<int>(hx + 3), ey + 7, kMouth);
      break;
    case View::Side:
      DrawEyes(l, hx + 7, 0, ey, p.face, true);
      l.Set(static_cast<int>(hx + 6), ey + 5, kBlush);
      l.Set(static_cast<int>(hx + 10), ey + 6, kMouth);
      break;
    default:
      break;
  }
  if (mirror) l.MirrorX(0, 0, kCell, kCell);
  Stamp(cell, l);

  // The tiara, its own layer so its outline parts it from the hair.
  Canvas t = NewLayer(kCell);
  float tx = hx + (v == View::Side ? 2 : v == View::FrontQuarter ? 1 : v == View::BackQuarter ? -1 : 0);
  float ty = hy - 12;
  Poly(t, {tx - 6, ty + 3, tx + 6, ty + 3, tx + 5, ty + 5, tx - 5, ty + 5}, kGold.base);
  Poly(t, {tx - 6, ty + 4, tx - 5.5f, ty - 1, tx - 3, ty + 3}, kGold.base);
  Poly(t, {tx - 2.5f, ty + 4, tx, ty - 4, tx + 2.5f, ty + 4}, kGold.base);
  Poly(t, {tx + 3, ty + 3, tx + 5.5f, ty - 1, tx + 6, ty + 4}, kGold.base);
  Shade(t, {&kGold}, 1);
  if (v != View::Back) t.Set(static_cast<int>(tx), static_cast<int>(ty + 1), kGem);
  t.Set(static_cast<int>(tx), static_cast<int>(ty - 4), kWhite);
  if (mirror) t.MirrorX(0, 0, kCell, kCell);
  Stamp(cell, t);
}

}  // namespace

// The folded parasol from its grip at (gx, gy) toward `degrees`.
Canvas ParasolLayer(float gx, float gy, float degrees) {
  float ux = std::cos(Rad(degrees)), uy = std::sin(Rad(degrees));
  Canvas pa = NewLayer(kCell);
  // Pointing down it is foreshortened a little, so that it stays inside
  // the cell.
  const float kLen = uy > 0 ? std::fmin(25.0f, (92 - gy) / uy) : 25.0f;
  // Handle with a crook at the grip end.
  Capsule(pa, gx - 4 * ux, gy - 4 * uy, gx + 4 * ux, gy + 4 * uy, 1.1f, kWood.base);
  Disc(pa, gx - 4.5f * ux - 1.5f * uy, gy - 4.5f * uy + 1.5f * ux, 1.6f, kWood.base);
  // The canopy in two panels, white and pink.
  DirPoly(pa, gx, gy, ux, uy, {3, -1.5f, 7, -4.6f, 12, -4, kLen - 3, -0.9f, kLen - 3, 0, 3, 0}, kLace.base);
  DirPoly(pa, gx, gy, ux, uy, {3, 0, kLen - 3, 0, kLen - 3, 0.9f, 12, 4, 7, 4.6f, 3, 1.5f}, kPanel.base);
  Shade(pa, {&kLace, &kPanel, &kWood}, 1);
  // A frill at the base, the tie and the golden tip.
  for (float b = -4.5f; b <= 4.6f; b += 3) Disc(pa, gx + 5 * ux - b * uy, gy + 5 * uy + b * ux, 1.2f, kPink.base);
  Capsule(pa, gx + 3 * ux - 3 * uy, gy + 3 * uy + 3 * ux, gx + 3 * ux + 3 * uy, gy + 3 * uy - 3 * ux, 0.7f, kPink.lo);
  Capsule(pa, gx + (kLen - 3) * ux, gy + (kLen - 3) * uy, gx + kLen * ux, gy + kLen * uy, 0.8f, kGold.base);
  return pa;
}

namespace {

// The parasol with the arm that holds it, from the shoulder at (sx, sy);
// drawn in sheet orientation (after any mirroring of the body).
void PrincessParasol(Canvas& cell, float sx, float sy, const Pose& p, bool armFirst) {
  float ux = std::cos(Rad(p.parasol)), uy = std::sin(Rad(p.parasol));
  float gx, gy;
  if (p.reach) {
    gx = sx + 7 * ux;
    gy = sy + 1 + 7 * uy;
  } else {
    gx = sx + (ux < 0 ? 1.0f : -1.0f);
    gy = sy + 7;
  }
  Canvas arm = NewLayer(kCell);
  Capsule(arm, sx, sy + 1, gx, gy, 1.7f, kSkin.base);
  Disc(arm, gx, gy, 2.3f, kSkin.base);
  Disc(arm, sx, sy - 0.5f, 3.7f, kPink.base);
  Shade(arm, {&kPink, &kSkin}, 1);
  Canvas pa = ParasolLayer(gx, gy, p.parasol);
  if (armFirst) {
    Stamp(cell, arm);
    Stamp(cell, pa);
  } else {
    Stamp(cell, pa);
    Stamp(cell, arm);
  }
}

// The bright smear a swing leaves: an arc around (px, py) from `fromDeg`
// (its thin tail) round to `toDeg` (its thick head), turning either way.
void SwingSmear(Canvas& cell, float px, float py, float fromDeg, float toDeg, float radius) {
  float span = toDeg - fromDeg;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      float dx = x - px, dy = y - py;
      float r = std::sqrt(dx * dx + dy * dy);
      if (r > radius || r < radius - 14) continue;
      float a = std::atan2(dy, dx) * 180.0f / kPi;
      float t = (a - fromDeg) / span;  // 0 at the tail, 1 at the head
      for (float turn : {-360.0f, 360.0f}) {
        float t2 = (a + turn - fromDeg) / span;
        if (std::fabs(t2 - 0.5f) < std::fabs(t - 0.5f)) t = t2;
      }
      if (t < 0 || t > 1) continue;
      float width = 2 + 11 * t;
      float depth = radius - r;
      if (depth > width) continue;
      Rgb col = depth < 1.5f ? kWhite : depth < width * 0.55f ? Rgb{252, 212, 236} : Rgb{240, 168, 216};
      if (t < 0.35f && ((x + y) & 1)) continue;  // the tail thins into a dither
      if (x < 1 || y < 1 || x > kCell - 2 || y > kCell - 2) continue;
      if (IsKey(cell, x, y) || depth < 1.5f) cell.Set(x, y, col);
    }
  }
}

}  // namespace

void DrawPrincess(Canvas& cell, int facing, const Pose& p, float smearFrom, float smearTo) {
  const Facing& f = kFacings[facing];
  float sx = ShoulderX(f.view) + p.lean;
  if (f.mirror) sx = kCell - 1 - sx;
  float sy = 61 + p.bob;
  float uy = std::sin(Rad(p.parasol));
  PrincessHairBack(cell, f.view, f.mirror, p);
  PrincessSkirtAndFeet(cell, f.view, f.mirror, p);
  PrincessBodice(cell, f.view, f.mirror, p);
  PrincessHairOver(cell, f.view, f.mirror, p);
  PrincessHead(cell, f.view, f.mirror, p);
  if (smearTo != smearFrom) SwingSmear(cell, sx, sy, smearFrom, smearTo, 33);
  // The arm goes over the parasol's handle unless the parasol swings down
  // in front of her.
  if (p.parasolShown) PrincessParasol(cell, sx, sy, p, uy > 0.3f || f.view == View::Back);
}

}  // namespace gen::party
