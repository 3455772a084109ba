// The dragon boss's pictures: five body frames, the head sheet, the wings
// behind it, its shadow, the roar, and its two fire projectiles (the last
// four in art_dragon_fire.cpp).
//
// How the parts meet on screen: the body (600 x 250) hangs from the top edge
// of the screen, the wings (1050 x 500) are laid 200 pixels to its left so
// that their middle falls on the body's middle, and the head (180 x 250
// cells) hangs in front of the body on a neck that leaves the top of its
// cell: the cell's top is always above the screen, so the neck seems to come
// down from the dragon's unseen upper body wherever the head moves. The
// mouth sits at (90, 222) in the cell, where the fireballs leave and the roar
// spreads from.
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "art.h"
#include "canvas.h"
#include "dragon.h"

namespace gen {
namespace {

using dragon::kFire;
using dragon::R;

struct Ramp4 {
  Rgb hi, mid, lo, deep;
};

constexpr Rgb kOutline{24, 20, 32};
constexpr Rgb kRim{56, 36, 80};
constexpr Rgb kKey{1, 1, 1};  // empty layer pixels; never drawn
constexpr Ramp4 kScale{{184, 128, 216}, {140, 84, 180}, {104, 60, 144}, {72, 44, 108}};
constexpr Ramp4 kBelly{{248, 228, 168}, {224, 192, 120}, {184, 144, 88}, {136, 100, 72}};
constexpr Ramp4 kHorn{{248, 240, 216}, {216, 200, 160}, {168, 148, 112}, {120, 100, 80}};
constexpr Ramp4 kMembrane{{160, 88, 160}, {124, 64, 136}, {96, 48, 112}, {72, 36, 92}};
constexpr Rgb kEyeGlow{248, 232, 96};
constexpr Rgb kEyeHot{248, 160, 48};
constexpr Rgb kMouth{120, 28, 48};
constexpr Rgb kTongue{224, 88, 112};

// Draws into a fresh layer the size of the canvas, outlines it (twice for a
// heavy edge) and lays it over the canvas.
void Part(Canvas& c, const std::function<void(Canvas&)>& draw, bool heavy = true) {
  Canvas layer(c.width(), c.height(), kKey);
  draw(layer);
  if (heavy) layer.Outline(0, 0, layer.width(), layer.height(), kKey, kRim);
  layer.Outline(0, 0, layer.width(), layer.height(), kKey, kOutline);
  c.Blit(layer, 0, 0, layer.width(), layer.height(), 0, 0, &kKey);
}

// A shape lit from the upper left: four nested ellipses.
void Blob(Canvas& c, float cx, float cy, float rx, float ry, const Ramp4& r) {
  c.FillEllipse(R(cx), R(cy), R(rx), R(ry), r.deep);
  c.FillEllipse(R(cx - rx * 0.06f), R(cy - ry * 0.08f), R(rx * 0.92f), R(ry * 0.9f), r.lo);
  c.FillEllipse(R(cx - rx * 0.14f), R(cy - ry * 0.18f), R(rx * 0.72f), R(ry * 0.7f), r.mid);
  c.FillEllipse(R(cx - rx * 0.3f), R(cy - ry * 0.36f), R(rx * 0.3f), R(ry * 0.26f), r.hi);
}

void Thick(Canvas& c, float x0, float y0, float x1, float y1, float r0, float r1, Rgb col) {
  float len = std::hypot(x1 - x0, y1 - y0);
  int n = std::max(1, R(len));
  for (int i = 0; i <= n; ++i) {
    float t = static_cast<float>(i) / n;
    c.FillCircle(R(x0 + (x1 - x0) * t), R(y0 + (y1 - y0) * t), R(r0 + (r1 - r0) * t), col);
  }
}

// A limb: a tapered thick line with a lit upper edge.
void Limb(Canvas& c, float x0, float y0, float x1, float y1, float r0, float r1, const Ramp4& r) {
  Thick(c, x0, y0, x1, y1, r0, r1, r.lo);
  Thick(c, x0 - r0 * 0.25f, y0 - r0 * 0.2f, x1 - r1 * 0.25f, y1 - r1 * 0.2f, r0 * 0.6f, r1 * 0.6f, r.mid);
  Thick(c, x0 - r0 * 0.45f, y0 - r0 * 0.35f, x1 - r1 * 0.45f, y1 - r1 * 0.35f, r0 * 0.2f, r1 * 0.2f,
        r.hi);
}

// A curved horn or talon from its root, bending as it goes.
void Horn(Canvas& c, float x, float y, float angle, float bend, float length, float width,
          const Ramp4& r) {
  int n = 16;
  for (int i = 0; i <= n; ++i) {
    float t = static_cast<float>(i) / n;
    float a = angle + bend * t;
    float w = width * (1.0f - t) + 1.0f;
    Rgb col = t < 0.35f ? r.lo : t < 0.75f ? r.mid : r.hi;
    c.FillCircle(R(x), R(y), R(w), col);
    x += std::cos(a) * length / n;
    y += std::sin(a) * length / n;
  }
}

// Fish scales over every pixel of the scale mid and low shades: rows of
// half discs hanging from their top edge, each row shifted by half a scale,
// with a dark rim at the bottom of each and a glint near its top.
void Scales(Canvas& c, const Ramp4& r, int size) {
  const int w = size * 2, h = size;
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      Rgb p = c.Get(x, y);
      if (p != r.mid && p != r.lo) continue;
      int row = y / h;
      int shift = (row % 2) * (w / 2);
      int col = (x + shift) / w;
      float cx = col * w + w / 2.0f - shift, cy = static_cast<float>(row * h);
      float u = (x + 0.5f - cx) / (w / 2.0f), v = (y + 0.5f - cy) / h;
      float d = std::sqrt(u * u + v * v);
      Rgb dark = p == r.mid ? r.lo : r.deep;
      Rgb light = p == r.mid ? r.hi : r.mid;
      if (d > 0.82f && v > 0.3f) c.Set(x, y, dark);
      else if (d < 0.3f && v > 0.1f && u < 0.1f) c.Set(x, y, light);
    }
  }
}

