// The blend and colour effects against their formulas, written here per
// pixel, on random sprites over a random screen, in 565 and 555.
#include <algorithm>
#include <functional>

#include "effects_fixture.h"

namespace {

using efftest::EffectsTest;
using efftest::Join5;
using efftest::JoinNative;
using efftest::NativeOf;
using efftest::Pic;
using efftest::Split5;

struct Placement {
  int x, y, left, top, right, bottom;
};

// The clip of the sprite draws, then `rule(s, d, column, row)` for every
// opaque source pixel; the rule answers the new destination pixel.
template <class Rule>
void ReferenceWalk(Pic& screen, const Pic& sprite, Placement p, Rule rule) {
  const elDraw::ClipRect c = elDraw::screen.clipRect;
  int w = p.right - p.left, h = p.bottom - p.top;
  if (p.x + w > c.right) w = c.right - p.x;
  if (p.y + h > c.bottom) h = c.bottom - p.y;
  if (p.x < c.left) {
    w -= c.left - p.x;
    p.left += c.left - p.x;
    p.x = c.left;
  }
  if (p.y < c.top) {
    h -= c.top - p.y;
    p.top += c.top - p.y;
    p.y = c.top;
  }
  for (int row = 0; row < h; ++row) {
    for (int column = 0; column < w; ++column) {
      const uint16_t s = sprite.At(p.left + column, p.top + row);
      uint16_t& d = screen.At(p.x + column, p.y + row);
      if (s != 0) d = rule(s, d, column, row);
    }
  }
}

using Call = std::function<int(const Placement&, int sprite)>;
using Rule = std::function<uint16_t(uint16_t s, uint16_t d, int column, int row)>;

// A rule applied channel by channel to the 5-bit values.
Rule Each5(std::function<int(int s, int d, int ch)> f) {
  return [f](uint16_t s, uint16_t d, int, int) {
    int a[3], b[3], out[3];
    Split5(s, a);
    Split5(d, b);
    for (int ch = 0; ch < 3; ++ch) out[ch] = f(a[ch], b[ch], ch);
    return Join5(out);
  };
}
// The same with the native channels and 32-bit float weights.
Rule EachNative(std::function<int(int s, int d, int ch)> f) {
  return [f](uint16_t s, uint16_t d, int, int) {
    int out[3];
    for (int ch = 0; ch < 3; ++ch) out[ch] = f(NativeOf(s, ch), NativeOf(d, ch), ch);
    return JoinNative(out);
  };
}
int Max0(int v) { return std::max(v, 0); }

// trunc(a x s + (1 - a) x d) with the weight 1 - a taken once as a float.
int AlphaOf(float a, int s, int d) {
  const float w = 1.0f - a;
  return static_cast<int>(a * static_cast<float>(s) + w * static_cast<float>(d));
}

// Gradient stepping: `steps(position)` counts how often the weights moved by
// that position (counted from the first drawn row or column).
int StepsAt(int position, int start, int every) {
  int steps = 0, counter = 0;
  for (int i = 0; i <= position; ++i) {
    if (i > start && ++counter >= every) {
      counter = 0;
      ++steps;
    }
  }
  return steps;
}

struct Case {
  const char* name;
  Call call;
  Rule rule;
};

std::vector<Case> Cases() {
  using namespace elDraw;
  std::vector<Case> cases;
  auto add = [&](const char* name, Call call, Rule rule) { cases.push_back({name, call, rule}); };
  const uint32_t hm = screen.format.halfMask;
  add(
      "DrawHalf",
      [](const Placement& p, int s) {
        return DrawHalf(p.x, p.y, s, p.left, p.top, p.right, p.bottom);
      },
      [hm](uint16_t s, uint16_t d, int, int) {
        return static_cast<uint16_t>(((s >> 1) & hm) + ((d >> 1) & hm));
      });
  for (float a : {0.0f, 0.3f, 0.5f, 1.0f}) {
    add(
        "DrawAlpha",
        [a](const Placement& p, int s) {
          return DrawAlpha(p.x, p.y, a, s, p.left, p.top, p.right, p.bottom);
        },
        EachNative([a](int s, int d, int) { return AlphaOf(a, s, d); }));
  }
  add(
      "DrawAlphaRgb",
      [](const Placement& p, int s) {
        return DrawAlphaRgb(p.x, p.y, 0.2f, 0.7f, 1.0f, s, p.left, p.top, p.right, p.bottom);
      },
      EachNative([](int s, int d, int ch) {
        return AlphaOf(ch == 0 ? 0.2f : ch == 1 ? 0.7f : 1.0f, s, d);
      }));
  add(
      "DrawScale",
      [](const Placement& p, int s) {
        return DrawScale(p.x, p.y, 0.6f, s, p.left, p.top, p.right, p.bottom);
      },
      EachNative([](int s, int, int) { return static_cast<int>(0.6f * static_cast<float>(s)); }));
  add(
      "DrawScaleRgb",
      [](const Placement& p, int s) {
        return DrawScaleRgb(p.x, p.y, 0.5f, 1.0f, 0.25f, s, p.left, p.top, p.right, p.bottom);
      },
      EachNative([](int s, int, int ch) {
        return static_cast<int>((ch == 0 ? 0.5f : ch == 1 ? 1.0f : 0.25f) * static_cast<float>(s));
      }));
  for (int q : {0, 9, 16, 31}) {
    add(
        "DrawCrossFade",
        [q](const Placement& p, int s) {
          return DrawCrossFade(p.x, p.y, q, s, p.left, p.top, p.right, p.bottom);
        },
        Each5([q](int s, int d, int) { return Max0(s - 31 + q) + Max0(d - q); }));
  }
  add(
      "DrawCrossFadeRgb",
      [](const Placement& p, int s) {
        return DrawCrossFadeRgb(p.x, p.y, 3, 17, 30, s, p.left, p.top, p.right, p.bottom);
      },
      Each5([](int s, int d, int ch) {
        const int q = ch == 0 ? 3 : ch == 1 ? 17 : 30;
        return Max0(s - 31 + q) + Max0(d - q);
      }));
  add(
      "DrawAdd",
      [](const Placement& p, int s) {
        return DrawAdd(p.x, p.y, s, p.left, p.top, p.right, p.bottom);
      },
      Each5([](int s, int d, int) { return std::min(31, s + d); }));
  for (float x : {0.0f, 0.5f, 0.8f, 1.0f}) {
    const int k = static_cast<int>(31.0f - 31.0f * x);
    add(
        "DrawAddLevel",
        [x](const Placement& p, int s) {
          return DrawAddLevel(p.x, p.y, x, s, p.left, p.top, p.right, p.bottom);
        },
        Each5([k](int s, int d, int) { return std::min(31, Max0(s - k) + d); }));
  }
  add(
      "DrawSubtract",
      [](const Placement& p, int s) {
        return DrawSubtract(p.x, p.y, s, p.left, p.top, p.right, p.bottom);
      },
      Each5([](int s, int d, int) { return Max0(d - s); }));
  for (int q : {0, 12, 31}) {
    add(
        "DrawDarken",
        [q](const Placement& p, int s) {
          return DrawDarken(p.x, p.y, q, s, p.left, p.top, p.right, p.bottom);
        },
        Each5([q](int s, int, int) { return Max0(s - 31 + q); }));
  }
  add(
      "DrawDarkenRgb",
      [](const Placement& p, int s) {
        return DrawDarkenRgb(p.x, p.y, 0, 15, 31, s, p.left, p.top, p.right, p.bottom);
      },
      Each5([](int s, int, int ch) { return Max0(s - 31 + ch * 15 + (ch == 2)); }));
  for (int flags : {0, 5, 2, 7}) {
    uint32_t mask = 0;
    for (int ch = 0; ch < 3; ++ch) {
      if (flags >> ch & 1) mask |= screen.format.maxValue[ch] << screen.format.shift[ch];
    }
    add(
        "DrawChannels",
        [flags](const Placement& p, int s) {
          return DrawChannels(p.x, p.y, flags & 1, flags & 2, flags & 4, s, p.left, p.top, p.right,
                              p.bottom);
        },
        [mask](uint16_t s, uint16_t, int, int) { return static_cast<uint16_t>(s & mask); });
  }
  add(
      "DrawGrey",
      [](const Placement& p, int s) {
        return DrawGrey(p.x, p.y, s, p.left, p.top, p.right, p.bottom);
      },
      [](uint16_t s, uint16_t, int, int) {
        int c[3];
        Split5(s, c);
        const int v = (c[0] + c[1] + c[2]) / 3;
        const int g[3] = {v, v, v};
        return Join5(g);
      });
  // The gradients: by rows (carried over) and by columns (afresh each row).
  for (int byRows : {1, 0}) {
    add(
        "DrawAlphaGradient",
        [byRows](const Placement& p, int s) {
          return DrawAlphaGradient(p.x, p.y, 0.25f, 0.5f, 0.0f, byRows, 3, 2, s, p.left, p.top,
                                   p.right, p.bottom);
        },
        [byRows](uint16_t s, uint16_t d, int column, int row) {
          const int steps = StepsAt(byRows ? row : column, 3, 2);
          int out[3];
          const float start[3] = {0.25f, 0.5f, 0.0f};
          for (int ch = 0; ch < 3; ++ch) {
            float w = 1.0f - start[ch];
            for (int i = 0; i < steps; ++i) w = std::max(w - 0.03125f, 0.0f);
            const float ws = 1.0f - w;
            out[ch] = static_cast<int>(w * static_cast<float>(NativeOf(d, ch)) +
                                       ws * static_cast<float>(NativeOf(s, ch)));
          }
          return JoinNative(out);
        });
    add(
        "DrawCrossFadeGradient",
        [byRows](const Placement& p, int s) {
          return DrawCrossFadeGradient(p.x, p.y, 2, 10, 25, byRows, 1, 3, s, p.left, p.top, p.right,
                                       p.bottom);
        },
        [byRows](uint16_t s, uint16_t d, int column, int row) {
          const int steps = StepsAt(byRows ? row : column, 1, 3);
          const int level[3] = {2, 10, 25};
          int a[3], b[3], out[3];
          Split5(s, a);
          Split5(d, b);
          for (int ch = 0; ch < 3; ++ch) {
            const int k = std::max(31 - level[ch] - steps, 0);
            out[ch] = Max0(a[ch] - k) + Max0(b[ch] + k - 31);
          }
          return Join5(out);
        });
  }
  return cases;
}

TEST_P(EffectsTest, EveryBlendGivesItsFormulaOnRandomPictures) {
  elDraw::SetClip(50, 40, 700, 500);
  const Pic sprite = RandomPic(45, 33, 5);
  const int slot = MakeSpriteOf(sprite);
  // Cut on the left and the bottom; wholly inside; a full 45-wide row.
  const Placement places[] = {
      {30, 480, 3, 2, 40, 31}, {300, 200, 1, 1, 38, 30}, {100, 60, 0, 0, 45, 33}};
  for (const Case& c : Cases()) {
    for (const Placement& p : places) {
      Upload(Back(), screenPic);
      Pic want = screenPic;
      ReferenceWalk(want, sprite, p, c.rule);
      EXPECT_EQ(c.call(p, slot), 1) << c.name;
      EXPECT_TRUE(ScreenIs(want)) << c.name << " at (" << p.x << ", " << p.y << ")";
    }
  }
}

TEST_P(EffectsTest, BlurAveragesItsBlockMovedInsideTheRectangle) {
  const Pic sprite = RandomPic(20, 14, 4);
  const int slot = MakeSpriteOf(sprite);
  const Placement p{40, 30, 2, 1, 19, 13};
  const int w = p.right - p.left, h = p.bottom - p.top;
  for (int k : {1, 2, 3, 5}) {
    Upload(Back(), screenPic);
    Pic want = screenPic;
    ReferenceWalk(want, sprite, p, [&](uint16_t, uint16_t, int column, int row) {
      const int bx = std::min(column, w - k), by = std::min(row, h - k);
      int sum[3] = {0, 0, 0};
      for (int j = 0; j < k; ++j) {
        for (int i = 0; i < k; ++i) {
          int c[3];
          Split5(sprite.At(p.left + bx + i, p.top + by + j), c);
          for (int ch = 0; ch < 3; ++ch) sum[ch] += c[ch];
        }
      }
      int out[3];
      for (int ch = 0; ch < 3; ++ch) out[ch] = sum[ch] / (k * k);
      return Join5(out);
    });
    EXPECT_EQ(elDraw::DrawBlur(p.x, p.y, k, slot, p.left, p.top, p.right, p.bottom), 1);
    EXPECT_TRUE(ScreenIs(want)) << "k = " << k;
  }
}

TEST_P(EffectsTest, SmoothEdgeTakesTheBackgroundBesideTransparentNeighbours) {
  const Pic sprite = RandomPic(24, 18, 3);
  const int slot = MakeSpriteOf(sprite);
  const Placement p{70, 90, 0, 0, 24, 18};
  Pic want = screenPic;
  ReferenceWalk(want, sprite, p, [&](uint16_t s, uint16_t, int column, int row) {
    int sum[3], count = 1;
    Split5(s, sum);
    const int around[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& a : around) {
      const int c = column + a[0], r = row + a[1];
      if (c < 0 || c >= p.right || r < 0 || r >= p.bottom || sprite.At(c, r) != 0) continue;
      int b[3];
      Split5(screenPic.At(p.x + c, p.y + r), b);
      for (int ch = 0; ch < 3; ++ch) sum[ch] += b[ch];
      ++count;
    }
    if (count == 1) return s;
    int out[3];
    for (int ch = 0; ch < 3; ++ch) out[ch] = sum[ch] / count;
    return Join5(out);
  });
  EXPECT_EQ(elDraw::DrawSmoothEdge(p.x, p.y, slot, 0, 0, 24, 18), 1);
  EXPECT_TRUE(ScreenIs(want));
}

INSTANTIATE_TEST_SUITE_P(Formats, EffectsTest, ::testing::Values(16, 15),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 16 ? std::string("Rgb565") : std::string("Rgb555");
                         });

