// Sprite drawing: clipping, keyed and opaque copies, stretching, mirroring,
// the grab of the back screen, the fills, the half-blend and the row
// effects, on a headless 565 screen.
#include "draw_fixture.h"

namespace {

using drawtest::DrawFixture;
using elDraw::screen;

// A value for every sprite pixel that tells where it came from (never 0).
uint32_t Tag(int x, int y) { return static_cast<uint32_t>(1 + x + 128 * y); }

class DrawClipTest : public DrawFixture {};

TEST_F(DrawClipTest, LeftEdgeMovesThePositionAndTheSource) {
  int s = MakeSprite(32, 32, Tag);
  elDraw::Draw(-10, 5, s, 0, 0, 32, 32);
  EXPECT_EQ(BackPixel(0, 5), Tag(10, 0));
  EXPECT_EQ(BackPixel(21, 36), Tag(31, 31));
  EXPECT_EQ(BackPixel(22, 5), 0u);
  EXPECT_EQ(CountOutside(0, 5, 22, 37), 0);
}

TEST_F(DrawClipTest, RightEdgeCutsToTheColumnsThatFit) {
  int s = MakeSprite(32, 32, Tag);
  elDraw::Draw(screen.clipRect.right - 5, 0, s, 0, 0, 32, 32);
  EXPECT_EQ(BackPixel(795, 0), Tag(0, 0));
  EXPECT_EQ(BackPixel(799, 31), Tag(4, 31));
  EXPECT_EQ(CountOutside(795, 0, 800, 32), 0);
}

TEST_F(DrawClipTest, TopAndBottomEdges) {
  int s = MakeSprite(32, 32, Tag);
  elDraw::Draw(100, -7, s, 0, 0, 32, 32);
  EXPECT_EQ(BackPixel(100, 0), Tag(0, 7));
  EXPECT_EQ(CountOutside(100, 0, 132, 25), 0);
  elDraw::Clear();
  elDraw::Draw(100, 597, s, 0, 0, 32, 32);
  EXPECT_EQ(BackPixel(131, 599), Tag(31, 2));
  EXPECT_EQ(CountOutside(100, 597, 132, 600), 0);
}

TEST_F(DrawClipTest, SpritesOutsideOrJustOnAnEdgeDrawNothing) {
  int s = MakeSprite(32, 32, Tag);
  const int positions[][2] = {{-40, 0}, {-32, 0},  {800, 0},  {900, 10},
                              {0, -32}, {0, -100}, {10, 600}, {10, 700}};
  for (const auto& p : positions) {
    elDraw::Draw(p[0], p[1], s, 0, 0, 32, 32);
    elDraw::DrawOpaque(p[0], p[1], s, 0, 0, 32, 32);
    EXPECT_EQ(CountNonZero(), 0) << p[0] << "," << p[1];
  }
}

TEST_F(DrawClipTest, ASmallerWindowKeepsEveryDrawInside) {
  int s = MakeSprite(128, 128, Tag);
  elDraw::SetClip(100, 100, 200, 150);
  elDraw::Draw(50, 50, s, 0, 0, 128, 128);
  elDraw::Draw(170, 90, s, 0, 0, 128, 128);
  EXPECT_EQ(CountOutside(100, 100, 200, 150), 0);
  EXPECT_EQ(BackPixel(100, 100), Tag(50, 50));
  EXPECT_EQ(BackPixel(199, 100), Tag(29, 10));
  elDraw::Clear();
  elDraw::Draw(80, 120, s, 0, 0, 128, 128);
  EXPECT_EQ(BackPixel(100, 120), Tag(20, 0));
  EXPECT_EQ(BackPixel(199, 149), Tag(119, 29));
  EXPECT_EQ(CountOutside(100, 120, 200, 150), 0);
}

TEST_F(DrawClipTest, RightAndBottomAreCutBeforeTheLeftAndTop) {
  // The right edge is measured from the position as given: a draw that
  // starts left of a narrow window keeps the columns that end at its right.
  int s = MakeSprite(64, 8, Tag);
  elDraw::SetClip(10, 0, 20, 600);
  elDraw::Draw(0, 0, s, 0, 0, 64, 8);
  EXPECT_EQ(BackPixel(10, 0), Tag(10, 0));
  EXPECT_EQ(BackPixel(19, 0), Tag(19, 0));
  EXPECT_EQ(CountOutside(10, 0, 20, 8), 0);
}

class DrawCopyTest : public DrawFixture {};

TEST_F(DrawCopyTest, KeyedDrawSkipsBlackAndOpaqueDrawCopiesIt) {
  int s = MakeSprite(4, 4, [](int x, int y) { return x == y ? 0u : Tag(x, y); });
  elDraw::FillScreenWhite();
  elDraw::Draw(10, 10, s, 0, 0, 4, 4);
  EXPECT_EQ(BackPixel(11, 11), 0xFFFFu);
  EXPECT_EQ(BackPixel(12, 11), Tag(2, 1));
  elDraw::DrawOpaque(10, 10, s, 0, 0, 4, 4);
  EXPECT_EQ(BackPixel(11, 11), 0u);
}

TEST_F(DrawCopyTest, BadSlotsAndSlotsWithoutSurfaceDrawNothing) {
  const int slots[] = {-1, 512, 100000, 300};  // slot 300 is free
  for (int slot : slots) {
    elDraw::Draw(0, 0, slot, 0, 0, 8, 8);
    elDraw::DrawOpaque(0, 0, slot, 0, 0, 8, 8);
    elDraw::DrawStretch(0, 0, slot, 0, 0, 8, 8, 16, 16);
    elDraw::DrawToObject(slot, 0, 0, 1, 0, 0, 8, 8);
    elDraw::GrabScreen(slot, 0, 0, 8, 8);
    elDraw::ClearObject(slot);
    EXPECT_EQ(elDraw::DrawMirror(0, 0, 1, slot, 0, 0, 8, 8), 0);
  }
  EXPECT_EQ(CountNonZero(), 0);
}

TEST_F(DrawCopyTest, SpriteToSpriteIsClippedByTheScreenWindowNotTheSprite) {
  int source = MakeSprite(32, 32, Tag);
  int dest = MakeSprite(50, 50, [](int, int) { return 7u; });
  elDraw::SetClip(0, 0, 20, 20);
  elDraw::DrawToObject(dest, 10, 10, source, 0, 0, 32, 32);
  EXPECT_EQ(Pixel(SpriteSurface(dest), 10, 10), Tag(0, 0));
  EXPECT_EQ(Pixel(SpriteSurface(dest), 19, 19), Tag(9, 9));
  EXPECT_EQ(Pixel(SpriteSurface(dest), 20, 10), 7u);
  // With the whole screen as the window a draw past the sprite's edge is not
  // cut, and the blitter refuses it whole.
  elDraw::SetClip(0, 0, 800, 600);
  elDraw::DrawToObjectOpaque(dest, 30, 30, source, 0, 0, 32, 32);
  EXPECT_EQ(Pixel(SpriteSurface(dest), 30, 30), 7u);
  elDraw::DrawToObjectOpaque(dest, 18, 18, source, 0, 0, 32, 32);
  EXPECT_EQ(Pixel(SpriteSurface(dest), 18, 18), Tag(0, 0));
  EXPECT_EQ(CountNonZero(), 0);  // nothing reached the back screen
}

TEST_F(DrawCopyTest, StretchByTheBlitterIsKeyedAndUnclipped) {
  ASSERT_EQ(screen.canStretch, 1);
  int s = MakeSprite(4, 4, [](int x, int y) { return x == 3 ? 0u : Tag(x, y); });
  // A source key that is not black: the blitter honours the sprite's key.
  plat::SetColorKey(SpriteSurface(s), true, Tag(1, 1), Tag(1, 1));
  elDraw::SetClip(0, 0, 5, 5);
  elDraw::FillScreenWhite();
  elDraw::DrawStretch(10, 10, s, 0, 0, 4, 4, 8, 8);
  EXPECT_EQ(BackPixel(10, 10), Tag(0, 0));
  EXPECT_EQ(BackPixel(11, 11), Tag(0, 0));
  EXPECT_EQ(BackPixel(12, 10), Tag(1, 0));
  EXPECT_EQ(BackPixel(12, 12), 0xFFFFu);  // the key colour
  EXPECT_EQ(BackPixel(16, 10), 0u);       // black is not this sprite's key, so it is drawn
  EXPECT_EQ(BackPixel(18, 10), 0xFFFFu);
  elDraw::DrawStretchOpaque(10, 10, s, 0, 0, 4, 4, 8, 8);
  EXPECT_EQ(BackPixel(12, 12), Tag(1, 1));
}

TEST_F(DrawCopyTest, StretchThroughTheBufferMakesBlackTransparentAndIsClipped) {
  screen.canStretch = 0;
  int s = MakeSprite(4, 4, [](int x, int y) { return x == 3 ? 0u : Tag(x, y); });
  plat::SetColorKey(SpriteSurface(s), true, Tag(1, 1), Tag(1, 1));
  elDraw::SetClip(0, 0, 15, 600);
  elDraw::FillScreenWhite();
  elDraw::DrawStretch(8, 10, s, 0, 0, 4, 4, 8, 8);
  EXPECT_EQ(BackPixel(8, 10), Tag(0, 0));
  EXPECT_EQ(BackPixel(10, 12), Tag(1, 1));  // the source's own key does not apply
  EXPECT_EQ(BackPixel(14, 10), 0xFFFFu);    // black is transparent on this path
  EXPECT_EQ(BackPixel(15, 10), 0xFFFFu);    // and the window cuts the draw
  elDraw::DrawStretchOpaque(8, 10, s, 0, 0, 4, 4, 8, 8);
  EXPECT_EQ(BackPixel(14, 10), 0u);
  EXPECT_EQ(BackPixel(15, 10), 0xFFFFu);
}

TEST_F(DrawCopyTest, MirrorModesTurnThePictureOver) {
  int s = MakeSprite(3, 2, Tag);
  struct Case {
    int mode;
    uint32_t topLeft, topRight, bottomLeft;
  } cases[] = {{0, Tag(0, 0), Tag(2, 0), Tag(0, 1)},
               {1, Tag(2, 0), Tag(0, 0), Tag(2, 1)},
               {2, Tag(0, 1), Tag(2, 1), Tag(0, 0)},
               {3, Tag(2, 1), Tag(0, 1), Tag(2, 0)}};
  for (const Case& c : cases) {
    elDraw::Clear();
    EXPECT_EQ(elDraw::DrawMirror(100, 50, c.mode, s, 0, 0, 3, 2), 1);
    EXPECT_EQ(BackPixel(100, 50), c.topLeft) << c.mode;
    EXPECT_EQ(BackPixel(102, 50), c.topRight) << c.mode;
    EXPECT_EQ(BackPixel(100, 51), c.bottomLeft) << c.mode;
    EXPECT_EQ(CountOutside(100, 50, 103, 52), 0);
  }
}

TEST_F(DrawCopyTest, MirrorSkipsZeroPixelsAndIsCutToTheWindowAndTheScreen) {
  int s = MakeSprite(4, 4, [](int x, int y) { return x == 0 && y == 0 ? 0u : Tag(x, y); });
  elDraw::FillScreenWhite();
  elDraw::DrawMirror(10, 10, 3, s, 0, 0, 4, 4);
  EXPECT_EQ(BackPixel(13, 13), 0xFFFFu);  // the zero pixel lands mirrored
  EXPECT_EQ(BackPixel(10, 10), Tag(3, 3));

  // Cut on the left of a left-right mirror: the destination keeps the pixels
  // it would have had, so the source's right end goes.
  elDraw::Clear();
  elDraw::SetClip(101, 0, 800, 600);
  elDraw::DrawMirror(100, 0, 1, s, 0, 1, 4, 2);
  EXPECT_EQ(BackPixel(100, 0), 0u);
  EXPECT_EQ(BackPixel(101, 0), Tag(2, 1));
  EXPECT_EQ(BackPixel(103, 0), Tag(0, 1));

  // A window larger than the screen never leads outside it.
  elDraw::Clear();
  elDraw::SetClip(-100, -100, 1000, 1000);
  EXPECT_EQ(elDraw::DrawMirror(798, 598, 0, s, 0, 0, 4, 4), 1);
  EXPECT_EQ(BackPixel(799, 599), Tag(1, 1));
  EXPECT_EQ(elDraw::DrawMirror(-2, -2, 0, s, 0, 0, 4, 4), 1);
  EXPECT_EQ(BackPixel(0, 0), Tag(2, 2));
  // A source rectangle outside the sprite is refused.
  EXPECT_EQ(elDraw::DrawMirror(0, 0, 0, s, 0, 0, 5, 4), 0);
  EXPECT_EQ(elDraw::DrawMirror(0, 0, 0, s, -1, 0, 4, 4), 0);
}

TEST_F(DrawCopyTest, GrabScreenCopiesTheBackScreenAsItIs) {
  int s = MakeSprite(32, 32, [](int, int) { return 5u; });
  Paint(Back(), [](int x, int y) { return (x + y) % 3 == 0 ? 0u : Tag(x % 64, y % 64); });
  elDraw::SetClip(0, 0, 1, 1);
  elDraw::GrabScreen(s, 10, 20, 42, 52);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      uint32_t expected = (x + 10 + y + 20) % 3 == 0 ? 0u : Tag(x + 10, y + 20);
      ASSERT_EQ(Pixel(SpriteSurface(s), x, y), expected) << x << "," << y;
    }
  }
}

