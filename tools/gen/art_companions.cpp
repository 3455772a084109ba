// The three companions in their three views: the drill knight, the shield
// bun and the orb mage, from shared eyes, mouths, feet and arms.
#include <cmath>

#include "canvas.h"
#include "party.h"

namespace gen::party {
namespace {

// Eyes in a companion's face centred at (x, y); `gap` between the eyes.
void BuddyEyes(Canvas& l, int x, int y, int gap, Mood mood, Rgb eye, bool oneEye) {
  auto one = [&](int ex) {
    switch (mood) {
      case Mood::Calm:
        l.FillRect(ex, y - 1, 2, 3, eye);
        if (eye == kEye) l.Set(ex, y - 1, kWhite);
        break;
      case Mood::Hurt:
        l.Line(ex - 1, y - 1, ex + 1, y, eye);
        l.Line(ex + 1, y, ex - 1, y + 1, eye);
        break;
      case Mood::Dizzy:
        l.Set(ex, y - 1, eye);
        l.Set(ex + 1, y, eye);
        l.Set(ex, y + 1, eye);
        l.Set(ex - 1, y, eye);
        break;
      case Mood::Panic:
      case Mood::Scared:
        l.FillRect(ex - 1, y - 2, 3, 4, kWhite);
        l.Set(ex, y - 1, eye);
        l.Set(ex, y, eye);
        break;
    }
  };
  if (oneEye) {
    one(x);
  } else {
    one(x - gap / 2 - 1);
    one(x + gap / 2);
  }
}

void BuddyMouth(Canvas& l, int x, int y, Mood mood, Rgb col) {
  switch (mood) {
    case Mood::Calm: l.Set(x, y, col); break;
    case Mood::Hurt:
    case Mood::Dizzy: l.Line(x - 1, y, x + 1, y, col); break;
    case Mood::Panic:
    case Mood::Scared: l.FillRect(x - 1, y, 2, 2, col); break;
  }
}

// Two small feet (or boots) under a companion.
void BuddyFeet(Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p, const Ramp& ramp, int spread) {
  Canvas l = NewLayer(kSmall);
  float st = p.step;
  if (p.sitting) {
    Ell(l, 28 - spread - 1, kGround - 2, 3.5f, 2.5f, ramp.base);
    Ell(l, 28 + spread + 1, kGround - 2, 3.5f, 2.5f, ramp.base);
  } else if (v == BuddyView::Side) {
    float reach = p.lift ? 6 : 4;
    Ell(l, 27 - reach * st, kGround - 2 - (st < 0 ? 1 : 0), 3.5f, 2, ramp.lo);
    Ell(l, 29 + reach * st, kGround - 2 - (st > 0 ? 1 : 0), 3.5f, 2, ramp.base);
  } else {
    float up = p.lift ? 2.5f : 1.5f;
    Ell(l, 28 - spread, kGround - 2 - up * std::fmax(0.0f, st), 3, 2, ramp.base);
    Ell(l, 28 + spread, kGround - 2 - up * std::fmax(0.0f, -st), 3, 2, ramp.base);
  }
  Finish(cell, l, mirror, {&ramp}, 1);
}

// Arms: two small round hands at the sides, or raised in panic.
void BuddyArms(Canvas& l, float cx, float cy, float out, const BuddyPose& p, BuddyView v, const Ramp& ramp) {
  if (p.armsUp) {
    Capsule(l, cx - out + 2, cy, cx - out - 2, cy - 12, 1.8f, ramp.base);
    Capsule(l, cx + out - 2, cy, cx + out + 2, cy - 12, 1.8f, ramp.base);
    Disc(l, cx - out - 2, cy - 13, 2.5f, ramp.base);
    Disc(l, cx + out + 2, cy - 13, 2.5f, ramp.base);
    return;
  }
  float swing = 2 * p.step;
  if (v == BuddyView::Side) {
    Disc(l, cx + swing, cy + 3, 2.8f, ramp.base);
  } else {
    Disc(l, cx - out, cy + 2 + swing * 0.5f, 2.8f, ramp.base);
    Disc(l, cx + out, cy + 2 - swing * 0.5f, 2.8f, ramp.base);
  }
}

// Companion 0: the drill knight.
void DrawPike(Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p) {
  float b = p.bob + (p.sitting ? 3 : 0);
  BuddyFeet(cell, v, mirror, p, kBoot, 5);
  // A red scarf streaming behind.
  {
    Canvas l = NewLayer(kSmall);
    if (v == BuddyView::Side) {
      Poly(l, {22, 41 + b, 26, 42 + b, 17 - p.step, 48 + b, 13 - p.step, 45 + b}, kScarf.base);
    } else if (v == BuddyView::Back) {
      Poly(l, {26, 41 + b, 30, 41 + b, 33 + p.step, 50 + b, 29 + p.step, 50 + b}, kScarf.base);
    }
    Finish(cell, l, mirror, {&kScarf}, 1);
  }
  Canvas l = NewLayer(kSmall);
  float cx = v == BuddyView::Side ? 27 : 28, cy = 38 + b;
  BuddyArms(l, cx, cy + 1, 11, p, v, kTeal);
  Ell(l, cx, cy, 11, 10.5f, kTeal.base);
  Shade(l, {&kTeal}, 2);
  // A lighter breastplate and a rivet band.
  if (v != BuddyView::Back) {
    Ell(l, cx + (v == BuddyView::Side ? 3 : 0), cy + 5, 6, 3.5f, kTeal.hi);
    l.Line(static_cast<int>(cx - 9), static_cast<int>(cy + 1), static_cast<int>(cx + 9), static_cast<int>(cy + 1), kTeal.lo);
  } else {
    l.Line(static_cast<int>(cx), static_cast<int>(cy - 8), static_cast<int>(cx), static_cast<int>(cy + 8), kTeal.lo);
  }
  // The face in the helmet's window.
  if (v == BuddyView::Front) {
    Ell(l, cx, cy - 3, 7, 4.5f, kSkin.base);
    l.Line(static_cast<int>(cx - 7), static_cast<int>(cy - 7), static_cast<int>(cx + 7), static_cast<int>(cy - 7), kTeal.lo);
    BuddyEyes(l, static_cast<int>(cx), static_cast<int>(cy - 3), 6, p.mood, kEye, false);
    BuddyMouth(l, static_cast<int>(cx), static_cast<int>(cy), p.mood, kMouth);
  } else if (v == BuddyView::Side) {
    Ell(l, cx + 6, cy - 3, 4.5f, 4.5f, kSkin.base);
    BuddyEyes(l, static_cast<int>(cx + 7), static_cast<int>(cy - 3), 0, p.mood, kEye, true);
    BuddyMouth(l, static_cast<int>(cx + 8), static_cast<int>(cy), p.mood, kMouth);
  }
  if (mirror) l.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, l);
  // The drill on the helmet, tipped forward in the side view.
  Canvas d = NewLayer(kSmall);
  float bx = cx, by = cy - 8, tx = cx, ty = cy - 25;
  if (v == BuddyView::Side) {
    bx = cx + 1;
    tx = cx + 10;
    ty = cy - 23;
  }
  float ux = tx - bx, uy = ty - by, len = std::sqrt(ux * ux + uy * uy);
  ux /= len;
  uy /= len;
  DirPoly(d, bx, by, ux, uy, {0, -6.5f, 0, 6.5f, len, 0}, kSteel.base);
  Ell(d, bx, by + 0.5f, 6.5f, 2, kSteel.base);
  Shade(d, {&kSteel}, 1);
  // Spiral grooves.
  for (float t = 3; t < len - 2; t += 4) {
    float w = 6.5f * (1 - t / len);
    float x0 = bx + t * ux + w * uy, y0 = by + t * uy - w * ux;
    float x1 = bx + (t + 2.5f) * ux - w * uy, y1 = by + (t + 2.5f) * uy + w * ux;
    LineOn(d, x0, y0, x1, y1, kSteel.lo);
  }
  if (mirror) d.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, d);
  // The scarf knot over the collar.
  if (v == BuddyView::Front) {
    Canvas s = NewLayer(kSmall);
    Ell(s, cx, cy + 4, 6.5f, 1.5f, kScarf.base);
    Poly(s, {cx + 2, cy + 4, cx + 5, cy + 4, cx + 6, cy + 10, cx + 3, cy + 9}, kScarf.base);
    Finish(cell, s, mirror, {&kScarf}, 1);
  }
}