// The cases a reader checks by hand, on 565.
class EffectsEdgeTest : public drawtest::DrawFixture {};

TEST_F(EffectsEdgeTest, HandCheckedValues) {
  using namespace elDraw;
  const int white = MakeSprite(4, 4, [](int, int) { return 0xFFFFu; });
  Clear();
  DrawHalf(0, 0, white, 0, 0, 4, 4);
  EXPECT_EQ(BackPixel(1, 1), 0x7BEFu);

  // Cross-fade at 16: 31 over 31 gives 16 + 15, 0 over 31 gives 15.
  FillColor(0, 0, 8, 8, 0xFFFF);
  DrawCrossFade(0, 0, 16, white, 0, 0, 4, 4);
  EXPECT_EQ(BackPixel(0, 0), 0xFFFFu & ~0x20u);  // 565 greens lose their lowest bit
  const int red20 = MakeSprite(2, 2, [](int, int) { return 20u << 11 | 31u; });
  FillColor(0, 0, 8, 8, 20u << 11);
  DrawAdd(0, 0, red20, 0, 0, 2, 2);
  EXPECT_EQ(BackPixel(0, 0) >> 11, 31u);

  // A sprite wholly left of the clip rectangle draws nothing and answers 1.
  SetClip(100, 0, 800, 600);
  Clear();
  EXPECT_EQ(DrawAdd(10, 10, white, 0, 0, 4, 4), 1);
  EXPECT_EQ(DrawRotate(10, 10, 14, 14, 0, white, 0, 0, 4, 4), 1);
  EXPECT_EQ(CountNonZero(), 0);
}

TEST_F(EffectsEdgeTest, OtherDepthsAreRefusedWithoutDrawing) {
  using namespace elDraw;
  const int s = MakeSprite(4, 4, [](int, int) { return 0x1234u; });
  // A sprite whose pixels are not 16-bit, as on a deeper desktop.
  SpriteSurface(s).format.bytesPerPixel = 4;
  EXPECT_EQ(DrawHalf(0, 0, s, 0, 0, 4, 4), 0);
  EXPECT_EQ(DrawRotate(0, 0, 4, 4, 0, s, 0, 0, 4, 4), 0);
  SpriteSurface(s).format.bytesPerPixel = 2;
  Back().format.bytesPerPixel = 4;
  EXPECT_EQ(ScreenNoise(0, 0, 0, 10, 10), 0);
  EXPECT_EQ(DrawAlpha(0, 0, 0.5f, s, 0, 0, 4, 4), 0);
  Back().format.bytesPerPixel = 2;
  EXPECT_EQ(CountNonZero(), 0);
}

}  // namespace