class DrawFillTest : public DrawFixture {};

TEST_F(DrawFillTest, FillsAreUnclippedAndUseTheirValues) {
  elDraw::SetClip(0, 0, 10, 10);
  elDraw::FillScreenWhite();
  EXPECT_EQ(BackPixel(799, 599), 0xFFFFu);
  elDraw::FillColor(100, 100, 110, 105, 0x12345678);
  EXPECT_EQ(BackPixel(100, 100), 0x5678u);
  EXPECT_EQ(BackPixel(109, 104), 0x5678u);
  EXPECT_EQ(BackPixel(110, 104), 0xFFFFu);
  elDraw::FillBlack(200, 200, 201, 201);
  EXPECT_EQ(BackPixel(200, 200), 0u);
  EXPECT_EQ(BackPixel(201, 200), 0xFFFFu);
  elDraw::Clear();
  elDraw::FillWhite(5, 6, 7, 8);
  EXPECT_EQ(BackPixel(6, 7), 0xFFFFu);
  EXPECT_EQ(CountOutside(5, 6, 7, 8), 0);
  elDraw::Clear();
  EXPECT_EQ(CountNonZero(), 0);
}

TEST_F(DrawFillTest, ClearObjectEmptiesTheWholeSprite) {
  int s = MakeSprite(20, 10, Tag);
  elDraw::ClearObject(s);
  EXPECT_EQ(Pixel(SpriteSurface(s), 0, 0), 0u);
  EXPECT_EQ(Pixel(SpriteSurface(s), 19, 9), 0u);
}

