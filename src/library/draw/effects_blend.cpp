// Blend and colour effects of a sprite over the back screen: translucency,
// light, cross-fades, darkening, channel filters, grey, blur and soft edges.
// Each is its pixel rule handed to the shared frame; the busiest ones have
// row kernels (effects_kernels.cpp) that give the same bits as their rules.
#include "draw/effects_frame.h"
#include "draw/effects_kernels.h"

namespace elDraw {

using effects::Channels5;
using effects::PixelEffect;
using effects::Place5;
using effects::RowEffect;
using effects::TruncFloat;
using effects::Walk;

namespace {

// A level or table index kept within the 32 entries of the tables.
int Level(int q) { return q < 0 ? 0 : q > 31 ? 31 : q; }

// One channel taken apart the native way.
int Native(uint32_t p, int ch) {
  return static_cast<int>((p >> screen.format.shift[ch]) & screen.format.maxValue[ch]);
}
// Native channels put back; values beyond a channel spill into the next.
uint16_t PutNative(int64_t r, int64_t g, int64_t b) {
  const PixelFormatInfo& f = screen.format;
  return static_cast<uint16_t>((static_cast<uint64_t>(r) << f.shift[0]) |
                               (static_cast<uint64_t>(g) << f.shift[1]) |
                               (static_cast<uint64_t>(b) << f.shift[2]));
}

// trunc(ws x s + wd x d) for each channel, the weights 32-bit floats.
uint16_t Mix(uint16_t s, uint16_t d, const float (&ws)[3], const float (&wd)[3]) {
  int64_t c[3];
  for (int ch = 0; ch < 3; ++ch) {
    c[ch] = TruncFloat(ws[ch] * static_cast<float>(Native(s, ch)) +
                       wd[ch] * static_cast<float>(Native(d, ch)));
  }
  return PutNative(c[0], c[1], c[2]);
}

// The three cross-fade tables of the given indexes (31 - level) applied.
uint16_t CrossFade(uint16_t s, uint16_t d, const int (&k)[3]) {
  const Rgb5& a = Channels5(s);
  const Rgb5& b = Channels5(d);
  return static_cast<uint16_t>(CrossFadeTable[0][k[0]][a.red][b.red] |
                               CrossFadeTable[1][k[1]][a.green][b.green] |
                               CrossFadeTable[2][k[2]][a.blue][b.blue]);
}

// The stepping of the gradients: `Step()` runs once per position (row or
// column, counted from the first drawn one) and answers whether the
// weights move on there.
struct GradientCounter {
  int start, every, position = 0, counter = 0;
  bool Step() {
    bool moves = false;
    if (position > start && ++counter >= every) {
      counter = 0;
      moves = true;
    }
    ++position;
    return moves;
  }
};

// Walks a gradient: `reset()` restores the starting weights, `advance()`
// moves them one step, `draw(s, d)` is the pixel rule with the current
// weights. By rows the weights carry over from row to row; by columns they
// start afresh on every row.
template <class Reset, class Advance, class Draw>
void WalkGradient(const Walk& w, int byRows, int start, int every, Reset reset, Advance advance,
                  Draw draw) {
  GradientCounter rows{start, every};
  reset();
  for (int row = 0; row < w.height; ++row) {
    const uint16_t* s = w.Src(row);
    uint16_t* d = w.Dst(row);
    if (byRows) {
      if (rows.Step()) advance();
    } else {
      reset();
    }
    GradientCounter columns{start, every};
    for (int column = 0; column < w.width; ++column) {
      if (!byRows && columns.Step()) advance();
      if (s[column] != 0) d[column] = draw(s[column], d[column]);
    }
  }
}

}  // namespace

int DrawHalf(int x, int y, int sprite, int left, int top, int right, int bottom) {
  return RowEffect(x, y, sprite, left, top, right, bottom, kernels::HalfRow);
}

int DrawAlpha(int x, int y, float a, int sprite, int left, int top, int right, int bottom) {
  const float ws = a, wd = 1.0f - a;
  return RowEffect(
      x, y, sprite, left, top, right, bottom,
      [&](const uint16_t* s, uint16_t* d, int n) { kernels::AlphaRow(s, d, n, ws, wd); });
}

int DrawAlphaRgb(int x, int y, float ar, float ag, float ab, int sprite, int left, int top,
                 int right, int bottom) {
  const float ws[3] = {ar, ag, ab};
  const float wd[3] = {1.0f - ar, 1.0f - ag, 1.0f - ab};
  return PixelEffect(x, y, sprite, left, top, right, bottom,
                     [&](uint16_t s, uint16_t d) { return Mix(s, d, ws, wd); });
}

int DrawAlphaGradient(int x, int y, float ar, float ag, float ab, int byRows, uint16_t start,
                      int step, int sprite, int left, int top, int right, int bottom) {
  const float initial[3] = {1.0f - ar, 1.0f - ag, 1.0f - ab};
  float wd[3], ws[3];  // destination weights and 1 - each
  auto reset = [&] {
    for (int ch = 0; ch < 3; ++ch) {
      wd[ch] = initial[ch];
      ws[ch] = 1.0f - wd[ch];
    }
  };
  auto advance = [&] {
    for (int ch = 0; ch < 3; ++ch) {
      wd[ch] -= 0.03125f;
      if (wd[ch] < 0.0f) wd[ch] = 0.0f;
      ws[ch] = 1.0f - wd[ch];
    }
  };
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    // Each channel is wd x d + (1 - wd) x s, in that order.
    WalkGradient(w, byRows, start, step, reset, advance, [&](uint16_t s, uint16_t d) {
      int64_t c[3];
      for (int ch = 0; ch < 3; ++ch) {
        c[ch] = TruncFloat(wd[ch] * static_cast<float>(Native(d, ch)) +
                           ws[ch] * static_cast<float>(Native(s, ch)));
      }
      return PutNative(c[0], c[1], c[2]);
    });
  });
}

