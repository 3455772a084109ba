// The row effects: a sprite's source rectangle drawn one pixel row at a
// time through Draw, so each row gets the clipping and the colour key of an
// ordinary draw. The frame time advances their animation; each effect keeps
// its own phase or offset in `rowEffects` between calls.
//
// Parameters, in order (source rectangles are sx1, sy1, sx2, sy2 with the
// right and bottom edges exclusive; w = sx2 - sx1, h = sy2 - sy1):
//
//   DrawWave(x, y, amplitude, period, speed, sprite, sx1, sy1, sx2, sy2,
//            alternate)
//     Row r (sy1 .. sy2 - 1) is drawn at (x + offset, y + r - sy1), where
//     offset = trunc(amplitude * cos(a degrees)) and a = r / period +
//     trunc(phase) (integer division; a = r + trunc(phase) when period is
//     0). With `alternate` set every row's offset takes the row sign, which
//     flips from row to row and carries over to the next call. Afterwards
//     phase += dt * speed, less 360 once it reaches 360.
//
//   DrawTiled(sprite, sx1, sy1, sx2, sy2, speedX, speedY)
//     Covers the screen with w x h tiles of the rectangle: rows 0 to
//     height / h + 1 and columns 0 to width / w + 1, tile (column, row) at
//     (w * column + trunc(offsetX), h * row + trunc(offsetY)). Afterwards
//     offsetX += dt * speedX and offsetY += dt * speedY, each brought back
//     into [-w, 0] and [-h, 0]. An empty rectangle draws nothing.
//
//   DrawWaveRoll(x, y, amplitude, period, speed, rollSpeed, sprite, sx1,
//                sy1, sx2, sy2)
//     The wave of DrawWave (without alternation) over a picture that rolls
//     upward: destination row y + i takes source row sy1 + (i + trunc(roll))
//     mod h and the offset of row sy1 + i, so the wave stays in place while
//     the picture moves through it. Afterwards phase advances as in
//     DrawWave and roll -= dt * rollSpeed, kept within [0, h).
//
//   DrawTiledWaveRoll(y, amplitude, period, speed, rollSpeed, sprite, sx1,
//                     sy1, sx2, sy2)
//     The rolled wave rows of DrawWaveRoll repeated across the whole screen
//     width: row i is drawn at x = w * column + offset for columns -1 to
//     width / w, so that a shifted row still covers both edges. Its phase
//     and roll are its own.
//
//   DrawRowRepeat(x, y, n, sprite, sx1, sy1, sx2, sy2)
//     Blocky rows: destination row y + i shows source row
//     sy1 + (i / n) * n, so every n-th source row stands for the n rows
//     from it; the height stays h and the width is not scaled. n below 2 is
//     a plain row-by-row draw.
//
//   DrawRowSkip(x, y, n, sprite, sx1, sy1, sx2, sy2)
//     n > 0: only rows sy1, sy1 + n, sy1 + 2n ... are drawn, at their usual
//     places. n < 0: from row sy1 on, each drawn row is followed by a random
//     gap of 1 to -n rows (rand() % -n + 1). n = 0 draws every row. The rows
//     not drawn leave the screen untouched.
//
//   DrawJitter(x, y, n, sprite, sx1, sy1, sx2, sy2)
//     n <= 0: a plain Draw. Otherwise each row is shifted horizontally by
//     rand() % (2n) - n, a value in [-n, n - 1].
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "draw/eldraw.h"
#include "shell/elsystem.h"

