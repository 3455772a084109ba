// The terrain pictures: the tile sheet "BMP/m_cp.bmp", the frame around the
// play area "BMP/waku.BMP" and the shadow under the party "BMP/kake.bmp".
// All three are keyed on black, so nothing drawn in them is darker than the
// outline colour.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "art.h"
#include "canvas.h"
#include "terrain.h"

namespace gen {
namespace terrain {

namespace {

// The 47 canonical masks in increasing order, built once.
const std::vector<int>& CanonicalMasks() {
  static const std::vector<int> masks = [] {
    std::vector<int> list;
    for (int m = 0; m < 256; ++m) {
      int c = CanonicalMask(m);
      if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    }
    std::sort(list.begin(), list.end());
    return list;
  }();
  return masks;
}

}  // namespace

int CanonicalMask(int mask) {
  int m = mask & (kN | kE | kS | kW);
  if ((mask & kNE) && (mask & kN) && (mask & kE)) m |= kNE;
  if ((mask & kSE) && (mask & kS) && (mask & kE)) m |= kSE;
  if ((mask & kSW) && (mask & kS) && (mask & kW)) m |= kSW;
  if ((mask & kNW) && (mask & kN) && (mask & kW)) m |= kNW;
  return m;
}

int BlobIndex(int mask) {
  const std::vector<int>& masks = CanonicalMasks();
  auto at = std::lower_bound(masks.begin(), masks.end(), CanonicalMask(mask & 255));
  return static_cast<int>(at - masks.begin());
}

int BlobMask(int index) {
  const std::vector<int>& masks = CanonicalMasks();
  return index >= 0 && index < static_cast<int>(masks.size()) ? masks[index] : 255;
}

bool Solid(int tile) {
  int row = tile / kSheetColumns;
  return row == kWater / kSheetColumns || row == kWallTop / kSheetColumns ||
         (tile >= kPictures && tile < (kSheetRows)*kSheetColumns);
}

}  // namespace terrain

namespace {

using namespace terrain;

// The shared palette.
constexpr Rgb kOutline{24, 20, 32};
constexpr Rgb kGrassLight{136, 200, 96};
constexpr Rgb kGrassMid{88, 168, 72};
constexpr Rgb kGrassDark{56, 128, 56};
constexpr Rgb kGrassDeep{40, 88, 48};
constexpr Rgb kStoneLight{208, 208, 224};
constexpr Rgb kStone{168, 168, 184};
constexpr Rgb kStoneMid{120, 120, 144};
constexpr Rgb kStoneDark{80, 80, 104};
constexpr Rgb kWaterLight{72, 136, 232};
constexpr Rgb kWaterMid{40, 88, 192};
constexpr Rgb kWaterDeep{32, 56, 136};
constexpr Rgb kFoam{208, 232, 248};
constexpr Rgb kWoodLight{200, 144, 88};
constexpr Rgb kWood{168, 112, 64};
constexpr Rgb kWoodMid{120, 72, 40};
constexpr Rgb kWoodDark{80, 48, 32};
constexpr Rgb kDirtLight{224, 192, 136};
constexpr Rgb kDirt{200, 160, 104};
constexpr Rgb kDirtMid{168, 128, 80};
constexpr Rgb kDirtDark{128, 96, 56};
constexpr Rgb kRed{224, 56, 56};
constexpr Rgb kRedDark{160, 32, 40};
constexpr Rgb kRedDeep{104, 24, 40};
constexpr Rgb kGold{248, 216, 72};
constexpr Rgb kGoldDark{200, 152, 32};
constexpr Rgb kNeedleLight{88, 160, 104};
constexpr Rgb kNeedle{48, 112, 80};
constexpr Rgb kNeedleDark{32, 72, 64};
constexpr Rgb kFrameDark{48, 40, 72};
constexpr Rgb kFrame{72, 60, 112};
constexpr Rgb kFrameLight{104, 88, 152};
constexpr Rgb kShadow{32, 32, 44};

// A value 0..99 for a pixel of a tile, the same on every run.
int Roll(int tile, int x, int y) { return static_cast<int>(Hash(tile, x, y) % 100); }

int TileX(int tile) { return (tile % kSheetColumns) * kTileSize; }
int TileY(int tile) { return (tile / kSheetColumns) * kTileSize; }

// Small pictures given as rows of characters; '.' leaves the pixel alone.
struct Ink {
  char key;
  Rgb colour;
};
void Stamp(Canvas& c, int x, int y, std::initializer_list<const char*> rows,
           std::initializer_list<Ink> inks) {
  int j = 0;
  for (const char* row : rows) {
    for (int i = 0; row[i]; ++i) {
      for (const Ink& ink : inks)
        if (ink.key == row[i]) c.Set(x + i, y + j, ink.colour);
    }
    ++j;
  }
}

// ---------------------------------------------------------------------------
// Ground

// Plain grass with a few darker and lighter blades; `seed` varies the speckle.
void PaintGrass(Canvas& c, int x0, int y0, int w, int h, uint32_t seed) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int r = static_cast<int>(Hash(seed, x0 + x, y0 + y) % 100);
      Rgb colour = kGrassMid;
      if (r < 6) colour = kGrassDark;
      else if (r < 8) colour = kGrassLight;
      c.Set(x0 + x, y0 + y, colour);
    }
  }
}

