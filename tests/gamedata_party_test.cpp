// The princess's and her companions' pictures, as generated into the program
// folder by the build: loaded with the game's own loader and the top-left
// key they get from their place in the load order, checked for their sheet
// sizes, for a key that covers exactly the magenta background, for a figure
// in every cell the game shows, and for frames that fit the game's motion.
#include <cstring>
#include <string>
#include <vector>

#include "draw_fixture.h"

namespace {

using drawtest::DrawFixture;
using drawtest::Source;
using drawtest::SurfacePixels;

constexpr uint32_t kMagenta = 0xFF00FFu;

struct Sheet {
  const char* name;  // as the game names it
  int cell;          // square cells
  int columns, rows;
  std::vector<std::pair<int, int>> shown;  // (column, row) the game draws
};

std::vector<Sheet> Sheets() {
  // The princess: standing, walking and swinging in eight facings; knocked
  // back in the four straight ones; the death sequence in row 8.
  std::vector<std::pair<int, int>> princess;
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col <= 8; ++col) princess.emplace_back(col, row);
  for (int row = 0; row < 4; ++row) princess.emplace_back(11, row);
  for (int col = 0; col < 6; ++col) princess.emplace_back(col, 8);
  // A companion: thirteen poses in four facings, then two flight rows of
  // eight launch directions.
  std::vector<std::pair<int, int>> companion;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 13; ++col) companion.emplace_back(col, row);
  for (int row = 4; row < 6; ++row)
    for (int col = 0; col < 8; ++col) companion.emplace_back(col, row);
  std::vector<std::pair<int, int>> trail;
  for (int row = 0; row < 2; ++row)
    for (int col = 0; col < 8; ++col) trail.emplace_back(col, row);
  return {
      {"BMP\\princess.bmp", 96, 12, 9, princess},
      {"BMP\\damenzu_00.bmp", 56, 13, 6, companion},
      {"BMP\\damenzu_01.bmp", 56, 13, 6, companion},
      {"BMP\\damenzu_02.bmp", 56, 13, 6, companion},
      {"BMP\\damenzu_ef00.bmp", 56, 8, 2, trail},
  };
}

uint32_t At(const plat::Bitmap& b, int x, int y) { return b.pixels[static_cast<size_t>(y) * b.width + x]; }

class PartyPictures : public DrawFixture {};

TEST_F(PartyPictures, SizesAndTopLeftKeyCoverExactlyTheBackground) {
  elDraw::UseTopLeftColorKey();
  for (const Sheet& s : Sheets()) {
    SCOPED_TRACE(s.name);
    int slot = elDraw::LoadObject(s.name, 2);
    ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
    EXPECT_EQ(elDraw::SpriteTable[slot].width, s.cell * s.columns);
    EXPECT_EQ(elDraw::SpriteTable[slot].height, s.cell * s.rows);
    plat::Surface& surface = SpriteSurface(slot);
    ASSERT_EQ(surface.width, s.cell * s.columns);
    ASSERT_EQ(surface.height, s.cell * s.rows);
    ASSERT_TRUE(surface.hasKey);
    ASSERT_EQ(surface.keyLow, surface.keyHigh);
    const uint32_t key = surface.keyLow;

    plat::Bitmap source = Source(s.name);
    ASSERT_EQ(source.width, surface.width);
    ASSERT_EQ(source.height, surface.height);
    EXPECT_EQ(source.pixels[0], kMagenta);
    // After the conversion to the 16-bit screen format no colour of a
    // figure may fall onto the key, and all of the background must.
    auto m = drawtest::CountKeyMismatches(source.pixels, kMagenta, SurfacePixels(surface), key);
    EXPECT_EQ(m.lostDrawing, 0) << "drawn pixels that the key makes transparent";
    EXPECT_EQ(m.shownBackground, 0) << "background pixels that stay visible";
  }
}

TEST_F(PartyPictures, EveryShownCellHoldsAFigureThatStaysInsideIt) {
  for (const Sheet& s : Sheets()) {
    SCOPED_TRACE(s.name);
    plat::Bitmap b = Source(s.name);
    ASSERT_EQ(b.width, s.cell * s.columns);
    for (auto [col, row] : s.shown) {
      int x0 = col * s.cell, y0 = row * s.cell, drawn = 0, onBorder = 0;
      for (int y = 0; y < s.cell; ++y) {
        for (int x = 0; x < s.cell; ++x) {
          if (At(b, x0 + x, y0 + y) == kMagenta) continue;
          ++drawn;
          if (x == 0 || y == 0 || x == s.cell - 1 || y == s.cell - 1) ++onBorder;
        }
      }
      // A figure, not a stray pixel; and nothing on the cell's edge, where
      // it would join up with the neighbouring frame.
      EXPECT_GE(drawn * 20, s.cell * s.cell) << "cell " << col << ", " << row;
      EXPECT_EQ(onBorder, 0) << "cell " << col << ", " << row;
    }
  }
}

// The lowest drawn row of a cell, counted from its top; -1 when empty.
int Lowest(const plat::Bitmap& b, int cell, int col, int row) {
  for (int y = cell - 1; y >= 0; --y)
    for (int x = 0; x < cell; ++x)
      if (At(b, col * cell + x, row * cell + y) != kMagenta) return y;
  return -1;
}

