// Checks of the generated terrain pictures, loaded with the game's own loader
// from the game folder: the tile sheet, the frame and the party's shadow.
// All three are keyed on black, so black must appear exactly where the
// picture is meant to be see-through.
#include <cstring>

#include "draw_fixture.h"

namespace {

class TerrainPictures : public drawtest::DrawFixture {
 protected:
  // Loads a picture and hands every pixel to `check` under one lock.
  template <typename Check>
  void ForEachPixel(int slot, Check check) {
    plat::Surface& s = SpriteSurface(slot);
    plat::LockInfo lock;
    ASSERT_EQ(plat::Lock(s, lock), plat::Result::Ok);
    for (int y = 0; y < s.height; ++y) {
      for (int x = 0; x < s.width; ++x) {
        uint32_t v = 0;
        std::memcpy(&v, lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel, s.format.bytesPerPixel);
        check(x, y, v);
      }
    }
    plat::Unlock(s);
  }
};

TEST_F(TerrainPictures, TileSheetIsEightyTilesWideWithNoSeeThroughPixel) {
  int slot = elDraw::LoadObject("BMP\\m_cp.bmp", 2);
  ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
  EXPECT_EQ(elDraw::SpriteTable[slot].width, 640);
  EXPECT_GE(elDraw::SpriteTable[slot].height, 8);
  EXPECT_EQ(elDraw::SpriteTable[slot].height % 8, 0);
  // A black pixel in a tile would turn into a hole in the screen pictures.
  int black = 0;
  ForEachPixel(slot, [&](int, int, uint32_t v) { black += v == 0; });
  EXPECT_EQ(black, 0);
}

TEST_F(TerrainPictures, FrameCoversTheBorderAndLeavesThePlayAreaOpen) {
  int slot = elDraw::LoadObject("BMP\\waku.BMP", 2);
  ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
  ASSERT_EQ(elDraw::SpriteTable[slot].width, 800);
  ASSERT_EQ(elDraw::SpriteTable[slot].height, 600);
  int holes = 0, covered = 0;
  ForEachPixel(slot, [&](int x, int y, uint32_t v) {
    bool inside = x >= 16 && x < 784 && y >= 12 && y < 588;
    if (inside) covered += v != 0;
    else holes += v == 0;
  });
  EXPECT_EQ(holes, 0) << "see-through pixels in the border";
  EXPECT_EQ(covered, 0) << "drawn pixels over the play area";
}

TEST_F(TerrainPictures, ShadowIsAnOvalOnSeeThroughGround) {
  int slot = elDraw::LoadObject("BMP\\kake.bmp", 2);
  ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
  ASSERT_EQ(elDraw::SpriteTable[slot].width, 48);
  ASSERT_EQ(elDraw::SpriteTable[slot].height, 16);
  plat::Surface& s = SpriteSurface(slot);
  EXPECT_EQ(Pixel(s, 0, 0), 0u);
  EXPECT_EQ(Pixel(s, 47, 0), 0u);
  EXPECT_EQ(Pixel(s, 0, 15), 0u);
  EXPECT_EQ(Pixel(s, 47, 15), 0u);
  EXPECT_NE(Pixel(s, 24, 8), 0u);
  // Symmetric left to right, and wider than tall.
  int leftmost = 48, rightmost = -1, top = 16, bottom = -1;
  ForEachPixel(slot, [&](int x, int y, uint32_t v) {
    if (v == 0) return;
    leftmost = std::min(leftmost, x);
    rightmost = std::max(rightmost, x);
    top = std::min(top, y);
    bottom = std::max(bottom, y);
  });
  EXPECT_EQ(leftmost, 47 - rightmost);
  EXPECT_GT(rightmost - leftmost, 3 * (bottom - top));
}

}  // namespace