void Tuft(Canvas& c, int x, int y) {
  Stamp(c, x, y, {"l...l", "d.l.d", ".d.d.", "..d.."},
        {{'l', kGrassLight}, {'d', kGrassDark}});
}

void GrassTile(Canvas& sheet, int tile, int variant) {
  int x = TileX(tile), y = TileY(tile);
  PaintGrass(sheet, x, y, 8, 8, 11 + variant);
  switch (variant) {
    case 1: Tuft(sheet, x + 1, y + 2); break;
    case 2: Tuft(sheet, x + 3, y + 3); break;
    case 3:
      Stamp(sheet, x + 1, y + 1, {"l..", "d.l", ".d."}, {{'l', kGrassLight}, {'d', kGrassDark}});
      Stamp(sheet, x + 4, y + 4, {"l.l", "d.d", ".d."}, {{'l', kGrassLight}, {'d', kGrassDark}});
      break;
    case 4:  // A pebble.
      Stamp(sheet, x + 3, y + 3, {".ls", "lsm", "smd"},
            {{'l', kStoneLight}, {'s', kStone}, {'m', kStoneMid}, {'d', kStoneDark}});
      break;
    case 5:  // Clover.
      Stamp(sheet, x + 2, y + 2, {".l.", "ldl", ".l."}, {{'l', kGrassLight}, {'d', kGrassDark}});
      break;
    case 6:
      Stamp(sheet, x + 1, y + 4, {"l.l..", "d.d.l", "...d."}, {{'l', kGrassLight}, {'d', kGrassDark}});
      break;
    case 7:  // A darker patch.
      Stamp(sheet, x + 2, y + 2, {".dd.", "dddd", ".dd."}, {{'d', kGrassDark}});
      break;
    default: break;
  }
}

void Flower(Canvas& c, int x, int y, Rgb petal, Rgb heart) {
  Stamp(c, x, y, {".p.", "php", ".p.", ".s."}, {{'p', petal}, {'h', heart}, {'s', kGrassDeep}});
}