int DrawScale(int x, int y, float f, int sprite, int left, int top, int right, int bottom) {
  return DrawScaleRgb(x, y, f, f, f, sprite, left, top, right, bottom);
}

int DrawScaleRgb(int x, int y, float fr, float fg, float fb, int sprite, int left, int top,
                 int right, int bottom) {
  const float ws[3] = {fr, fg, fb};
  const float none[3] = {0.0f, 0.0f, 0.0f};
  // trunc(f x s): the destination weighs nothing, and 0 x d adds nothing.
  return PixelEffect(x, y, sprite, left, top, right, bottom,
                     [&](uint16_t s, uint16_t) { return Mix(s, 0, ws, none); });
}

int DrawCrossFade(int x, int y, int q, int sprite, int left, int top, int right, int bottom) {
  const int k = 31 - Level(q);
  return RowEffect(
      x, y, sprite, left, top, right, bottom,
      [&](const uint16_t* s, uint16_t* d, int n) { kernels::CrossFadeRow(s, d, n, k); });
}

int DrawCrossFadeRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                     int bottom) {
  const int k[3] = {31 - Level(cr), 31 - Level(cg), 31 - Level(cb)};
  return PixelEffect(x, y, sprite, left, top, right, bottom,
                     [&](uint16_t s, uint16_t d) { return CrossFade(s, d, k); });
}

int DrawCrossFadeGradient(int x, int y, int cr, int cg, int cb, int byRows, uint16_t start,
                          int step, int sprite, int left, int top, int right, int bottom) {
  const int initial[3] = {31 - Level(cr), 31 - Level(cg), 31 - Level(cb)};
  int k[3];
  auto reset = [&] {
    for (int ch = 0; ch < 3; ++ch) k[ch] = initial[ch];
  };
  auto advance = [&] {
    for (int& v : k) v = v > 0 ? v - 1 : 0;
  };
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    WalkGradient(w, byRows, start, step, reset, advance,
                 [&](uint16_t s, uint16_t d) { return CrossFade(s, d, k); });
  });
}

int DrawAdd(int x, int y, int sprite, int left, int top, int right, int bottom) {
  return RowEffect(x, y, sprite, left, top, right, bottom,
                   [](const uint16_t* s, uint16_t* d, int n) { kernels::AddRow(s, d, n, 0); });
}

int DrawAddLevel(int x, int y, float strength, int sprite, int left, int top, int right,
                 int bottom) {
  const int k = Level(static_cast<int>(TruncFloat(31.0f - 31.0f * strength)));
  return RowEffect(x, y, sprite, left, top, right, bottom,
                   [&](const uint16_t* s, uint16_t* d, int n) { kernels::AddRow(s, d, n, k); });
}

