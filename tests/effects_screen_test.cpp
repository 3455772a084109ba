// The back-screen filters against their formulas, in 565 and 555, and every
// effect under random arguments (run under AddressSanitizer to see that
// none reaches outside its surfaces).
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "effects_fixture.h"

namespace {

using efftest::EffectsTest;
using efftest::Join5;
using efftest::Pic;
using efftest::Split5;

// The mean of four pixels' 5-bit channels, each flagged channel above 0
// lowered by 1.
uint16_t Mean4(uint16_t a, uint16_t b, uint16_t c, uint16_t d, const int (&fade)[3]) {
  int sum[3] = {0, 0, 0};
  for (uint16_t p : {a, b, c, d}) {
    int ch[3];
    Split5(p, ch);
    for (int k = 0; k < 3; ++k) sum[k] += ch[k];
  }
  for (int k = 0; k < 3; ++k) {
    sum[k] >>= 2;
    if (fade[k] && sum[k] > 0) --sum[k];
  }
  return Join5(sum);
}

// The noise table's next entry at `position`, restarting at rand() % 1000.
int Next(int& position) {
  const int n = elDraw::DitherNoiseTable[position];
  if (++position >= 10000) position = std::rand() % 1000;
  return n;
}

TEST_P(EffectsTest, FlameAndSoftenAverageTheirNeighbours) {
  for (int fade : {0, 5}) {
    const int f[3] = {fade & 1, fade >> 1 & 1, fade >> 2 & 1};
    // The flame, its noise position running over the end of the table.
    Upload(Back(), screenPic);
    Pic want = screenPic;
    std::srand(77);
    int position = 9950, run = 0;
    for (int r = 102; r <= 139; ++r)
      for (int c = 101; c <= 158; ++c) {
        if (++run < elDraw::DitherNoiseTable[position]) {
          want.At(c, r - 1) = Mean4(screenPic.At(c - 1, r), screenPic.At(c + 1, r),
                                    screenPic.At(c, r - 1), screenPic.At(c, r + 1), f);
        } else {
          want.At(c, r - 1) = screenPic.At(c, r);
          run = 0;
          Next(position);
        }
      }
    std::srand(77);
    elDraw::effectState.flamePosition = elDraw::effectState.flameFadePosition = 9950;
    elDraw::effectState.flameRun = elDraw::effectState.flameFadeRun = 0;
    EXPECT_EQ(fade ? elDraw::ScreenFlameFade(f[0], f[1], f[2], 100, 100, 60, 40)
                   : elDraw::ScreenFlame(100, 100, 60, 40),
              1);
    EXPECT_TRUE(ScreenIs(want)) << "flame " << fade;
    EXPECT_EQ(fade ? elDraw::effectState.flameFadePosition : elDraw::effectState.flamePosition,
              position);

    // Softening in scan order: left and upper neighbours are already soft.
    Upload(Back(), screenPic);
    want = screenPic;
    for (int r = 201; r <= 248; ++r)
      for (int c = 301; c <= 368; ++c)
        want.At(c, r) =
            Mean4(want.At(c - 1, r), want.At(c + 1, r), want.At(c, r - 1), want.At(c, r + 1), f);
    EXPECT_EQ(fade ? elDraw::ScreenSoftenFade(f[0], f[1], f[2], 300, 200, 70, 50)
                   : elDraw::ScreenSoften(300, 200, 70, 50),
              1);
    EXPECT_TRUE(ScreenIs(want)) << "soften " << fade;
  }
}

TEST_P(EffectsTest, NoiseAddsTableEntriesUpTo31) {
  for (int shift : {0, 1, 3, 9}) {
    for (int flags : {7, 2}) {
      Upload(Back(), screenPic);
      Pic want = screenPic;
      std::srand(5);
      int position = 9000;
      for (int r = 50; r < 80; ++r)
        for (int c = 10; c < 60; ++c) {
          int n = Next(position);
          if (shift != 0) n <<= std::min(shift, 5);
          int ch[3];
          Split5(want.At(c, r), ch);
          for (int k = 0; k < 3; ++k)
            if (flags >> k & 1) ch[k] = std::min(31, ch[k] + n);
          want.At(c, r) = Join5(ch);
        }
      std::srand(5);
      elDraw::effectState.noisePosition = elDraw::effectState.noiseRgbPosition = 9000;
      const int result = flags == 7 ? elDraw::ScreenNoise(shift, 10, 50, 50, 30)
                                    : elDraw::ScreenNoiseRgb(0, 1, 0, shift, 10, 50, 50, 30);
      EXPECT_EQ(result, 1);
      EXPECT_TRUE(ScreenIs(want)) << "shift " << shift << " flags " << flags;
    }
  }
}

TEST_P(EffectsTest, MosaicPixelatesTheDiscAndStaysOnTheScreen) {
  const int W = elDraw::screen.width, H = elDraw::screen.height;
  struct Disc {
    int cx, cy, r, k;
  };
  for (const Disc d : {Disc{400, 300, 50, 7}, Disc{5, H - 3, 60, 8}, Disc{W - 1, 2, 45, 5}}) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    for (int dy = std::max(-d.r, -d.cy); dy < std::min(d.r, H - d.cy); dy += d.k)
      for (int dx = std::max(-d.r, -d.cx); dx < std::min(d.r, W - d.cx); dx += d.k) {
        const uint16_t colour = screenPic.At(d.cx + dx, d.cy + dy);
        for (int j = 0; j < d.k && d.cy + dy + j < H; ++j)
          for (int i = 0; i < d.k && d.cx + dx + i < W; ++i)
            if (static_cast<int>(std::sqrt(double((dx + i) * (dx + i) + (dy + j) * (dy + j)))) <
                d.r)
              want.At(d.cx + dx + i, d.cy + dy + j) = colour;
      }
    EXPECT_EQ(elDraw::ScreenMosaicCircle(d.cx, d.cy, d.r, d.k), 1);
    EXPECT_TRUE(ScreenIs(want)) << d.cx << "," << d.cy;
  }
}

