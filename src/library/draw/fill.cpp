// Rectangle fills of the back screen and of sprites, and the software
// half-blend of a rectangle. The fills are blitter colour fills and are not
// cut to the clip rectangle; a rectangle outside the surface is refused by
// the blitter and fills nothing.
#include <cstddef>

#include "draw/drawing.h"
#include "draw/eldraw.h"

namespace elDraw {

using drawing::AnswerBlit;
using drawing::SlotSurface;

namespace {

void FillBack(int left, int top, int right, int bottom, uint32_t value) {
  if (screen.backScreen == nullptr) return;
  AnswerBlit(plat::BltFill(*screen.backScreen, plat::Rect{left, top, right, bottom}, value));
}

}  // namespace

void Clear() { FillBack(0, 0, screen.width, screen.height, 0); }

void ClearObject(int sprite) {
  plat::Surface* surface = SlotSurface(sprite);
  if (surface == nullptr) return;
  const SpriteSlot& slot = SpriteTable[sprite];
  AnswerBlit(plat::BltFill(*surface, plat::Rect{0, 0, slot.width, slot.height}, 0));
}

void FillBlack(int left, int top, int right, int bottom) { FillBack(left, top, right, bottom, 0); }

// A one-pixel outline: top row, bottom row, left column, right column.
void FrameBlack(int left, int top, int right, int bottom) {
  FillBack(left, top, right, top + 1, 0);
  FillBack(left, bottom - 1, right, bottom, 0);
  FillBack(left, top, left + 1, bottom, 0);
  FillBack(right - 1, top, right, bottom, 0);
}

void FillScreenWhite() { FillBack(0, 0, screen.width, screen.height, screen.format.fullMask); }

void FillWhite(int left, int top, int right, int bottom) {
  FillBack(left, top, right, bottom, screen.format.fullMask);
}

void FillColor(int left, int top, int right, int bottom, uint32_t value) {
  FillBack(left, top, right, bottom, value & 0xFFFF);
}

// Halves every pixel of the rectangle and adds half the given value, channel
// by channel: one shift and one mask per pixel, no carry between channels.
// The rectangle is cut to the clip rectangle and, since the pixels are
// written directly, to the back screen as well. Works on 16-bit screens only;
// on others it does nothing and returns 0, as it does when the back screen
// cannot be locked.
int BlendRect(int left, int top, int right, int bottom, uint32_t value) {
  plat::Surface* back = screen.backScreen;
  if (back == nullptr || back->format.bytesPerPixel != 2) return 0;
  const ClipRect& clip = screen.clipRect;
  if (left < clip.left) left = clip.left;
  if (top < clip.top) top = clip.top;
  if (right > clip.right) right = clip.right;
  if (bottom > clip.bottom) bottom = clip.bottom;
  if (left < 0) left = 0;
  if (top < 0) top = 0;
  if (right > back->width) right = back->width;
  if (bottom > back->height) bottom = back->height;

  plat::LockInfo lock;
  if (plat::Lock(*back, lock) != plat::Result::Ok) return 0;
  uint32_t halfMask = screen.format.halfMask;
  uint32_t added = (value >> 1) & halfMask;
  for (int y = top; y < bottom; ++y) {
    auto* row =
        reinterpret_cast<uint16_t*>(lock.pixels + static_cast<std::ptrdiff_t>(y) * lock.pitch);
    for (int x = left; x < right; ++x) {
      row[x] = static_cast<uint16_t>(((row[x] >> 1) & halfMask) + added);
    }
  }
  plat::Unlock(*back);
  return 1;
}

}  // namespace elDraw