// ---------------------------------------------------------------------------
// Body

// One body frame. `breathe` 0..2 swells the chest; `lunge` 0..2 throws the
// forelegs out and raises the claws.
Canvas Body(int breathe, int lunge) {
  Canvas c(600, 250, kMagenta);
  const float swell = breathe * 3.0f;
  const float spread = lunge * 12.0f;
  const float drop = lunge * 5.0f;

  // Haunches and hind feet at the far sides.
  for (int side : {-1, 1}) {
    Part(c, [&](Canvas& l) {
      float hx = 300 + side * 235.0f;
      Blob(l, hx, 120 + drop, 70, 88, kScale);
      Blob(l, hx + side * 10.0f, 222, 44, 20, kScale);
      for (int k = -1; k <= 1; ++k)
        Horn(l, hx + side * 10.0f + k * 22.0f, 232, 1.57f - k * 0.3f, 0, 14, 4, kHorn);
    });
  }
  // The chest and belly.
  Part(c, [&](Canvas& l) {
    Blob(l, 300, 40 + drop, 200 + swell, 165 + swell, kScale);
    // Belly plates: curved bands down the middle.
    float top = -20 + drop, bottom = 196 + drop + swell;
    for (int y = R(top); y <= R(bottom); ++y) {
      float t = (y - top) / (bottom - top);
      float half = (92 + swell) * std::sqrt(std::max(0.0f, 1.0f - std::pow(std::max(0.0f, t * 1.3f - 0.3f), 2.0f)));
      for (int x = R(300 - half); x <= R(300 + half); ++x) {
        float u = (x - 300) / std::max(1.0f, half);
        float plate = std::fmod(y - top + u * u * 14.0f, 16.0f);
        Rgb col = plate < 2 ? kBelly.lo : plate < 4 ? kBelly.hi : (u > 0.45f ? kBelly.lo : kBelly.mid);
        if (plate >= 13) col = kBelly.deep;
        l.Set(x, y, col);
      }
    }
  });
  // Shoulders and forelegs down to the claws.
  for (int side : {-1, 1}) {
    Part(c, [&](Canvas& l) {
      float sx = 300 + side * (165 + swell + spread * 0.3f);
      float sy = 40 - swell + drop;
      float px = 300 + side * (175 + spread);
      float py = 210 - lunge * 12.0f;
      // Upper arm out to the elbow, forearm back in to the paw.
      float ex = 300 + side * (238 + spread * 0.6f), ey = 128 - lunge * 6.0f;
      Blob(l, sx, sy, 78, 74, kScale);
      Limb(l, sx, sy + 16, ex, ey, 46, 32, kScale);
      Limb(l, ex, ey, px, py - 6, 32, 26, kScale);
      // Spikes along the top of the shoulder and at the elbow.
      for (int k = 0; k < 3; ++k)
        Horn(l, sx + side * (k * 26.0f - 10), sy - 40 + k * 14.0f, -1.57f + side * (0.7f + k * 0.25f),
             side * 0.3f, 28 - k * 5.0f, 6, kHorn);
      Horn(l, ex + side * 26.0f, ey + 4, side > 0 ? -0.3f : 3.44f, side * 0.5f, 22, 6, kHorn);
      // The paw and its talons, spread wider in a lunge.
      Blob(l, px, py + 8, 48, 24, kScale);
      for (int k = -2; k <= 1; ++k) {
        float fan = (k + 0.5f) * (0.32f + lunge * 0.12f);
        Horn(l, px + (k + 0.5f) * 22.0f, py + 22, 1.57f + fan, -side * 0.35f, 20 + lunge * 5.0f, 5,
             kHorn);
      }
    });
  }
  Scales(c, kScale, 10);
  return c;
}

