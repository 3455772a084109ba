// The 4 x 4-tile pictures of the tile sheet: the tree, the pine, the bush
// and the rock, each on grass with its shadow.
#include <algorithm>
#include <cstdint>

#include "canvas.h"
#include "terrain.h"
#include "terrain_art.h"

namespace gen::terrain {
namespace {

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

}  // namespace

void DrawPicture(Canvas& sheet, int picture) {
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

}  // namespace gen::terrain
