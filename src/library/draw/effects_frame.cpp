// The shared frame of the sprite effects and the noise positions of the
// filters.
#include "draw/effects_frame.h"

#include <cstdlib>

namespace elDraw::effects {

ClipRect ScreenClip() {
  ClipRect c = screen.clipRect;
  const plat::Surface* back = screen.backScreen;
  const int w = back != nullptr ? back->width : 0, h = back != nullptr ? back->height : 0;
  if (c.left < 0) c.left = 0;
  if (c.top < 0) c.top = 0;
  if (c.right > w) c.right = w;
  if (c.bottom > h) c.bottom = h;
  return c;
}

bool Lock16(plat::Surface& surface, uint16_t*& pixels, ptrdiff_t& pitch) {
  if (surface.format.bytesPerPixel != 2) return false;
  plat::LockInfo lock;
  if (plat::Lock(surface, lock) != plat::Result::Ok) return false;
  pixels = reinterpret_cast<uint16_t*>(lock.pixels);
  pitch = lock.pitch / 2;
  return true;
}

bool LockPair(plat::Surface& first, Locked& a, plat::Surface& second, Locked& b) {
  if (!Lock16(first, a.pixels, a.pitch)) return false;
  if (Lock16(second, b.pixels, b.pitch)) return true;
  plat::Unlock(first);
  return false;
}

namespace {

// Cuts one axis of a rectangle: position `at` and source start `from` with
// `size` pixels, against the destination range [lo, hi) and the source
// range [0, sourceSize). 64-bit, so that no argument overflows.
void CutAxis(int64_t& at, int64_t& from, int64_t& size, int lo, int hi, int64_t sourceSize,
             bool limitSource) {
  // The clip rectangle first, in the order the draws cut: far edge, then
  // near edge.
  if (at + size > hi) size = hi - at;
  if (at < lo) {
    size -= lo - at;
    from += lo - at;
    at = lo;
  }
  // Then the sprite, which only matters for a source rectangle that does
  // not lie inside it.
  if (from < 0) {
    size += from;
    at -= from;
    from = 0;
  }
  if (limitSource && from + size > sourceSize) size = sourceSize - from;
}

}  // namespace

int Begin(int x, int y, int slot, int left, int top, int right, int bottom, Walk& walk,
          bool limitToSprite) {
  plat::Surface* source = drawing::SlotSurface(slot);
  plat::Surface* back = screen.backScreen;
  if (source == nullptr || back == nullptr) return 0;

  const ClipRect clip = ScreenClip();
  int64_t ax = x, ay = y, from = left, fromY = top;
  int64_t width = static_cast<int64_t>(right) - left, height = static_cast<int64_t>(bottom) - top;
  CutAxis(ax, from, width, clip.left, clip.right, source->width, limitToSprite);
  CutAxis(ay, fromY, height, clip.top, clip.bottom, source->height, limitToSprite);
  if (width < 0 || height < 0) return 1;

  // A width of exactly 0 still locks both surfaces and draws nothing.
  Locked sprite, backLock;
  if (!LockPair(*source, sprite, *back, backLock)) return 0;
  uint16_t* src = sprite.pixels;
  uint16_t* dst = backLock.pixels;
  const ptrdiff_t srcPitch = sprite.pitch, dstPitch = backLock.pitch;
  walk.width = static_cast<int>(width);
  walk.height = static_cast<int>(height);
  walk.x = static_cast<int>(ax);
  walk.y = static_cast<int>(ay);
  walk.left = static_cast<int>(from);
  walk.top = static_cast<int>(fromY);
  walk.srcPitch = srcPitch;
  walk.dstPitch = dstPitch;
  walk.src = src + walk.top * srcPitch + walk.left;
  walk.dst = dst + walk.y * dstPitch + walk.x;
  walk.back = dst;
  walk.backPitch = dstPitch;
  walk.spriteWidth = source->width;
  walk.spriteHeight = source->height;
  return -1;
}

void End(int sprite) {
  plat::Unlock(*drawing::SlotSurface(sprite));
  plat::Unlock(*screen.backScreen);
}

uint8_t NextNoise(int& position) {
  if (position < 0 || position >= 10000) position = 0;
  const uint8_t n = DitherNoiseTable[position];
  if (++position >= 10000) position = std::rand() % 1000;
  return n;
}

}  // namespace elDraw::effects