TEST_F(DrawFillTest, FrameBlackOutlinesTheSquare) {
  elDraw::FillScreenWhite();
  elDraw::FrameBlack(10, 10, 20, 20);
  for (int y = 5; y < 25; ++y) {
    for (int x = 5; x < 25; ++x) {
      bool inside = x >= 10 && x < 20 && y >= 10 && y < 20;
      bool edge = inside && (x == 10 || x == 19 || y == 10 || y == 19);
      ASSERT_EQ(BackPixel(x, y), edge ? 0u : 0xFFFFu) << x << "," << y;
    }
  }
}

TEST_F(DrawFillTest, BlendRectHalvesEachChannelWithoutCarry) {
  // Channels 1/1/1 halve to nothing: no low bit leaks into the next channel.
  SetPixel(Back(), 0, 0, 0x0821);
  SetPixel(Back(), 1, 0, 0xFFFF);
  SetPixel(Back(), 2, 0, 0x001F);
  EXPECT_EQ(elDraw::BlendRect(0, 0, 3, 1, 0xF800), 1);
  EXPECT_EQ(BackPixel(0, 0), 0x7800u);
  EXPECT_EQ(BackPixel(1, 0), 0x7BEFu + 0x7800u);
  EXPECT_EQ(BackPixel(2, 0), 0x780Fu);
  EXPECT_EQ(BackPixel(3, 0), 0u);
}

