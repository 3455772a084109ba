// The party's pictures: the princess with her parasol, her three small
// companions and the piercing streak of the first one. Every figure is built
// from layers of simple shapes; each layer gets its own dark outline and a
// shading with the light from the top left, so parts that overlap stay
// readable. The backgrounds are magenta: the game takes the key of these
// sheets from the top-left pixel, so magenta never appears in a drawing.
//
// This file holds the shapes and layers the figures share and writes the
// sheets; the princess is drawn in art_princess.cpp and her sheet made in
// art_princess_sheet.cpp, the companions in art_companions.cpp and
// art_companion_sheet.cpp.
#include "party.h"

#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace party {

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
void Shade(Canvas& c, std::initializer_list<const Ramp*> ramps, int depth) {
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

void Stamp(Canvas& dst, Canvas& layer, bool outline) {
  if (outline) layer.Outline(0, 0, layer.width(), layer.height(), kKey, kInk);
  dst.Blit(layer, 0, 0, layer.width(), layer.height(), 0, 0, &kKey);
}

// Finishes a layer drawn facing right (or front) and lays it over `dst`.
void Finish(Canvas& dst, Canvas& layer, bool mirror, std::initializer_list<const Ramp*> ramps, int depth) {
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

}  // namespace party

bool MakeParty(const std::string& gameFolder) {
  const std::string folder = gameFolder + "/BMP/";
  if (!party::MakePrincessSheet().SaveBmp(folder + "princess.bmp")) return false;
  static const char* const kNames[3] = {"damenzu_00.bmp", "damenzu_01.bmp", "damenzu_02.bmp"};
  for (int who = 0; who < 3; ++who)
    if (!party::MakeBuddySheet(who).SaveBmp(folder + kNames[who])) return false;
  return party::MakeTrailSheet().SaveBmp(folder + "damenzu_ef00.bmp");
}

}  // namespace gen
