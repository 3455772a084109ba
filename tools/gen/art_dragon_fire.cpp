// The dragon's shadow, its roar and its fire: the fireballs with their
// flame tails and the torrent of its breath, coloured from smooth noise in
// hard bands of heat.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "canvas.h"
#include "dragon.h"

namespace gen::dragon {
namespace {

// A small hash for fire noise, the same on every build.
float Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xFFFF) / 65535.0f;
}

// Smooth noise on a grid of `cell` pixels.
float Noise(float x, float y, float cell, int seed) {
  float gx = x / cell, gy = y / cell;
  int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
  float fx = gx - ix, fy = gy - iy;
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = Hash(ix, iy, seed), b = Hash(ix + 1, iy, seed);
  float d = Hash(ix, iy + 1, seed), e = Hash(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (d + (e - d) * fx) * fy;
}

// Heat 0..1 to a fire colour in hard bands; below the lowest band nothing.
bool FireColour(float heat, Rgb& out) {
  static const float kBands[6] = {0.86f, 0.7f, 0.52f, 0.34f, 0.18f, 0.06f};
  for (int i = 0; i < 6; ++i) {
    if (heat >= kBands[i]) {
      out = kFire[i];
      return true;
    }
  }
  return false;
}

}  // namespace

Canvas Shadow() {
  Canvas c(260, 80, kMagenta);
  const Rgb dark{56, 44, 72}, darker{40, 32, 56};
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 260; ++x) {
      float fx = (x - 129.5f) / 128.0f, fy = (y - 39.5f) / 38.0f;
      float d = fx * fx + fy * fy;
      if (d > 1.0f) continue;
      bool checker = (x + y) % 2 == 0;
      if (d < 0.45f) c.Set(x, y, darker);
      else if (d < 0.75f || checker) c.Set(x, y, d < 0.75f ? dark : darker);
    }
  }
  return c;
}

// The roar: shock rings spreading downward from the mouth near the top
// middle, with short rays between them.
Canvas Roar() {
  Canvas c(160, 80, kMagenta);
  const Rgb kBright{255, 252, 232}, kPale{248, 232, 160}, kEdge{88, 64, 152};
  const float ox = 80, oy = 12;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 160; ++x) {
      float dx = x + 0.5f - ox, dy = (y + 0.5f - oy) / 0.92f;
      if (dy < -4) continue;
      float d = std::hypot(dx, dy);
      for (int ring = 0; ring < 4; ++ring) {
        float radius = 20 + ring * 16.0f;
        float half = 2.4f - ring * 0.35f;
        if (std::fabs(d - radius) < half) c.Set(x, y, std::fabs(d - radius) < half * 0.45f ? kBright : kPale);
      }
      // Rays: short dashes at fixed angles between the rings.
      float ang = std::atan2(dy, dx);
      for (int k = 0; k < 9; ++k) {
        float ra = 0.15f + k * 0.35f;
        if (std::fabs(ang - ra) * d < 0.9f && std::fmod(d + 8, 16.0f) < 5 && d > 16) c.Set(x, y, kBright);
      }
    }
  }
  c.Outline(0, 0, 160, 80, kMagenta, kEdge);
  return c;
}

// Fireballs: a ball with a flame tail behind it, in the five directions of
// travel (right, down-right, down, down-left, left) and three flickers.
Canvas Fireballs() {
  Canvas c(280, 168, kBlack);
  for (int col = 0; col < 5; ++col) {
    float ang = col * 0.7853982f;  // 0 right .. 4 left; y grows downward
    float dx = std::cos(ang), dy = std::sin(ang);
    for (int row = 0; row < 3; ++row) {
      const float ballR = 14.0f - row * 0.7f, tail = 26.0f + row * 2.0f;
      for (int y = 0; y < 56; ++y) {
        for (int x = 0; x < 56; ++x) {
          // u along the flight, v across it, from the ball's centre.
          float px = x + 0.5f - 28 - dx * 8, py = y + 0.5f - 28 - dy * 8;
          float u = px * dx + py * dy, v = -px * dy + py * dx;
          float n = Noise(u * 1.0f + row * 37, v, 5.0f, 11 + row) - 0.5f;
          float heat;
          if (u >= 0) {
            heat = 1.0f - std::hypot(u, v) / ballR;
          } else {
            float width = ballR * std::max(0.0f, 1.0f + u / tail);
            float wave = std::sin(u * 0.45f + row * 2.1f) * 2.0f * (-u / tail);
            heat = width > 0 ? (1.0f - std::fabs(v - wave) / width) * (1.0f + u / (tail * 1.6f)) : -1.0f;
          }
          heat += n * (u >= 0 ? 0.2f : 0.4f);
          Rgb out;
          if (FireColour(heat, out)) c.Set(col * 56 + x, row * 56 + y, out);
        }
      }
      // Embers thrown off behind.
      Random rnd(100u + static_cast<uint32_t>(col * 3 + row));
      for (int k = 0; k < 4; ++k) {
        float back = static_cast<float>(rnd.Range(16, 26)), side = static_cast<float>(rnd.Range(-9, 9));
        int ex = R(28 + dx * 8 - dx * back - dy * side), ey = R(28 + dy * 8 - dy * back + dx * side);
        if (ex > 0 && ey > 0 && ex < 55 && ey < 55 && c.Get(col * 56 + ex, row * 56 + ey) == kBlack)
          c.Set(col * 56 + ex, row * 56 + ey, kFire[k % 2 ? 2 : 1]);
      }
    }
  }
  return c;
}

// The breath: a torrent of fire pouring down from the top of the cell and
// billowing out into a wide blast, three flickers.
Canvas Breath() {
  Canvas c(1050, 350, kBlack);
  for (int frame = 0; frame < 3; ++frame) {
    for (int y = 0; y < 350; ++y) {
      for (int x = 0; x < 350; ++x) {
        float fx = x + 0.5f - 175, fy = y + 0.5f;
        // The torrent widens as it falls, then spreads in a round blast.
        float n = Noise(fx, fy - frame * 23.0f, 22.0f, 5 + frame) - 0.5f;
        float n2 = Noise(fx, fy - frame * 41.0f, 9.0f, 19 + frame) - 0.5f;
        float width = 16 + 130 * (fy / 350.0f) + 30 * std::sqrt(fy / 350.0f);
        float cone = 1.0f - std::fabs(fx + n * 30) / width;
        float blast = 1.0f - std::hypot(fx * 0.95f, (fy - 205) * 1.1f) / 150.0f;
        float heat = std::max(cone * (0.75f + 0.25f * fy / 350.0f), blast);
        heat += n * 0.35f + n2 * 0.15f;
        // The stream is hottest along its middle and near the mouth.
        heat += (1.0f - std::min(1.0f, std::fabs(fx) / 40.0f)) * 0.15f * (1.0f - fy / 350.0f);
        if (fy > 330) heat -= (fy - 330) / 20.0f;
        Rgb out;
        if (FireColour(heat, out)) c.Set(frame * 350 + x, y, out);
      }
    }
    Random rnd(300u + static_cast<uint32_t>(frame));
    for (int k = 0; k < 40; ++k) {
      int x = rnd.Range(20, 330), y = rnd.Range(40, 340);
      if (c.Get(frame * 350 + x, y) == kBlack) {
        c.Set(frame * 350 + x, y, kFire[1 + k % 3]);
        c.Set(frame * 350 + x, y - 1, kFire[2 + k % 3]);
      }
    }
  }
  return c;
}

}  // namespace gen::dragon