TEST_P(EffectsTest, ZoomMagnifiesThroughTheBuffer) {
  for (int scale : {2, 4}) {
    for (int sparse : {0, 1}) {
      Upload(Back(), screenPic);
      Pic buffer = RandomPic(elDraw::screen.width, elDraw::screen.height, 0);
      Upload(SpriteSurface(0), buffer);
      const int x = 100, y = 80, w = 30, h = 20, written = sparse ? scale / 2 : scale;
      for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i)
          for (int b = 0; b < written; ++b)
            for (int a = 0; a < written; ++a)
              buffer.At(i * scale + a, j * scale + b) = screenPic.At(x + i, y + j);
      Pic want = screenPic;
      for (int j = 0; j < h * scale; ++j)
        for (int i = 0; i < w * scale; ++i) want.At(x + i, y + j) = buffer.At(i, j);
      EXPECT_EQ(scale == 2 ? elDraw::ScreenZoom2(x, y, w, h, sparse)
                           : elDraw::ScreenZoom4(x, y, w, h, sparse),
                1);
      EXPECT_TRUE(ScreenIs(want)) << scale << " sparse " << sparse;
    }
  }
}

// Every effect, thousands of times, with arguments from the extremes: the
// screen must stay the only thing written (AddressSanitizer watches), and
// the noise never lifts a channel above 31.
TEST_P(EffectsTest, NoArgumentReachesOutsideTheSurfaces) {
  using namespace elDraw;
  const int slot = MakeSpriteOf(RandomPic(33, 21, 4));
  const int ints[] = {INT_MIN, -1000000, -801, -40, -1,  0,   1,   2,    5,     17,
                      31,      32,       300,  599, 600, 799, 800, 1000, 70000, INT_MAX};
  const float floats[] = {NAN,  INFINITY, -INFINITY, -1e30f, -3.0f, -0.5f,
                          0.0f, 0.25f,    1.0f,      1.5f,   7.0f,  1e30f};
  const int slots[] = {-5, 0, 1, 2, slot, 511, 512, 100000};
  auto I = [&] { return ints[rng() % std::size(ints)]; };
  auto F = [&] { return floats[rng() % std::size(floats)]; };
  auto S = [&] { return slots[rng() % std::size(slots)]; };
  // A sprite rectangle near the sprite more often than not.
  auto R = [&](int& l, int& t, int& r, int& b) {
    if (rng() % 2) {
      l = I(), t = I(), r = I(), b = I();
    } else {
      l = static_cast<int>(rng() % 40) - 5, t = static_cast<int>(rng() % 30) - 5;
      r = l + static_cast<int>(rng() % 45), b = t + static_cast<int>(rng() % 35);
    }
  };
  static uint16_t tunnel[2 * 64 * 64];
  elSystem::dt = 1.0f / 60;
  for (int round = 0; round < 1500; ++round) {
    if (round % 100 == 0) SetClip(I() % 900, I() % 700, I() % 900, I() % 700);
    if (round % 100 == 50) SetClip(0, 0, 800, 600);
    int l, t, r, b;
    R(l, t, r, b);
    const int x = I(), y = I(), s = S();
    switch (round % 37) {
      case 0:
        DrawHalf(x, y, s, l, t, r, b);
        break;
      case 1:
        DrawAlpha(x, y, F(), s, l, t, r, b);
        break;
      case 2:
        DrawAlphaRgb(x, y, F(), F(), F(), s, l, t, r, b);
        break;
      case 3:
        DrawAlphaGradient(x, y, F(), F(), F(), I() & 1, static_cast<uint16_t>(I()), I(), s, l, t, r,
                          b);
        break;
      case 4:
        DrawScale(x, y, F(), s, l, t, r, b);
        break;
      case 5:
        DrawScaleRgb(x, y, F(), F(), F(), s, l, t, r, b);
        break;
      case 6:
        DrawCrossFade(x, y, I(), s, l, t, r, b);
        break;
      case 7:
        DrawCrossFadeRgb(x, y, I(), I(), I(), s, l, t, r, b);
        break;
      case 8:
        DrawCrossFadeGradient(x, y, I(), I(), I(), I() & 1, static_cast<uint16_t>(I()), I(), s, l,
                              t, r, b);
        break;
      case 9:
        DrawAdd(x, y, s, l, t, r, b);
        break;
      case 10:
        DrawAddLevel(x, y, F(), s, l, t, r, b);
        break;
      case 11:
        DrawSubtract(x, y, s, l, t, r, b);
        break;
      case 12:
        DrawDarken(x, y, I(), s, l, t, r, b);
        break;
      case 13:
        DrawDarkenRgb(x, y, I(), I(), I(), s, l, t, r, b);
        break;
      case 14:
        DrawChannels(x, y, I(), I(), I(), s, l, t, r, b);
        break;
      case 15:
        DrawGrey(x, y, s, l, t, r, b);
        break;
      case 16:
        DrawBlur(x, y, I(), s, l, t, r, b);
        break;
      case 17:
        DrawSmoothEdge(x, y, s, l, t, r, b);
        break;
      case 18:
        DrawRotate(x, y, I(), I(), I(), s, l, t, r, b);
        break;
      case 19:
        DrawRotateTiled(x, y, I(), I(), I(), s, l, t, r, b);
        break;
      case 20:
        DrawRotateZoom(x, y, I(), I(), I(), F(), s, l, t, r, b);
        break;
      case 21:
        DrawRotateZoomTiled(x, y, I(), I(), I(), F(), s, l, t, r, b);
        break;
      case 22:
        DrawFloor(x, y, I(), I(), I(), F(), F(), F(), F(), F(), F(), F(), s, l, t, r, b);
        break;
      case 23:
        DrawRowWave(x, y, I() & 1, F(), s, l, t, r, b);
        break;
      case 24:
        DrawDisplace(x, y, F(), s, l, t, r, b);
        break;
      case 25:
        DrawExtend(x, y, I() % 5, static_cast<uint16_t>(I()), s, l, t, r, b);
        break;
      case 26:
        DrawGlow(x, y, I(), I(), I(), I(), I() & 1, s, l, t, r, b);
        break;
      case 27:
        DrawLens(x, y, I(), F(), F(), s, l, t, r, b);
        break;
      case 28:
        MakeTunnel(tunnel, static_cast<int>(rng() % 65), static_cast<int>(rng() % 65), I(), I(),
                   I(), F(), I());
        break;
      case 29:
        DrawTunnel(tunnel, x, y, static_cast<int>(rng() % 65), static_cast<int>(rng() % 65), s, I(),
                   I());
        break;
      case 30:
        ScreenFlame(x, y, I(), I());
        break;
      case 31:
        ScreenFlameFade(I(), I(), I(), x, y, I(), I());
        break;
      case 32:
        ScreenSoften(x, y, I(), I());
        break;
      case 33:
        ScreenSoftenFade(I(), I(), I(), x, y, I(), I());
        break;
      case 34:
        ScreenNoise(I(), x, y, I(), I());
        break;
      case 35:
        ScreenMosaicCircle(x, y, I(), I());
        break;
      case 36:
        (rng() & 1 ? ScreenZoom2 : ScreenZoom4)(x, y, I(), I(), I() & 1);
        break;
    }
  }
  // Noise on a white screen stays white.
  SetClip(0, 0, 800, 600);
  FillScreenWhite();
  EXPECT_EQ(ScreenNoiseRgb(1, 1, 1, 2, 0, 0, 800, 600), 1);
  Pic after = Download(Back());
  const uint16_t white = static_cast<uint16_t>(screen.format.fullMask);
  const int five = Join5({31, 31, 31});
  EXPECT_EQ(std::count(after.p.begin(), after.p.end(), five), 800 * 600) << white;
}

}  // namespace