void FlowerTile(Canvas& sheet, int tile, int variant) {
  int x = TileX(tile), y = TileY(tile);
  PaintGrass(sheet, x, y, 8, 8, 31 + variant);
  static const Rgb kPetals[] = {{240, 240, 232}, kGold, {248, 120, 168}, {136, 168, 248}};
  Rgb petal = kPetals[variant % 4];
  Rgb heart = variant % 4 == 1 ? Rgb{224, 112, 40} : kGold;
  if (variant < 4) {
    Flower(sheet, x + 1, y + 1, petal, heart);
    Flower(sheet, x + 4, y + 4, kPetals[(variant + 1) % 4], kGold);
  } else {
    Flower(sheet, x + 3, y + 2, petal, heart);
    sheet.Set(x + 0, y + 6, kPetals[(variant + 2) % 4]);
    sheet.Set(x + 7, y + 0, kGrassLight);
  }
}

void WallShadowTile(Canvas& sheet, int tile) {
  int x = TileX(tile), y = TileY(tile);
  PaintGrass(sheet, x, y, 8, 8, 51);
  for (int i = 0; i < 8; ++i) {
    sheet.Set(x + i, y, kGrassDeep);
    sheet.Set(x + i, y + 1, kGrassDeep);
    sheet.Set(x + i, y + 2, (i % 2) ? kGrassDeep : kGrassDark);
    if (i % 2 == 0) sheet.Set(x + i, y + 3, kGrassDark);
  }
}

// ---------------------------------------------------------------------------
// Blob sets

// How far (in pixels) a pixel of a tile lies inside its terrain, given which
// neighbours share the terrain. Outer corners are rounded with `radius`; a
// negative result is outside (only possible in a rounded corner).
float InsideDistance(int x, int y, int mask, float radius) {
  float fx = x + 0.5f, fy = y + 0.5f;
  float d = 99.0f;
  bool n = mask & kN, e = mask & kE, s = mask & kS, w = mask & kW;
  if (!n) d = std::min(d, fy);
  if (!s) d = std::min(d, 8.0f - fy);
  if (!w) d = std::min(d, fx);
  if (!e) d = std::min(d, 8.0f - fx);
  auto round = [&](bool open, float cx, float cy, bool inQuarter) {
    if (open && radius > 0 && inQuarter) d = radius - std::hypot(fx - cx, fy - cy);
  };
  float r = radius;
  round(!n && !e, 8 - r, r, fx > 8 - r && fy < r);
  round(!s && !e, 8 - r, 8 - r, fx > 8 - r && fy > 8 - r);
  round(!s && !w, r, 8 - r, fx < r && fy > 8 - r);
  round(!n && !w, r, r, fx < r && fy < r);
  // Inner corners: the terrain bends round a missing diagonal neighbour.
  if (n && e && !(mask & kNE)) d = std::min(d, std::hypot(8.0f - fx, fy));
  if (s && e && !(mask & kSE)) d = std::min(d, std::hypot(8.0f - fx, 8.0f - fy));
  if (s && w && !(mask & kSW)) d = std::min(d, std::hypot(fx, 8.0f - fy));
  if (n && w && !(mask & kNW)) d = std::min(d, std::hypot(fx, fy));
  return d;
}

template <typename Shade>
void BlobSet(Canvas& sheet, int base, float radius, Shade shade) {
  for (int k = 0; k < kBlobCount; ++k) {
    int tile = base + k, mask = BlobMask(k);
    int x0 = TileX(tile), y0 = TileY(tile);
    PaintGrass(sheet, x0, y0, 8, 8, 71 + k);
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 8; ++x) {
        float d = InsideDistance(x, y, mask, radius);
        if (d >= 0) sheet.Set(x0 + x, y0 + y, shade(d, x, y, tile, mask));
      }
    }
  }
}

Rgb DirtPixel(int x, int y, int tile) {
  int r = Roll(tile, x, y);
  if (r < 9) return kDirtMid;
  if (r < 13) return kDirtLight;
  return kDirt;
}

Rgb PathShade(float d, int x, int y, int tile, int) {
  if (d < 1.0f) return kGrassDark;
  if (d < 2.0f) return kDirtDark;
  if (d < 3.0f && Roll(tile, x, y) < 50) return kDirtMid;
  return DirtPixel(x, y, tile);
}

