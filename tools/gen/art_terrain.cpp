// The terrain pictures: the tile sheet "BMP/m_cp.bmp" (its ground, blob
// sets, walls, floors and bridges here, its larger pictures in
// art_scenery.cpp), the frame around the play area "BMP/waku.BMP" and the
// shadow under the party "BMP/kake.bmp" (art_frame.cpp).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "art.h"
#include "canvas.h"
#include "terrain.h"
#include "terrain_art.h"

namespace gen {

namespace {

using namespace terrain;

// A value 0..99 for a pixel of a tile, the same on every run.
int Roll(int tile, int x, int y) { return static_cast<int>(Hash(tile, x, y) % 100); }

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

}  // namespace

// ---------------------------------------------------------------------------
// Ground

void terrain::PaintGrass(Canvas& c, int x0, int y0, int w, int h, uint32_t seed) {
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

namespace {

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
  for (int p = 0; p < kPictureCount; ++p) DrawPicture(sheet, p);
  return sheet;
}

}  // namespace

bool MakeTerrain(const std::string& gameFolder) {
  return TileSheet().SaveBmp(gameFolder + "/BMP/m_cp.bmp") &&
         terrain::Frame().SaveBmp(gameFolder + "/BMP/waku.BMP") &&
         terrain::Shadow().SaveBmp(gameFolder + "/BMP/kake.bmp");
}

}  // namespace gen
