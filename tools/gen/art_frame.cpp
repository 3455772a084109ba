// The frame around the play area "BMP/waku.BMP" and the shadow under the
// party "BMP/kake.bmp".
#include <cstdlib>

#include "canvas.h"
#include "terrain_art.h"

namespace gen::terrain {
namespace {

// The frame: a band of carved stone with gold beading round the 768 x 576
// play area, which stays pure black (transparent).

constexpr int kFrameW = 800, kFrameH = 600, kSide = 16, kTopBottom = 12;

// Colour across a band `thickness` wide at depth t (0 outer edge) and
// position s along it.
Rgb BandPixel(int t, int thickness, int s, int period) {
  if (t == 0 || t == thickness - 1) return kOutline;
  if (t == 1) return kFrameDark;
  if (t == 2) return kGold;
  if (t == thickness - 3) return kGold;
  if (t == thickness - 2) return kGoldDark;
  // The panel between the beads: studs at regular steps.
  int inner = thickness - 6;  // panel depth
  int centre = 3 + inner / 2;
  int along = ((s % period) + period) % period - period / 2;
  int across = t - centre;
  int size = inner / 2;
  if (std::abs(along) <= size && std::abs(across) <= size) {
    int diamond = std::abs(along) + std::abs(across);
    if (diamond == 0) return kRed;
    if (diamond == 1) return across < 0 || along < 0 ? Rgb{248, 152, 152} : kRedDark;
    if (diamond < size) return diamond % 2 ? kGoldDark : kGold;
    if (diamond == size) return kOutline;
  }
  if (t == 3) return kFrameLight;
  if (t == thickness - 4) return kFrameDark;
  return (s + t) % 7 == 0 ? kFrameDark : kFrame;
}

}  // namespace

Canvas Frame() {
  Canvas frame(kFrameW, kFrameH, kBlack);
  for (int y = 0; y < kFrameH; ++y) {
    for (int x = 0; x < kFrameW; ++x) {
      bool left = x < kSide, right = x >= kFrameW - kSide;
      bool top = y < kTopBottom, bottom = y >= kFrameH - kTopBottom;
      if (!left && !right && !top && !bottom) continue;
      Rgb c;
      if ((left || right) && (top || bottom)) {
        // Corner blocks: a gold boss with a gem.
        int cx = left ? x : kFrameW - 1 - x, cy = top ? y : kFrameH - 1 - y;
        int dx = std::abs(2 * cx - (kSide - 1)), dy = std::abs(2 * cy - (kTopBottom - 1));
        if (cx == 0 || cy == 0) c = kOutline;
        else if (dx + dy <= 4) c = kRed;
        else if (dx + dy <= 8) c = kGold;
        else if (dx + dy <= 10) c = kGoldDark;
        else c = kFrameDark;
      } else if (left || right) {
        int t = left ? x : kFrameW - 1 - x;
        c = BandPixel(t, kSide, y - kTopBottom, 24);
      } else {
        int t = top ? y : kFrameH - 1 - y;
        c = BandPixel(t, kTopBottom, x - kSide, 32);
      }
      frame.Set(x, y, c);
    }
  }
  return frame;
}

// The shadow under each party member: a dark oval, denser in the middle.
Canvas Shadow() {
  Canvas shadow(48, 16, kBlack);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 48; ++x) {
      float fx = (x + 0.5f - 24.0f) / 22.0f, fy = (y + 0.5f - 8.0f) / 7.0f;
      float r = fx * fx + fy * fy;
      if (r > 1.0f) continue;
      // The rim is dithered so that the ground shows through it.
      if (r < 0.55f || (x + y) % 2 == 0) shadow.Set(x, y, kShadow);
    }
  }
  return shadow;
}

}  // namespace gen::terrain