void PathPlain(Canvas& sheet, int tile, int variant) {
  int x = TileX(tile), y = TileY(tile);
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i) sheet.Set(x + i, y + j, DirtPixel(i, j, tile));
  const Ink inks[] = {{'l', kDirtLight}, {'m', kDirtMid}, {'d', kDirtDark}};
  if (variant == 0) {
    Stamp(sheet, x + 2, y + 2, {"lm", "md"}, {inks[0], inks[1], inks[2]});
    Stamp(sheet, x + 5, y + 5, {"lm", "md"}, {inks[0], inks[1], inks[2]});
  } else if (variant == 1) {
    Stamp(sheet, x + 3, y + 3, {".l.", "lmd", ".d."}, {inks[0], inks[1], inks[2]});
  } else {
    Stamp(sheet, x + 1, y + 5, {"m.m", ".m."}, {inks[0], inks[1], inks[2]});
  }
}

Rgb WaterPixel(int x, int y, int tile) {
  // Short wave strokes, two per tile, placed by the tile's number.
  uint32_t h = Hash(tile, 7, 7);
  int ax = h % 5, ay = (h >> 4) % 3, bx = (h >> 8) % 5, by = 4 + (h >> 12) % 3;
  if (y == ay && x >= ax && x < ax + 3) return kWaterLight;
  if (y == by && x >= bx && x < bx + 3) return kWaterLight;
  if (y == by + 1 && x == bx + 1) return kWaterDeep;
  return kWaterMid;
}

Rgb WaterShade(float d, int x, int y, int tile, int mask) {
  if (d < 1.0f) return kGrassDeep;
  // The far (upper) shore shows an earth bank; the others only foam.
  bool bank = !(mask & kN) && y < 3;
  if (bank && d < 3.0f) return d < 2.0f ? kWoodMid : kWoodDark;
  if (d < 2.0f) return kFoam;
  if (d < 3.0f) return Roll(tile, x, y) < 55 ? kFoam : kWaterLight;
  if (d < 4.5f) return kWaterLight;
  return WaterPixel(x, y, tile);
}

void WaterPlain(Canvas& sheet, int tile, int variant) {
  int x = TileX(tile), y = TileY(tile);
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i) sheet.Set(x + i, y + j, WaterPixel(i, j, tile + variant * 13));
  if (variant == 2) {
    sheet.Set(x + 5, y + 2, kFoam);  // A glint.
    sheet.Set(x + 4, y + 2, kWaterLight);
    sheet.Set(x + 6, y + 2, kWaterLight);
  }
}

Rgb WallTopShade(float d, int x, int y, int tile, int) {
  if (d < 1.0f) return kOutline;
  if (d < 2.0f) return kStoneLight;
  if (Roll(tile, x, y) < 7) return kStoneMid;
  return kStone;
}

// The inside of a wall top: paving slabs of 16 x 16 pixels in four tiles.
void WallTopPlain(Canvas& sheet, int tile, int quarter) {
  int x0 = TileX(tile), y0 = TileY(tile);
  bool right = quarter % 2 == 1, bottom = quarter >= 2;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      Rgb c = Roll(tile, x, y) < 7 ? kStoneMid : kStone;
      if ((!right && x == 0) || (!bottom && y == 0)) c = Lighter(kStone, 0.25f);
      if ((right && x == 7) || (bottom && y == 7)) c = kStoneMid;
      sheet.Set(x0 + x, y0 + y, c);
    }
  }
}

