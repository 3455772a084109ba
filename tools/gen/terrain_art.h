// What the terrain pictures' files share: the palette, where a tile lies on
// the sheet, plain grass, and the pictures each file draws. All of them are
// keyed on black, so nothing drawn in them is darker than the outline colour.
#pragma once
#include <cstdint>

#include "canvas.h"
#include "terrain.h"

namespace gen::terrain {

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

inline int TileX(int tile) { return (tile % kSheetColumns) * kTileSize; }
inline int TileY(int tile) { return (tile / kSheetColumns) * kTileSize; }

// Plain grass with a few darker and lighter blades; `seed` varies the speckle
// (art_terrain.cpp).
void PaintGrass(Canvas& c, int x0, int y0, int w, int h, uint32_t seed);
// One of the 4 x 4-tile pictures, on grass at its place on the sheet
// (art_scenery.cpp).
void DrawPicture(Canvas& sheet, int picture);
// The frame round the play area and the shadow under the party
// (art_frame.cpp).
Canvas Frame();
Canvas Shadow();

}  // namespace gen::terrain
