// The party's pictures: the princess with her parasol, her three small
// companions and the piercing streak of the first one. Every figure is built
// from layers of simple shapes; each layer gets its own dark outline and a
// shading with the light from the top left, so parts that overlap stay
// readable. The backgrounds are magenta: the game takes the key of these
// sheets from the top-left pixel, so magenta never appears in a drawing.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace {

constexpr float kPi = 3.14159265f;
constexpr Rgb kKey = kMagenta;
constexpr Rgb kInk{24, 20, 32};

// A material: highlight, base and shadow.
struct Ramp {
  Rgb hi, base, lo;
};

const Ramp kSkin{{252, 224, 192}, {248, 200, 160}, {216, 152, 112}};
const Ramp kPink{{252, 176, 208}, {248, 120, 168}, {200, 72, 128}};
const Ramp kGold{{255, 244, 160}, {248, 216, 72}, {200, 152, 32}};
const Ramp kHair{{248, 204, 120}, {232, 152, 64}, {184, 104, 40}};
constexpr Rgb kHairDeep{136, 72, 40};
const Ramp kLace{{255, 255, 255}, {232, 226, 244}, {176, 164, 208}};
const Ramp kPanel{{255, 228, 240}, {248, 188, 216}, {216, 136, 184}};
const Ramp kShoe{{200, 72, 128}, {136, 40, 96}, {96, 32, 72}};
const Ramp kWood{{168, 112, 64}, {120, 72, 40}, {80, 48, 32}};
constexpr Rgb kEye{56, 40, 104};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlush{248, 144, 160};
constexpr Rgb kMouth{176, 56, 80};
constexpr Rgb kGem{224, 56, 56};

// ---------------------------------------------------------------------------
// Shapes with fractional positions (pixel centres at whole coordinates).

void Ell(Canvas& c, float cx, float cy, float rx, float ry, Rgb col) {
  if (rx <= 0 || ry <= 0) return;
  for (int y = static_cast<int>(std::floor(cy - ry)) - 1; y <= static_cast<int>(std::ceil(cy + ry)) + 1; ++y) {
    for (int x = static_cast<int>(std::floor(cx - rx)) - 1; x <= static_cast<int>(std::ceil(cx + rx)) + 1; ++x) {
      float dx = (x - cx) / rx, dy = (y - cy) / ry;
      if (dx * dx + dy * dy <= 1.0f) c.Set(x, y, col);
    }
  }
}
void Disc(Canvas& c, float cx, float cy, float r, Rgb col) { Ell(c, cx, cy, r, r, col); }

// A line with round ends, `r` pixels from its middle to its edge.
void Capsule(Canvas& c, float x0, float y0, float x1, float y1, float r, Rgb col) {
  float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
  int left = static_cast<int>(std::floor(std::fmin(x0, x1) - r)) - 1;
  int right = static_cast<int>(std::ceil(std::fmax(x0, x1) + r)) + 1;
  int top = static_cast<int>(std::floor(std::fmin(y0, y1) - r)) - 1;
  int bottom = static_cast<int>(std::ceil(std::fmax(y0, y1) + r)) + 1;
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      float t = len2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / len2 : 0.0f;
      t = std::fmax(0.0f, std::fmin(1.0f, t));
      float ex = x0 + t * dx - x, ey = y0 + t * dy - y;
      if (ex * ex + ey * ey <= r * r) c.Set(x, y, col);
    }
  }
}

void Poly(Canvas& c, std::initializer_list<float> xy, Rgb col) {
  std::vector<int> points;
  for (float v : xy) points.push_back(static_cast<int>(std::lround(v)));
  c.FillPolygon(points, col);
}

// A polygon given as points along a direction: each pair (along, across)
// is measured from (ox, oy) along unit vector (ux, uy) and its normal.
void DirPoly(Canvas& c, float ox, float oy, float ux, float uy, std::initializer_list<float> pts, Rgb col) {
  std::vector<int> points;
  const float* p = pts.begin();
  for (size_t i = 0; i + 1 < pts.size(); i += 2) {
    float a = p[i], b = p[i + 1];
    points.push_back(static_cast<int>(std::lround(ox + a * ux - b * uy)));
    points.push_back(static_cast<int>(std::lround(oy + a * uy + b * ux)));
  }
  c.FillPolygon(points, col);
}