// The brick face of a wall, seen from the front: `row` 0 under the top,
// kWallFrontRows - 1 standing on the ground; `end` -1 left end, 0 middle,
// 1 right end.
void WallFrontTile(Canvas& sheet, int tile, int row, int end) {
  int x0 = TileX(tile), y0 = TileY(tile);
  bool lower = row == kWallFrontRows - 1;
  for (int y = 0; y < 8; ++y) {
    int courseRow = row * 8 + y;
    int course = courseRow / 4;
    int offset = (course % 2) * 4;
    for (int x = 0; x < 8; ++x) {
      Rgb c = kStoneMid;
      if (courseRow % 4 == 3) c = kStoneDark;
      else if ((x + 8 - offset) % 8 == 0) c = kStoneDark;
      else if (courseRow % 4 == 0) c = kStone;
      else if (Roll(tile, x, y) < 6) c = Darker(kStoneMid, 0.1f);
      if (row == 0 && y == 0) c = kStoneDark;  // Under the lip of the top.
      if (lower && y == 7) c = kOutline;
      if (lower && y == 6 && c != kStoneDark) c = Darker(kStoneMid, 0.15f);
      if (end < 0 && x == 0) c = kOutline;
      if (end < 0 && x == 1 && c != kOutline) c = kStone;
      if (end > 0 && x == 7) c = kOutline;
      if (end > 0 && x == 6 && c != kOutline) c = kStoneDark;
      sheet.Set(x0 + x, y0 + y, c);
    }
  }
}

Rgb CarpetShade(float d, int x, int y, int, int) {
  if (d < 1.0f) return kRedDeep;
  if (d < 2.0f) return kGold;
  if (d < 3.0f) return kGoldDark;
  int diamond = std::abs(2 * x - 7) + std::abs(2 * y - 7);
  if (diamond == 6) return kRedDark;
  if (diamond == 0 || diamond == 2) return kGoldDark;
  return kRed;
}

// Castle floor: 16-pixel slabs made of four tiles.
void FloorTile(Canvas& sheet, int tile, int quarter, int shade) {
  int x0 = TileX(tile), y0 = TileY(tile);
  Rgb base = shade == 1 ? Rgb{148, 140, 164} : Rgb{168, 160, 180};
  Rgb light = shade == 1 ? Rgb{172, 164, 188} : Rgb{196, 188, 208};
  Rgb joint{88, 80, 104};
  bool right = quarter % 2 == 1, bottom = quarter >= 2;
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      Rgb c = base;
      if (Roll(tile, x, y) < 8) c = Darker(base, 0.12f);
      if (!right && x == 0) c = light;
      if (!bottom && y == 0) c = light;
      if (right && x == 7) c = joint;
      if (bottom && y == 7) c = joint;
      sheet.Set(x0 + x, y0 + y, c);
    }
  }
  if (shade == 2) {  // A crack running across the slab.
    static const int kCrack[4][8] = {{-1, -1, -1, 5, 5, 4, 4, 3},
                                     {3, 2, 2, 1, -1, -1, -1, -1},
                                     {-1, -1, -1, -1, -1, -1, 6, 6},
                                     {5, 5, 4, -1, -1, -1, -1, -1}};
    for (int x = 0; x < 8; ++x)
      if (kCrack[quarter][x] >= 0) sheet.Set(x0 + x, y0 + kCrack[quarter][x], joint);
  }
}

// Bridge decks. `across` runs left-right (boards upright, rails top and
// bottom); otherwise up-down (the same turned a quarter).
void BridgeTile(Canvas& sheet, int tile, bool across, int part) {
  int x0 = TileX(tile), y0 = TileY(tile);
  for (int v = 0; v < 8; ++v) {     // across the deck
    for (int u = 0; u < 8; ++u) {   // along the deck
      Rgb c = kWood;
      if (u % 4 == 3) c = kWoodDark;
      else if (u % 4 == 0) c = kWoodLight;
      if (part == 1 && v == 2 && u % 4 == 1) c = kWoodMid;  // Nails.
      if (part == 2 && v == 5 && u % 4 == 1) c = kWoodMid;
      if (part == 0) {  // Rail along the near edge at v = 0.
        if (v == 0) c = kOutline;
        else if (v == 1) c = kWoodLight;
        else if (v == 2) c = kWood;
        else if (v == 3) c = kWoodDark;
        if (v <= 3 && u == 2) c = v == 0 ? kOutline : kWoodMid;  // Post.
      }
      if (part == 3) {
        if (v == 7) c = kOutline;
        else if (v == 6) c = kWoodDark;
        else if (v == 5) c = kWood;
        else if (v == 4) c = kWoodLight;
        if (v >= 4 && u == 2) c = v == 7 ? kOutline : kWoodMid;
      }
      int x = across ? u : v, y = across ? v : u;
      sheet.Set(x0 + x, y0 + y, c);
    }
  }
}

