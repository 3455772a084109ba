// The enemies' and the dragon's pictures, as generated into the program
// folder by the build: loaded with the game's own loader and key settings,
// checked for their sheet sizes, for keys that only cover the background,
// and for a drawing in every cell the game shows.
#include <cmath>
#include <string>
#include <vector>

#include "draw_fixture.h"

namespace {

using drawtest::DrawFixture;
using drawtest::Source;
using drawtest::SurfacePixels;

enum class Key { Black, TopLeft };

struct Picture {
  const char* name;  // as the game names it
  int width, height;
  Key key;
  int cellWidth, cellHeight;
  std::vector<std::pair<int, int>> cells;  // (column, row) the game draws
};

std::vector<std::pair<int, int>> Grid(int columns, int rows) {
  std::vector<std::pair<int, int>> cells;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < columns; ++c) cells.emplace_back(c, r);
  return cells;
}

std::vector<std::pair<int, int>> SheetCells(int columns, int specialColumns) {
  std::vector<std::pair<int, int>> cells = Grid(columns, 4);
  for (int c = 0; c < specialColumns; ++c) cells.emplace_back(c, 4);
  return cells;
}

// Everything the enemies and the dragon load, with the key each gets from
// its place in the load order (black for the first twelve pictures, the
// top-left pixel after them).
std::vector<Picture> Pictures() {
  return {
      {"bmp\\enemy00_00.bmp", 336, 240, Key::TopLeft, 48, 48, SheetCells(7, 7)},
      {"bmp\\enemy00_01.bmp", 336, 240, Key::TopLeft, 48, 48, SheetCells(7, 7)},
      {"bmp\\atya.bmp", 240, 240, Key::Black, 48, 48, SheetCells(5, 2)},
      {"bmp\\tate1.bmp", 96, 240, Key::Black, 48, 48, SheetCells(2, 2)},
      {"BMP\\g_a1.bmp", 48, 32, Key::Black, 48, 32, Grid(1, 1)},
      {"BMP\\g_a2.bmp", 32, 48, Key::Black, 32, 48, Grid(1, 1)},
      {"bmp\\Ya.bmp", 48, 12, Key::Black, 12, 12, Grid(4, 1)},
      {"BMP\\item.bmp", 96, 48, Key::Black, 48, 48, Grid(2, 1)},
      {"BMP\\boss01\\buresu.BMP", 1050, 500, Key::Black, 1050, 500, Grid(1, 1)},
      {"BMP\\boss01\\dragon_fireball.BMP", 280, 168, Key::Black, 56, 56, Grid(5, 3)},
      {"BMP\\boss01\\dragon_breath.BMP", 1050, 350, Key::Black, 350, 350, Grid(3, 1)},
      {"bmp\\boss01\\sakebi.bmp", 160, 80, Key::TopLeft, 160, 80, Grid(1, 1)},
      {"bmp\\boss01\\d_kage.bmp", 260, 80, Key::TopLeft, 260, 80, Grid(1, 1)},
      {"bmp\\boss01\\dragon_head.bmp", 540, 500, Key::TopLeft, 180, 250, Grid(3, 2)},
      {"bmp\\boss01\\dragon_haba00.bmp", 600, 250, Key::TopLeft, 600, 250, Grid(1, 1)},
      {"bmp\\boss01\\dragon_haba01.bmp", 600, 250, Key::TopLeft, 600, 250, Grid(1, 1)},
      {"bmp\\boss01\\dragon_haba02.bmp", 600, 250, Key::TopLeft, 600, 250, Grid(1, 1)},
      {"bmp\\boss01\\dragon_haba03.bmp", 600, 250, Key::TopLeft, 600, 250, Grid(1, 1)},
      {"bmp\\boss01\\dragon_haba04.bmp", 600, 250, Key::TopLeft, 600, 250, Grid(1, 1)},
  };
}

int LoadWithKey(const Picture& p) {
  if (p.key == Key::Black) elDraw::SetColorKey(0);
  else elDraw::UseTopLeftColorKey();
  return elDraw::LoadObject(p.name, 2);
}

class FoesPictures : public DrawFixture {};

TEST_F(FoesPictures, SizesAndKeysCoverExactlyTheBackground) {
  for (const Picture& p : Pictures()) {
    SCOPED_TRACE(p.name);
    int slot = LoadWithKey(p);
    ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
    EXPECT_EQ(elDraw::SpriteTable[slot].width, p.width);
    EXPECT_EQ(elDraw::SpriteTable[slot].height, p.height);
    plat::Surface& surface = SpriteSurface(slot);
    ASSERT_EQ(surface.width, p.width);
    ASSERT_EQ(surface.height, p.height);
    ASSERT_EQ(surface.keyLow, surface.keyHigh);
    const uint32_t key = surface.keyLow;

    plat::Bitmap source = Source(p.name);
    ASSERT_EQ(source.width, p.width);
    ASSERT_EQ(source.height, p.height);
    // The background the picture was painted on: black, or magenta in the
    // top-left corner for the pictures keyed from there.
    const uint32_t background = p.key == Key::Black ? 0x000000u : 0xFF00FFu;
    EXPECT_EQ(source.pixels[0], background);
    if (p.key == Key::Black) {
      EXPECT_EQ(key, 0u);
    }

    auto m = drawtest::CountKeyMismatches(source.pixels, background, SurfacePixels(surface), key);
    EXPECT_EQ(m.lostDrawing, 0) << "drawn pixels that the key makes transparent";
    EXPECT_EQ(m.shownBackground, 0) << "background pixels that stay visible";
  }
}