// ---------------------------------------------------------------------------
// Layers: a part of a figure drawn alone on the key colour, then shaded,
// outlined and laid over the figure.

Canvas NewLayer(int size) { return Canvas(size, size, kKey); }

bool IsKey(const Canvas& c, int x, int y) {
  if (x < 0 || y < 0 || x >= c.width() || y >= c.height()) return true;
  return c.Get(x, y) == kKey;
}

// Rims the silhouette: pixels of a ramp's base colour near the bottom-right
// edge take its shadow (`depth` pixels deep), those on the top-left edge its
// highlight.
void Shade(Canvas& c, std::initializer_list<const Ramp*> ramps, int depth = 2) {
  Canvas copy = c;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      Rgb p = copy.Get(x, y);
      for (const Ramp* r : ramps) {
        if (p != r->base) continue;
        bool lo = false;
        for (int k = 1; k <= depth && !lo; ++k)
          lo = IsKey(copy, x + k, y) || IsKey(copy, x, y + k) || IsKey(copy, x + k, y + k);
        if (lo) {
          c.Set(x, y, r->lo);
        } else if (IsKey(copy, x - 1, y) || IsKey(copy, x, y - 1) || IsKey(copy, x - 1, y - 1)) {
          c.Set(x, y, r->hi);
        }
        break;
      }
    }
  }
}

void Stamp(Canvas& dst, Canvas& layer, bool outline = true) {
  if (outline) layer.Outline(0, 0, layer.width(), layer.height(), kKey, kInk);
  dst.Blit(layer, 0, 0, layer.width(), layer.height(), 0, 0, &kKey);
}

// Finishes a layer drawn facing right (or front) and lays it over `dst`.
void Finish(Canvas& dst, Canvas& layer, bool mirror, std::initializer_list<const Ramp*> ramps, int depth = 2) {
  if (mirror) layer.MirrorX(0, 0, layer.width(), layer.height());
  Shade(layer, ramps, depth);
  Stamp(dst, layer);
}

// Copies a finished cell into a sheet.
void Put(Canvas& sheet, const Canvas& cell, int column, int row) {
  sheet.Blit(cell, 0, 0, cell.width(), cell.height(), column * cell.width(), row * cell.height());
}

float Rad(float degrees) { return degrees * kPi / 180.0f; }

// A line drawn only over pixels already painted, for grooves and seams.
void LineOn(Canvas& c, float x0, float y0, float x1, float y1, Rgb col) {
  Canvas mark(c.width(), c.height(), kKey);
  mark.Line(static_cast<int>(std::lround(x0)), static_cast<int>(std::lround(y0)), static_cast<int>(std::lround(x1)),
            static_cast<int>(std::lround(y1)), col);
  for (int y = 0; y < c.height(); ++y)
    for (int x = 0; x < c.width(); ++x)
      if (mark.Get(x, y) != kKey && c.Get(x, y) != kKey) c.Set(x, y, col);
}

// A few four-point twinkles, for hits and dizziness.
void Twinkle(Canvas& c, int x, int y, int size, Rgb col, Rgb core) {
  c.Line(x - size, y, x + size, y, col);
  c.Line(x, y - size, x, y + size, col);
  c.Set(x, y, core);
}

// ---------------------------------------------------------------------------
// The princess: 96 x 96 cells. Rows 0-7 are her facings, row 8 her death;
// columns 0-1 stand, 2-5 walk, 6-8 swing, 11 knocked back.

constexpr int kCell = 96;

enum class View { Front, Side, Back, FrontQuarter, BackQuarter };

struct Facing {
  View view;
  bool mirror;
  float degrees;  // screen angle she looks along (0 right, 90 down)
};
// Facings in sheet-row order: down, right, up, left, down-right, up-right,
// down-left, up-left. The left-hand views are the right-hand ones mirrored.
const Facing kFacings[8] = {
    {View::Front, false, 90},        {View::Side, false, 0},          {View::Back, false, 270},
    {View::Side, true, 180},         {View::FrontQuarter, false, 45}, {View::BackQuarter, false, 315},
    {View::FrontQuarter, true, 135}, {View::BackQuarter, true, 225},
};

enum class Face { Calm, Shut, Fierce };