// ---------------------------------------------------------------------------
// Head

// One head cell: `turn` -1 looks a little to the left, +1 to the right;
// `look` 0 ahead (eyes wide), 1 resting (eyes half shut), 2 mouth open.
Canvas Head(int turn, int look) {
  Canvas c(180, 250, kMagenta);
  const float t = static_cast<float>(turn);
  const float cx = 90 + t * 5;   // the skull
  const float sx = 90 + t * 14;  // the snout
  // Neck: a column of scales with belly plates down its front, leaving the
  // top of the cell.
  Part(c, [&](Canvas& l) {
    for (int y = 0; y < 150; ++y) {
      float x = 90 + t * 4 * (y / 150.0f);
      float half = 36 + y * 0.04f;
      for (int i = R(x - half); i <= R(x + half); ++i) {
        float u = (i - x) / half;
        Rgb col = u < -0.55f ? kScale.mid : u < 0.5f ? kScale.lo : kScale.deep;
        if (u < -0.75f) col = kScale.hi;
        if (std::fabs(u) < 0.42f) {
          float plate = std::fmod(y + u * u * 10.0f, 14.0f);
          col = plate < 2 ? kBelly.lo : plate >= 12 ? kBelly.deep : u > 0.2f ? kBelly.lo : kBelly.mid;
        }
        l.Set(i, y, col);
      }
    }
  }, false);
  // Horns sweeping up and back, behind the skull, and frills at the cheeks.
  Part(c, [&](Canvas& l) {
    for (int side : {-1, 1}) {
      Horn(l, cx + side * 34.0f, 136, -1.57f + side * 0.75f, -side * 1.0f, 78, 11, kHorn);
      Horn(l, cx + side * 48.0f, 166, side > 0 ? 0.35f : 2.79f, side * -0.6f, 34, 6, kHorn);
      Horn(l, cx + side * 44.0f, 184, side > 0 ? 0.9f : 2.24f, side * -0.5f, 24, 4, kHorn);
    }
  });
  const bool open = look == 2;
  const float lip = open ? 206.0f : 226.0f;  // the bottom of the upper jaw
  if (open) {
    // The lower jaw dropped open, the mouth and the fire in the throat.
    Part(c, [&](Canvas& l) {
      Blob(l, sx, 238, 30, 10, kScale);
      l.FillEllipse(R(sx), 222, 27, 16, kMouth);
      l.FillEllipse(R(sx), 230, 16, 6, kTongue);
      l.FillEllipse(R(sx), 220, 17, 10, kFire[4]);
      l.FillEllipse(R(sx), 220, 13, 7, kFire[3]);
      l.FillEllipse(R(sx), 219, 9, 5, kFire[1]);
      l.FillEllipse(R(sx), 218, 4, 2, kFire[0]);
      for (int k = -2; k <= 2; ++k) {
        float tx = sx + k * 10.0f;
        l.FillPolygon({R(tx - 3), 236, R(tx), 227, R(tx + 3), 236}, kHorn.hi);
      }
    });
  }
  // Skull and snout.
  Part(c, [&](Canvas& l) {
    Blob(l, cx, 150, 54, 40, kScale);
    std::vector<int> snout = {R(cx - 44), 150, R(cx + 44), 150, R(sx + 31), R(lip - 18),
                              R(sx + 27), R(lip - 4), R(sx - 27), R(lip - 4), R(sx - 31), R(lip - 18)};
    l.FillPolygon(snout, kScale.lo);
    std::vector<int> lit = {R(cx - 38), 150, R(cx + 16), 150, R(sx + 8), R(lip - 12), R(sx - 24),
                            R(lip - 12)};
    l.FillPolygon(lit, kScale.mid);
    l.FillEllipse(R(sx), R(lip - 6), 28, 12, kScale.lo);
    l.FillEllipse(R(sx - 4), R(lip - 9), 20, 7, kScale.mid);
    l.FillEllipse(R(sx - 10), R(lip - 12), 7, 3, kScale.hi);
    for (int side : {-1, 1}) {
      l.FillEllipse(R(sx + side * 11.0f), R(lip - 3), 5, 3, kScale.deep);
      l.FillEllipse(R(sx + side * 11.0f), R(lip - 2), 3, 1, kMouth);
    }
    // A ridge of spines down the middle of the brow.
    for (int k = 0; k < 4; ++k) {
      float y = 116 + k * 11.0f;
      float x = cx + t * k * 1.5f;
      l.FillPolygon({R(x - 6), R(y + 9), R(x), R(y - 7), R(x + 6), R(y + 9)}, kHorn.mid);
      l.Line(R(x - 1), R(y - 5), R(x - 4), R(y + 8), kHorn.hi);
    }
  });
  // Teeth over the lip: a full row when open, two fangs when shut.
  Part(c, [&](Canvas& l) {
    if (open) {
      for (int k = -2; k <= 2; ++k) {
        float fx = sx + k * 10.0f;
        int len = std::abs(k) == 2 ? 14 : 8;
        l.FillPolygon({R(fx - 3), R(lip), R(fx + 3), R(lip), R(fx), R(lip + len)}, kHorn.hi);
      }
    } else {
      for (int side : {-1, 1}) {
        float fx = sx + side * 20.0f;
        l.FillPolygon({R(fx - 3), R(lip - 2), R(fx + 3), R(lip - 2), R(fx), R(lip + 10)}, kHorn.hi);
      }
    }
  }, false);
  if (!open) c.Line(R(sx - 24), R(lip), R(sx + 24), R(lip), kOutline);
  // Eyes under heavy brows.
  for (int side : {-1, 1}) {
    float ex = cx + side * 26.0f + t * 5, ey = 164;
    c.FillEllipse(R(ex), R(ey), 13, 7, kOutline);
    if (look == 1) {
      c.FillEllipse(R(ex), R(ey + 2), 11, 4, kEyeHot);
      c.FillRect(R(ex - 12), R(ey - 4), 25, 5, kScale.lo);
      c.FillRect(R(ex - 12), R(ey + 1), 25, 1, kOutline);
      c.FillRect(R(ex - 1 + t * 2), R(ey + 2), 2, 3, kOutline);
    } else {
      c.FillEllipse(R(ex), R(ey), 11, 5, kEyeHot);
      c.FillEllipse(R(ex - 2), R(ey - 1), 8, 3, kEyeGlow);
      c.FillRect(R(ex - 1 + t * 4), R(ey - 5), 3, 11, kOutline);  // the slit
      c.FillRect(R(ex - 7), R(ey - 3), 2, 2, Rgb{255, 252, 224});
    }
    // The brow slants down toward the middle: a scowl.
    c.FillPolygon({R(ex + side * 17.0f), R(ey - 15), R(ex - side * 15.0f), R(ey - 4), R(ex - side * 15.0f),
                   R(ey - 9), R(ex + side * 15.0f), R(ey - 19)},
                  kOutline);
    c.Line(R(ex + side * 16.0f), R(ey - 20), R(ex - side * 14.0f), R(ey - 10), kScale.hi);
  }
  Scales(c, kScale, 8);
  return c;
}