TEST_F(DrawFillTest, BlendRectIsCutToTheWindowAndTheScreen) {
  elDraw::FillScreenWhite();
  elDraw::SetClip(10, 10, 20, 20);
  EXPECT_EQ(elDraw::BlendRect(0, 0, 800, 600, 0), 1);
  EXPECT_EQ(BackPixel(10, 10), 0x7BEFu);
  EXPECT_EQ(BackPixel(19, 19), 0x7BEFu);
  EXPECT_EQ(BackPixel(20, 19), 0xFFFFu);
  EXPECT_EQ(BackPixel(9, 10), 0xFFFFu);
  elDraw::SetClip(-50, -50, 2000, 2000);
  EXPECT_EQ(elDraw::BlendRect(-10, -10, 900, 700, 0), 1);
  EXPECT_EQ(BackPixel(799, 599), 0x7BEFu);
}

class DrawRowEffectTest : public DrawFixture {
 protected:
  // The leftmost column of a back-screen row that holds a pixel, or -1.
  static int RowStart(int y) {
    for (int x = 0; x < 800; ++x) {
      if (BackPixel(x, y) != 0) return x;
    }
    return -1;
  }
};

TEST_F(DrawRowEffectTest, WaveOffsetsRowsByTheCosineOfThePhase) {
  int s = MakeSprite(8, 100, Tag);
  const struct {
    float phase;
    int expected;
  } cases[] = {{0.0f, 110}, {90.9f, 100}, {180.0f, 90}};
  for (const auto& c : cases) {
    elDraw::Clear();
    elDraw::rowEffects.wavePhase = c.phase;
    elDraw::DrawWave(100, 50, 10, 1000, 0.0f, s, 0, 0, 8, 3, 0);
    for (int y = 50; y < 53; ++y) EXPECT_EQ(RowStart(y), c.expected) << c.phase;
    EXPECT_EQ(BackPixel(c.expected, 52), Tag(0, 2));
    EXPECT_EQ(RowStart(53), -1);
  }
}

