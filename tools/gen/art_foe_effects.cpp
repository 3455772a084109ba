// The pictures beside the enemies' figures: the soldiers' strike effects,
// the arrow in four directions and the healing items.
#include <cmath>

#include "canvas.h"
#include "foes.h"

namespace gen::foes {

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

namespace {

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

}  // namespace

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

}  // namespace gen::foes
