// The rotation family, the moving effects, the lens and the tunnel against
// their formulas, written here per pixel, in 565 and 555.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "effects_fixture.h"

namespace {

using efftest::EffectsTest;
using efftest::Join5;
using efftest::Pic;
using efftest::Split5;

enum class Member { Rotate, Tiled, Zoom, ZoomTiled, Floor };

struct TurnCase {
  Member member;
  int left, top, right, bottom, angle;
  float zoom = 1.0f;
};

// Step 5 of the family computed directly for every pixel (not by the
// running sums the effect uses).
void ReferenceTurn(Pic& want, const Pic& s, const TurnCase& c, int sx1, int sy1, int sx2, int sy2) {
  const elDraw::ClipRect clip = elDraw::screen.clipRect;
  const int W = c.right - c.left, H = c.bottom - c.top, sw = sx2 - sx1, sh = sy2 - sy1;
  const int hw = W >> 1, hh = H >> 1;
  int ox = (W - sw) >> 1, oy = (H - sh) >> 1;
  if (c.member == Member::Zoom) {
    ox = (W - static_cast<int>(static_cast<float>(sw) * c.zoom)) >> 1;
    oy = (H - static_cast<int>(static_cast<float>(sh) * c.zoom)) >> 1;
  }
  const int a = ((c.angle % 360) + 360) % 360;
  const int sinA = elDraw::SineTable[a], cosA = elDraw::SineTable[a + 90];
  float zx = c.zoom, zy = c.zoom * 0.5f;  // the floor's two zooms
  for (int j = 0; j < H; ++j, zx += 0.01f, zy += 0.02f) {
    for (int i = 0; i < W; ++i) {
      const int U = 360 * hw + (i - hw) * cosA - (j - hh) * sinA;
      const int V = 360 * hh + (i - hw) * sinA + (j - hh) * cosA;
      const int pa = U / 360 - ox, pb = V / 360 - oy;
      int sx = pa, sy = pb;
      switch (c.member) {
        case Member::Rotate:
          break;
        case Member::Tiled:
          sx = std::abs(pa) % sw;
          sy = std::abs(pb) % sh;
          break;
        case Member::Zoom:
          sx = static_cast<int>(static_cast<float>(pa) / c.zoom);
          sy = static_cast<int>(static_cast<float>(pb) / c.zoom);
          break;
        case Member::ZoomTiled:
          sx = std::abs(static_cast<int>(static_cast<float>(pa) / c.zoom)) % sw;
          sy = std::abs(static_cast<int>(static_cast<float>(pb) / c.zoom)) % sh;
          break;
        case Member::Floor:
          sx = std::abs(static_cast<int>(static_cast<float>(pa) / zx)) % sw;
          sy = std::abs(static_cast<int>(static_cast<float>(pb) / zy)) % sh;
          break;
      }
      const int x = c.left + i, y = c.top + j;
      if (sx < 0 || sx >= sw || sy < 0 || sy >= sh) continue;
      if (x < clip.left || x >= clip.right || y < clip.top || y >= clip.bottom) continue;
      uint16_t p = s.At(sx1 + sx, sy1 + sy);
      if (p == 0) continue;
      if (c.member == Member::Floor) {
        int ch[3];
        Split5(p, ch);
        const float f[3] = {0.5f, 1.0f, 0.75f};
        for (int k = 0; k < 3; ++k) ch[k] = static_cast<int>(static_cast<float>(ch[k]) * f[k]);
        p = Join5(ch);
      }
      want.At(x, y) = p;
    }
  }
}

int CallTurn(const TurnCase& c, int slot, int sx1, int sy1, int sx2, int sy2) {
  using namespace elDraw;
  switch (c.member) {
    case Member::Rotate:
      return DrawRotate(c.left, c.top, c.right, c.bottom, c.angle, slot, sx1, sy1, sx2, sy2);
    case Member::Tiled:
      return DrawRotateTiled(c.left, c.top, c.right, c.bottom, c.angle, slot, sx1, sy1, sx2, sy2);
    case Member::Zoom:
      return DrawRotateZoom(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, slot, sx1, sy1, sx2,
                            sy2);
    case Member::ZoomTiled:
      return DrawRotateZoomTiled(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, slot, sx1, sy1,
                                 sx2, sy2);
    case Member::Floor:
      return DrawFloor(c.left, c.top, c.right, c.bottom, c.angle, c.zoom, 0.01f, c.zoom * 0.5f,
                       0.02f, 0.5f, 1.0f, 0.75f, slot, sx1, sy1, sx2, sy2);
  }
  return -1;
}

TEST_P(EffectsTest, TheRotationFamilyGivesItsFixedPointFormula) {
  elDraw::SetClip(20, 10, 780, 590);
  const Pic sprite = RandomPic(40, 30, 6);
  const int slot = MakeSpriteOf(sprite);
  const TurnCase cases[] = {
      {Member::Rotate, 100, 100, 136, 128, 0},
      {Member::Rotate, 100, 100, 160, 150, 37},
      {Member::Rotate, 5, 0, 65, 50, 90},
      {Member::Rotate, 700, 560, 780, 640, 211},
      {Member::Tiled, 50, 50, 170, 130, 15},
      {Member::Tiled, 10, 300, 90, 380, 300},
      {Member::Zoom, 200, 200, 300, 280, 45, 1.7f},
      {Member::Zoom, 200, 200, 250, 240, 359, 0.6f},
      {Member::ZoomTiled, 300, 100, 420, 190, 120, 0.8f},
      {Member::Floor, 400, 300, 520, 380, 10, 1.3f},
  };
  for (const TurnCase& c : cases) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    ReferenceTurn(want, sprite, c, 2, 1, 36, 29);
    EXPECT_EQ(CallTurn(c, slot, 2, 1, 36, 29), 1);
    EXPECT_TRUE(ScreenIs(want)) << "member " << static_cast<int>(c.member) << " angle " << c.angle;
  }
  // Angles outside 0 to 359 wrap.
  Upload(Back(), screenPic);
  Pic want = screenPic;
  ReferenceTurn(want, sprite, {Member::Rotate, 100, 100, 160, 150, 90}, 0, 0, 40, 30);
  EXPECT_EQ(elDraw::DrawRotate(100, 100, 160, 150, 450, slot, 0, 0, 40, 30), 1);
  EXPECT_EQ(elDraw::DrawRotate(100, 100, 160, 150, -270, slot, 0, 0, 40, 30), 1);
  EXPECT_TRUE(ScreenIs(want));
}