TEST_F(FoesPictures, EveryCellTheGameDrawsHoldsAFigure) {
  for (const Picture& p : Pictures()) {
    SCOPED_TRACE(p.name);
    plat::Bitmap source = Source(p.name);
    ASSERT_EQ(source.width, p.width);
    const uint32_t background = p.key == Key::Black ? 0x000000u : 0xFF00FFu;
    for (auto [col, row] : p.cells) {
      int drawn = 0;
      for (int y = row * p.cellHeight; y < (row + 1) * p.cellHeight; ++y)
        for (int x = col * p.cellWidth; x < (col + 1) * p.cellWidth; ++x)
          if (source.pixels[static_cast<size_t>(y) * p.width + x] != background) ++drawn;
      // At least a twentieth of the cell: a figure, not a stray pixel.
      EXPECT_GE(drawn * 20, p.cellWidth * p.cellHeight) << "cell " << col << ", " << row;
    }
  }
}

// The centre of the pixels of one colour inside a cell, relative to the
// cell's middle; false when the colour is absent.
bool ColourCentre(const plat::Bitmap& b, int cx, int cy, int w, int h, uint32_t colour, float& dx,
                  float& dy) {
  double sx = 0, sy = 0;
  int n = 0;
  for (int y = cy; y < cy + h; ++y) {
    for (int x = cx; x < cx + w; ++x) {
      if (b.pixels[static_cast<size_t>(y) * b.width + x] != colour) continue;
      sx += x - cx + 0.5;
      sy += y - cy + 0.5;
      ++n;
    }
  }
  if (n == 0) return false;
  dx = static_cast<float>(sx / n - w / 2.0);
  dy = static_cast<float>(sy / n - h / 2.0);
  return true;
}

TEST_F(FoesPictures, ProjectilesPointWhereTheyFly) {
  // Arrow columns: up, right, down, left; the steel point leads.
  plat::Bitmap arrow = Source("bmp\\Ya.bmp");
  ASSERT_EQ(arrow.width, 48);
  const float arrowDir[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
  for (int col = 0; col < 4; ++col) {
    float dx, dy;
    ASSERT_TRUE(ColourCentre(arrow, col * 12, 0, 12, 12, 0xE0E8F0u, dx, dy)) << col;
    EXPECT_GT(dx * arrowDir[col][0] + dy * arrowDir[col][1], 2.0f) << "arrow column " << col;
  }
  // Fireball columns: the sectors from right through down to left; the
  // white-hot core sits ahead of the middle, the tail behind it.
  plat::Bitmap fire = Source("BMP\\boss01\\dragon_fireball.BMP");
  ASSERT_EQ(fire.width, 280);
  for (int col = 0; col < 5; ++col) {
    float a = col * 0.7853982f;
    for (int row = 0; row < 3; ++row) {
      float dx, dy;
      ASSERT_TRUE(ColourCentre(fire, col * 56, row * 56, 56, 56, 0xFFFCE0u, dx, dy)) << col;
      EXPECT_GT(dx * std::cos(a) + dy * std::sin(a), 3.0f) << "fireball column " << col << " row " << row;
    }
  }
}

TEST_F(FoesPictures, AnimationFramesDiffer) {
  // Body frames swapped in by the animation, and the flicker of the fire:
  // a frame identical to its neighbour would make the animation stand still.
  auto differs = [](const plat::Bitmap& a, int ax, int ay, const plat::Bitmap& b, int bx, int by, int w,
                    int h) {
    int changed = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (a.pixels[static_cast<size_t>(ay + y) * a.width + ax + x] !=
            b.pixels[static_cast<size_t>(by + y) * b.width + bx + x])
          ++changed;
    return changed;
  };
  std::vector<plat::Bitmap> body;
  for (int f = 0; f < 5; ++f) {
    std::string name = "bmp\\boss01\\dragon_haba0" + std::to_string(f) + ".bmp";
    body.push_back(Source(name.c_str()));
    ASSERT_EQ(body.back().width, 600);
  }
  for (int f = 1; f < 5; ++f) EXPECT_GT(differs(body[f - 1], 0, 0, body[f], 0, 0, 600, 250), 500) << f;
  plat::Bitmap breath = Source("BMP\\boss01\\dragon_breath.BMP");
  ASSERT_EQ(breath.width, 1050);
  for (int f = 1; f < 3; ++f)
    EXPECT_GT(differs(breath, (f - 1) * 350, 0, breath, f * 350, 0, 350, 350), 1000) << f;
  plat::Bitmap head = Source("bmp\\boss01\\dragon_head.bmp");
  ASSERT_EQ(head.width, 540);
  for (int col = 0; col < 3; ++col) {
    EXPECT_GT(differs(head, col * 180, 0, head, col * 180, 250, 180, 250), 500) << "head turn " << col;
    if (col > 0) {
      EXPECT_GT(differs(head, 0, 0, head, col * 180, 0, 180, 250), 200) << "head column " << col;
    }
  }
}

}  // namespace