TEST_F(DrawRowEffectTest, WaveAngleCountsTheSourceRowByPeriod) {
  int s = MakeSprite(8, 100, Tag);
  // Period 0: the angle is the source row itself (60 degrees for row 60).
  elDraw::DrawWave(100, 0, 10, 0, 0.0f, s, 0, 60, 8, 62, 0);
  EXPECT_EQ(RowStart(0), 105);
  EXPECT_EQ(BackPixel(105, 0), Tag(0, 60));
  EXPECT_EQ(RowStart(1), 104);  // 10 cos 61 = 4.85
  // Period 30: rows 0..29 at angle 0, rows 30..59 at angle 1, ...
  elDraw::Clear();
  elDraw::DrawWave(100, 0, 100, 30, 0.0f, s, 0, 29, 8, 31, 0);
  EXPECT_EQ(RowStart(0), 200);  // 100 cos 0
  EXPECT_EQ(RowStart(1), 199);  // 100 cos 1 = 99.98
}

TEST_F(DrawRowEffectTest, AlternateFlipsTheSignFromRowToRowAcrossCalls) {
  int s = MakeSprite(8, 100, Tag);
  elDraw::DrawWave(100, 0, 10, 1000, 0.0f, s, 0, 0, 8, 3, 1);
  EXPECT_EQ(RowStart(0), 110);
  EXPECT_EQ(RowStart(1), 90);
  EXPECT_EQ(RowStart(2), 110);
  elDraw::Clear();
  elDraw::DrawWave(100, 0, 10, 1000, 0.0f, s, 0, 0, 8, 1, 1);
  EXPECT_EQ(RowStart(0), 90);  // the fourth row of the run
}