TEST_P(EffectsTest, RotationByZeroReproducesAndTilingFills) {
  const Pic sprite = RandomPic(16, 12, 0);
  const int slot = MakeSpriteOf(sprite);
  EXPECT_EQ(elDraw::DrawRotate(10, 20, 26, 32, 0, slot, 0, 0, 16, 12), 1);
  Pic got = Download(Back());
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x)
      ASSERT_EQ(got.At(10 + x, 20 + y), sprite.At(x, y)) << x << "," << y;
  elDraw::Clear();
  EXPECT_EQ(elDraw::DrawRotateTiled(100, 100, 200, 180, 33, slot, 0, 0, 16, 12), 1);
  got = Download(Back());
  int empty = 0;
  for (int y = 100; y < 180; ++y)
    for (int x = 100; x < 200; ++x)
      empty +=
          got.At(x, y) == 0 && sprite.p.end() == std::find(sprite.p.begin(), sprite.p.end(), 0);
  EXPECT_EQ(empty, 0);
  EXPECT_EQ(CountOutside(100, 100, 200, 180), 0);
}

TEST_P(EffectsTest, DisplaceLiftsTheBackgroundByTheRedChannel) {
  const Pic sprite = RandomPic(30, 40, 5);
  const int slot = MakeSpriteOf(sprite);
  for (float strength : {0.0f, 0.6f, 1.0f}) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    const int k = static_cast<int>(31.0f - 31.0f * strength);
    for (int row = 0; row < 40; ++row)
      for (int column = 0; column < 30; ++column) {
        if (sprite.At(column, row) == 0) continue;
        int c[3];
        Split5(sprite.At(column, row), c);
        int h = c[0] - k;
        if (h < 1 || h >= 40 - row) h = 0;
        want.At(200 + column, 100 + row) = want.At(200 + column, 100 + row + h);
      }
    EXPECT_EQ(elDraw::DrawDisplace(200, 100, strength, slot, 0, 0, 30, 40), 1);
    EXPECT_TRUE(ScreenIs(want)) << strength;
  }
}