namespace elDraw {

RowEffectState rowEffects;

namespace {

int WaveOffset(int amplitude, int period, int row, int phase) {
  int angle = period != 0 ? row / period + phase : row + phase;
  return static_cast<int>(amplitude * std::cos(angle * 2.0 * std::numbers::pi / 360.0));
}

void AdvancePhase(float& phase, float speed) {
  phase += elSystem::dt * speed;
  if (phase >= 360.0f) phase -= 360.0f;
}

// Brings a value into [-size, 0] for a positive size.
void WrapNegative(float& value, int size) {
  if (value < -size || value > 0.0f) {
    value = std::fmod(value, static_cast<float>(size));
    if (value > 0.0f) value -= size;
  }
}

// Advances a roll by -dt * speed and keeps it within [0, size).
void AdvanceRoll(float& roll, float speed, int size) {
  roll -= elSystem::dt * speed;
  if (roll < 0.0f || roll >= size) {
    roll = std::fmod(roll, static_cast<float>(size));
    if (roll < 0.0f) roll += size;
  }
}

}  // namespace

void DrawWave(int x, int y, int amplitude, int period, float speed, int sprite, int sx1, int sy1,
              int sx2, int sy2, int alternate) {
  int phase = static_cast<int>(rowEffects.wavePhase);
  for (int r = sy1; r < sy2; ++r) {
    int offset = WaveOffset(amplitude, period, r, phase);
    if (alternate) {
      offset *= rowEffects.waveSign;
      rowEffects.waveSign = -rowEffects.waveSign;
    }
    Draw(x + offset, y + r - sy1, sprite, sx1, r, sx2, r + 1);
  }
  AdvancePhase(rowEffects.wavePhase, speed);
}

void DrawTiled(int sprite, int sx1, int sy1, int sx2, int sy2, float speedX, float speedY) {
  int w = sx2 - sx1, h = sy2 - sy1;
  if (w <= 0 || h <= 0) return;
  int offsetX = static_cast<int>(rowEffects.tileOffsetX);
  int offsetY = static_cast<int>(rowEffects.tileOffsetY);
  for (int row = 0; row <= screen.height / h + 1; ++row) {
    for (int column = 0; column <= screen.width / w + 1; ++column) {
      Draw(w * column + offsetX, h * row + offsetY, sprite, sx1, sy1, sx2, sy2);
    }
  }
  rowEffects.tileOffsetX += elSystem::dt * speedX;
  rowEffects.tileOffsetY += elSystem::dt * speedY;
  WrapNegative(rowEffects.tileOffsetX, w);
  WrapNegative(rowEffects.tileOffsetY, h);
}

void DrawWaveRoll(int x, int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                  int sx1, int sy1, int sx2, int sy2) {
  int h = sy2 - sy1;
  if (h <= 0) return;
  int phase = static_cast<int>(rowEffects.rollPhase);
  int roll = static_cast<int>(rowEffects.roll);
  for (int i = 0; i < h; ++i) {
    int offset = WaveOffset(amplitude, period, sy1 + i, phase);
    int source = sy1 + (i + roll) % h;
    Draw(x + offset, y + i, sprite, sx1, source, sx2, source + 1);
  }
  AdvancePhase(rowEffects.rollPhase, speed);
  AdvanceRoll(rowEffects.roll, rollSpeed, h);
}

void DrawTiledWaveRoll(int y, int amplitude, int period, float speed, float rollSpeed, int sprite,
                       int sx1, int sy1, int sx2, int sy2) {
  int w = sx2 - sx1, h = sy2 - sy1;
  if (w <= 0 || h <= 0) return;
  int phase = static_cast<int>(rowEffects.tiledRollPhase);
  int roll = static_cast<int>(rowEffects.tiledRoll);
  for (int i = 0; i < h; ++i) {
    int offset = WaveOffset(amplitude, period, sy1 + i, phase);
    int source = sy1 + (i + roll) % h;
    for (int column = -1; column <= screen.width / w; ++column) {
      Draw(w * column + offset, y + i, sprite, sx1, source, sx2, source + 1);
    }
  }
  AdvancePhase(rowEffects.tiledRollPhase, speed);
  AdvanceRoll(rowEffects.tiledRoll, rollSpeed, h);
}

void DrawRowRepeat(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2) {
  if (n < 1) n = 1;
  for (int i = 0; i < sy2 - sy1; ++i) {
    int source = sy1 + (i / n) * n;
    Draw(x, y + i, sprite, sx1, source, sx2, source + 1);
  }
}

void DrawRowSkip(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2) {
  for (int r = sy1; r < sy2;) {
    Draw(x, y + r - sy1, sprite, sx1, r, sx2, r + 1);
    if (n > 0) {
      r += n;
    } else if (n < 0) {
      r += std::rand() % -n + 1;
    } else {
      ++r;
    }
  }
}

void DrawJitter(int x, int y, int n, int sprite, int sx1, int sy1, int sx2, int sy2) {
  if (n <= 0) {
    Draw(x, y, sprite, sx1, sy1, sx2, sy2);
    return;
  }
  for (int r = sy1; r < sy2; ++r) {
    int shift = std::rand() % (2 * n) - n;
    Draw(x + shift, y + r - sy1, sprite, sx1, r, sx2, r + 1);
  }
}

}  // namespace elDraw