// Companion 1: the shield bun.
void DrawBun(Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p) {
  float b = p.bob + (p.sitting ? 3 : 0);
  BuddyFeet(cell, v, mirror, p, kWood, 6);
  auto shield = [&](float x, float y, float rx, float ry) {
    Canvas s = NewLayer(kSmall);
    Ell(s, x, y, rx, ry, kGold.base);
    Ell(s, x, y, rx - 1.5f, ry - 1.5f, kWood.base);
    Shade(s, {&kWood}, 1);
    if (rx > 4) {
      s.Line(static_cast<int>(x - rx + 2), static_cast<int>(y), static_cast<int>(x + rx - 2), static_cast<int>(y), kWood.lo);
      s.Line(static_cast<int>(x), static_cast<int>(y - ry + 2), static_cast<int>(x), static_cast<int>(y + ry - 2), kWood.lo);
    }
    Disc(s, x, y, std::fmin(rx, ry) * 0.3f, kGold.hi);
    if (mirror) s.MirrorX(0, 0, kSmall, kSmall);
    Stamp(cell, s);
  };
  float cx = 28, cy = 37 + b;
  // Seen from behind the shield hangs on his back.
  Canvas l = NewLayer(kSmall);
  BuddyArms(l, cx, cy + 2, 13, p, v, kBun);
  Ell(l, cx, cy, 13, 12, kBun.base);
  Shade(l, {&kBun}, 3);
  Ell(l, cx + (v == BuddyView::Side ? 3 : 0), cy + 6, 7, 4, kBun.hi);
  if (v == BuddyView::Front) {
    BuddyEyes(l, static_cast<int>(cx), static_cast<int>(cy - 1), 9, p.mood, kEye, false);
    l.Set(static_cast<int>(cx - 8), static_cast<int>(cy + 3), kBlush);
    l.Set(static_cast<int>(cx + 7), static_cast<int>(cy + 3), kBlush);
    BuddyMouth(l, static_cast<int>(cx), static_cast<int>(cy + 3), p.mood, kMouth);
  } else if (v == BuddyView::Side) {
    BuddyEyes(l, static_cast<int>(cx + 7), static_cast<int>(cy - 2), 0, p.mood, kEye, true);
    l.Set(static_cast<int>(cx + 5), static_cast<int>(cy + 2), kBlush);
    BuddyMouth(l, static_cast<int>(cx + 10), static_cast<int>(cy + 2), p.mood, kMouth);
  }
  if (mirror) l.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, l);
  // The pot helmet.
  Canvas h = NewLayer(kSmall);
  float hx = cx + (v == BuddyView::Side ? -1 : 0);
  Ell(h, hx, cy - 8, 11, 6.5f, kPot.base);
  h.FillRect(static_cast<int>(hx - 12), static_cast<int>(cy - 7), 25, 2, kPot.base);
  for (int y = static_cast<int>(cy - 6); y < kSmall; ++y) h.FillRect(0, y, kSmall, 1, kKey);
  Shade(h, {&kPot}, 1);
  h.Line(static_cast<int>(hx - 12), static_cast<int>(cy - 7), static_cast<int>(hx + 12), static_cast<int>(cy - 7), kPot.lo);
  Disc(h, hx, cy - 15, 1.5f, kPot.lo);
  if (mirror) h.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, h);
  if (p.armsUp) {
    if (v != BuddyView::Back) return;
  }
  float sy = cy - (p.sitting ? 3 : 0);  // sat down, he rests it on the ground
  switch (v) {
    case BuddyView::Front: shield(cx + 12, sy + 6, 7, 8); break;
    case BuddyView::Side: shield(cx + 13, sy + 7, 3, 7.5f); break;
    case BuddyView::Back: shield(cx, sy + 3, 8.5f, 8.5f); break;
  }
}