TEST_P(EffectsTest, ExtendStretchesColumnOrRowK) {
  const Pic sprite = RandomPic(24, 20, 4);
  const int slot = MakeSpriteOf(sprite);
  const int W = elDraw::screen.width, H = elDraw::screen.height;
  for (int mode = 0; mode < 4; ++mode) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    const int x = 300, y = 200, k = 5;
    // Source from (2, 1); modes 0 and 2 reach the screen edge.
    const int w = mode == 0 ? W - x : 22, h = mode == 2 ? H - y : 18;
    if (mode == 1)
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < x; ++c) want.At(c, y + r) = sprite.At(2 + k, 1 + r);
    if (mode == 3)
      for (int r = 0; r < y; ++r)
        for (int c = 0; c < w; ++c) want.At(x + c, r) = sprite.At(2 + c, 1 + k);
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) {
        int sc = c, sr = r;
        if (mode == 0 && c > k) sc = k;
        if (mode == 1 && c <= k) sc = k;
        if (mode == 2 && r > k) sr = k;
        if (mode == 3 && r <= k) sr = k;
        const uint16_t p = sprite.At(2 + sc, 1 + sr);
        if (p != 0) want.At(x + c, y + r) = p;
      }
    EXPECT_EQ(elDraw::DrawExtend(x, y, mode, k, slot, 2, 1, 24, 19), 1);
    EXPECT_TRUE(ScreenIs(want)) << "mode " << mode;
  }
}

TEST_P(EffectsTest, GlowAddsFadingLightInItsDirections) {
  elDraw::SetClip(100, 100, 300, 260);
  const Pic sprite = RandomPic(12, 10, 3);
  const int slot = MakeSpriteOf(sprite);
  for (int directions : {0xFF, 0x45, 0x9A}) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    elDraw::effectState.glowPosition = 9990;  // wraps to 0 on the way
    int position = 9990;
    const elDraw::ClipRect clip = elDraw::screen.clipRect;
    auto add = [&](int px, int py, const int(&c)[3]) {
      int b[3];
      Split5(want.At(px, py), b);
      for (int ch = 0; ch < 3; ++ch) b[ch] = std::min(31, b[ch] + c[ch]);
      want.At(px, py) = Join5(b);
    };
    // Placed so that the glow meets the top and left clip edges.
    const int x0 = 104, y0 = 103;
    for (int row = 0; row < 10; ++row)
      for (int column = 0; column < 12; ++column) {
        const uint16_t s = sprite.At(column, row);
        if (s == 0) continue;
        const int X = x0 + column, Y = y0 + row;
        want.At(X, Y) = s;
        const int n = elDraw::DitherNoiseTable[position];
        position = (position + 1) % 10000;
        int c[3];
        Split5(s, c);
        c[0] >>= 1, c[1] >>= 0, c[2] >>= 2;
        for (int& v : c) v = v < n ? 0 : v - n;
        for (int step = 0; step <= 30; ++step) {
          for (int& v : c) v = std::max(v - 1, 0);
          if (c[0] + c[1] + c[2] == 0) break;
          const bool l = X - step >= clip.left, r = X + step < clip.right;
          if (Y - step - 1 >= clip.top) {
            if (directions & 0x40) add(X, Y - step - 1, c);
            if ((directions & 0x20) && l) add(X - step, Y - step - 1, c);
            if ((directions & 0x80) && r) add(X + step, Y - step - 1, c);
          }
          if (Y + step + 1 < clip.bottom) {
            if (directions & 0x02) add(X, Y + step + 1, c);
            if ((directions & 0x01) && l) add(X - step, Y + step + 1, c);
            if ((directions & 0x04) && r) add(X + step, Y + step + 1, c);
          }
          if ((directions & 0x08) && l) add(X - step, Y, c);
          if ((directions & 0x10) && r) add(X + step, Y, c);
        }
      }
    EXPECT_EQ(elDraw::DrawGlow(x0, y0, 1, 0, 2, directions, 1, slot, 0, 0, 12, 10), 1);
    EXPECT_TRUE(ScreenIs(want)) << std::hex << directions;
  }
}