// ---------------------------------------------------------------------------
// 4 x 4-tile pictures

// A round clump of leaves: dark body, mid face, light top-left and a glint.
void Clump(Canvas& c, int x, int y, int r, Rgb dark, Rgb mid, Rgb light) {
  c.FillCircle(x, y, r, dark);
  c.FillCircle(x - 1, y - 1, r - 1, mid);
  c.FillCircle(x - r / 3 - 1, y - r / 3 - 1, std::max(1, r / 2 - 1), light);
}

void Leaves(Canvas& c, int x0, int y0, int w, int h, Rgb dark, uint32_t seed) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (c.Get(x, y) != kBlack && c.Get(x, y) != dark && Hash(seed, x, y) % 100 < 7) c.Set(x, y, dark);
}

void DrawTree(Canvas& c) {
  // Trunk with roots.
  c.FillRect(13, 21, 6, 9, kWoodMid);
  c.FillRect(13, 21, 2, 9, kWood);
  c.FillRect(17, 21, 2, 9, kWoodDark);
  c.FillRect(11, 28, 10, 2, kWoodMid);
  c.Set(11, 29, kWoodDark);
  c.Set(20, 29, kWoodDark);
  // Canopy of clumps, back to front.
  c.FillEllipse(16, 12, 14, 11, kGrassDeep);
  const int clumps[][3] = {{9, 15, 6}, {23, 15, 6}, {16, 17, 6}, {8, 9, 6}, {24, 9, 6}, {16, 6, 7}, {16, 12, 6}};
  for (const auto& k : clumps) Clump(c, k[0], k[1], k[2], kGrassDeep, kGrassDark, kGrassMid);
  Leaves(c, 0, 0, 32, 24, kGrassDeep, 5);
  c.Set(12, 3, kGrassLight);
  c.Set(13, 3, kGrassLight);
  c.Set(6, 7, kGrassLight);
  c.Set(21, 6, kGrassLight);
}

void DrawPine(Canvas& c) {
  c.FillRect(14, 25, 4, 5, kWoodMid);
  c.FillRect(14, 25, 1, 5, kWood);
  c.FillRect(17, 25, 1, 5, kWoodDark);
  // Three tiers, the lowest widest.
  const int tiers[][3] = {{12, 26, 13}, {6, 19, 10}, {1, 12, 7}};  // top, bottom, half width
  for (const auto& t : tiers) {
    int top = t[0], bottom = t[1], half = t[2];
    c.FillPolygon({16, top, 16 + half, bottom, 16 - half, bottom}, kNeedle);
    c.FillPolygon({16, top, 16, bottom, 16 - half, bottom}, kNeedleLight);
    for (int x = 16 - half; x <= 16 + half; x += 2) c.Set(x, bottom - 1, kNeedleDark);
    c.Line(16, top + 1, 16 + half - 1, bottom - 1, kNeedleDark);
  }
  c.Set(15, 2, kGrassLight);
  c.Set(12, 9, kGrassLight);
}

void DrawBush(Canvas& c) {
  const int clumps[][3] = {{9, 21, 7}, {23, 21, 7}, {16, 22, 7}, {12, 14, 7}, {21, 14, 7}};
  for (const auto& k : clumps) Clump(c, k[0], k[1], k[2], kGrassDeep, kGrassDark, kGrassMid);
  Leaves(c, 0, 0, 32, 32, kGrassDeep, 9);
  const int berries[][2] = {{8, 18}, {19, 12}, {24, 20}, {14, 23}, {12, 11}};
  for (const auto& b : berries) {
    c.Set(b[0], b[1], kRed);
    c.Set(b[0] + 1, b[1], kRedDark);
    c.Set(b[0], b[1] - 1, Rgb{248, 152, 152});
  }
}

