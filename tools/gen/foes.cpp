// The enemies' pictures: the two soldiers, the archer, the shield guard, the
// soldiers' strike effects, the arrow and the healing items. The figures are
// drawn in art_foes.cpp, their weapons in art_foe_weapons.cpp and the rest
// in art_foe_effects.cpp; this file holds the small drawing helpers they
// share and lays the figures' frames out in their sheets.
#include "foes.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace foes {

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
// Sheets

namespace {

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

}  // namespace
}  // namespace foes

bool MakeFoes(const std::string& gameFolder) {
  using namespace foes;
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