TEST_P(EffectsTest, RowWaveStretchesRowsByTheCosine) {
  const Pic sprite = RandomPic(20, 16, 4);
  const int slot = MakeSpriteOf(sprite);
  elSystem::dt = 1.0f / 60;
  for (float phase : {0.0f, 3.5f, 11.25f}) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    const int H = 16, half = 8;
    int next = 0, lowest = -1;
    for (int r = 0; r < H; ++r) {
      const int end =
          static_cast<int>(half + half * std::cos((phase + r) * 2 * std::numbers::pi / (H - 1)));
      for (int row = next; row <= end; ++row) {
        for (int c = 0; c < 20; ++c) want.At(100 + c, 50 + row) = sprite.At(c, r);
        lowest = std::max(lowest, row);
      }
      next = end + 1;
    }
    EXPECT_LE(lowest, H);  // at most H + 1 rows
    elDraw::effectState.rowWavePhase = phase;
    elDraw::DrawRowWave(100, 50, 1, 0.0f, slot, 0, 0, 20, 16);
    EXPECT_TRUE(ScreenIs(want)) << phase;
    // Speed 0 keeps the phase: the next frame draws the same picture.
    elDraw::DrawRowWave(100, 50, 0, 0.0f, slot, 0, 0, 20, 16);
    EXPECT_TRUE(ScreenIs(want)) << phase;
  }
  // The phase moves by dt x speed and wraps by the height.
  elDraw::effectState.rowWavePhase = 1.0f;
  elDraw::DrawRowWave(0, 0, 0, 120.0f, slot, 0, 0, 20, 16);
  EXPECT_FLOAT_EQ(elDraw::effectState.rowWavePhase, 1.0f - 2.0f + 16.0f);
  elDraw::DrawRowWave(0, 0, 1, 120.0f, slot, 0, 0, 20, 16);
  EXPECT_FLOAT_EQ(elDraw::effectState.rowWavePhase, 1.0f);
}

TEST_P(EffectsTest, LensAndTunnelFollowTheirDocumentedFormulas) {
  const Pic sprite = RandomPic(32, 32, 5);
  const int slot = MakeSpriteOf(sprite);
  // The lens: cells of 4 pixels moved by f = scale x d2 / r2.
  Pic want = screenPic;
  const float scale = 0.4f, tilt = 0.5f;
  for (int gy = 0; gy < 32; gy += 4)
    for (int gx = 0; gx < 32; gx += 4) {
      const int u = gx - 16, v = gy - 16;
      const float f = scale * static_cast<float>(u * u + v * v) / 512.0f;
      const int dx = static_cast<int>(static_cast<float>(u) * f);
      const int dy = static_cast<int>((static_cast<float>(v) + tilt * u) * f);
      for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
          if (sprite.At(gx + i, gy + j) != 0)
            want.At(300 + gx + i + dx, 200 + gy + j + dy) = sprite.At(gx + i, gy + j);
    }
  EXPECT_EQ(elDraw::DrawLens(300, 200, 4, scale, tilt, slot, 0, 0, 32, 32), 1);
  EXPECT_TRUE(ScreenIs(want));

  // The tunnel: u from the angle, v from depth / distance, each measure.
  static uint16_t table[2 * 40 * 30];
  for (int measure = 0; measure < 6; ++measure) {
    ASSERT_EQ(elDraw::MakeTunnel(table, 40, 30, 20, 15, 32, 300.0f, measure), 1);
    for (int j = 0; j < 30; ++j)
      for (int i = 0; i < 40; ++i) {
        const double dx = i - 20, dy = j - 15, ax = std::fabs(dx), ay = std::fabs(dy);
        const double dist[6] = {std::sqrt(dx * dx + dy * dy),
                                std::max(ax, ay),
                                std::min(ax, ay),
                                (ax + ay) / 2,
                                ax,
                                ay};
        const int u =
            ((static_cast<int>(std::atan2(dy, dx) / (2 * std::numbers::pi) * 32) % 32) + 32) % 32;
        const int v = static_cast<int>(300.0 / std::max(dist[measure], 1.0)) % 32;
        ASSERT_EQ(table[2 * (j * 40 + i)], u) << measure << " " << i << "," << j;
        ASSERT_EQ(table[2 * (j * 40 + i) + 1], v) << measure << " " << i << "," << j;
      }
  }
  Upload(Back(), screenPic);
  want = screenPic;
  for (int j = 0; j < 30; ++j)
    for (int i = 0; i < 40; ++i)
      want.At(500 + i, 400 + j) =
          sprite.At((table[2 * (j * 40 + i)] + 7) % 32, (table[2 * (j * 40 + i) + 1] + 30) % 32);
  EXPECT_EQ(elDraw::DrawTunnel(table, 500, 400, 40, 30, slot, 7, -2), 1);
  EXPECT_TRUE(ScreenIs(want));
}

}  // namespace