void DrawRock(Canvas& c) {
  c.FillEllipse(16, 19, 13, 10, kStoneDark);
  c.FillEllipse(15, 17, 12, 9, kStoneMid);
  c.FillEllipse(13, 14, 9, 6, kStone);
  c.FillEllipse(11, 12, 4, 2, kStoneLight);
  c.Line(20, 11, 22, 16, kStoneDark);
  c.Line(22, 16, 21, 21, kStoneDark);
  c.Line(8, 20, 12, 22, kStoneDark);
  // A pebble beside it.
  c.FillEllipse(27, 27, 3, 2, kStoneMid);
  c.Set(26, 26, kStone);
  c.Set(27, 26, kStone);
}

void Picture(Canvas& sheet, int picture) {
  Canvas art(32, 32, kBlack);
  switch (picture) {
    case kTree: DrawTree(art); break;
    case kPine: DrawPine(art); break;
    case kBush: DrawBush(art); break;
    default: DrawRock(art); break;
  }
  art.Outline(0, 0, 32, 32, kBlack, kOutline);
  int x0 = TileX(PictureTile(picture, 0, 0)), y0 = TileY(PictureTile(picture, 0, 0));
  PaintGrass(sheet, x0, y0, 32, 32, 91 + picture);
  // A shadow on the grass under the picture.
  Canvas shadow(32, 32, kBlack);
  shadow.FillEllipse(picture == kRock ? 17 : 16, picture == kRock ? 27 : 29, 12, 3, kGrassDeep);
  sheet.Blit(shadow, 0, 0, 32, 32, x0, y0, &kBlack);
  sheet.Blit(art, 0, 0, 32, 32, x0, y0, &kBlack);
}

Canvas TileSheet() {
  Canvas sheet(kSheetColumns * kTileSize, kSheetRows * kTileSize);
  // Unused tiles hold grass, so no key-coloured pixel is left anywhere.
  for (int t = 0; t < kSheetColumns * kSheetRows; ++t) GrassTile(sheet, t, 0);
  for (int v = 0; v < kGrassVariants; ++v) GrassTile(sheet, kGrass + v, v);
  for (int v = 0; v < kFlowerVariants; ++v) FlowerTile(sheet, kFlowers + v, v);
  WallShadowTile(sheet, kWallShadow);

  BlobSet(sheet, kPath, 5.0f, PathShade);
  for (int v = 0; v < kPathPlainCount; ++v) PathPlain(sheet, kPathPlain + v, v);
  BlobSet(sheet, kWater, 7.0f, WaterShade);
  for (int v = 0; v < kWaterPlainCount; ++v) WaterPlain(sheet, kWaterPlain + v, v);
  BlobSet(sheet, kWallTop, 0.0f, WallTopShade);
  for (int row = 0; row < kWallFrontRows; ++row)
    for (int end = -1; end <= 1; ++end) WallFrontTile(sheet, kWallFront + 3 * row + end + 1, row, end);
  for (int q = 0; q < 4; ++q) WallTopPlain(sheet, kWallTopPlain + q, q);
  for (int shade = 0; shade < kFloorShades; ++shade)
    for (int q = 0; q < 4; ++q) FloorTile(sheet, kFloor + q + 4 * shade, q, shade);
  BlobSet(sheet, kCarpet, 0.0f, CarpetShade);
  for (int part = 0; part < 4; ++part) {
    BridgeTile(sheet, kBridgeAcross + part, true, part);
    BridgeTile(sheet, kBridgeUpDown + part, false, part);
  }
  for (int p = 0; p < kPictureCount; ++p) Picture(sheet, p);
  return sheet;
}

