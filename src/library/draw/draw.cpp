// Sprite drawing onto the back screen and between sprites: the keyed and
// opaque copies cut against the clip rectangle, the stretched copies, the
// mirrored software copy and the grab of the back screen into a sprite.
#include <cstddef>
#include <cstring>

#include "draw/drawing.h"
#include "draw/eldraw.h"

namespace elDraw {

using drawing::AnswerBlit;
using drawing::SlotSurface;

namespace {

// The clipping of every sprite draw. The order matters: the right and bottom
// edges are cut first, from the position as given, then the left and top
// edges move the position. A rectangle that turned inside out is dropped; an
// empty one reaches the blit, which does nothing with it. The source
// rectangle is not compared with the sprite; the blit refuses one that does
// not lie inside it.
void ClippedCopy(plat::Surface* dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2,
                 bool keyed) {
  plat::Surface* source = SlotSurface(sprite);
  if (dest == nullptr || source == nullptr) return;
  const ClipRect& clip = screen.clipRect;
  if (x + (sx2 - sx1) > clip.right) sx2 = sx1 + clip.right - x;
  if (y + (sy2 - sy1) > clip.bottom) sy2 = sy1 + clip.bottom - y;
  if (x < clip.left) {
    sx1 += clip.left - x;
    x = clip.left;
  }
  if (y < clip.top) {
    sy1 += clip.top - y;
    y = clip.top;
  }
  if (sx2 < sx1 || sy2 < sy1) return;
  AnswerBlit(plat::BltFast(*dest, x, y, *source, plat::Rect{sx1, sy1, sx2, sy2}, keyed));
}

void StretchedCopy(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width,
                   int height, bool keyed) {
  plat::Surface* source = SlotSurface(sprite);
  if (source == nullptr) return;
  if (screen.canStretch == 1) {
    // The blitter scales; the clip rectangle is not consulted.
    if (screen.backScreen == nullptr) return;
    AnswerBlit(plat::Blt(*screen.backScreen, plat::Rect{x, y, x + width, y + height}, *source,
                         plat::Rect{sx1, sy1, sx2, sy2}, keyed));
    return;
  }
  // Without a scaling blitter the picture is scaled into the Buffer sprite
  // and drawn from there. Buffer's key is black, so black is transparent on
  // this path whatever the source's key, and the draw is clipped.
  plat::Surface* buffer = SlotSurface(0);
  if (buffer == nullptr) return;
  plat::GdiStretchBlt(*buffer, plat::Rect{0, 0, width, height}, *source,
                      plat::Rect{sx1, sy1, sx2, sy2});
  if (keyed) {
    Draw(x, y, 0, 0, 0, width, height);
  } else {
    DrawOpaque(x, y, 0, 0, 0, width, height);
  }
}

// Copies one pixel of `size` bytes unless its value is 0.
template <int size>
void CopyMirroredRows(const plat::LockInfo& from, const plat::LockInfo& to, int destLeft,
                      int destRight, int destTop, int destBottom, int firstSourceX, int stepX,
                      int firstSourceY, int stepY) {
  static const uint8_t kZero[4] = {};
  int sourceY = firstSourceY;
  for (int dy = destTop; dy < destBottom; ++dy, sourceY += stepY) {
    const uint8_t* sourceRow = from.pixels + static_cast<std::ptrdiff_t>(sourceY) * from.pitch;
    uint8_t* destRow = to.pixels + static_cast<std::ptrdiff_t>(dy) * to.pitch;
    int sourceX = firstSourceX;
    for (int dx = destLeft; dx < destRight; ++dx, sourceX += stepX) {
      const uint8_t* pixel = sourceRow + static_cast<std::ptrdiff_t>(sourceX) * size;
      if (std::memcmp(pixel, kZero, size) != 0) {
        std::memcpy(destRow + static_cast<std::ptrdiff_t>(dx) * size, pixel, size);
      }
    }
  }
}

}  // namespace

void Draw(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2) {
  ClippedCopy(screen.backScreen, x, y, sprite, sx1, sy1, sx2, sy2, true);
}

void DrawOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2) {
  ClippedCopy(screen.backScreen, x, y, sprite, sx1, sy1, sx2, sy2, false);
}

// Sprite to sprite: cut against the clip rectangle of the back screen, not
// against the destination's own size.
void DrawToObject(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2) {
  ClippedCopy(SlotSurface(dest), x, y, sprite, sx1, sy1, sx2, sy2, true);
}