struct Pose {
  int bob = 0;             // body lowered by this many pixels
  int lean = 0;            // upper body shifted sideways (drawing before mirroring)
  float stride = 0;        // -1..1: which foot is ahead
  float freeArm = 0;       // -1..1: swing of the empty hand
  float parasol = -100;    // screen angle from grip to tip
  bool reach = false;      // the holding arm follows the parasol (a swing)
  bool parasolShown = true;
  bool feetShown = true;
  Face face = Face::Calm;
};

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

void DrawPrincess(Canvas& cell, int facing, const Pose& p, float smearFrom = 0, float smearTo = 0) {
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

// Her pose for a sheet cell of facing rows 0-7.
Pose PrincessPose(int facing, int column, float* smearFrom, float* smearTo) {
  Pose p;
  const Facing& f = kFacings[facing];
  bool rightSide = !f.mirror;
  // At rest the parasol leans on her shoulder, tip up and outward.
  float rest = f.view == View::Side ? -118 : f.view == View::Back || f.view == View::BackQuarter ? -72 : -104;
  if (!rightSide) rest = 180 - rest;
  p.parasol = rest;
  *smearFrom = *smearTo = 0;
  if (column <= 1) {
    p.bob = column;
    p.parasol = rest + (column ? 2.0f : 0.0f);
  } else if (column <= 5) {
    static const float kStride[4] = {-1, -0.35f, 0.35f, 1};
    p.stride = kStride[column - 2];
    p.bob = (column == 3 || column == 4) ? 0 : 1;
    p.freeArm = -p.stride;
    p.parasol = rest + 4 * p.stride;
  } else if (column <= 8) {
    // The swing sweeps from behind her, past her side (where a companion
    // stands to be struck) and on ahead.
    p.reach = true;
    p.face = Face::Fierce;
    float a = f.degrees;
    static const float kAngle[3] = {165, 105, 25};
    p.parasol = a + kAngle[column - 6];
    p.bob = column == 6 ? 0 : 1;
    p.stride = column == 6 ? -0.6f : 0.6f;
    if (column == 7) {
      *smearFrom = a + 175;
      *smearTo = a + 108;
    } else if (column == 8) {
      *smearFrom = a + 160;
      *smearTo = a + 28;
    }
  }
  return p;
}

// An impact burst: an eight-pointed star, white with a golden heart.
void Burst(Canvas& cell, float x, float y, float r, float turn) {
  Canvas l = NewLayer(cell.width());
  std::vector<int> points;
  for (int i = 0; i < 16; ++i) {
    float a = Rad(turn + i * 22.5f), d = (i & 1) ? r * 0.42f : r;
    points.push_back(static_cast<int>(std::lround(x + d * std::cos(a))));
    points.push_back(static_cast<int>(std::lround(y + d * std::sin(a))));
  }
  l.FillPolygon(points, kWhite);
  Disc(l, x, y, r * 0.3f, kGold.base);
  Stamp(cell, l);
}

// Lays `src` over `dst` leaning by `lean` pixels per pixel of height above
// her feet and moved by (dx, dy).
void LeanBlit(Canvas& dst, const Canvas& src, float lean, int dx, int dy) {
  for (int y = 0; y < dst.height(); ++y) {
    int off = static_cast<int>(std::lround(lean * (91 - y)));
    for (int x = 0; x < dst.width(); ++x) {
      int sx = x - off - dx, sy = y - dy;
      if (sx < 0 || sy < 0 || sx >= src.width() || sy >= src.height()) continue;
      Rgb c = src.Get(sx, sy);
      if (c == kKey) continue;
      dst.Set(x, y, c);
    }
  }
}

// Knocked back (column 11): she faces what hit her, flinches away from it,
// her parasol flung back, a burst where the blow landed.
void DrawKnockedBack(Canvas& cell, int facing) {
  Pose p;
  p.face = Face::Shut;
  p.reach = true;
  p.parasol = kFacings[facing].degrees + 160;
  p.bob = 1;
  p.stride = 0.6f;
  p.freeArm = 1;
  Canvas body(kCell, kCell, kKey);
  DrawPrincess(body, facing, p);
  float a = Rad(kFacings[facing].degrees);
  float lean = -0.14f * std::cos(a);
  int dx = static_cast<int>(std::lround(-3 * std::cos(a)));
  int dy = static_cast<int>(std::lround(-3 * std::sin(a)));
  if (dy > 1) dy = 1;  // her feet stay inside the cell
  LeanBlit(cell, body, lean, dx, dy);
  float bx = 48 + 24 * std::cos(a), by = 62 + 20 * std::sin(a);
  Burst(cell, bx, by, 9, 10);
  Twinkle(cell, static_cast<int>(bx + 8), static_cast<int>(by - 10), 2, kGold.base, kWhite);
  Twinkle(cell, static_cast<int>(bx - 9), static_cast<int>(by + 7), 2, kGold.base, kWhite);
}

// Stars circling a dizzy head; `phase` turns them.
void DizzyStars(Canvas& cell, float cx, float cy, float phase) {
  for (int i = 0; i < 3; ++i) {
    float a = Rad(phase + i * 120);
    int x = static_cast<int>(std::lround(cx + 14 * std::cos(a))), y = static_cast<int>(std::lround(cy + 4 * std::sin(a)));
    Canvas l = NewLayer(kCell);
    Poly(l, {x - 3.0f, y + 0.0f, x - 1.0f, y - 1.0f, x + 0.0f, y - 3.0f, x + 1.0f, y - 1.0f, x + 3.0f, y + 0.0f,
             x + 1.0f, y + 1.0f, x + 0.0f, y + 3.0f, x - 1.0f, y + 1.0f},
         kGold.base);
    l.Set(x, y, kGold.hi);
    Stamp(cell, l);
  }
}

// Her figure lying on her back, head to the left: the front view turned a
// quarter.
Canvas LyingPrincess() {
  Pose p;
  p.face = Face::Shut;
  p.parasolShown = false;
  p.freeArm = 1;
  Canvas side(kCell, kCell, kKey);
  DrawPrincess(side, 0, p);
  Canvas lying(kCell, kCell, kKey);
  for (int y = 0; y < kCell; ++y)
    for (int x = 0; x < kCell; ++x) {
      // Top of the standing figure goes left.
      int sx = kCell - 1 - (y - 28), sy = x + 12;
      if (sx < 0 || sy < 0 || sx >= kCell || sy >= kCell) continue;
      lying.Set(x, y, side.Get(sx, sy));
    }
  return lying;
}

// A little soul rising, for the last frames of her fall.
void Soul(Canvas& cell, float x, float y) {
  Canvas l = NewLayer(kCell);
  Ell(l, x, y, 5, 5.5f, kLace.base);
  Poly(l, {x - 5, y, x + 5, y, x + 3, y + 9, x + 1, y + 6, x - 1, y + 10, x - 3, y + 6}, kLace.base);
  Shade(l, {&kLace}, 1);
  l.Set(static_cast<int>(x - 2), static_cast<int>(y), kEye);
  l.Set(static_cast<int>(x + 2), static_cast<int>(y), kEye);
  Poly(l, {x - 3, y - 5, x - 2, y - 8, x, y - 6, x + 2, y - 8, x + 3, y - 5}, kGold.base);
  Stamp(cell, l);
}

// Row 8: she staggers (0, 1), sinks to her knees (2), falls (3) and lies
// fading while her soul floats up (4, 5 alternate).
void DrawDeath(Canvas& cell, int column) {
  if (column <= 1) {
    Pose p;
    p.face = Face::Shut;
    p.bob = 1;
    p.parasol = 122;
    p.freeArm = 1;
    Canvas body(kCell, kCell, kKey);
    DrawPrincess(body, 0, p);
    LeanBlit(cell, body, column ? 0.07f : -0.07f, 0, 0);
    DizzyStars(cell, 48 + (column ? 3.0f : -3.0f), 37, column ? 60.0f : 0.0f);
  } else if (column == 2) {
    Canvas pa = ParasolLayer(22, 88, -8);
    Stamp(cell, pa);
    Pose p;
    p.face = Face::Shut;
    p.bob = 7;
    p.parasolShown = false;
    p.feetShown = false;
    p.freeArm = 1;
    DrawPrincess(cell, 0, p);
    DizzyStars(cell, 48, 44, 30);
  } else {
    Canvas pa = ParasolLayer(58, 60, 12);
    Canvas lying = LyingPrincess();
    if (column == 5) {
      // Every other pixel drops out, so alternating with column 4 she
      // flickers as she fades.
      for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
          if ((x + y) & 1) lying.Set(x, y, kKey);
    }
    Stamp(cell, pa);
    cell.Blit(lying, 0, 0, kCell, kCell, 0, 0, &kKey);
    if (column == 3) {
      // A puff of dust where she landed.
      for (int i = 0; i < 4; ++i) {
        Canvas d = NewLayer(kCell);
        Disc(d, 16 + i * 20.0f, 88 - (i & 1), 3 - (i & 1), kLace.lo);
        Stamp(cell, d, false);
      }
    } else {
      Soul(cell, 44, column == 4 ? 48.0f : 40.0f);
    }
  }
}

Canvas MakePrincessSheet() {
  Canvas sheet(12 * kCell, 9 * kCell, kKey);
  for (int facing = 0; facing < 8; ++facing) {
    for (int column = 0; column < 12; ++column) {
      // Columns 9 and 10 are never shown; she is knocked back only in the
      // four straight facings.
      if (column == 9 || column == 10) continue;
      if (column == 11 && facing > 3) continue;
      Canvas cell(kCell, kCell, kKey);
      if (column == 11) {
        DrawKnockedBack(cell, facing);
      } else {
        float from, to;
        Pose p = PrincessPose(facing, column, &from, &to);
        DrawPrincess(cell, facing, p, from, to);
      }
      Put(sheet, cell, column, facing);
    }
  }
  for (int column = 0; column < 6; ++column) {
    Canvas cell(kCell, kCell, kKey);
    DrawDeath(cell, column);
    Put(sheet, cell, column, 8);
  }
  return sheet;
}

// ---------------------------------------------------------------------------
// The companions: 56 x 56 cells. Rows 0-3 face down, right, up, left with
// columns 0-1 standing, 2-5 walking, 6-7 hurt, 8 landed, 9-10 panic and
// 11-12 running away; rows 4-5 are the two flight frames, one column per
// facing of the princess at the strike.

constexpr int kSmall = 56;
constexpr float kGround = 52;  // the bottom of their feet

// Companion 0, the piercer: a little knight whose helmet ends in a drill.
const Ramp kTeal{{136, 224, 224}, {72, 176, 192}, {40, 120, 144}};
const Ramp kSteel{{240, 240, 248}, {192, 196, 216}, {128, 132, 164}};
const Ramp kScarf{{248, 112, 96}, {224, 56, 56}, {160, 32, 40}};
// Companion 1, the sturdy one: a round bun of a fellow with a pot helmet
// and a big wooden shield.
const Ramp kBun{{252, 204, 128}, {240, 164, 88}, {200, 116, 56}};
const Ramp kPot{{200, 200, 216}, {152, 152, 176}, {104, 104, 132}};
// Companion 2, the stunner: a small mage in a pointed hat with a great orb.
const Ramp kRobe{{184, 128, 232}, {136, 80, 192}, {92, 52, 144}};
const Ramp kOrb{{224, 252, 255}, {120, 216, 248}, {48, 144, 216}};
const Ramp kBoot{{104, 88, 120}, {72, 60, 88}, {48, 40, 64}};
constexpr Rgb kShadowFace{40, 32, 72};
constexpr Rgb kGlowEye{252, 236, 112};
constexpr Rgb kSweat{136, 200, 248};

enum class Mood { Calm, Hurt, Dizzy, Panic, Scared };

struct BuddyPose {
  int bob = 0;            // whole figure lowered
  float step = 0;         // -1..1 which foot is ahead; 0 both together
  bool lift = false;      // feet apart as in a stride
  bool sitting = false;   // landed: sat down, feet forward
  bool armsUp = false;    // panic
  Mood mood = Mood::Calm;
};

enum class BuddyView { Front, Side, Back };

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
  kBuddies[who](body, v, mirror, p);
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

}  // namespace

bool MakeParty(const std::string& gameFolder) {
  const std::string folder = gameFolder + "/BMP/";
  if (!MakePrincessSheet().SaveBmp(folder + "princess.bmp")) return false;
  static const char* const kNames[3] = {"damenzu_00.bmp", "damenzu_01.bmp", "damenzu_02.bmp"};
  for (int who = 0; who < 3; ++who)
    if (!MakeBuddySheet(who).SaveBmp(folder + kNames[who])) return false;
  return MakeTrailSheet().SaveBmp(folder + "damenzu_ef00.bmp");
}

}  // namespace gen