// ---------------------------------------------------------------------------
// The frame: a band of carved stone with gold beading round the 768 x 576
// play area, which stays pure black (transparent).

constexpr int kFrameW = 800, kFrameH = 600, kSide = 16, kTopBottom = 12;

// Colour across a band `thickness` wide at depth t (0 outer edge) and
// position s along it.
Rgb BandPixel(int t, int thickness, int s, int period) {
  if (t == 0 || t == thickness - 1) return kOutline;
  if (t == 1) return kFrameDark;
  if (t == 2) return kGold;
  if (t == thickness - 3) return kGold;
  if (t == thickness - 2) return kGoldDark;
  // The panel between the beads: studs at regular steps.
  int inner = thickness - 6;  // panel depth
  int centre = 3 + inner / 2;
  int along = ((s % period) + period) % period - period / 2;
  int across = t - centre;
  int size = inner / 2;
  if (std::abs(along) <= size && std::abs(across) <= size) {
    int diamond = std::abs(along) + std::abs(across);
    if (diamond == 0) return kRed;
    if (diamond == 1) return across < 0 || along < 0 ? Rgb{248, 152, 152} : kRedDark;
    if (diamond < size) return diamond % 2 ? kGoldDark : kGold;
    if (diamond == size) return kOutline;
  }
  if (t == 3) return kFrameLight;
  if (t == thickness - 4) return kFrameDark;
  return (s + t) % 7 == 0 ? kFrameDark : kFrame;
}

Canvas Frame() {
  Canvas frame(kFrameW, kFrameH, kBlack);
  for (int y = 0; y < kFrameH; ++y) {
    for (int x = 0; x < kFrameW; ++x) {
      bool left = x < kSide, right = x >= kFrameW - kSide;
      bool top = y < kTopBottom, bottom = y >= kFrameH - kTopBottom;
      if (!left && !right && !top && !bottom) continue;
      Rgb c;
      if ((left || right) && (top || bottom)) {
        // Corner blocks: a gold boss with a gem.
        int cx = left ? x : kFrameW - 1 - x, cy = top ? y : kFrameH - 1 - y;
        int dx = std::abs(2 * cx - (kSide - 1)), dy = std::abs(2 * cy - (kTopBottom - 1));
        if (cx == 0 || cy == 0) c = kOutline;
        else if (dx + dy <= 4) c = kRed;
        else if (dx + dy <= 8) c = kGold;
        else if (dx + dy <= 10) c = kGoldDark;
        else c = kFrameDark;
      } else if (left || right) {
        int t = left ? x : kFrameW - 1 - x;
        c = BandPixel(t, kSide, y - kTopBottom, 24);
      } else {
        int t = top ? y : kFrameH - 1 - y;
        c = BandPixel(t, kTopBottom, x - kSide, 32);
      }
      frame.Set(x, y, c);
    }
  }
  return frame;
}

// The shadow under each party member: a dark oval, denser in the middle.
Canvas Shadow() {
  Canvas shadow(48, 16, kBlack);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 48; ++x) {
      float fx = (x + 0.5f - 24.0f) / 22.0f, fy = (y + 0.5f - 8.0f) / 7.0f;
      float r = fx * fx + fy * fy;
      if (r > 1.0f) continue;
      // The rim is dithered so that the ground shows through it.
      if (r < 0.55f || (x + y) % 2 == 0) shadow.Set(x, y, kShadow);
    }
  }
  return shadow;
}

}  // namespace

bool MakeTerrain(const std::string& gameFolder) {
  return TileSheet().SaveBmp(gameFolder + "/BMP/m_cp.bmp") &&
         Frame().SaveBmp(gameFolder + "/BMP/waku.BMP") &&
         Shadow().SaveBmp(gameFolder + "/BMP/kake.bmp");
}

}  // namespace gen
