// Effects that move a sprite's pixels or the background under it: the
// cosine row stretch, the displacement by the red channel, the stretch of
// one column or row to an edge, and the glow.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "draw/effects_frame.h"
#include "shell/elsystem.h"

namespace elDraw {

EffectState effectState;

namespace {
// Taller or wider rectangles draw nothing (the row wave walks every row).
constexpr int64_t kMaxRows = 65536;
}  // namespace

using effects::Channels5;
using effects::Place5;
using effects::TruncFloat;
using effects::Walk;

void DrawRowWave(int x, int y, int direction, float speed, int sprite, int left, int top, int right,
                 int bottom) {
  const int64_t height = static_cast<int64_t>(bottom) - top;
  // Rectangles too wide for the row draws' arithmetic draw nothing.
  const int64_t width = static_cast<int64_t>(right) - left;
  if (height <= 0 || height > kMaxRows || width > kMaxRows || width < -kMaxRows) return;
  const int H = static_cast<int>(height);
  const ClipRect clip = effects::ScreenClip();
  const int half = H / 2;
  // A single row would divide by zero; it simply stays where it is.
  const int span = H > 1 ? H - 1 : 1;
  float& phase = effectState.rowWavePhase;
  int next = 0;
  for (int r = 0; r < H; ++r) {
    const double angle =
        static_cast<double>(phase + static_cast<float>(r)) * 2.0 * std::numbers::pi / span;
    const int end = static_cast<int>(half + half * std::cos(angle));
    for (int row = next; row <= end; ++row) {
      // Rows outside the clip rectangle would draw nothing anyway.
      const int64_t at = static_cast<int64_t>(y) + row;
      if (at >= clip.top && at < clip.bottom) {
        DrawOpaque(x, static_cast<int>(at), sprite, left, top + r, right, top + r + 1);
      }
    }
    next = end + 1;
  }
  if (direction == 0) {
    phase -= elSystem::dt * speed;
    if (phase < 0.0f) phase += static_cast<float>(H);
  } else {
    phase += elSystem::dt * speed;
    if (phase >= static_cast<float>(H)) phase -= static_cast<float>(H);
  }
  // A speed of many heights per frame would leave the phase far outside;
  // bring it back so that it keeps its precision.
  if (phase < 0.0f || phase >= static_cast<float>(H)) {
    phase = std::fmod(phase, static_cast<float>(H));
    if (phase < 0.0f) phase += static_cast<float>(H);
    if (!(phase >= 0.0f && phase < static_cast<float>(H))) phase = 0.0f;
  }
}

int DrawDisplace(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom) {
  const int64_t k = TruncFloat(31.0f - 31.0f * strength);
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    effects::EachOpaque(w, [&](int row, int, uint16_t s, uint16_t& d) {
      int64_t h = Channels5(s).red - k;
      if (h < 1 || h >= w.height - row) h = 0;
      d = (&d)[h * w.dstPitch];
    });
  });
}