TEST_F(PartyPictures, FiguresStandOnTheFloorOfTheirCells) {
  // The stage's openings and the companions' formation assume feet near the
  // bottom of each cell; a figure floating higher would walk above walls.
  plat::Bitmap princess = Source("BMP\\princess.bmp");
  ASSERT_EQ(princess.width, 1152);
  for (int row = 0; row < 8; ++row) {
    for (int col = 0; col <= 5; ++col) {
      int low = Lowest(princess, 96, col, row);
      EXPECT_GE(low, 88) << "princess cell " << col << ", " << row;
      EXPECT_LE(low, 93) << "princess cell " << col << ", " << row;
    }
  }
  for (const char* name : {"BMP\\damenzu_00.bmp", "BMP\\damenzu_01.bmp", "BMP\\damenzu_02.bmp"}) {
    plat::Bitmap b = Source(name);
    ASSERT_EQ(b.width, 728) << name;
    for (int row = 0; row < 4; ++row) {
      for (int col = 0; col <= 5; ++col) {
        int low = Lowest(b, 56, col, row);
        EXPECT_GE(low, 49) << name << " cell " << col << ", " << row;
        EXPECT_LE(low, 54) << name << " cell " << col << ", " << row;
      }
    }
  }
}

int Changed(const plat::Bitmap& b, int cell, int colA, int rowA, int colB, int rowB) {
  int changed = 0;
  for (int y = 0; y < cell; ++y)
    for (int x = 0; x < cell; ++x)
      if (At(b, colA * cell + x, rowA * cell + y) != At(b, colB * cell + x, rowB * cell + y)) ++changed;
  return changed;
}

TEST_F(PartyPictures, FramesOfAnAnimationDiffer) {
  // A frame identical to its neighbour would make a walk or a flight stand
  // still; a facing identical to another would turn the figure the wrong way.
  plat::Bitmap princess = Source("BMP\\princess.bmp");
  ASSERT_EQ(princess.width, 1152);
  for (int row = 0; row < 8; ++row) {
    for (int col = 1; col <= 8; ++col) EXPECT_GT(Changed(princess, 96, col - 1, row, col, row), 20) << col << ", " << row;
    for (int other = 0; other < row; ++other) EXPECT_GT(Changed(princess, 96, 0, row, 0, other), 100) << row << " " << other;
  }
  for (int col = 1; col < 6; ++col) EXPECT_GT(Changed(princess, 96, col - 1, 8, col, 8), 20) << "dying " << col;

  for (const char* name : {"BMP\\damenzu_00.bmp", "BMP\\damenzu_01.bmp", "BMP\\damenzu_02.bmp"}) {
    plat::Bitmap b = Source(name);
    ASSERT_EQ(b.width, 728) << name;
    for (int row = 0; row < 4; ++row) {
      for (int col = 1; col < 13; ++col) EXPECT_GT(Changed(b, 56, col - 1, row, col, row), 10) << name << " " << col;
      for (int other = 0; other < row; ++other) EXPECT_GT(Changed(b, 56, 0, row, 0, other), 50) << name << " " << row;
    }
    for (int col = 0; col < 8; ++col) EXPECT_GT(Changed(b, 56, col, 4, col, 5), 10) << name << " flight " << col;
  }
  plat::Bitmap trail = Source("BMP\\damenzu_ef00.bmp");
  ASSERT_EQ(trail.width, 448);
  for (int col = 0; col < 8; ++col) EXPECT_GT(Changed(trail, 56, col, 0, col, 1), 10) << "trail " << col;
}

// How far the pixels of colours `match` lie ahead of a cell's middle along
// (dx, dy); false when there are none.
template <typename Match>
bool Ahead(const plat::Bitmap& b, int cell, int col, int row, float dx, float dy, Match match, float& ahead) {
  double sum = 0;
  int n = 0;
  for (int y = 0; y < cell; ++y) {
    for (int x = 0; x < cell; ++x) {
      if (!match(At(b, col * cell + x, row * cell + y))) continue;
      sum += (x + 0.5 - cell / 2.0) * dx + (y + 0.5 - cell / 2.0) * dy;
      ++n;
    }
  }
  if (n == 0) return false;
  ahead = static_cast<float>(sum / n);
  return true;
}

TEST_F(PartyPictures, ThePiercerLeadsWithItsPointAlongTheLaunch) {
  // Flight columns follow the princess's facings: down, right, up, left,
  // down-right, up-right, down-left, up-left.
  const float dir[8][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {0.7071f, 0.7071f}, {0.7071f, -0.7071f},
                           {-0.7071f, 0.7071f}, {-0.7071f, -0.7071f}};
  plat::Bitmap knight = Source("BMP\\damenzu_00.bmp");
  plat::Bitmap trail = Source("BMP\\damenzu_ef00.bmp");
  ASSERT_EQ(knight.width, 728);
  ASSERT_EQ(trail.width, 448);
  // The drill is the steel of the sheet; the trail's glint marks its point.
  auto steel = [](uint32_t c) { return c == 0xC0C4D8u || c == 0xF0F0F8u || c == 0x8084A4u; };
  auto glint = [](uint32_t c) { return c == 0xFFFFFFu; };
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 8; ++col) {
      float ahead = 0;
      ASSERT_TRUE(Ahead(knight, 56, col, 4 + row, dir[col][0], dir[col][1], steel, ahead)) << col;
      EXPECT_GT(ahead, 4.0f) << "flight " << col << " frame " << row;
      ASSERT_TRUE(Ahead(trail, 56, col, row, dir[col][0], dir[col][1], glint, ahead)) << col;
      EXPECT_GT(ahead, 12.0f) << "trail " << col << " frame " << row;
    }
  }
}

}  // namespace