void DrawToObjectOpaque(int dest, int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2) {
  ClippedCopy(SlotSurface(dest), x, y, sprite, sx1, sy1, sx2, sy2, false);
}

void DrawStretch(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width,
                 int height) {
  StretchedCopy(x, y, sprite, sx1, sy1, sx2, sy2, width, height, true);
}

void DrawStretchOpaque(int x, int y, int sprite, int sx1, int sy1, int sx2, int sy2, int width,
                       int height) {
  StretchedCopy(x, y, sprite, sx1, sy1, sx2, sy2, width, height, false);
}

// A software copy that can turn the picture over: mode bit 0 mirrors left
// to right, bit 1 top to bottom (0 none, 1, 2, 3 both). Pixel value 0 is
// transparent, whatever key the sprite has.
//
// Clipping: the destination rectangle (x, y) to (x + w, y + h) is cut to the
// clip rectangle and to the back screen (pixels are written directly, so a
// clip rectangle larger than the screen must not lead outside it). Each
// destination pixel that remains takes the source pixel it would have taken
// uncut: column x + i reads sx1 + i, or sx2 - 1 - i when mirrored, so a cut
// on the left of a mirrored draw removes the right end of the source.
//
// The source rectangle must lie inside the sprite; one that does not is
// refused (0) rather than read outside the picture. Every depth works the
// same way, with the pixel's whole value compared with 0. Returns 1, or 0
// when a surface cannot be locked or the draw is refused.
int DrawMirror(int x, int y, int mode, int sprite, int sx1, int sy1, int sx2, int sy2) {
  plat::Surface* source = SlotSurface(sprite);
  plat::Surface* back = screen.backScreen;
  if (source == nullptr || back == nullptr) return 0;
  if (sx1 < 0 || sy1 < 0 || sx2 > source->width || sy2 > source->height) return 0;
  if (source->format.bytesPerPixel != back->format.bytesPerPixel) return 0;
  int width = sx2 - sx1, height = sy2 - sy1;
  if (width <= 0 || height <= 0) return 1;

  const ClipRect& clip = screen.clipRect;
  int left = x, top = y, right = x + width, bottom = y + height;
  if (left < clip.left) left = clip.left;
  if (left < 0) left = 0;
  if (top < clip.top) top = clip.top;
  if (top < 0) top = 0;
  if (right > clip.right) right = clip.right;
  if (right > back->width) right = back->width;
  if (bottom > clip.bottom) bottom = clip.bottom;
  if (bottom > back->height) bottom = back->height;
  if (left >= right || top >= bottom) return 1;

  bool acrossX = (mode & 1) != 0, acrossY = (mode & 2) != 0;
  int firstX = acrossX ? sx2 - 1 - (left - x) : sx1 + (left - x);
  int firstY = acrossY ? sy2 - 1 - (top - y) : sy1 + (top - y);
  int stepX = acrossX ? -1 : 1, stepY = acrossY ? -1 : 1;

  plat::LockInfo from, to;
  if (plat::Lock(*source, from) != plat::Result::Ok) return 0;
  if (plat::Lock(*back, to) != plat::Result::Ok) {
    plat::Unlock(*source);
    return 0;
  }
  switch (back->format.bytesPerPixel) {
    case 2:
      CopyMirroredRows<2>(from, to, left, right, top, bottom, firstX, stepX, firstY, stepY);
      break;
    case 3:
      CopyMirroredRows<3>(from, to, left, right, top, bottom, firstX, stepX, firstY, stepY);
      break;
    case 4:
      CopyMirroredRows<4>(from, to, left, right, top, bottom, firstX, stepX, firstY, stepY);
      break;
    default:
      break;
  }
  plat::Unlock(*back);
  plat::Unlock(*source);
  return 1;
}

// The back screen's rectangle copied to the sprite's top-left corner, as it
// is: no key, no clipping.
void GrabScreen(int dest, int sx1, int sy1, int sx2, int sy2) {
  plat::Surface* target = SlotSurface(dest);
  if (target == nullptr || screen.backScreen == nullptr) return;
  AnswerBlit(
      plat::BltFast(*target, 0, 0, *screen.backScreen, plat::Rect{sx1, sy1, sx2, sy2}, false));
}

}  // namespace elDraw