int DrawExtend(int x, int y, int mode, uint16_t k, int sprite, int left, int top, int right,
               int bottom) {
  if (mode < 0 || mode > 3) return 1;
  // Edges at the far screen side, kept within int for any left or top.
  auto farEdge = [](int size, int from) {
    return static_cast<int>(
        std::clamp<int64_t>(static_cast<int64_t>(size) - from, INT32_MIN, INT32_MAX));
  };
  if (mode == 0) right = farEdge(screen.width, left);
  if (mode == 2) bottom = farEdge(screen.height, top);
  // The other edge still has to lie inside the sprite.
  if (const plat::Surface* source = drawing::SlotSurface(sprite)) {
    if (mode == 0 && bottom > source->height) bottom = source->height;
    if (mode == 2 && right > source->width) right = source->width;
  }
  effects::Walk w;
  // Modes 0 and 2 draw to the screen edge but read no further than column
  // or row k, which is checked below.
  const bool cutToSprite = mode == 1 || mode == 3;
  const int result = effects::Begin(x, y, sprite, left, top, right, bottom, w, cutToSprite);
  if (result >= 0) return result;

  // Column (mode 0, 1) or row (2, 3) k of the drawn rectangle, kept inside
  // the rectangle and the sprite.
  const bool columns = mode < 2;
  int last = columns ? w.width - 1 : w.height - 1;
  const int spriteLast = columns ? w.spriteWidth - 1 - w.left : w.spriteHeight - 1 - w.top;
  if (last > spriteLast) last = spriteLast;
  const int kk = k < last ? k : last;
  if (kk >= 0) {
    for (int row = 0; row < w.height; ++row) {
      uint16_t* d = w.Dst(row);
      // Rows beyond the sprite (mode 2) repeat row k.
      const uint16_t* s = w.Src(mode == 2 && row > kk ? kk : mode == 3 && row <= kk ? kk : row);
      if (mode == 1) {
        // The screen left of the sprite takes this row's column-k pixel.
        uint16_t* screenRow = w.BackRow(w.y + row);
        for (int c = 0; c < w.x; ++c) screenRow[c] = s[kk];
      }
      for (int column = 0; column < w.width; ++column) {
        int read = column;
        if (mode == 0 && column > kk) read = kk;
        if (mode == 1 && column <= kk) read = kk;
        if (s[read] != 0) d[column] = s[read];
      }
    }
    if (mode == 3) {
      // The screen above the sprite takes row k, transparent or not.
      for (int r = 0; r < w.y; ++r) {
        uint16_t* screenRow = w.BackRow(r) + w.x;
        for (int column = 0; column < w.width; ++column) screenRow[column] = w.Src(kk)[column];
      }
    }
  }
  effects::End(sprite);
  return 1;
}

int DrawGlow(int x, int y, int redShift, int greenShift, int blueShift, int directions, int copy,
             int sprite, int left, int top, int right, int bottom) {
  // Shifts of 5 or more leave nothing; below 0 they shift nothing.
  auto shiftOf = [](int s) { return s < 0 ? 0 : s > 5 ? 5 : s; };
  const int shifts[3] = {shiftOf(redShift), shiftOf(greenShift), shiftOf(blueShift)};
  const ClipRect clip = effects::ScreenClip();
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    int& position = effectState.glowPosition;
    auto add = [&](int px, int py, const int(&c)[3]) {
      uint16_t& p = w.BackRow(py)[px];
      const Rgb5& b = Channels5(p);
      p = Place5(effects::AddSaturate(b.red, c[0]), effects::AddSaturate(b.green, c[1]),
                 effects::AddSaturate(b.blue, c[2]));
    };
    effects::EachOpaque(w, [&](int row, int column, uint16_t s, uint16_t& d) {
      const int X = w.x + column, Y = w.y + row;
      if (copy) d = s;
      if (position < 0 || position >= 10000) position = 0;
      const int n = DitherNoiseTable[position];
      position = position + 1 < 10000 ? position + 1 : 0;
      const Rgb5& own = Channels5(s);
      int c[3] = {own.red >> shifts[0], own.green >> shifts[1], own.blue >> shifts[2]};
      for (int& v : c) v = v < n ? 0 : v - n;
      for (int step = 0; step <= 30; ++step) {
        for (int& v : c) v = v > 0 ? v - 1 : 0;
        if (c[0] == 0 && c[1] == 0 && c[2] == 0) break;
        const bool leftIn = X - step >= clip.left, rightIn = X + step < clip.right;
        const int above = Y - (step + 1), below = Y + step + 1;
        if (above >= clip.top) {
          if (directions & 0x40) add(X, above, c);
          if ((directions & 0x20) && leftIn) add(X - step, above, c);
          if ((directions & 0x80) && rightIn) add(X + step, above, c);
        }
        if (below < clip.bottom) {
          if (directions & 0x02) add(X, below, c);
          if ((directions & 0x01) && leftIn) add(X - step, below, c);
          if ((directions & 0x04) && rightIn) add(X + step, below, c);
        }
        if ((directions & 0x08) && leftIn) add(X - step, Y, c);
        if ((directions & 0x10) && rightIn) add(X + step, Y, c);
      }
    });
  });
}

}  // namespace elDraw