// ---------------------------------------------------------------------------
// Wings

// Points along a scalloped edge from a to b, bowed toward (px, py).
void Scallop(std::vector<int>& out, float ax, float ay, float bx, float by, float px, float py,
             float depth) {
  for (int i = 0; i <= 10; ++i) {
    float t = i / 10.0f;
    float x = ax + (bx - ax) * t, y = ay + (by - ay) * t;
    float pull = std::sin(t * 3.1415927f) * depth;
    float dx = px - x, dy = py - y, d = std::hypot(dx, dy);
    out.push_back(R(x + dx / d * pull));
    out.push_back(R(y + dy / d * pull));
  }
}

// Spread bat wings on black; their middle falls on the body's middle.
Canvas Wings() {
  Canvas c(1050, 500, kBlack);
  Canvas half(1050, 500, kKey);
  // The left wing; the right is its mirror image.
  const float shX = 360, shY = 70;      // the shoulder, hidden behind the body
  const float wrX = 180, wrY = 22;      // the wrist
  const float tips[5][2] = {{12, 92}, {30, 212}, {96, 304}, {196, 346}, {318, 300}};
  Part(half, [&](Canvas& l) {
    std::vector<int> poly = {R(shX), R(shY), R(wrX), R(wrY)};
    Scallop(poly, wrX, wrY, tips[0][0], tips[0][1], wrX, wrY, 0);
    for (int i = 0; i < 4; ++i) Scallop(poly, tips[i][0], tips[i][1], tips[i + 1][0], tips[i + 1][1], wrX, wrY, 34);
    poly.push_back(R(shX + 20));
    poly.push_back(240);
    l.FillPolygon(poly, kMembrane.mid);
    // Darker membrane toward the trailing edge, lighter near the arm.
    for (int y = 0; y < 500; ++y) {
      for (int x = 0; x < 525; ++x) {
        if (l.Get(x, y) != kMembrane.mid) continue;
        float d = std::hypot(x - wrX, y - wrY);
        if (d > 250) l.Set(x, y, kMembrane.deep);
        else if (d > 170) l.Set(x, y, kMembrane.lo);
        else if (d < 70) l.Set(x, y, kMembrane.hi);
      }
    }
    // Veins, then the finger bones and the arm.
    for (int i = 0; i < 4; ++i) {
      float mx = (tips[i][0] + tips[i + 1][0]) * 0.5f, my = (tips[i][1] + tips[i + 1][1]) * 0.5f;
      l.Line(R(wrX), R(wrY), R(wrX + (mx - wrX) * 0.8f), R(wrY + (my - wrY) * 0.8f), kMembrane.deep);
    }
    for (int i = 0; i < 5; ++i) Limb(l, wrX, wrY, tips[i][0], tips[i][1], 6, 2, kScale);
    Limb(l, shX, shY, wrX, wrY, 18, 9, kScale);
    Horn(l, wrX - 4, wrY - 2, -2.2f, 0.8f, 30, 6, kHorn);  // the thumb claw
  });
  c.Blit(half, 0, 0, 525, 500, 0, 0, &kKey);
  half.MirrorX(0, 0, 1050, 500);
  c.Blit(half, 525, 0, 525, 500, 525, 0, &kKey);
  // A faint purple haze around the shoulders, behind everything else.
  Random rnd(7);
  for (int i = 0; i < 900; ++i) {
    int x = rnd.Range(340, 710), y = rnd.Range(0, 150);
    float d = std::hypot((x - 525) / 1.6f, static_cast<float>(y - 40));
    if (d < 110 && c.Get(x, y) == kBlack) c.Set(x, y, i % 3 ? kMembrane.deep : kMembrane.lo);
  }
  return c;
}

}  // namespace