TEST_F(DrawRowEffectTest, WavePhaseAdvancesByFrameTimeAndWraps) {
  int s = MakeSprite(8, 4, Tag);
  elSystem::dt = 0.25f;
  elDraw::DrawWave(0, 0, 0, 0, 100.0f, s, 0, 0, 8, 4, 0);
  EXPECT_FLOAT_EQ(elDraw::rowEffects.wavePhase, 25.0f);
  elDraw::rowEffects.wavePhase = 350.0f;
  elDraw::DrawWave(0, 0, 0, 0, 80.0f, s, 0, 0, 8, 4, 0);
  EXPECT_FLOAT_EQ(elDraw::rowEffects.wavePhase, 10.0f);
  // Each row goes through Draw's clipping.
  elDraw::Clear();
  elDraw::SetClip(0, 0, 800, 2);
  elDraw::DrawWave(0, 0, 0, 0, 0.0f, s, 0, 0, 8, 4, 0);
  EXPECT_EQ(CountOutside(0, 0, 8, 2), 0);
}

TEST_F(DrawRowEffectTest, RowRepeatSkipAndJitter) {
  int s = MakeSprite(8, 6, Tag);
  elDraw::DrawRowRepeat(0, 0, 2, s, 0, 0, 8, 6);
  const uint32_t repeated[] = {Tag(0, 0), Tag(0, 0), Tag(0, 2), Tag(0, 2), Tag(0, 4), Tag(0, 4)};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(BackPixel(0, y), repeated[y]) << y;

  elDraw::Clear();
  elDraw::DrawRowSkip(0, 0, 3, s, 0, 0, 8, 6);
  const uint32_t skipped[] = {Tag(0, 0), 0, 0, Tag(0, 3), 0, 0};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(BackPixel(0, y), skipped[y]) << y;

  elDraw::Clear();
  elDraw::DrawRowSkip(0, 0, -2, s, 0, 0, 8, 6);  // gaps of one or two rows
  int drawn = 0;
  for (int y = 0; y < 6; ++y) {
    uint32_t v = BackPixel(0, y);
    if (v != 0) {
      EXPECT_EQ(v, Tag(0, y));
      ++drawn;
    }
  }
  EXPECT_EQ(BackPixel(0, 0), Tag(0, 0));
  EXPECT_GE(drawn, 3);

  elDraw::Clear();
  elDraw::DrawJitter(100, 0, 3, s, 0, 0, 8, 6);
  for (int y = 0; y < 6; ++y) {
    int start = RowStart(y);
    EXPECT_GE(start, 97);
    EXPECT_LE(start, 102);
  }
}

TEST_F(DrawRowEffectTest, TiledCoversTheScreenAndKeepsItsOffsetInOneTile) {
  int s = MakeSprite(64, 48, [](int x, int y) { return Tag(x, y); });
  elDraw::rowEffects.tileOffsetX = -10.0f;
  elDraw::rowEffects.tileOffsetY = -47.0f;
  elSystem::dt = 1.0f;
  elDraw::DrawTiled(s, 0, 0, 64, 48, -100.0f, 30.0f);
  EXPECT_EQ(BackPixel(0, 0), Tag(10, 47));
  EXPECT_EQ(BackPixel(799, 599), Tag((799 + 10) % 64, (599 + 47) % 48));
  EXPECT_FLOAT_EQ(elDraw::rowEffects.tileOffsetX, -46.0f);  // -110 back into [-64, 0]
  EXPECT_FLOAT_EQ(elDraw::rowEffects.tileOffsetY, -17.0f);
}

TEST_F(DrawRowEffectTest, WaveRollMovesThePictureThroughTheRows) {
  int s = MakeSprite(8, 10, Tag);
  elDraw::rowEffects.roll = 3.5f;
  elSystem::dt = 1.0f;
  elDraw::DrawWaveRoll(100, 0, 0, 0, 0.0f, 5.0f, s, 0, 0, 8, 10);
  EXPECT_EQ(BackPixel(100, 0), Tag(0, 3));
  EXPECT_EQ(BackPixel(100, 6), Tag(0, 9));
  EXPECT_EQ(BackPixel(100, 7), Tag(0, 0));
  EXPECT_EQ(RowStart(10), -1);
  EXPECT_FLOAT_EQ(elDraw::rowEffects.roll, 8.5f);  // 3.5 - 5 kept within the height
}

}  // namespace