// Companion 2: the orb mage.
void DrawMage(Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p) {
  float b = p.bob + (p.sitting ? 3 : 0);
  BuddyFeet(cell, v, mirror, p, kBoot, 5);
  float cx = 28;
  auto orb = [&](float x, float y, float r) {
    Canvas o = NewLayer(kSmall);
    Disc(o, x, y, r, kOrb.base);
    Shade(o, {&kOrb}, 2);
    Disc(o, x - r * 0.35f, y - r * 0.35f, r * 0.3f, kOrb.hi);
    o.Set(static_cast<int>(x - r * 0.35f), static_cast<int>(y - r * 0.35f), kWhite);
    if (mirror) o.MirrorX(0, 0, kSmall, kSmall);
    Stamp(cell, o);
  };
  if (v == BuddyView::Back && !p.armsUp) orb(cx + 10, 42 + b, 5.5f);
  // The robe.
  Canvas l = NewLayer(kSmall);
  float sway = p.step;
  Poly(l, {cx - 7, 31 + b, cx + 7, 31 + b, cx + 12 + sway, 50, cx - 12 + sway, 50}, kRobe.base);
  Ell(l, cx + sway, 49.5f, 12, 2, kRobe.base);
  BuddyArms(l, cx, 37 + b, 10, p, v, kRobe);
  Shade(l, {&kRobe}, 2);
  // Golden trim down the front and along the hem.
  if (v == BuddyView::Front) l.Line(static_cast<int>(cx), static_cast<int>(38 + b), static_cast<int>(cx + sway), 49, kGold.base);
  for (int x = 0; x < kSmall; ++x) {
    for (int y = 46; y < kSmall; ++y) {
      Rgb c = l.Get(x, y);
      if (c != kKey && IsKey(l, x, y + 1)) {
        l.Set(x, y, kGold.lo);
        break;
      }
    }
  }
  // The face: in the hat's shadow, only two eyes glow.
  if (v == BuddyView::Front) {
    Ell(l, cx, 31 + b, 7, 5, kShadowFace);
    BuddyEyes(l, static_cast<int>(cx), static_cast<int>(31 + b), 6, p.mood, kGlowEye, false);
  } else if (v == BuddyView::Side) {
    Ell(l, cx + 4, 31 + b, 4.5f, 5, kShadowFace);
    BuddyEyes(l, static_cast<int>(cx + 6), static_cast<int>(31 + b), 0, p.mood, kGlowEye, true);
  } else {
    Ell(l, cx, 31 + b, 7, 5, kRobe.lo);
  }
  if (mirror) l.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, l);
  // The hat: a wide brim and a cone whose tip flops backwards.
  Canvas h = NewLayer(kSmall);
  float lean = v == BuddyView::Side ? -4 : v == BuddyView::Back ? 0 : 3;
  Poly(h, {cx - 8, 26 + b, cx + 8, 26 + b, cx + 1 + lean * 0.5f, 12 + b, cx - 1 + lean * 0.5f, 12 + b}, kRobe.base);
  Poly(h, {cx - 1 + lean * 0.5f, 13 + b, cx + 1.5f + lean * 0.5f, 12 + b, cx + lean * 1.6f, 8 + b}, kRobe.base);
  Ell(h, cx, 26.5f + b, 13, 3, kRobe.base);
  Shade(h, {&kRobe}, 1);
  h.Line(static_cast<int>(cx - 7), static_cast<int>(24 + b), static_cast<int>(cx + 7), static_cast<int>(24 + b), kGold.base);
  if (v != BuddyView::Back) {
    float sx = cx + (v == BuddyView::Side ? 2.0f : 0.0f), sy = 19 + b;
    Poly(h, {sx - 2.5f, sy, sx - 0.7f, sy - 0.7f, sx, sy - 2.5f, sx + 0.7f, sy - 0.7f, sx + 2.5f, sy, sx + 0.7f, sy + 0.7f,
             sx, sy + 2.5f, sx - 0.7f, sy + 0.7f},
         kGold.hi);
  }
  if (mirror) h.MirrorX(0, 0, kSmall, kSmall);
  Stamp(cell, h);
  if (p.armsUp) {
    orb(cx, 11 + b, 5);
  } else if (v == BuddyView::Front) {
    orb(cx, 41 + b, 6);
  } else if (v == BuddyView::Side) {
    orb(cx + 9, 39 + b, 6);
  }
}

using BuddyDraw = void (*)(Canvas&, BuddyView, bool, const BuddyPose&);
const BuddyDraw kBuddies[3] = {DrawPike, DrawBun, DrawMage};

}  // namespace

void DrawBuddy(int who, Canvas& cell, BuddyView v, bool mirror, const BuddyPose& p) {
  kBuddies[who](cell, v, mirror, p);
}

}  // namespace gen::party