bool MakeDragon(const std::string& gameFolder) {
  const std::string dir = gameFolder + "/BMP/boss01/";
  // Frames: 0 at rest, 1-2 breathing in, 3-4 the lunge.
  static const int kBreathe[5] = {0, 1, 2, 1, 2};
  static const int kLunge[5] = {0, 0, 0, 1, 2};
  bool ok = true;
  for (int f = 0; f < 5; ++f) {
    std::string name = dir + "dragon_haba0" + std::to_string(f) + ".bmp";
    ok = Body(kBreathe[f], kLunge[f]).SaveBmp(name) && ok;
  }
  Canvas head(540, 500, kMagenta);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      Canvas cell = Head(row == 0 ? -1 : 1, col);
      head.Blit(cell, 0, 0, 180, 250, col * 180, row * 250);
    }
  }
  ok = head.SaveBmp(dir + "dragon_head.bmp") && ok;
  ok = Wings().SaveBmp(dir + "buresu.BMP") && ok;
  ok = dragon::Shadow().SaveBmp(dir + "d_kage.bmp") && ok;
  ok = dragon::Roar().SaveBmp(dir + "sakebi.bmp") && ok;
  ok = dragon::Fireballs().SaveBmp(dir + "dragon_fireball.BMP") && ok;
  ok = dragon::Breath().SaveBmp(dir + "dragon_breath.BMP") && ok;
  return ok;
}

}  // namespace gen
