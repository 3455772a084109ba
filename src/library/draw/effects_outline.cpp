// The lens (or flag) distortion and the tunnel pair.
//
// DrawLens(x, y, step, scale, tilt, sprite, rectangle): the source rectangle
// (cut to the sprite) is taken in cells of step x step pixels from its
// top-left corner. For the cell at (gx, gy), u = gx - cx and v = gy - cy
// with cx = width / 2, cy = height / 2; f = scale x (u^2 + v^2) / (cx^2 +
// cy^2) as a 32-bit float (the divisor at least 1); the cell moves by
// dx = trunc(u x f) and dy = trunc((v + tilt x u) x f). Cells are drawn in
// scan order, opaque pixels only, each pixel cut to the clip rectangle. A
// positive scale bulges the picture outward, a negative one pinches it, and
// the tilt shears the outer columns up or down like a flag.
//
// MakeTunnel(table, width, height, cx, cy, size, depth, measure): for every
// pixel (i, j), dx = i - cx, dy = j - cy; u = trunc(atan2(dy, dx) / 2pi x
// size) and v = trunc(depth / distance), both brought into 0 to size - 1
// (the distance at least 1; measures as in eldraw.h). Stored as u, v.
//
// DrawTunnel(table, x, y, width, height, sprite, scrollU, scrollV): pixel
// (i, j) at (x + i, y + j) becomes texel ((u + scrollU) mod n, (v + scrollV)
// mod n) of the sprite's top-left n x n square, n = the smaller of its
// sides; no transparency, no clip rectangle, but nothing outside the screen.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw/effects_frame.h"

namespace elDraw {

using effects::TruncFloat;

int DrawLens(int x, int y, int step, float scale, float tilt, int sprite, int left, int top,
             int right, int bottom) {
  plat::Surface* source = drawing::SlotSurface(sprite);
  plat::Surface* back = screen.backScreen;
  if (source == nullptr || back == nullptr) return 0;
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, source->width);
  bottom = std::min(bottom, source->height);
  if (right <= left || bottom <= top) return 1;
  const int sw = right - left, sh = bottom - top;
  const int cell = std::max(step, 1);
  const ClipRect clip = effects::ScreenClip();

  effects::Locked from, to;
  if (!effects::LockPair(*source, from, *back, to)) return 0;
  const int cx = sw / 2, cy = sh / 2;
  const float radius2 =
      static_cast<float>(std::max<int64_t>(int64_t{cx} * cx + int64_t{cy} * cy, 1));
  for (int gy = 0; gy < sh; gy += cell) {
    for (int gx = 0; gx < sw; gx += cell) {
      const int u = gx - cx, v = gy - cy;
      const float f = scale * static_cast<float>(int64_t{u} * u + int64_t{v} * v) / radius2;
      const int64_t ox = static_cast<int64_t>(x) + gx + TruncFloat(static_cast<float>(u) * f);
      const int64_t oy =
          static_cast<int64_t>(y) + gy + TruncFloat((static_cast<float>(v) + tilt * u) * f);
      for (int j = 0; j < cell && gy + j < sh; ++j) {
        const int64_t dy = oy + j;
        if (dy < clip.top || dy >= clip.bottom) continue;
        const uint16_t* s = from.pixels + (top + gy + j) * from.pitch + left + gx;
        uint16_t* d = to.pixels + dy * to.pitch;
        for (int i = 0; i < cell && gx + i < sw; ++i) {
          const int64_t dx = ox + i;
          if (s[i] != 0 && dx >= clip.left && dx < clip.right) d[dx] = s[i];
        }
      }
    }
  }
  plat::Unlock(*source);
  plat::Unlock(*back);
  return 1;
}

namespace {

// A whole number brought into 0 to size - 1; 0 for NaN.
uint16_t WrapTexel(double value, int size) {
  if (!(value == value)) return 0;
  double m = std::fmod(std::trunc(value), static_cast<double>(size));
  if (m < 0) m += size;
  return static_cast<uint16_t>(m);
}

double Distance(double dx, double dy, int measure) {
  const double ax = std::fabs(dx), ay = std::fabs(dy);
  switch (measure) {
    case 0:
      return std::sqrt(dx * dx + dy * dy);
    case 1:
      return std::max(ax, ay);
    case 2:
      return std::min(ax, ay);
    case 3:
      return (ax + ay) / 2;
    case 4:
      return ax;
    default:
      return ay;
  }
}

}  // namespace

int MakeTunnel(uint16_t* table, int width, int height, int centreX, int centreY, int textureSize,
               float depth, int measure) {
  if (table == nullptr || width <= 0 || height <= 0 || textureSize <= 0 || textureSize > 65536 ||
      measure < 0 || measure > 5) {
    return 0;
  }
  for (int j = 0; j < height; ++j) {
    for (int i = 0; i < width; ++i) {
      const double dx = static_cast<double>(i) - centreX, dy = static_cast<double>(j) - centreY;
      const double angle = std::atan2(dy, dx) / (2 * std::numbers::pi);
      const double distance = std::max(Distance(dx, dy, measure), 1.0);
      uint16_t* entry = table + 2 * (static_cast<size_t>(j) * width + i);
      entry[0] = WrapTexel(angle * textureSize, textureSize);
      entry[1] = WrapTexel(depth / distance, textureSize);
    }
  }
  return 1;
}

int DrawTunnel(const uint16_t* table, int x, int y, int width, int height, int sprite, int scrollU,
               int scrollV) {
  plat::Surface* source = drawing::SlotSurface(sprite);
  plat::Surface* back = screen.backScreen;
  if (table == nullptr || source == nullptr || back == nullptr) return 0;
  const int n = std::min(source->width, source->height);
  if (n <= 0 || width <= 0 || height <= 0) return 1;
  effects::Locked from, to;
  if (!effects::LockPair(*source, from, *back, to)) return 0;
  auto wrap = [n](int64_t v) {
    const int64_t m = v % n;
    return static_cast<int>(m < 0 ? m + n : m);
  };
  // The part of the area on the screen (64-bit: x and y may be anything).
  const int64_t j0 = std::max<int64_t>(0, -static_cast<int64_t>(y));
  const int64_t j1 = std::min<int64_t>(height, static_cast<int64_t>(back->height) - y);
  const int64_t i0 = std::max<int64_t>(0, -static_cast<int64_t>(x));
  const int64_t i1 = std::min<int64_t>(width, static_cast<int64_t>(back->width) - x);
  for (int64_t j = j0; j < j1; ++j) {
    const uint16_t* entry = table + 2 * static_cast<size_t>(j) * width;
    uint16_t* d = to.pixels + (static_cast<int64_t>(y) + j) * to.pitch + x;
    for (int64_t i = i0; i < i1; ++i) {
      const int u = wrap(static_cast<int64_t>(entry[2 * i]) + scrollU);
      const int v = wrap(static_cast<int64_t>(entry[2 * i + 1]) + scrollV);
      d[i] = from.pixels[v * from.pitch + u];
    }
  }
  plat::Unlock(*source);
  plat::Unlock(*back);
  return 1;
}

}  // namespace elDraw
