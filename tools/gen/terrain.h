// The layout of the tile sheet "BMP/m_cp.bmp", shared by the sheet's painter
// and the stage builder: which tile number shows what, and which tiles block.
//
// The sheet is 80 tiles of 8 x 8 pixels to a row. Terrains that form areas of
// any shape (paths, water, wall tops, carpet) come as "blob"
// sets of 47 tiles, one for each way the eight neighbouring cells can be the
// same terrain or not; the stage builder looks at a cell's neighbours and
// picks the tile whose edges join them. Larger pictures (trees, bushes,
// rocks) take 4 x 4 tiles each, drawn side by side on the sheet.
#pragma once
#include <cstdint>

namespace gen::terrain {

constexpr int kTileSize = 8;
constexpr int kSheetColumns = 80;
constexpr int kSheetRows = 11;

// Row 0: open ground.
constexpr int kGrass = 0;  // 0..7, tile 0 the plainest
constexpr int kGrassVariants = 8;
constexpr int kFlowers = 8;  // 8..15, grass with flowers
constexpr int kFlowerVariants = 8;
constexpr int kWallShadow = 16;  // grass in the shadow at the foot of a wall

// Rows 1, 2, 3 and 5: one blob set each, then a few plain variants of the inside.
constexpr int kBlobCount = 47;
constexpr int kPath = 1 * kSheetColumns;
constexpr int kPathPlain = kPath + kBlobCount;  // 3 inside variants with pebbles
constexpr int kPathPlainCount = 3;
constexpr int kWater = 2 * kSheetColumns;
constexpr int kWaterPlain = kWater + kBlobCount;  // 3 inside variants with ripples
constexpr int kWaterPlainCount = 3;
constexpr int kWallTop = 3 * kSheetColumns;
// The brick face of a wall is three cells high: tile = kWallFront + 3 x row
// (0 top, 2 on the ground) + end (0 left end, 1 middle, 2 right end).
constexpr int kWallFront = kWallTop + kBlobCount + 1;
constexpr int kWallFrontRows = 3;
// The inside of a wall top: 16-pixel slabs, tile = kWallTopPlain + quarter.
constexpr int kWallTopPlain = kWallFront + 3 * kWallFrontRows;
// Row 4: castle floor, plain slabs of 16 x 16 pixels: tile = kFloor +
// quarter (0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right) + 4 x shade
// (0 light, 1 dark, 2 light and cracked).
constexpr int kFloor = 4 * kSheetColumns;
constexpr int kFloorShades = 3;
constexpr int kCarpet = 5 * kSheetColumns;

// Row 6: bridge decks. A bridge running left-right has rails along its top
// and bottom; one running up-down has them along its sides.
constexpr int kBridgeAcross = 6 * kSheetColumns;    // top rail, plank, plank, bottom rail
constexpr int kBridgeUpDown = kBridgeAcross + 4;    // left rail, plank, plank, right rail

// Rows 7 to 10: 4 x 4-tile pictures, side by side.
enum Picture { kTree, kPine, kBush, kRock, kPictureCount };
constexpr int kPictures = 7 * kSheetColumns;
constexpr int PictureTile(int picture, int i, int j) {
  return kPictures + picture * 4 + i + j * kSheetColumns;
}

// Neighbour bits of a blob mask: set when that neighbour is the same terrain.
enum : int { kN = 1, kE = 2, kS = 4, kW = 8, kNE = 16, kSE = 32, kSW = 64, kNW = 128 };

// Drops the corner bits that make no difference (a corner counts only when
// both sides next to it are the same terrain too).
int CanonicalMask(int mask);
// The blob tile (0..46) for any mask, and the canonical mask of a blob tile.
int BlobIndex(int mask);
int BlobMask(int index);

// Whether a tile is drawn as something that blocks: water, walls, trees,
// bushes and rocks.
bool Solid(int tile);

// A well-mixed hash of a cell and a salt, for variations that must come out
// the same on every build.
inline uint32_t Hash(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA6Bu ^ (c + 0x165667B1u) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

}  // namespace gen::terrain