int DrawSubtract(int x, int y, int sprite, int left, int top, int right, int bottom) {
  return RowEffect(x, y, sprite, left, top, right, bottom, kernels::SubtractRow);
}

int DrawDarken(int x, int y, int q, int sprite, int left, int top, int right, int bottom) {
  const int k = 31 - Level(q);
  return RowEffect(x, y, sprite, left, top, right, bottom,
                   [&](const uint16_t* s, uint16_t* d, int n) { kernels::DarkenRow(s, d, n, k); });
}

int DrawDarkenRgb(int x, int y, int cr, int cg, int cb, int sprite, int left, int top, int right,
                  int bottom) {
  const int k[3] = {31 - Level(cr), 31 - Level(cg), 31 - Level(cb)};
  return PixelEffect(x, y, sprite, left, top, right, bottom, [&](uint16_t s, uint16_t) {
    const Rgb5& c = Channels5(s);
    return SubtractTable[0][c.red][k[0]] | SubtractTable[1][c.green][k[1]] |
           SubtractTable[2][c.blue][k[2]];
  });
}

int DrawChannels(int x, int y, int keepRed, int keepGreen, int keepBlue, int sprite, int left,
                 int top, int right, int bottom) {
  const PixelFormatInfo& f = screen.format;
  const int keep[3] = {keepRed, keepGreen, keepBlue};
  uint32_t mask = 0;
  for (int ch = 0; ch < 3; ++ch) {
    if (keep[ch]) mask |= f.maxValue[ch] << f.shift[ch];
  }
  return PixelEffect(x, y, sprite, left, top, right, bottom,
                     [&](uint16_t s, uint16_t) { return s & mask; });
}

int DrawGrey(int x, int y, int sprite, int left, int top, int right, int bottom) {
  return RowEffect(x, y, sprite, left, top, right, bottom, kernels::GreyRow);
}

int DrawBlur(int x, int y, int k, int sprite, int left, int top, int right, int bottom) {
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    // The block may not be wider or taller than the drawn rectangle: it
    // would read outside it.
    int size = k < 1 ? 1 : k;
    if (size > w.width) size = w.width;
    if (size > w.height) size = w.height;
    if (size < 1) return;
    const int area = size * size;
    effects::EachOpaque(w, [&](int row, int column, uint16_t, uint16_t& d) {
      const int blockTop = row + size > w.height ? w.height - size : row;
      const int blockLeft = column + size > w.width ? w.width - size : column;
      int sum[3] = {0, 0, 0};
      for (int j = 0; j < size; ++j) {
        const uint16_t* s = w.Src(blockTop + j) + blockLeft;
        for (int i = 0; i < size; ++i) {
          const Rgb5& c = Channels5(s[i]);
          sum[0] += c.red;
          sum[1] += c.green;
          sum[2] += c.blue;
        }
      }
      if (size == 2) {
        d = Place5(sum[0] >> 2, sum[1] >> 2, sum[2] >> 2);
      } else {
        d = Place5(sum[0] / area, sum[1] / area, sum[2] / area);
      }
    });
  });
}

int DrawSmoothEdge(int x, int y, int sprite, int left, int top, int right, int bottom) {
  return effects::SpriteEffect(x, y, sprite, left, top, right, bottom, [&](const Walk& w) {
    effects::EachOpaque(w, [&](int row, int column, uint16_t s, uint16_t& d) {
      const Rgb5& own = Channels5(s);
      int sum[3] = {own.red, own.green, own.blue};
      int count = 1;
      // A transparent neighbour lets the background at its place in.
      auto take = [&](int r, int c) {
        if (w.Src(r)[c] != 0) return;
        const Rgb5& b = Channels5(w.Dst(r)[c]);
        sum[0] += b.red;
        sum[1] += b.green;
        sum[2] += b.blue;
        ++count;
      };
      if (column > 0) take(row, column - 1);
      if (column < w.width - 1) take(row, column + 1);
      if (row > 0) take(row - 1, column);
      if (row < w.height - 1) take(row + 1, column);
      d = count > 1 ? Place5(sum[0] / count, sum[1] / count, sum[2] / count) : s;
    });
  });
}

}  // namespace elDraw
