// The princess's sheet: her pose in each cell of the eight facings (standing,
// walking, the swing), knocked back, and row 8, her fall.
#include <cmath>

#include "canvas.h"
#include "party.h"

namespace gen::party {
namespace {

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

}  // namespace

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

}  // namespace gen::party
